// Creation order of the program's windows, and the print commands bound to the printer.
#include "app/Program.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSessionManager>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/Commands.h"
#include "app/Recovery.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "print/PrintJob.h"
#include "print/TfrmPreview.h"

namespace sw::app {

bool InstallJapaneseQtTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

Program::Program(sw::model::Workspace& ws, Dialogs& dialogs, sw::render::PrintTarget& printer)
    : m_ws(ws),
      m_dialogs(dialogs),
      m_main(std::make_unique<sw::editor::TfrmMain>(ws, dialogs)),
      m_commands(std::make_unique<Commands>(*m_main, dialogs)) {
    // The preview lives from here to the end, hidden until the preview command shows it, so
    // that its zoom and first showing are kept between showings.
    // The first settings write that fails is told once, naming the file.
    ws.settings.WriteFailed = [this, &dialogs](const std::string& path) {
        dialogs.Message(m_main.get(), MessageKind::Error,
                        QStringLiteral("設定ファイル %1 に書き込めません。\n"
                                       "ウィンドウの位置や印刷の微調整は保存されません。")
                            .arg(QFile::decodeName(QByteArray::fromStdString(path))),
                        Buttons::Ok);
    };
    m_preview = new sw::render::TfrmPreview(ws, printer, dialogs, m_main.get());
    m_commands->SetPreviewCommand([this] { m_preview->ShowPreview(); });
    m_commands->SetPrintTarget(&printer);
    m_commands->SetPrintCommand([this, &printer, &dialogs, &ws] {
        sw::render::PrintSheet(m_main.get(), printer, dialogs, ws);
    });
}

void Program::KeepRecoveryCopies(const std::string& folder, std::function<void(int)> end) {
    m_recovery = std::make_unique<RecoveryKeeper>(*m_main, m_commands->changes(), m_dialogs, folder);
    m_commands->SetRecoveryKeeper(m_recovery.get());
    // The close request settles the changes (saved, or let go); the copy goes with them.
    m_main->SetCloseQuery([this] {
        const bool close = m_commands->FormCloseQuery();
        if (close) m_recovery->WindowClosing();
        return close;
    });
    if (!end) end = [](int signal) { QCoreApplication::exit(128 + signal); };
    m_signals = std::make_unique<TerminationSignals>([this, end = std::move(end)](int signal) {
        m_recovery->KeepForNextStart();
        m_recovery->Update(RecoveryKeeper::Occasion::Ending);
        end(signal);
    });
    // A logout under an X11 session manager asks first; the copy is then on the disk
    // whatever the session does with the program afterwards.
    QObject::connect(
        qGuiApp, &QGuiApplication::commitDataRequest, m_recovery.get(),
        [this](QSessionManager&) { m_recovery->Update(RecoveryKeeper::Occasion::Ending); }, Qt::DirectConnection);
}

void Program::OfferRecoveredCopies() {
    if (m_recovery) sw::app::OfferRecoveredCopies(*m_commands, *m_recovery, m_dialogs, m_main.get());
}

Program::~Program() {
    m_signals.reset();
    m_recovery.reset();
    m_ws.settings.WriteFailed = nullptr;
    m_commands.reset();
    m_main.reset();
}

}  // namespace sw::app
