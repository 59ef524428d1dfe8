// Opening what a recovery copy or the journal of a cut-off save brought back: the document
// with "＊", under the name of the file it belongs to.
#include <unistd.h>

#include <QFile>
#include <memory>

#include "app/Commands.h"
#include "app/Recovery.h"
#include "app/UnsavedChanges.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/AtomicFile.h"
#include "model/DocumentOps.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryJournal.h"

namespace sw::app {

void Commands::OpenRecoveredCopy(sw::model::RecoveredDocument document) {
    m_window.ClearScreenBackground();
    sw::model::ReplaceLabelSet(m_ws, std::move(*document.set));
    SetDocumentFile(std::move(document.file));
    m_changes->MarkRestored();
    m_window.ShowLoadedLabelSet();
    const QString path = QFile::decodeName(QByteArray::fromStdString(m_ws.file.path));
    m_window.SetDocumentTitle(path.isEmpty() ? QString()
                                             : QString::fromStdString(sw::model::TitleFileName(path.toStdString())));
    if (!path.isEmpty()) {
        m_openPath = path;
        m_savePath = path;
    }
    m_window.FocusName();
}

bool Commands::RestoreRecoveredCopy(sw::model::RecoveredDocument document) {
    // The key and the name being typed go to the document they were typed in first.
    if (!SettleBeforeReplacing()) return false;
    OpenRecoveredCopy(std::move(document));
    return true;
}

bool Commands::OfferInterruptedSave(const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    std::optional<sw::model::InterruptedSave> interrupted =
        sw::model::FindInterruptedSave(file, sw::model::kMaxLabelSetFileBytes);
    if (!interrupted) return false;
    auto set = std::make_unique<sw::model::LabelSet>();
    const sw::model::LoadResult read = sw::model::ReadLabelSet(interrupted->content, *set);
    // What was being saved there was no label set: the file is opened as it is.
    if (!read.ok || read.endedEarly) return false;
    if (m_dialogs.Message(&m_window, MessageKind::Confirmation,
                          QStringLiteral("前回の保存が途中で止まりました。保存しようとした内容を開きますか？"),
                          Buttons::YesNo) != Reply::Yes)
        return false;  // the journal stays: the offer comes again until the file is saved
    sw::model::RecoveredDocument document;
    document.set = std::move(set);
    // The file as it is now is the one the document belongs to: saving over it is no
    // overwriting of someone else's change.
    std::string bytes;
    std::string message;
    if (sw::model::ReadWholeFile(file, bytes, message, sw::model::kMaxLabelSetFileBytes))
        document.file = sw::model::IdentifyFile(file, bytes);
    else
        document.file.path = file;
    OpenRecoveredCopy(std::move(document));
    // Once the window's recovery copy holds it, the journal has done its work.
    if (m_recovery && m_recovery->Update(RecoveryKeeper::Occasion::Ending) && m_recovery->copy().exists())
        ::unlink(interrupted->journalPath.c_str());
    return true;
}

}  // namespace sw::app
