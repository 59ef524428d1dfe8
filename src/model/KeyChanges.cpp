// What a key list changes: its rows checked against the label set, the keys whose text
// changes, and the marks for texts a spreadsheet seems to have rewritten.
#include "model/KeyChanges.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "model/Clipboard.h"
#include "model/Cp932.h"

namespace sw::model {

namespace {

constexpr int kColumns = 5;
constexpr int kLeastColumns = 3;  // a spreadsheet may drop empty cells at the end of a row

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString ModelName(std::int32_t buttonModel) {
    return buttonModel == kModel30 ? QStringLiteral("30ボタン") : QStringLiteral("18ボタン");
}

QString CodePoint(char32_t c) {
    return QStringLiteral("U+") +
           QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// A whole number of at most four digits (leading zeros allowed, blanks around trimmed).
std::optional<int> SmallNumber(const QString& cell) {
    QString text = cell.trimmed();
    while (text.size() > 1 && text.front() == QLatin1Char('0')) text.remove(0, 1);
    if (text.isEmpty() || text.size() > 4) return std::nullopt;
    int n = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

// A cell as the user wrote it, shortened for a message.
QString Shown(const QString& text) {
    return text.size() > 20 ? text.left(20) + QStringLiteral("…") : text;
}

// Both byte strings are the same text: equal bytes, or CP932's two codes of one character
// (NEC and IBM both have 髙, at EEE0 and FBFC). Bytes that are not CP932 equal only themselves.
bool SameText(const Bytes& stored, const Bytes& offered) {
    if (stored == offered) return true;
    const QString a = DecodeCp932(stored);
    return !a.contains(QChar::ReplacementCharacter) && a == DecodeCp932(offered);
}

// ---- what a spreadsheet does to a text ----

struct Number {
    long double value = 0;
    long double halfUnit = 0;  // half of the last digit written: how far rounding may move it
    bool leadingZero = false;  // "007"
    bool marked = false;       // a "+" or brackets around it
};

long double Power10(int exponent) { return std::pow(10.0L, static_cast<long double>(exponent)); }

// A number as a spreadsheet reads one: sign or brackets, thousands separators, a fraction,
// an exponent, a percent sign.
std::optional<Number> ParseNumber(const QString& text) {
    static const QRegularExpression kNumber(QStringLiteral(
        R"(^\s*(\()?\s*([+-])?\s*(\d{1,3}(?:,\d{3})+|\d+)?(?:\.(\d*))?(?:[eE]([+-]?\d{1,3}))?\s*(\))?\s*(%)?\s*$)"));
    const QRegularExpressionMatch m = kNumber.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const bool open = m.capturedLength(1) > 0;
    const bool close = m.capturedLength(6) > 0;
    if (open != close) return std::nullopt;
    QString whole = m.captured(3);
    whole.remove(QLatin1Char(','));
    const QString fraction = m.captured(4);
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    const int exponent = m.capturedLength(5) > 0 ? m.captured(5).toInt() : 0;
    Number n;
    const QString digits = (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
                           (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    n.value = std::strtold(digits.toLatin1().constData(), nullptr) * Power10(exponent);
    n.halfUnit = Power10(exponent - static_cast<int>(fraction.size())) / 2;
    if (m.capturedLength(7) > 0) {
        n.value /= 100;
        n.halfUnit /= 100;
    }
    if (open || m.captured(2) == QLatin1String("-")) n.value = -n.value;
    n.leadingZero = whole.size() > 1 && whole.front() == QLatin1Char('0');
    n.marked = open || m.captured(2) == QLatin1String("+");
    return n;
}

// The numbers written in a date or a time, months by name counted as numbers; years as their
// last two digits, since a spreadsheet may show them either way.
std::optional<std::vector<int>> DateNumbers(const QString& text) {
    static const QRegularExpression kDateLike(QStringLiteral(
        R"(^[\s\d/\-.:,年月日時分秒午前後A-Za-z]+$)"));
    static const QRegularExpression kParts(QStringLiteral(R"(\d+|[A-Za-z]+)"));
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (!kDateLike.match(text).hasMatch()) return std::nullopt;
    std::vector<int> numbers;
    for (auto it = kParts.globalMatch(text); it.hasNext();) {
        const QString part = it.next().captured();
        if (part.front().isDigit()) {
            if (part.size() > 4) return std::nullopt;
            numbers.push_back(part.toInt() % 100);
            continue;
        }
        const QString word = part.toLower();
        if (word == QLatin1String("am") || word == QLatin1String("pm")) continue;
        int month = 0;
        for (int i = 0; i < 12 && month == 0; ++i)
            if (word.startsWith(QLatin1String(kMonths[i])) && word.size() >= 3) month = i + 1;
        if (month == 0) return std::nullopt;
        numbers.push_back(month);
    }
    return numbers;
}

// "1/2", "2024-01-02", "10:30", "1月2日": two or three numbers joined by date or time marks.
bool LooksLikeDateOrTime(const QString& text) {
    static const QRegularExpression kDate(QStringLiteral(
        R"(^\s*\d{1,4}\s*(?:[/\-.:年月時分]\s*\d{1,4}\s*){1,2}[日秒]?\s*$)"));
    return kDate.match(text).hasMatch();
}

// Every number of `part` is among those of `whole`, as often as it occurs.
bool Contains(std::vector<int> whole, const std::vector<int>& part) {
    for (int n : part) {
        auto at = std::find(whole.begin(), whole.end(), n);
        if (at == whole.end()) return false;
        whole.erase(at);
    }
    return true;
}

// A control character shows as its picture (␉ for a tab), so that the list stays one line.
QString Visible(const Bytes& bytes) {
    QString text = DecodeCp932(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20) c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F) c = QChar(0x2421);
    }
    return text;
}

}  // namespace

int ListedKeyCount(std::int32_t buttonModel) {
    const KeyRange range = KeyRangeFor(buttonModel);
    return range.LastKeyPos - range.FirstKeyPos + 1;
}

std::optional<Bytes> KeyLineBytes(const QString& text, int line, QString& reason) {
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
        reason = QStringLiteral("%1行目に改行があります（1 行ずつ line1 と line2 の欄に分けてください）").arg(line);
        return std::nullopt;
    }
    EncodeResult encoded = EncodeCp932(text);
    if (!encoded.ok()) {
        const char32_t bad = *encoded.badChar;
        reason = QStringLiteral("%1行目の「%2」(%3) は Shift-JIS (CP932) で保存できない文字です")
                     .arg(line)
                     .arg(QString::fromUcs4(&bad, 1), CodePoint(bad));
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

std::optional<KeyListRow> KeyListRowOf(int row, const std::vector<KeyListCell>& cells,
                                       QString& reason) {
    const int count = static_cast<int>(cells.size());
    if (count < kLeastColumns) {
        reason = QStringLiteral("欄が %1 個しかありません（entry,face,key,line1,line2 の 5 欄です）").arg(count);
        return std::nullopt;
    }
    for (int i = kColumns; i < count; ++i) {
        if (!cells[static_cast<size_t>(i)].text.trimmed().isEmpty()) {
            reason = QStringLiteral("欄が %1 個あります（entry,face,key,line1,line2 の 5 欄までです）").arg(count);
            return std::nullopt;
        }
    }
    KeyListRow result;
    result.row = row;
    struct Field {
        int index;
        int last;
        int* out;
        const char* what;
    };
    const Field numbers[] = {
        {0, kEntryCount, &result.entry, "管理番号「%1」はありません（01〜50）"},
        {1, kFaceCount, &result.face, "印刷面「%1」はありません（1〜4）"},
        {2, kKeyCount, &result.key, "キー「%1」はありません（01〜30）"},
    };
    for (const Field& f : numbers) {
        const QString& text = cells[static_cast<size_t>(f.index)].text;
        const std::optional<int> value = SmallNumber(text);
        if (!value || *value < 1 || *value > f.last) {
            reason = QString::fromUtf8(f.what).arg(Shown(text));
            return std::nullopt;
        }
        *f.out = *value;
    }
    const KeyListCell empty;
    for (int line : {1, 2}) {
        const KeyListCell& cell = count > 2 + line ? cells[static_cast<size_t>(2 + line)] : empty;
        Bytes bytes;
        if (!cell.unreadableAs.isEmpty()) {
            reason = QStringLiteral("%1行目に %2 として読めないバイトがあります").arg(line).arg(cell.unreadableAs);
            return std::nullopt;
        }
        if (cell.cp932) {
            // The file's own bytes, kept as written; the text is only checked.
            if (cell.text.contains(QLatin1Char('\r')) || cell.text.contains(QLatin1Char('\n'))) {
                KeyLineBytes(cell.text, line, reason);
                return std::nullopt;
            }
            bytes = *cell.cp932;
        } else {
            std::optional<Bytes> encoded = KeyLineBytes(cell.text, line, reason);
            if (!encoded) return std::nullopt;
            bytes = std::move(*encoded);
        }
        (line == 1 ? result.line1 : result.line2) = std::move(bytes);
        (line == 1 ? result.note1 : result.note2) = cell.note;
    }
    return result;
}

bool IsKeyListHeader(const std::vector<KeyListCell>& cells) {
    return !cells.empty() && !cells[0].text.trimmed().isEmpty() && !SmallNumber(cells[0].text);
}

QString KeyListHeaderNotice(const std::vector<KeyListCell>& cells) {
    static const char* const kEarlier[] = {"entry", "face", "position", "line1", "line2"};
    if (cells.size() < 3 || cells.size() > 5) return {};
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].text.trimmed() != QLatin1String(kEarlier[i])) return {};
    return QStringLiteral(
        "見出しが entry,face,position,… の一覧は、以前の版が書き出したものかもしれません。以前の版は"
        "18ボタンのキーを位置 07〜24 で数えていましたが、今はキーを画面と同じ番号（18ボタンは 01〜18）で"
        "数えます。変わるキーが正しいか、一覧で確かめてください。");
}

int KeyTextImport::Suspects() const {
    return static_cast<int>(std::count_if(changes.begin(), changes.end(),
                                          [](const KeyTextChange& c) { return !c.suspect.isEmpty(); }));
}

QString SpreadsheetConversion(const QString& before, const QString& after) {
    if (before == after) return {};
    const QString b = before.trimmed();
    const QString a = after.trimmed();
    const std::optional<Number> oldNumber = ParseNumber(b);
    const std::optional<Number> newNumber = ParseNumber(a);
    const bool errorValue = a.startsWith(QLatin1Char('#'));
    if (b.startsWith(QLatin1Char('=')) ||
        (!oldNumber && (b.startsWith(QLatin1Char('+')) || b.startsWith(QLatin1Char('-'))) &&
         (newNumber || errorValue)))
        return QStringLiteral("数式の結果になっています");
    if (oldNumber && newNumber &&
        std::fabs(oldNumber->value - newNumber->value) <=
            newNumber->halfUnit * (1 + 1e-9L) + std::fabs(newNumber->value) * 1e-15L) {
        if (oldNumber->leadingZero && !newNumber->leadingZero) return QStringLiteral("先頭の 0 が消えています");
        if (oldNumber->marked && !newNumber->marked) return QStringLiteral("＋の符号か括弧が消えています");
        return QStringLiteral("数値の書き方が変わっています");
    }
    if (LooksLikeDateOrTime(b)) {
        if (newNumber) return QStringLiteral("日付か時刻として数値に書き換えられています");
        const std::optional<std::vector<int>> oldParts = DateNumbers(b);
        const std::optional<std::vector<int>> newParts = DateNumbers(a);
        if (oldParts && newParts && Contains(*newParts, *oldParts))
            return QStringLiteral("日付か時刻として書き換えられています");
    }
    for (const char* word : {"TRUE", "FALSE"})
        if (b.compare(QLatin1String(word), Qt::CaseInsensitive) == 0 && a == QLatin1String(word))
            return QStringLiteral("論理値 %1 に書き換えられています").arg(QLatin1String(word));
    return {};
}

KeyTextImport PlanKeyTextImport(const LabelSet& set, const KeyListRead& read, int onlyEntry,
                                const KeyFitCheck& fits) {
    KeyTextImport plan;
    plan.refusals = read.refusals;
    std::map<std::tuple<int, int, int>, int> seen;  // (entry, face, key) → first row
    for (const KeyListRow& row : read.rows) {
        auto refuse = [&](const QString& reason) { plan.refusals.push_back({row.row, reason}); };
        const QString entryName = TwoDigits(row.entry);
        if (onlyEntry != 0 && row.entry != onlyEntry) {
            refuse(QStringLiteral("管理番号 %1 の行です（表示中の管理番号 %2 にだけ読み込みます）")
                       .arg(entryName, TwoDigits(onlyEntry)));
            continue;
        }
        const ManagementEntry& entry = set.Entries[row.entry];
        const int keys = ListedKeyCount(entry.ButtonModel);
        if (row.key > keys) {
            refuse(QStringLiteral("キー %1 は管理番号 %2（%3）にはありません（01〜%4）")
                       .arg(TwoDigits(row.key), entryName, ModelName(entry.ButtonModel), TwoDigits(keys)));
            continue;
        }
        auto [at, fresh] = seen.emplace(std::make_tuple(row.entry, row.face, row.key), row.row);
        if (!fresh) {
            refuse(QStringLiteral("同じキー（管理番号 %1 印刷面%2 キー%3）が %4 行目にもあります")
                       .arg(entryName)
                       .arg(row.face)
                       .arg(TwoDigits(row.key))
                       .arg(at->second));
            continue;
        }
        const KeyLabel& stored = entry.Faces[row.face].Keys[row.key];
        KeyTextChange change{row.row, row.entry, row.face, row.key,
                             SameText(stored.Line1, row.line1) ? stored.Line1 : row.line1,
                             SameText(stored.Line2, row.line2) ? stored.Line2 : row.line2,
                             stored.Line1, stored.Line2, {}};
        if (change.line1 == stored.Line1 && change.line2 == stored.Line2) {
            ++plan.unchanged;
            continue;
        }
        if (fits) {
            KeyLabel candidate = stored;
            candidate.Line1 = change.line1;
            candidate.Line2 = change.line2;
            const QString problem = fits(candidate, row.face, row.key + KeyRangeFor(entry.ButtonModel).KeyOffset);
            if (!problem.isEmpty()) {
                refuse(problem);
                continue;
            }
        }
        const bool twoLines = !change.line2.empty() || !change.old2.empty();
        QStringList suspects;
        for (int line : {1, 2}) {
            const Bytes& before = line == 1 ? change.old1 : change.old2;
            const Bytes& after = line == 1 ? change.line1 : change.line2;
            if (before == after) continue;
            QStringList why;
            const QString& note = line == 1 ? row.note1 : row.note2;
            if (!note.isEmpty()) why << note;
            const QString converted = SpreadsheetConversion(DecodeCp932(before), DecodeCp932(after));
            if (!converted.isEmpty()) why << converted;
            if (why.isEmpty()) continue;
            suspects << (twoLines ? QStringLiteral("%1行目: ").arg(line) : QString()) + why.join(QStringLiteral("、"));
        }
        change.suspect = suspects.join(QStringLiteral("／"));
        plan.changes.push_back(std::move(change));
    }
    std::stable_sort(plan.refusals.begin(), plan.refusals.end(),
                     [](const KeyListRefusal& a, const KeyListRefusal& b) { return a.row < b.row; });
    return plan;
}

QString DescribeKeyChange(const KeyTextChange& c, bool withEntry) {
    const bool twoLines = !c.line2.empty() || !c.old2.empty();
    auto text = [&](const Bytes& first, const Bytes& second) {
        QString shown = QStringLiteral("「%1」").arg(Visible(first));
        if (twoLines) shown += QStringLiteral("「%1」").arg(Visible(second));
        return shown;
    };
    QString line = withEntry ? QStringLiteral("管理番号 %1 / ").arg(TwoDigits(c.entry)) : QString();
    line += QStringLiteral("印刷面%1 / キー %2: 旧%3 → 新%4")
                .arg(c.face)
                .arg(TwoDigits(c.keyIndex), text(c.old1, c.old2), text(c.line1, c.line2));
    if (!c.suspect.isEmpty()) line += QStringLiteral("　※表計算ソフトの変換？（%1）").arg(c.suspect);
    return line;
}

void ApplyKeyTexts(LabelSet& set, const std::vector<KeyTextChange>& changes) {
    for (const KeyTextChange& c : changes) {
        KeyLabel& key = set.Entries[c.entry].Faces[c.face].Keys[c.keyIndex];
        key.Line1 = c.line1;
        key.Line2 = c.line2;
    }
}

Refresh ImportKeyTexts(Workspace& ws, const std::vector<KeyTextChange>& changes) {
    const int entry = ws.editor.CurrentEntry;
    if (entry < 1 || entry > kEntryCount) return {};
    std::vector<KeyTextChange> own;
    bool changing = false;
    for (const KeyTextChange& c : changes) {
        if (c.entry != entry) continue;
        const KeyLabel& key = ws.labelSet.Entries[entry].Faces[c.face].Keys[c.keyIndex];
        changing = changing || key.Line1 != c.line1 || key.Line2 != c.line2;
        own.push_back(c);
    }
    if (!changing) return {};
    RecordEntryKeys(ws);
    ApplyKeyTexts(ws.labelSet, own);
    Refresh refresh;
    refresh.face = true;
    return refresh;
}

}  // namespace sw::model
