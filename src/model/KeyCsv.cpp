// Key texts to and from CSV files, checked row by row.
#include "model/KeyCsv.h"

#include <QStringDecoder>

#include "model/Cp932.h"

namespace sw::model {

const char* const kKeyCsvHeader = "entry,face,key,line1,line2";

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// ---- writing ----

bool HasOwnFormat(const KeyLabel& key) {
    KeyLabel format = key;
    format.Line1.clear();
    format.Line2.clear();
    return !(format == KeyLabel{});
}

bool IsCp932Text(const Bytes& bytes) { return !DecodeCp932(bytes).contains(QChar::ReplacementCharacter); }

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
// So is one with a tab, which a reader might take for a separator, and one with blanks at
// either end, so that no program trims them. The bytes tested are ASCII, which no CP932
// trail byte can be.
void AppendField(std::string& out, const std::string& field) {
    const bool quote = field.find_first_of(",\"\r\n\t") != std::string::npos ||
                       (!field.empty() && (field.front() == ' ' || field.back() == ' '));
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
const QString kQuoteAfter = QStringLiteral("引用符 \" で閉じた欄の後に区切りか改行がありません");
const QString kQuoteInside = QStringLiteral("引用符で囲まれていない欄に引用符 \" があります（欄全体を \" で囲み、\" は \"\" と書きます）");

// A tab-separated file (a spreadsheet's text export) has more tabs than commas outside quotes
// in its first row; anything else is comma-separated.
char Separator(std::string_view d) {
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (char c : d) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        commas += c == ',';
        tabs += c == '\t';
    }
    return tabs > commas ? '\t' : ',';
}

// The records of the file, RFC 4180: fields separated by `sep`, records by line ends, a
// field in quotes may hold separators, doubled quotes and line breaks.
std::vector<Record> SplitRecords(std::string_view d, char sep) {
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
                } else if (d[pos] == sep) {
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
                while (pos < d.size() && d[pos] != sep && !AtLineEnd(d, pos)) ++pos;
                field.assign(d.substr(start, pos - start));
                if (field.find('"') != std::string::npos && record.malformed.isEmpty())
                    record.malformed = kQuoteInside;
                record.fields.push_back(std::move(field));
                if (pos < d.size() && d[pos] == sep) {
                    ++pos;
                } else {
                    pos = SkipLineEnd(d, pos);
                    recordDone = true;
                }
            }
        }
        // Rows are counted as a spreadsheet counts them: a quoted line break starts none.
        records.push_back(std::move(record));
    }
    return records;
}

QString DecodeStrict(QStringDecoder::Encoding encoding, std::string_view bytes, bool& ok) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    ok = !decoder.hasError();
    return text;
}

enum class Source { Utf8, Cp932 };

KeyListCell CellOf(const std::string& field, Source source) {
    KeyListCell cell;
    if (source == Source::Cp932) {
        cell.text = DecodeCp932(field);
        cell.cp932 = field;
        if (cell.text.contains(QChar::ReplacementCharacter))
            cell.unreadableAs = QStringLiteral("CP932 (Shift-JIS)");
    } else {
        bool ok = true;
        cell.text = DecodeStrict(QStringDecoder::Utf8, field, ok);
        if (!ok) cell.unreadableAs = QStringLiteral("UTF-8");
    }
    return cell;
}

bool RecordIsEmpty(const Record& r) {
    for (const std::string& f : r.fields)
        for (char c : f)
            if (c != ' ' && c != '\t') return false;
    return true;
}

// UTF-16 by its byte order mark, or (without one) by the zero bytes every Latin character
// has in it: an odd position means little-endian.
std::optional<QStringDecoder::Encoding> Utf16Order(std::string_view d, bool guess) {
    if (d.size() >= 2 && d[0] == '\xFF' && d[1] == '\xFE') return QStringDecoder::Utf16LE;
    if (d.size() >= 2 && d[0] == '\xFE' && d[1] == '\xFF') return QStringDecoder::Utf16BE;
    if (!guess || d.size() < 4) return std::nullopt;
    size_t even = 0;
    size_t odd = 0;
    const size_t probe = std::min<size_t>(d.size(), 4096);
    for (size_t i = 0; i < probe; ++i)
        if (d[i] == '\0') ++(i % 2 ? odd : even);
    if (odd >= probe / 4 && even == 0) return QStringDecoder::Utf16LE;
    if (even >= probe / 4 && odd == 0) return QStringDecoder::Utf16BE;
    return std::nullopt;
}

}  // namespace

