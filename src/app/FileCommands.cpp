// "新規作成", "開く" and "名前を付けて保存": dialogs, messages, hourglass, title and focus
// around the label-set file. A load that fails leaves the open document as it was.
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "app/Commands.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "app/UnsavedChanges.h"
#include "editor/TfrmMain.h"
#include "model/DocumentOps.h"
#include "model/LabelSetFile.h"
#include "model/Cp932.h"
#include "model/Settings.h"

namespace sw::app {

namespace {

std::string FileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FileNamePart(const QString& path) {
    return QString::fromStdString(sw::model::TitleFileName(path.toStdString()));
}

// A value that must be a number and is not: the file is something else, or damaged.
QString LoadFailure(const QString& path, const sw::model::ReadError& error) {
    if (error.line <= 0) return QString::fromStdString(error.message);  // names the file itself
    return QStringLiteral("「%1」は示名条片ファイルではないか、壊れているため読み込めませんでした。\n"
                          "%2 行目: 数値が入るはずの行に数値ではないものが書かれています。\n"
                          "開いている内容はそのままです。")
        .arg(path)
        .arg(error.line);
}

QString LoadCompletion(const sw::model::LoadResult& result) {
    if (!result.endedEarly) return QStringLiteral("読込が終了しました。");
    return QStringLiteral("ファイルが途中で終わっています（%1 行）。足りない値は初期値で読み込みました。")
        .arg(result.linesRead);
}

}  // namespace

Commands::Unsaved Commands::SettleUnsavedChanges() {
    // A name still being typed is a change too.
    m_window.StoreEntryName();
    if (!m_changes->Check()) return Unsaved::None;
    switch (m_dialogs.Message(&m_window, MessageKind::Confirmation,
                              QStringLiteral("変更を保存しますか？"), Buttons::YesNoCancel)) {
    case Reply::Yes: return SaveLabelSet() ? Unsaved::Handled : Unsaved::Cancel;
    case Reply::No: return Unsaved::Handled;
    default: return Unsaved::Cancel;
    }
}

bool Commands::SettleBeforeReplacing(const QString& askWhenSaved) {
    // Text typed into a key belongs to the document it was typed in, also when the window is
    // in the background and the editor still holds it (a file handed over by another start).
    if (m_ws.editor.KeyEditorOpen) m_window.CloseKeyEditor();
    m_window.StoreKeyEditorText();
    switch (SettleUnsavedChanges()) {
    case Unsaved::Handled: return true;
    case Unsaved::Cancel: return false;
    case Unsaved::None: break;
    }
    return askWhenSaved.isEmpty() ||
           m_dialogs.Message(&m_window, MessageKind::Confirmation, askWhenSaved, Buttons::OkCancel) == Reply::Ok;
}

bool Commands::ShownInAnotherWindow(const QString& path) const {
    return bringForwardWindowShowing && bringForwardWindowShowing(path);
}

void Commands::SetDocumentFile(sw::model::FileIdentity identity) {
    m_ws.file = std::move(identity);
    m_toldDiskHash.clear();
    m_window.HideFileChangedBar();
}

bool Commands::ChangedSinceOpened(const QString& path) const {
    return m_ws.file.known() && sw::model::SameFileOnDisk(m_ws.file.path, FileSystemPath(path)) &&
           sw::model::CompareWithDisk(m_ws.file, sw::model::kMaxLabelSetFileBytes) == sw::model::DiskState::Changed;
}

void Commands::CheckFileOnDisk() {
    std::string diskHash;
    switch (sw::model::CompareWithDisk(m_ws.file, sw::model::kMaxLabelSetFileBytes, &diskHash)) {
    case sw::model::DiskState::Changed: {
        // Told once for each change: closed with 閉じる, it comes again only for another one.
        const std::string seen = diskHash.empty() ? std::string("(too large to read)") : diskHash;
        if (m_window.FileChangedBarShown() || seen == m_toldDiskHash) return;
        m_toldDiskHash = seen;
        m_window.ShowFileChangedBar(
            QStringLiteral("「%1」はほかのウィンドウまたはプログラムで変更されています。")
                .arg(FileNamePart(QFile::decodeName(QByteArray::fromStdString(m_ws.file.path)))));
        return;
    }
    case sw::model::DiskState::Unchanged:
    case sw::model::DiskState::Missing:
        // Back as it was (or gone): nothing left to read again.
        m_toldDiskHash.clear();
        m_window.HideFileChangedBar();
        return;
    case sw::model::DiskState::Unreadable:
        return;
    }
}

void Commands::ReloadFromDisk() {
    if (!m_ws.file.known()) return;
    const QString path = QFile::decodeName(QByteArray::fromStdString(m_ws.file.path));
    if (!SettleBeforeReplacing()) {
        m_window.FocusName();
        return;
    }
    ReadLabelSetFile(path, false);
}

void Commands::NewLabelSet() {
    if (!SettleBeforeReplacing(QStringLiteral("新規作成しますか？"))) {
        m_window.FocusName();
        return;
    }
    m_window.SetDocumentTitle(QString());
    m_window.ClearScreenBackground();
    sw::model::NewLabelSetReset(m_ws);
    SetDocumentFile({});
    m_changes->MarkSaved();
    m_window.ShowResetLabelSet();
    m_window.FocusName();
}

void Commands::LoadLabelSet() {
    if (!SettleBeforeReplacing()) {
        m_window.FocusName();
        return;
    }
    std::optional<QString> chosen = m_dialogs.ChooseFile(&m_window, FileKind::OpenLabelSet, m_openPath);
    if (!chosen || ShownInAnotherWindow(*chosen)) {
        m_window.FocusName();
        return;
    }
    ReadLabelSetFile(*chosen, true);
}

void Commands::OpenLabelSetFile(const QString& path, bool announce) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Another window showing it comes forward; nothing here is asked or changed.
    if (ShownInAnotherWindow(absolute)) return;
    if (!SettleBeforeReplacing()) {
        m_window.FocusName();
        return;
    }
    ReadLabelSetFile(absolute, announce);
}

