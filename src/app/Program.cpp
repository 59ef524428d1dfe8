// Creation order of the program's windows, and the print commands bound to the printer.
#include "app/Program.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/Commands.h"
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

Program::~Program() {
    m_ws.settings.WriteFailed = nullptr;
    m_commands.reset();
    m_main.reset();
}

}  // namespace sw::app