void ForEachListedKey(const LabelSet& set, const std::vector<int>& entries, KeyListScope scope,
                      const std::function<void(int, int, int, const KeyLabel&)>& visit) {
    for (int entry : entries) {
        if (entry < 1 || entry > kEntryCount) continue;
        const ManagementEntry& e = set.Entries[entry];
        const int keys = ListedKeyCount(e.ButtonModel);
        for (int face = 1; face <= kFaceCount; ++face) {
            for (int index = 1; index <= keys; ++index) {
                const KeyLabel& key = e.Faces[face].Keys[index];
                if (scope == KeyListScope::OnlyUsed && key.Line1.empty() && key.Line2.empty() &&
                    !HasOwnFormat(key))
                    continue;
                visit(entry, face, index, key);
            }
        }
    }
}

QString ListedKeyName(int entry, int face, int key) {
    return QStringLiteral("%1 印刷面%2 キー%3")
        .arg(entry, 2, 10, QLatin1Char('0'))
        .arg(face)
        .arg(key, 2, 10, QLatin1Char('0'));
}

KeyCsvWritten WriteKeyCsv(const LabelSet& set, const std::vector<int>& entries,
                          CsvEncoding encoding, KeyListScope scope) {
    KeyCsvWritten written;
    std::string& out = written.data;
    if (encoding == CsvEncoding::Utf8) out += kBom;
    out += kKeyCsvHeader;
    out += "\r\n";
    ForEachListedKey(set, entries, scope, [&](int entry, int face, int index, const KeyLabel& key) {
        if (!IsCp932Text(key.Line1) || !IsCp932Text(key.Line2))
            written.unreadable.push_back(ListedKeyName(entry, face, index));
        out += TwoDigits(entry);
        out += ',';
        out += std::to_string(face);
        out += ',';
        out += TwoDigits(index);
        for (const Bytes* line : {&key.Line1, &key.Line2}) {
            out += ',';
            AppendField(out, encoding == CsvEncoding::Utf8 ? DecodeCp932ToUtf8(*line) : *line);
        }
        out += "\r\n";
        ++written.rows;
    });
    return written;
}

KeyListRead ReadKeyCsv(std::string_view data, CsvEncodingChoice choice) {
    KeyListRead read;
    Source source = Source::Utf8;
    std::string fromUtf16;
    if (std::optional<QStringDecoder::Encoding> utf16 = Utf16Order(data, choice == CsvEncodingChoice::Detect)) {
        bool ok = true;
        const QString text = DecodeStrict(*utf16, data, ok);
        if (!ok || data.size() % 2 != 0) {
            read.failure = QStringLiteral("UTF-16 のファイルですが、UTF-16 として読めない箇所があります"
                                          "（途中で切れているか、別の文字コードです）。");
            return read;
        }
        fromUtf16 = text.toUtf8().toStdString();
        data = fromUtf16;
        if (data.substr(0, kBom.size()) == kBom) data.remove_prefix(kBom.size());
    } else {
        const bool bom = data.substr(0, kBom.size()) == kBom;
        if (bom) data.remove_prefix(kBom.size());
        switch (choice) {
        case CsvEncodingChoice::Utf8: source = Source::Utf8; break;
        case CsvEncodingChoice::Cp932: source = Source::Cp932; break;
        case CsvEncodingChoice::Detect: {
            bool utf8 = true;
            if (!bom) DecodeStrict(QStringDecoder::Utf8, data, utf8);
            source = utf8 ? Source::Utf8 : Source::Cp932;
            break;
        }
        }
    }
    bool first = true;
    for (const Record& record : SplitRecords(data, Separator(data))) {
        if (record.malformed.isEmpty() && RecordIsEmpty(record)) continue;
        std::vector<KeyListCell> cells;
        for (const std::string& field : record.fields) cells.push_back(CellOf(field, source));
        // A first row that does not begin with a number names the columns.
        const bool header = first && record.malformed.isEmpty() && IsKeyListHeader(cells);
        first = false;
        if (header) {
            read.notice = KeyListHeaderNotice(cells);
            continue;
        }
        if (!record.malformed.isEmpty()) {
            read.refusals.push_back({record.row, record.malformed});
            continue;
        }
        QString reason;
        if (std::optional<KeyListRow> row = KeyListRowOf(record.row, cells, reason))
            read.rows.push_back(std::move(*row));
        else
            read.refusals.push_back({record.row, reason});
    }
    return read;
}

}  // namespace sw::model
