// CSV から読み込み and CSV に書き出し: the key texts of the current management number to
// and from a CSV file; an import shows what it changes before anything changes.
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

QStringList RefusalLines(const std::vector<sw::model::KeyListRefusal>& refusals) {
    QStringList lines;
    for (const sw::model::KeyListRefusal& r : refusals) lines << QStringLiteral("%1 行目: %2").arg(r.row).arg(r.reason);
    return lines;
}

QString ShortRefusalList(const std::vector<sw::model::KeyListRefusal>& refusals) {
    QStringList lines = RefusalLines(refusals);
    if (lines.size() > kListedRefusals) {
        const qsizetype more = lines.size() - kListedRefusals;
        lines = lines.mid(0, kListedRefusals);
        lines << QStringLiteral("ほか %1 行").arg(more);
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
    sw::model::KeyListRead rows;
    sw::model::KeyTextImport plan;
    bool read = false;
    {
        WaitCursor wait;
        read = sw::model::ReadWholeFile(FileSystemPath(*chosen), data, failure,
                                        sw::model::kMaxKeyCsvBytes);
        if (read) {
            rows = sw::model::ReadKeyCsv(data, sw::model::CsvEncodingChoice::Detect);
            plan = sw::model::PlanKeyTextImport(m_ws.labelSet, rows, m_ws.editor.CurrentEntry,
                                                &sw::render::KeyFitRefusal);
        }
    }
    auto tell = [&](MessageKind kind, const QString& text) {
        m_dialogs.Message(this, kind, text, Buttons::Ok);
        FocusName();
    };
    if (!read) return tell(MessageKind::Error, QString::fromStdString(failure));
    if (!rows.failure.isEmpty())
        return tell(MessageKind::Error, QStringLiteral("「%1」を読み込めません。%2\n何も変えていません。")
                                            .arg(fileName, rows.failure));
    if (rows.rows.empty() && rows.refusals.empty())
        return tell(MessageKind::Information,
                    QStringLiteral("「%1」には読み込むキーの行がありません（%2）。何も変えていません。")
                        .arg(fileName, data.empty() ? QStringLiteral("空のファイルです")
                                                    : QStringLiteral("見出しと空の行だけです")));
    if (plan.changes.empty() && plan.refusals.empty())
        return tell(MessageKind::Information,
                    QStringLiteral("「%1」の %2 行は、どれもキーの今の文字と同じです。何も変えていません。")
                        .arg(fileName)
                        .arg(plan.unchanged));
    if (plan.changes.empty())
        return tell(MessageKind::Error,
                    QStringLiteral("「%1」の次の行は読み込めません。\n\n%2\n\nほかの行で変わるキーがないため、何も変えていません。")
                        .arg(fileName, ShortRefusalList(plan.refusals)));

    sw::app::KeyChangeReview review;
    review.title = QStringLiteral("CSV から読み込み");
    review.intro = QStringLiteral("「%1」を読み込むと、管理番号 %2 の次の %3 個のキーが変わります"
                                  "（%4 行のうち、変わらない行 %5、読み込めない行 %6）。")
                       .arg(fileName)
                       .arg(m_ws.editor.CurrentEntry, 2, 10, QLatin1Char('0'))
                       .arg(plan.changes.size())
                       .arg(plan.Rows())
                       .arg(plan.unchanged)
                       .arg(plan.refusals.size());
    if (plan.Suspects() > 0)
        review.intro += QStringLiteral("\n※の付いた %1 個は、表計算ソフトが書き換えた文字かもしれません。").arg(plan.Suspects());
    review.notice = rows.notice;
    for (const sw::model::KeyTextChange& change : plan.changes)
        review.changes << sw::model::DescribeKeyChange(change, false);
    review.refusals = RefusalLines(plan.refusals);
    review.question = QStringLiteral("OK で変えます（元に戻す（Ctrl+U）1 回で全部戻せます）。キャンセルすると何も変えません。");
    if (m_dialogs.ReviewKeyChanges(this, review) != Reply::Ok) {
        FocusName();
        return;
    }
    PerformRefresh(sw::model::ImportKeyTexts(m_ws, plan.changes));
    tell(MessageKind::Information,
         QStringLiteral("CSV の読み込みが終了しました（%1 個のキーが変わりました）。").arg(plan.changes.size()));
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
