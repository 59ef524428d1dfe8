// Stripwise 2: designs and prints the key label strips of business key telephones.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/Program.h"
#include "app/Recovery.h"
#include "app/SingleInstance.h"
#include "app/WindowActivation.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/RecoveryFile.h"
#include "model/Settings.h"
#include "model/Workspace.h"
#include "print/PrintJob.h"
#include "render/SheetRenderer.h"

namespace {

constexpr int kExitUsage = 2;

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

int TellUsageError(const QString& error) {
    std::fprintf(stderr, "stripwise2: %s (see stripwise2 --help)\n", error.toLocal8Bit().constData());
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("stripwise2"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SW_VERSION));
    {
        // --help and --version answer on the terminal, without a window or a display.
        const QStringList arguments = sw::app::WithoutQtOptions(Arguments(argc, argv));
        QCommandLineParser early;
        sw::app::SetUpOptions(early);
        early.parse(arguments);
        if (early.isSet(QStringLiteral("help")) || early.isSet(QStringLiteral("help-all"))) {
            // Without an application object Qt cannot know the program's name.
            QString help = early.helpText();
            help.replace(QStringLiteral("<executable_name>"), QStringLiteral("stripwise2"));
            std::fputs(help.toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (early.isSet(QStringLiteral("version"))) {
            std::printf("stripwise2 %s\n", SW_VERSION);
            return 0;
        }
        // A mistake is told before Qt starts: without a display Qt would end the program
        // with its own message before the arguments are looked at.
        if (const QString error = sw::app::UsageError(arguments); !error.isEmpty()) return TellUsageError(error);
    }

    // Read before the toolkit connects to the display, which takes them out of the environment.
    const sw::app::StartTokens startTokens = sw::app::ReadStartTokens();
    QApplication app(argc, argv);
    // What is left after Qt took its own options (-platform, -display, …) must be ours.
    if (const QString error = sw::app::UsageError(QApplication::arguments()); !error.isEmpty())
        return TellUsageError(error);
    QCommandLineParser parser;
    sw::app::SetUpOptions(parser);
    parser.parse(QApplication::arguments());
    QApplication::setApplicationName(QString::fromUtf8(sw::app::kApplicationTitle));
    // The desktop entry this program belongs to (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.stripwise2.Stripwise2"));
    const QString file = parser.positionalArguments().value(0);
    if (sw::app::InstanceFolder().isEmpty()) {
        std::fprintf(stderr,
                     "stripwise2: the folder for the single-instance check is not private to this user; "
                     "running without it\n");
    }
    // A running program whose window shows the file, or one showing its plain title, is
    // brought forward instead (the latter opens the file).
    if (sw::app::HandToRunningInstance(file, sw::app::ActivationToken(startTokens))) return 0;

    sw::render::InstallFontSubstitutions();
    sw::app::InstallJapaneseQtTexts();
    auto ws = std::make_unique<sw::model::Workspace>();
    // The settings folder: the start folder when it holds a settings file, else the user's
    // configuration folder.
    ws->settings.ProgramDir = sw::model::SettingsFolder();
    ws->settings.MakeFolderOnWrite = true;
    sw::app::QtDialogs dialogs;
    sw::render::QtPrintTarget printer;
    sw::app::Program program(*ws, dialogs, printer);
    sw::app::InstanceServer instance(&program.main());
    instance.SetFileOpener([&program](const QString& path) { program.commands().OpenLabelSetFile(path, false); });
    instance.SetShownFile([&ws] { return ws->file; });
    instance.Listen();
    // A file this window is asked to open that another window shows brings that one forward.
    program.commands().bringForwardWindowShowing = [&instance](const QString& path) {
        return sw::app::BringForwardWindowShowing(path, {}, instance.socketName());
    };
    sw::app::PlaceBesideRunningWindows(&program.main(), instance.socketName());
    // What a window that ended without saving left is offered once this one is up, before
    // the file named on the command line is opened.
    program.KeepRecoveryCopies(sw::model::RecoveryFolder());
    program.main().show();
    QTimer::singleShot(0, &program.main(), [&program, file] {
        program.OfferRecoveredCopies();
        if (!file.isEmpty()) program.commands().OpenLabelSetFile(file, false);
    });
    const int status = app.exec();
    program.recovery()->ProgramEnding();
    return status;
}
