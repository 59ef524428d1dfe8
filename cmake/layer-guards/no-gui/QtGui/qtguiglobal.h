// Every QtGui header includes this one first. The model layer sees this copy instead of Qt's,
// so a QtGui header included from src/model/ stops the build here.
#error "src/model/ is QtCore only: drawing belongs in src/render/, windows above it"
