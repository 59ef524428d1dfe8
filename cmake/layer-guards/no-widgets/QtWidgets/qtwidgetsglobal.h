// Every QtWidgets header includes this one first. The model and render layers see this copy
// instead of Qt's, so a widget header included from src/model/ or src/render/ stops the build.
#error "src/model/ and src/render/ use no widgets: windows and dialogs belong in src/dialogs/ and above"
