// Stripwise 2: designs and prints the key label strips of business key telephones.
#include <QApplication>
#include <memory>

#include "dialogs/Dialogs.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "editor/TfrmMain.h"
#include "model/Workspace.h"
#include "print/PrintJob.h"
#include "render/SheetRenderer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(sw::app::kApplicationTitle));
    // A running program showing its plain title is brought forward instead.
    if (sw::app::RaiseRunningInstance()) return 0;

    sw::render::InstallFontSubstitutions();
    sw::app::InstallJapaneseQtTexts();
    auto ws = std::make_unique<sw::model::Workspace>();
    sw::app::QtDialogs dialogs;
    sw::render::QtPrintTarget printer;
    sw::app::Program program(*ws, dialogs, printer);
    sw::app::InstanceServer instance(&program.main());
    instance.Listen();
    program.main().show();
    return app.exec();
}
