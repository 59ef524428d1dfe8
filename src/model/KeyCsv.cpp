// Key texts to and from CSV files, checked row by row.
#include "model/KeyCsv.h"

#include <QStringDecoder>
#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "model/Clipboard.h"
#include "model/Cp932.h"

namespace sw::model {

const char* const kKeyCsvHeader = "entry,face,position,line1,line2";

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr int kColumns = 5;
constexpr int kLeastColumns = 3;  // a spreadsheet may drop empty cells at the end of a row

// ---- writing ----

bool HasOwnFormat(const KeyLabel& key) {
    KeyLabel format = key;
    format.Line1.clear();
    format.Line2.clear();
    return !(format == KeyLabel{});
}

bool IsCp932Text(const Bytes& bytes) { return !DecodeCp932(bytes).contains(QChar::ReplacementCharacter); }

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
// Blanks at either end are quoted too, so that no program trims them. The bytes tested are
// ASCII, which no CP932 trail byte can be.
void AppendField(std::string& out, const std::string& field) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                       (!field.empty() && (field.front() == ' ' || field.back() == ' ' ||
                                           field.front() == '\t' || field.back() == '\t'));
    if (!quote) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string TwoDigits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

// ---- reading ----

struct Record {
    int row = 0;
    std::vector<std::string> fields;
    QString malformed;  // why the row cannot be read as CSV, when it cannot
};

bool AtLineEnd(std::string_view d, size_t pos) { return d[pos] == '\r' || d[pos] == '\n'; }

// Steps over one line end: CR LF, LF or a lone CR.
size_t SkipLineEnd(std::string_view d, size_t pos) {
    if (pos < d.size() && d[pos] == '\r') ++pos;
    if (pos < d.size() && d[pos] == '\n') ++pos;
    return pos;
}

const QString kQuoteOpen = QStringLiteral("引用符 \" で始まった欄が閉じられていません（ファイルの終わりまで）");
const QString kQuoteAfter = QStringLiteral("引用符 \" で閉じた欄の後に , か改行がありません");
const QString kQuoteInside = QStringLiteral("引用符で囲まれていない欄に引用符 \" があります（欄全体を \" で囲み、\" は \"\" と書きます）");

// The records of the file, RFC 4180: fields separated by commas, records by line ends, a
// field in quotes may hold commas, doubled quotes and line breaks.
std::vector<Record> SplitRecords(std::string_view d) {
    std::vector<Record> records;
    size_t pos = 0;
    int row = 0;
    while (pos < d.size()) {
        Record record;
        record.row = ++row;
        bool recordDone = false;
        while (!recordDone) {
            std::string field;
            if (pos < d.size() && d[pos] == '"') {
                ++pos;
                bool closed = false;
                while (pos < d.size()) {
                    if (d[pos] != '"') {
                        field += d[pos++];
                        continue;
                    }
                    if (pos + 1 < d.size() && d[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                record.fields.push_back(std::move(field));
                if (!closed) {
                    if (record.malformed.isEmpty()) record.malformed = kQuoteOpen;
                    recordDone = true;
                } else if (pos >= d.size()) {
                    recordDone = true;
                } else if (d[pos] == ',') {
                    ++pos;
                } else if (AtLineEnd(d, pos)) {
                    pos = SkipLineEnd(d, pos);
                    recordDone = true;
                } else {
                    if (record.malformed.isEmpty()) record.malformed = kQuoteAfter;
                    while (pos < d.size() && !AtLineEnd(d, pos)) ++pos;
                    pos = SkipLineEnd(d, pos);
                    recordDone = true;
                }
            } else {
                const size_t start = pos;
                while (pos < d.size() && d[pos] != ',' && !AtLineEnd(d, pos)) ++pos;
                field.assign(d.substr(start, pos - start));
                if (field.find('"') != std::string::npos && record.malformed.isEmpty())
                    record.malformed = kQuoteInside;
                record.fields.push_back(std::move(field));
                if (pos < d.size() && d[pos] == ',') {
                    ++pos;
                } else {
                    pos = SkipLineEnd(d, pos);
                    recordDone = true;
                }
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool RecordIsEmpty(const Record& r) {
    for (const std::string& f : r.fields)
        if (!Trimmed(f).empty()) return false;
    return true;
}

// A whole number of at most four digits (leading zeros allowed, blanks around trimmed).
std::optional<int> SmallNumber(std::string_view field) {
    field = Trimmed(field);
    while (field.size() > 1 && field.front() == '0') field.remove_prefix(1);
    if (field.empty() || field.size() > 4) return std::nullopt;
    int n = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

QString DecodeStrictUtf8(std::string_view bytes, bool& ok) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    ok = !decoder.hasError();
    return text;
}

QString FieldText(const std::string& field, CsvEncoding encoding) {
    bool ok = true;
    return encoding == CsvEncoding::Utf8 ? DecodeStrictUtf8(field, ok) : DecodeCp932(field);
}

// A field as the user wrote it, shortened for a message.
QString Shown(const std::string& field, CsvEncoding encoding) {
    QString text = FieldText(field, encoding);
    if (text.size() > 20) text = text.left(20) + QStringLiteral("…");
    return text;
}

QString CodePoint(char32_t c) {
    return QStringLiteral("U+") + QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// One key line of a row as CP932 bytes, or the reason it cannot be one.
std::optional<Bytes> KeyLine(const std::string& field, CsvEncoding encoding, int line,
                             QString& reason) {
    QString text;
    if (encoding == CsvEncoding::Utf8) {
        bool ok = true;
        text = DecodeStrictUtf8(field, ok);
        if (!ok) {
            reason = QStringLiteral("%1行目に UTF-8 として読めないバイトがあります").arg(line);
            return std::nullopt;
        }
    } else {
        text = DecodeCp932(field);
        if (text.contains(QChar::ReplacementCharacter)) {
            reason = QStringLiteral("%1行目に CP932 (Shift-JIS) として読めないバイトがあります").arg(line);
            return std::nullopt;
        }
    }
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            reason = QStringLiteral("%1行目に改行があります（1 行ずつ line1 と line2 の欄に分けてください）").arg(line);
            return std::nullopt;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            reason = QStringLiteral("%1行目に制御文字 (%2) があります").arg(line).arg(CodePoint(c.unicode()));
            return std::nullopt;
        }
    }
    if (encoding == CsvEncoding::Cp932) return Bytes(field);  // the bytes as written
    EncodeResult encoded = EncodeCp932(text);
    if (!encoded.ok()) {
        const char32_t bad = *encoded.badChar;
        reason = QStringLiteral("%1行目の「%2」(%3) は Shift-JIS (CP932) で保存できない文字です")
                     .arg(line)
                     .arg(QString::fromUcs4(&bad, 1), CodePoint(bad));
        return std::nullopt;
    }
    return encoded.bytes;
}

// The row a record offers, or the reason it offers none.
std::optional<KeyCsvRow> RowOf(const Record& r, CsvEncoding encoding, QString& reason) {
    if (!r.malformed.isEmpty()) {
        reason = r.malformed;
        return std::nullopt;
    }
    const int count = static_cast<int>(r.fields.size());
    if (count < kLeastColumns) {
        reason = QStringLiteral("欄が %1 個しかありません（entry,face,position,line1,line2 の 5 欄です）").arg(count);
        return std::nullopt;
    }
    for (int i = kColumns; i < count; ++i) {
        if (!Trimmed(r.fields[static_cast<size_t>(i)]).empty()) {
            reason = QStringLiteral("欄が %1 個あります（entry,face,position,line1,line2 の 5 欄までです）").arg(count);
            return std::nullopt;
        }
    }
    KeyCsvRow row;
    row.row = r.row;
    struct Number {
        int index;
        int last;
        int* out;
        const char* what;
    };
    const Number numbers[] = {
        {0, kEntryCount, &row.entry, "管理番号「%1」はありません（01〜50）"},
        {1, kFaceCount, &row.face, "印刷面「%1」はありません（1〜4）"},
        {2, kKeyCount, &row.position, "位置「%1」はありません（01〜30）"},
    };
    for (const Number& n : numbers) {
        const std::string& field = r.fields[static_cast<size_t>(n.index)];
        std::optional<int> value = SmallNumber(field);
        if (!value || *value < 1 || *value > n.last) {
            reason = QString::fromUtf8(n.what).arg(Shown(field, encoding));
            return std::nullopt;
        }
        *n.out = *value;
    }
    const std::string empty;
    const std::string& first = count > 3 ? r.fields[3] : empty;
    const std::string& second = count > 4 ? r.fields[4] : empty;
    std::optional<Bytes> line1 = KeyLine(first, encoding, 1, reason);
    if (!line1) return std::nullopt;
    std::optional<Bytes> line2 = KeyLine(second, encoding, 2, reason);
    if (!line2) return std::nullopt;
    row.line1 = std::move(*line1);
    row.line2 = std::move(*line2);
    return row;
}

QString ModelName(std::int32_t buttonModel) {
    return buttonModel == kModel30 ? QStringLiteral("30ボタン") : QStringLiteral("18ボタン");
}

}  // namespace

KeyCsvWritten WriteKeyCsv(const LabelSet& set, const std::vector<int>& entries,
                          CsvEncoding encoding) {
    KeyCsvWritten written;
    std::string& out = written.data;
    if (encoding == CsvEncoding::Utf8) out += kBom;
    out += kKeyCsvHeader;
    out += "\r\n";
    for (int entry : entries) {
        if (entry < 1 || entry > kEntryCount) continue;
        const ManagementEntry& e = set.Entries[entry];
        const KeyRange range = KeyRangeFor(e.ButtonModel);
        for (int face = 1; face <= kFaceCount; ++face) {
            for (int position = range.FirstKeyPos; position <= range.LastKeyPos; ++position) {
                const int index = position - range.KeyOffset;
                if (index < 1 || index > kKeyCount) continue;
                const KeyLabel& key = e.Faces[face].Keys[index];
                if (key.Line1.empty() && key.Line2.empty() && !HasOwnFormat(key)) continue;
                if (!IsCp932Text(key.Line1) || !IsCp932Text(key.Line2))
                    written.unreadable.push_back(QStringLiteral("%1 印刷面%2 位置%3")
                                                     .arg(entry, 2, 10, QLatin1Char('0'))
                                                     .arg(face)
                                                     .arg(position, 2, 10, QLatin1Char('0')));
                out += TwoDigits(entry);
                out += ',';
                out += std::to_string(face);
                out += ',';
                out += TwoDigits(position);
                for (const Bytes* line : {&key.Line1, &key.Line2}) {
                    out += ',';
                    AppendField(out, encoding == CsvEncoding::Utf8 ? DecodeCp932ToUtf8(*line) : *line);
                }
                out += "\r\n";
                ++written.rows;
            }
        }
    }
    return written;
}

KeyCsvRead ReadKeyCsv(std::string_view data, CsvEncodingChoice choice) {
    KeyCsvRead read;
    const bool bom = data.substr(0, kBom.size()) == kBom;
    if (bom) data.remove_prefix(kBom.size());
    switch (choice) {
    case CsvEncodingChoice::Utf8: read.encoding = CsvEncoding::Utf8; break;
    case CsvEncodingChoice::Cp932: read.encoding = CsvEncoding::Cp932; break;
    case CsvEncodingChoice::Detect: {
        bool utf8 = true;
        if (!bom) DecodeStrictUtf8(data, utf8);
        read.encoding = utf8 ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
        break;
    }
    }
    bool first = true;
    for (const Record& record : SplitRecords(data)) {
        if (record.malformed.isEmpty() && RecordIsEmpty(record)) continue;
        // A first row that does not begin with a number names the columns.
        const bool header = first && record.malformed.isEmpty() && !Trimmed(record.fields[0]).empty() &&
                            !SmallNumber(record.fields[0]);
        first = false;
        if (header) continue;
        QString reason;
        if (std::optional<KeyCsvRow> row = RowOf(record, read.encoding, reason))
            read.rows.push_back(std::move(*row));
        else
            read.refusals.push_back({record.row, reason});
    }
    return read;
}

KeyTextImport PlanKeyTextImport(const LabelSet& set, const KeyCsvRead& read, int onlyEntry,
                                const KeyFitCheck& fits) {
    KeyTextImport plan;
    plan.refusals = read.refusals;
    std::map<std::tuple<int, int, int>, int> seen;  // (entry, face, position) → first row
    for (const KeyCsvRow& row : read.rows) {
        auto refuse = [&](const QString& reason) { plan.refusals.push_back({row.row, reason}); };
        const QString entryName = QStringLiteral("%1").arg(row.entry, 2, 10, QLatin1Char('0'));
        if (onlyEntry != 0 && row.entry != onlyEntry) {
            refuse(QStringLiteral("管理番号 %1 の行です（表示中の管理番号 %2 にだけ読み込みます）")
                       .arg(entryName)
                       .arg(onlyEntry, 2, 10, QLatin1Char('0')));
            continue;
        }
        const ManagementEntry& entry = set.Entries[row.entry];
        const KeyRange range = KeyRangeFor(entry.ButtonModel);
        if (row.position < range.FirstKeyPos || row.position > range.LastKeyPos) {
            refuse(QStringLiteral("位置 %1 は管理番号 %2（%3）にはありません（%4〜%5）")
                       .arg(row.position, 2, 10, QLatin1Char('0'))
                       .arg(entryName, ModelName(entry.ButtonModel))
                       .arg(range.FirstKeyPos, 2, 10, QLatin1Char('0'))
                       .arg(range.LastKeyPos, 2, 10, QLatin1Char('0')));
            continue;
        }
        auto [at, fresh] = seen.emplace(std::make_tuple(row.entry, row.face, row.position), row.row);
        if (!fresh) {
            refuse(QStringLiteral("同じキー（管理番号 %1 印刷面%2 位置%3）が %4 行目にもあります")
                       .arg(entryName)
                       .arg(row.face)
                       .arg(row.position, 2, 10, QLatin1Char('0'))
                       .arg(at->second));
            continue;
        }
        const int keyIndex = row.position - range.KeyOffset;
        KeyLabel candidate = entry.Faces[row.face].Keys[keyIndex];
        candidate.Line1 = row.line1;
        candidate.Line2 = row.line2;
        if (fits) {
            const QString problem = fits(candidate, row.face, row.position);
            if (!problem.isEmpty()) {
                refuse(problem);
                continue;
            }
        }
        plan.changes.push_back({row.row, row.entry, row.face, keyIndex, row.line1, row.line2});
    }
    std::stable_sort(plan.refusals.begin(), plan.refusals.end(),
                     [](const KeyCsvRefusal& a, const KeyCsvRefusal& b) { return a.row < b.row; });
    return plan;
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
