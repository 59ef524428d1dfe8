// CSV から読み込み and CSV に書き出し: the key texts of the current management number to
// and from a CSV file, every refused row shown before anything changes.
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "editor/TfrmMain.h"
#include "model/AtomicFile.h"
#include "model/KeyCsv.h"
#include "render/KeyFitText.h"

namespace sw::editor {

namespace {

using sw::app::Buttons;
using sw::app::MessageKind;
using sw::app::Reply;
using sw::app::WaitCursor;

// A message box stays readable: the first rows, then how many more.
constexpr int kListedRefusals = 20;

QString RefusalList(const std::vector<sw::model::KeyCsvRefusal>& refusals) {
    QStringList lines;
    for (const sw::model::KeyCsvRefusal& r : refusals) {
        if (lines.size() == kListedRefusals) {
            lines << QStringLiteral("ほか %1 行").arg(refusals.size() - kListedRefusals);
            break;
        }
        lines << QStringLiteral("%1 行目: %2").arg(r.row).arg(r.reason);
    }
    return lines.join(QLatin1Char('\n'));
}

std::string FileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void TfrmMain::ImportKeyCsv() {
    const std::optional<QString> chosen =
        m_dialogs.ChooseFile(this, sw::app::FileKind::OpenKeyCsv, m_csvPath);
    if (!chosen) {
        FocusName();
        return;
    }
    m_csvPath = *chosen;
    const QString fileName = QFileInfo(*chosen).fileName();
    std::string data;
    std::string failure;
    sw::model::KeyTextImport plan;
    bool read = false;
    {
        WaitCursor wait;
        read = sw::model::ReadWholeFile(FileSystemPath(*chosen), data, failure,
                                        sw::model::kMaxKeyCsvBytes);
        if (read) {
            const sw::model::KeyCsvRead rows =
                sw::model::ReadKeyCsv(data, sw::model::CsvEncodingChoice::Detect);
            plan = sw::model::PlanKeyTextImport(m_ws.labelSet, rows, m_ws.editor.CurrentEntry,
                                                &sw::render::KeyFitRefusal);
        }
    }
    if (!read) {
        m_dialogs.Message(this, MessageKind::Error, QString::fromStdString(failure), Buttons::Ok);
        FocusName();
        return;
    }
    if (plan.changes.empty() && plan.refusals.empty()) {
        m_dialogs.Message(this, MessageKind::Information,
                          QStringLiteral("「%1」には読み込むキーの行がありません。").arg(fileName), Buttons::Ok);
        FocusName();
        return;
    }
    if (!plan.refusals.empty()) {
        const QString listed = QStringLiteral("「%1」の次の行は読み込めません。\n\n%2\n\n")
                                   .arg(fileName, RefusalList(plan.refusals));
        if (plan.changes.empty()) {
            m_dialogs.Message(this, MessageKind::Error,
                              listed + QStringLiteral("読み込める行がないため、何も変えていません。"),
                              Buttons::Ok);
            FocusName();
            return;
        }
        const QString question =
            QStringLiteral("読み込める %1 行だけを読み込みますか？\nキャンセルすると何も変えません。")
                .arg(plan.changes.size());
        if (m_dialogs.Message(this, MessageKind::Confirmation, listed + question, Buttons::OkCancel) !=
            Reply::Ok) {
            FocusName();
            return;
        }
    }
    PerformRefresh(sw::model::ImportKeyTexts(m_ws, plan.changes));
    m_dialogs.Message(this, MessageKind::Information,
                      QStringLiteral("CSV の読み込みが終了しました（%1 個のキー）。").arg(plan.changes.size()),
                      Buttons::Ok);
    FocusName();
}

void TfrmMain::ExportKeyCsv() {
    const std::optional<QString> chosen =
        m_dialogs.ChooseFile(this, sw::app::FileKind::SaveKeyCsv, m_csvPath);
    if (!chosen) {
        FocusName();
        return;
    }
    const QString path = sw::app::WithCsvExtension(*chosen);
    if (QFileInfo::exists(path) &&
        m_dialogs.Message(this, MessageKind::Confirmation,
                          QStringLiteral("既にファイルが存在します。上書きしますか？"),
                          Buttons::OkCancel) != Reply::Ok) {
        FocusName();
        return;
    }
    sw::model::KeyCsvWritten csv;
    sw::model::WriteResult written;
    {
        WaitCursor wait;
        csv = sw::model::WriteKeyCsv(m_ws.labelSet, {m_ws.editor.CurrentEntry},
                                     sw::model::CsvEncoding::Utf8);
        written = sw::model::WriteFileAtomically(FileSystemPath(path), csv.data);
    }
    if (!written.ok) {
        m_dialogs.Message(this, MessageKind::Error, QString::fromStdString(written.message), Buttons::Ok);
        FocusName();
        return;
    }
    m_csvPath = path;
    if (!csv.unreadable.empty()) {
        m_dialogs.Message(this, MessageKind::Warning,
                          QStringLiteral("次のキーの文字には Shift-JIS として読めないバイトがあり、CSV では"
                                         "「\uFFFD」になりました（読み込むときには拒まれます）。\n\n%1")
                              .arg(QStringList(csv.unreadable.begin(), csv.unreadable.end()).join(QLatin1Char('\n'))),
                          Buttons::Ok);
    }
    m_dialogs.Message(this, MessageKind::Information,
                      QStringLiteral("CSV への書き出しが終了しました（%1 個のキー）。").arg(csv.rows),
                      Buttons::Ok);
    FocusName();
}

}  // namespace sw::editor
