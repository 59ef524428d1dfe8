// CSV から読み込み, CSV に書き出し and Excel 形式で書き出し: the key texts of the current
// management number to and from a key list (CSV or .xlsx); an import shows what it changes
// before anything changes.
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "editor/TfrmMain.h"
#include "model/AtomicFile.h"
#include "model/KeyCsv.h"
#include "model/KeyXlsx.h"
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
                                        std::max(sw::model::kMaxKeyCsvBytes, sw::model::kMaxKeyXlsxBytes));
        if (read) {
            rows = sw::model::ReadKeyList(data, sw::model::CsvEncodingChoice::Detect);
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

void TfrmMain::ExportKeyCsv() { ExportKeyList(false); }

void TfrmMain::ExportKeyXlsx() { ExportKeyList(true); }

void TfrmMain::ExportKeyList(bool workbook) {
    const std::optional<QString> chosen = m_dialogs.ChooseFile(
        this, workbook ? sw::app::FileKind::SaveKeyXlsx : sw::app::FileKind::SaveKeyCsv, m_csvPath);
    if (!chosen) {
        FocusName();
        return;
    }
    const QString path = workbook ? sw::app::WithXlsxExtension(*chosen) : sw::app::WithCsvExtension(*chosen);
    if (QFileInfo::exists(path) &&
        m_dialogs.Message(this, MessageKind::Confirmation,
                          QStringLiteral("既にファイルが存在します。上書きしますか？"),
                          Buttons::OkCancel) != Reply::Ok) {
        FocusName();
        return;
    }
    std::string data;
    QString failure;
    int rows = 0;
    std::vector<QString> unreadable;
    {
        WaitCursor wait;
        const std::vector<int> entries{m_ws.editor.CurrentEntry};
        if (workbook) {
            sw::model::KeyXlsxWritten xlsx = sw::model::WriteKeyXlsx(m_ws.labelSet, entries);
            data = std::move(xlsx.data);
            failure = xlsx.failure;
            rows = xlsx.rows;
            unreadable = std::move(xlsx.unreadable);
        } else {
            sw::model::KeyCsvWritten csv = sw::model::WriteKeyCsv(m_ws.labelSet, entries, sw::model::CsvEncoding::Utf8);
            data = std::move(csv.data);
            rows = csv.rows;
            unreadable = std::move(csv.unreadable);
        }
        if (failure.isEmpty()) {
            const sw::model::WriteResult written = sw::model::WriteFileAtomically(FileSystemPath(path), data);
            if (!written.ok) failure = QString::fromStdString(written.message);
        } else {
            failure = QStringLiteral("「%1」を書けません: %2").arg(QFileInfo(path).fileName(), failure);
        }
    }
    if (!failure.isEmpty()) {
        m_dialogs.Message(this, MessageKind::Error, failure, Buttons::Ok);
        FocusName();
        return;
    }
    m_csvPath = path;
    const QString form = workbook ? QStringLiteral("Excel 形式") : QStringLiteral("CSV");
    if (!unreadable.empty()) {
        m_dialogs.Message(this, MessageKind::Warning,
                          QStringLiteral("次のキーの文字には Shift-JIS として読めないバイトがあり、%1 では"
                                         "「\uFFFD」になりました（読み込むときには拒まれます）。\n\n%2")
                              .arg(form, QStringList(unreadable.begin(), unreadable.end()).join(QLatin1Char('\n'))),
                          Buttons::Ok);
    }
    m_dialogs.Message(this, MessageKind::Information,
                      (workbook ? QStringLiteral("Excel 形式での書き出しが終了しました（%1 個のキー）。")
                                : QStringLiteral("CSV への書き出しが終了しました（%1 個のキー）。"))
                          .arg(rows),
                      Buttons::Ok);
    FocusName();
}

}  // namespace sw::editor
