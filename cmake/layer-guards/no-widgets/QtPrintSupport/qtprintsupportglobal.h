// Every QtPrintSupport header includes this one first. The model and render layers see this
// copy instead of Qt's, so a printer header included there stops the build.
#error "src/model/ and src/render/ draw on any QPainter: the printer belongs in src/print/"