void Commands::ReadLabelSetFile(const QString& path, bool announce) {
    m_openPath = path;
    if (!QFileInfo::exists(path)) {
        m_dialogs.Message(&m_window, MessageKind::Error, QStringLiteral("ファイルが存在しません。"),
                          Buttons::Ok);
        m_window.FocusName();
        return;
    }
    QString failure;
    QString completion;
    MessageKind completionKind = MessageKind::Information;
    {
        WaitCursor wait;
        // Read into a spare set: the open document changes only once the whole file is read.
        auto loaded = std::make_unique<sw::model::LabelSet>();
        sw::model::FileIdentity identity;
        sw::model::LoadResult result = sw::model::LoadLabelSetFile(FileSystemPath(path), *loaded, &identity);
        if (result.ok) {
            m_window.ClearScreenBackground();
            sw::model::ReplaceLabelSet(m_ws, std::move(*loaded));
            SetDocumentFile(std::move(identity));
            // The document as read is the file's; showing it must not change it.
            m_changes->MarkSaved();
            m_window.ShowLoadedLabelSet();
            m_window.SetDocumentTitle(FileNamePart(path));
            m_savePath = path;
            RememberRecentFile(path);
            completion = LoadCompletion(result);
            if (result.endedEarly) completionKind = MessageKind::Warning;
        } else {
            failure = LoadFailure(path, result.error);
        }
    }
    if (!failure.isEmpty()) {
        m_dialogs.Message(&m_window, MessageKind::Error, failure, Buttons::Ok);
        m_window.FocusName();
        return;
    }
    if (announce || completionKind != MessageKind::Information)
        m_dialogs.Message(&m_window, completionKind, completion, Buttons::Ok);
    m_window.FocusName();
}

void Commands::RememberRecentFile(const QString& path) {
    // The settings file holds CP932 lines: a path it cannot hold is not remembered.
    const sw::model::EncodeResult encoded = sw::model::EncodeCp932(path);
    if (!encoded.ok() || path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'))) return;
    const std::string settings = m_ws.settings.WritePath();
    sw::model::NoteSettingsWrite(
        m_ws.settings, sw::model::WriteRecentFiles(
                           settings, sw::model::WithRecentFile(sw::model::ReadRecentFiles(settings), encoded.bytes)));
    ShowRecentFiles();
}

void Commands::ShowRecentFiles() {
    const std::vector<sw::model::Bytes> files = sw::model::ReadRecentFiles(m_ws.settings.SettingsPath());
    for (int n = 1; n <= sw::model::kRecentFileCount; ++n) {
        QAction* item = m_window.action(QStringLiteral("Recent%1").arg(n));
        const auto i = static_cast<size_t>(n - 1);
        if (i >= files.size()) {
            item->setVisible(false);
            continue;
        }
        const QString path = sw::model::DecodeCp932(files[i]);
        // "&1 name.stw", with the whole path as the status tip.
        QString label = FileNamePart(path);
        label.replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(QStringLiteral("&%1 %2").arg(n).arg(label));
        item->setStatusTip(path);
        item->setToolTip(path);
        item->setData(path);
        item->setVisible(true);
    }
    m_window.findChild<QAction*>(QStringLiteral("RecentSeparator"))->setVisible(!files.empty());
}

bool Commands::SaveLabelSet() {
    // A name still being typed belongs to what is saved.
    m_window.StoreEntryName();
    std::optional<QString> chosen = m_dialogs.ChooseFile(&m_window, FileKind::SaveLabelSet, m_savePath);
    if (!chosen) return false;
    const QString path = WithLabelSetExtension(*chosen);
    if (QFileInfo::exists(path)) {
        // The file the document came from, changed by someone else since: overwriting it loses
        // their change, so Enter keeps it.
        const bool changed = ChangedSinceOpened(path);
        const QString question =
            changed ? QStringLiteral("「%1」は開いた後にほかのウィンドウまたはプログラムで変更されています。"
                                     "上書きすると、その変更は失われます。上書きしますか？")
                          .arg(FileNamePart(path))
                    : QStringLiteral("既にファイルが存在します。上書きしますか？");
        if (m_dialogs.Message(&m_window, MessageKind::Confirmation, question,
                              changed ? Buttons::OkCancelDefaultCancel : Buttons::OkCancel) != Reply::Ok) {
            m_window.FocusName();
            return false;
        }
    }
    sw::model::SaveResult result;
    {
        WaitCursor wait;
        sw::model::FileIdentity identity;
        result = sw::model::SaveLabelSetFile(FileSystemPath(path), m_ws.labelSet, &identity);
        if (result.ok) {
            SetDocumentFile(std::move(identity));
            m_changes->MarkSaved();
            m_window.SetDocumentTitle(FileNamePart(path));
            m_savePath = path;
            RememberRecentFile(path);
        }
    }
    if (!result.ok) {
        m_dialogs.Message(&m_window, MessageKind::Error, QString::fromStdString(result.message),
                          Buttons::Ok);
        m_window.FocusName();
        return false;
    }
    m_dialogs.Message(&m_window, MessageKind::Information, QStringLiteral("保存が終了しました。"),
                      Buttons::Ok);
    m_window.FocusName();
    return true;
}

}  // namespace sw::app
