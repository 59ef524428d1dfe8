// The command table of the main window: menu items and tool buttons bound to what they do,
// the tool-bar prologue, the file commands, help, About and the close request.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <map>

#include "model/Workspace.h"

namespace sw::render {
class PrintTarget;
}
namespace sw::model {
struct RecoveredDocument;
}
namespace sw::editor {
class TfrmMain;
}

namespace sw::app {

class Dialogs;
class RecoveryKeeper;
class UnsavedChanges;

class Commands : public QObject {
    Q_OBJECT
public:
    // Binds the menu items, tool buttons and the exit button of the window.
    Commands(sw::editor::TfrmMain& window, Dialogs& dialogs, QObject* parent = nullptr);

    // Tool buttons 1-6, 8-13 and 25-27: the prologue, then the command of the number.
    void ToolButton1Click(int number);
    // ApplyEntryNumber, close the key editor, store the key text and the name. False when
    // the Ｎｏ field is invalid: the command does not run.
    bool ToolPrologue();
    // Commands of tool buttons whose operations other parts of the editor carry out.
    void SetToolCommand(int number, std::function<void()> command);

    // Print and preview, provided by the printing side.
    void SetPrintCommand(std::function<void()> print) { m_printSheet = std::move(print); }
    void SetPreviewCommand(std::function<void()> preview) { m_showPreview = std::move(preview); }
    // The printer the fine-adjustment dialog's test print goes to.
    void SetPrintTarget(sw::render::PrintTarget* printer) { m_printTarget = printer; }

    // File commands, with their dialogs, messages, cursor, title and focus. New and open
    // first settle what is being typed and unsaved changes; SaveLabelSet is true when the file
    // was written. A save over the file the document came from asks before it overwrites a
    // change made there by another window or program since.
    void NewLabelSet();
    void LoadLabelSet();
    bool SaveLabelSet();
    // Opens the label set of a file named outside the open dialog: on the command line, by
    // a later start, dropped on the window, or from the recent files under ファイル. Asks
    // about unsaved changes as 開く does. `announce` shows "読込が終了しました。" as 開く does.
    void OpenLabelSetFile(const QString& path, bool announce);

    // Every command that replaces the document asks this first: the key and the name being
    // typed are stored into the document they were typed in, then its unsaved changes are
    // settled ("変更を保存しますか？"; はい saves under a chosen name). With nothing unsaved,
    // `askWhenSaved` (when given) is asked with OK and キャンセル. True: replace it now.
    bool SettleBeforeReplacing(const QString& askWhenSaved = QString());

    // The window has come to the front: when the file the document was read from or saved to
    // now holds other bytes, the bar above the key area says so (once for each change).
    void CheckFileOnDisk();
    // 読み込み直す on that bar: the file read again, after what is typed and unsaved is settled.
    void ReloadFromDisk();
    // Brings another window that shows the file forward; true when one did, and this window
    // then leaves its document as it is. Unset: no other window is asked.
    std::function<bool(const QString& path)> bringForwardWindowShowing;

    // The recent files under ファイル, from the settings file.
    void ShowRecentFiles();

    // Menu items of the File, management and Help menus close the key editor first.
    void CloseEditorForMenu();
    // The print fine adjustment, and the registration and selection of management numbers.
    void ShowPrintAdjustment();
    void OpenRegistration();
    void OpenSelection();
    void ShowHelp();
    void ShowAbout();
    void Exit();

    // FormCloseQuery: writes the main window's settings, then asks (about unsaved changes,
    // or whether to end). True = close.
    bool FormCloseQuery();

    // True while the label set holds changes that are in no file.
    bool DocumentModified();
    UnsavedChanges& changes() { return *m_changes; }

    // A document brought back from a recovery copy replaces the open one (nothing is open
    // yet at the start): shown with "＊" and the name of the file it belongs to, whose
    // identity it keeps, so that a change of that file by someone else is still noticed.
    void OpenRecoveredCopy(sw::model::RecoveredDocument document);
    // はい to a recovery copy offered at the start: what the window holds is settled first
    // ("変更を保存しますか？"), as before any document that replaces it; false when the user
    // cancelled, and the open document stays.
    bool RestoreRecoveredCopy(sw::model::RecoveredDocument document);
    // The window's recovery copy, brought up to date when a cut-off save is opened.
    void SetRecoveryKeeper(RecoveryKeeper* keeper) { m_recovery = keeper; }

    // How the help document is opened (QDesktopServices by default).
    std::function<bool(const QUrl&)> openUrl;
    // Where the help document is looked for after the settings folder: the program's
    // installed data folder (/usr/share/stripwise2), then ../share/stripwise2 beside it.
    QStringList helpFolders;

    // The file the open and the save dialog propose next.
    QString openDialogPath() const { return m_openPath; }
    QString saveDialogPath() const { return m_savePath; }

private:
    // What "変更を保存しますか？" leaves to the command that asked it.
    enum class Unsaved {
        None,     // nothing unsaved: the command asks its own question, if it has one
        Handled,  // saved, or the user let the changes go: the command goes on
        Cancel,   // the user cancelled, or the save failed or was cancelled: it stops
    };
    // Stores the name being typed, then asks about unsaved changes; はい saves under a
    // chosen name.
    Unsaved SettleUnsavedChanges();
    void PrintSheet();
    void ShowPreview();
    // Reads the file into the open document (which stays as it was when that fails).
    void ReadLabelSetFile(const QString& path, bool announce);
    void RememberRecentFile(const QString& path);
    // The file the document now belongs to (none after 新規作成); the bar about an earlier
    // file's change goes.
    void SetDocumentFile(sw::model::FileIdentity identity);
    // True when the file at `path` is the one the document came from and holds other bytes
    // now than it did then.
    bool ChangedSinceOpened(const QString& path) const;
    bool ShownInAnotherWindow(const QString& path) const;
    // A save of the file that was cut off while it wrote the file in place is offered back
    // before the file is read. True when its content was opened instead.
    bool OfferInterruptedSave(const QString& path);

    sw::editor::TfrmMain& m_window;
    sw::model::Workspace& m_ws;
    Dialogs& m_dialogs;
    std::map<int, std::function<void()>> m_toolCommands;
    std::function<void()> m_printSheet;
    sw::render::PrintTarget* m_printTarget = nullptr;
    std::function<void()> m_showPreview;
    QString m_openPath;
    QString m_savePath;
    UnsavedChanges* m_changes = nullptr;  // a child of this object
    std::string m_toldDiskHash;           // the change on disk the bar has told of
    RecoveryKeeper* m_recovery = nullptr;
};

}  // namespace sw::app
