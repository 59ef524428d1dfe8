// Binding of menu items and tool buttons, the tool-bar prologue, help, About and shutdown.
#include "app/Commands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "dialogs/Dialogs.h"
#include "dialogs/WindowPlace.h"
#include "app/TfrmVersion.h"
#include "app/UnsavedChanges.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "mgmt/TfrmIchiran.h"
#include "mgmt/TfrmNaisen.h"
#include "model/Settings.h"
#include "print/TfrmSettei.h"

namespace sw::app {

Commands::Commands(sw::editor::TfrmMain& window, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_window(window), m_ws(window.workspace()), m_dialogs(dialogs) {
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    helpFolders = {QStringLiteral(SW_INSTALLED_DATA_DIR),
                   QCoreApplication::applicationDirPath() + QStringLiteral("/../share/stripwise2")};

    auto bind = [this](const char* name, std::function<void()> handler) {
        QAction* a = m_window.action(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    };
    bind("New1", [this] { CloseEditorForMenu(); NewLabelSet(); });
    bind("Open1", [this] { CloseEditorForMenu(); LoadLabelSet(); });
    bind("SaveAs1", [this] { CloseEditorForMenu(); SaveLabelSet(); });
    // An import changes the document without a key press of its own: compare right away.
    bind("CsvImport1", [this] { CloseEditorForMenu(); m_window.ImportKeyCsv(); m_changes->Check(); });
    bind("CsvExport1", [this] { CloseEditorForMenu(); m_window.ExportKeyCsv(); });
    bind("XlsxExport1", [this] { CloseEditorForMenu(); m_window.ExportKeyXlsx(); });
    // The File menu's preview item shows the preview as the tool button does.
    bind("N2", [this] { CloseEditorForMenu(); ShowPreview(); });
    bind("Print1", [this] { CloseEditorForMenu(); PrintSheet(); });
    bind("I1", [this] { CloseEditorForMenu(); ShowPrintAdjustment(); });
    bind("Exit1", [this] { Exit(); });
    bind("N3", [this] { OpenRegistration(); });
    bind("N4", [this] { OpenSelection(); });
    bind("de1", [this] { ShowHelp(); });
    bind("About1", [this] { ShowAbout(); });
    for (int n = 1; n <= sw::model::kRecentFileCount; ++n) {
        QAction* recent = m_window.action(QStringLiteral("Recent%1").arg(n));
        connect(recent, &QAction::triggered, this, [this, recent] {
            CloseEditorForMenu();
            OpenLabelSetFile(recent->data().toString(), true);
        });
    }
    m_window.SetFileDropped([this](const QString& path) { OpenLabelSetFile(path, false); });
    auto bindButton = [this](const char* name, std::function<void()> handler) {
        auto* button = m_window.findChild<QPushButton*>(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
    };
    bindButton("Button6", [this] { Exit(); });
    bindButton("Button2", [this] { OpenRegistration(); });
    bindButton("btnNaisen", [this] { OpenSelection(); });

    for (int n : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 25, 26, 27})
        connect(m_window.toolButton(n), &QToolButton::clicked, this, [this, n] { ToolButton1Click(n); });
    SetToolCommand(27, [this] { m_window.ChooseBackgroundPicture(); });  // as 画像選択

    // Key clipboard and undo: the Edit menu stores what a key editor holds and runs the
    // command; the tool buttons (after the prologue) and Ctrl+C/X/V/U run the same.
    using Edit = sw::editor::TfrmMain::EditCommand;
    const std::pair<const char*, Edit> editMenu[] = {
        {"Cut1", Edit::KeyCut}, {"Copy1", Edit::KeyCopy}, {"N7", Edit::KeyPaste},
        {"N6", Edit::FormatCopy}, {"N5", Edit::FormatPaste}, {"N10", Edit::EntryCut},
        {"N8", Edit::EntryCopy}, {"N11", Edit::EntryPaste}, {"Undo1", Edit::Undo},
        {"N9", Edit::Deselect}};
    // A paste while a key is being typed stores the typed text first, keeping the
    // clipboard it pastes from; undoing the paste brings the typed text back.
    auto isPaste = [](Edit command) {
        return command == Edit::KeyPaste || command == Edit::FormatPaste || command == Edit::EntryPaste;
    };
    for (const auto& [name, command] : editMenu)
        bind(name, [this, command, isPaste] {
            if (isPaste(command)) m_window.CloseKeyEditorForPaste();
            CloseEditorForMenu();
            m_window.RunEditCommand(command);
        });
    const std::pair<int, Edit> editTools[] = {{8, Edit::KeyCopy}, {9, Edit::KeyCut},
                                              {10, Edit::KeyPaste}, {11, Edit::EntryCut},
                                              {12, Edit::EntryCopy}, {13, Edit::EntryPaste}};
    for (const auto& [number, command] : editTools)
        SetToolCommand(number, [this, command] { m_window.RunEditCommand(command); });
    SetToolCommand(25, [this] { m_window.btnColorClick(); });
    SetToolCommand(26, [this] { m_window.btnColor1Click(); });

    m_window.SetCloseQuery([this] { return FormCloseQuery(); });
    m_window.SetActivated([this] { CheckFileOnDisk(); });
    m_window.SetReloadRequested([this] { ReloadFromDisk(); });
    m_changes = new UnsavedChanges(
        m_ws.labelSet, [this](bool modified) { m_window.SetModifiedMark(modified); }, this);
    ShowRecentFiles();
    // Another window may have opened or saved label sets since: the list as it is now.
    if (auto* file = m_window.findChild<QMenu*>(QStringLiteral("File1")))
        connect(file, &QMenu::aboutToShow, this, [this] { ShowRecentFiles(); });
}

void Commands::SetToolCommand(int number, std::function<void()> command) {
    m_toolCommands[number] = std::move(command);
}

bool Commands::ToolPrologue() {
    if (!m_window.ApplyEntryNumber()) return false;
    if (m_ws.editor.KeyEditorOpen) m_window.CloseKeyEditor();
    m_window.StoreKeyEditorText();
    m_window.StoreEntryName();
    return true;
}

void Commands::ToolButton1Click(int number) {
    // The paste buttons keep the clipboard through the prologue's store of the typed text.
    if (number == 10 || number == 13) m_window.CloseKeyEditorForPaste();
    if (!ToolPrologue()) return;
    switch (number) {
        case 1: NewLabelSet(); return;
        case 2: LoadLabelSet(); return;
        case 3: SaveLabelSet(); return;
        case 4: PrintSheet(); return;
        case 5: ShowPreview(); return;
        case 6: ShowPrintAdjustment(); return;
        default: break;
    }
    auto it = m_toolCommands.find(number);
    if (it != m_toolCommands.end() && it->second) it->second();
}

void Commands::CloseEditorForMenu() {
    if (m_ws.editor.KeyEditorOpen) m_window.CloseKeyEditor();
}

void Commands::PrintSheet() {
    if (m_printSheet) m_printSheet();
}

void Commands::ShowPreview() {
    if (m_showPreview) m_showPreview();
}

void Commands::ShowPrintAdjustment() {
    sw::render::ShowPrintAdjustment(&m_window, m_ws, m_printTarget, &m_dialogs);
}

void Commands::OpenRegistration() {
    CloseEditorForMenu();
    m_window.PerformRefresh(sw::mgmt::OpenRegistration(&m_window, m_ws));
    m_window.FocusName();
}

void Commands::OpenSelection() {
    CloseEditorForMenu();
    m_window.PerformRefresh(sw::mgmt::OpenSelection(&m_window, m_ws, m_window.edtNaisen()->text()));
    m_window.FocusName();
}

void Commands::ShowHelp() {
    CloseEditorForMenu();
    const QString name = sw::model::DecodeCp932(m_ws.settings.HelpFileName);
    // The settings folder first (a guide of one's own, or a portable copy), then where the
    // package installs it.
    QString path = QString::fromStdString(m_ws.settings.ProgramDir) + name;
    for (const QString& folder : helpFolders) {
        if (QFileInfo(path).isFile()) break;
        path = QDir::cleanPath(folder + QLatin1Char('/') + name);
    }
    if (QFileInfo(path).isFile()) {
        // The document opens in the program the desktop associates with it; we do not wait.
        // When the desktop has no such program nothing would happen at all, so say so.
        if (!openUrl(QUrl::fromLocalFile(path))) {
            m_dialogs.Message(&m_window, MessageKind::Error,
                              QStringLiteral("ヘルプファイル %1 を開くプログラムが見つかりません。")
                                  .arg(path),
                              Buttons::Ok);
        }
        return;
    }
    m_dialogs.Message(&m_window, MessageKind::Error, QStringLiteral("ヘルプファイルが有りません。"),
                      Buttons::Ok);
}

void Commands::ShowAbout() {
    CloseEditorForMenu();
    TfrmVersion about(m_ws.settings, &m_window);
    about.exec();
}

void Commands::Exit() {
    CloseEditorForMenu();
    m_window.close();
}

bool Commands::FormCloseQuery() {
    // The settings are written at every close request, whatever the answer; a failed write
    // does not stop the shutdown.
    sw::model::WindowPlacement at;
    TakeWindowPlace(&m_window, at);
    sw::model::NoteSettingsWrite(m_ws.settings, sw::model::WriteMainSettings(m_ws.settings.WritePath(), at.top,
                                                                            at.left, m_ws.settings, at.placed));
    // The close box may come while a key is being typed.
    CloseEditorForMenu();
    switch (SettleUnsavedChanges()) {
    case Unsaved::Handled: return true;
    case Unsaved::Cancel: return false;
    case Unsaved::None: break;
    }
    return m_dialogs.Message(&m_window, MessageKind::Confirmation,
                             QStringLiteral("終了してもよろしいですか？"), Buttons::YesNo) == Reply::Yes;
}

bool Commands::DocumentModified() { return m_changes->Check(); }

}  // namespace sw::app
