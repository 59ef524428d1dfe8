// Key lists as .xlsx workbooks: written with libxlsxwriter, read with libzip and
// QXmlStreamReader, every part bounded before it is unpacked.
#include "model/KeyXlsx.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "model/Cp932.h"

namespace sw::model {

namespace {

const char* const kHeader[] = {"entry", "face", "key", "line1", "line2"};

// ---- writing ----

// Columns of a spreadsheet are measured in characters of its default font; a character
// that takes two cells on a terminal takes about two there.
int DisplayWidth(const QString& text) {
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size()
                               ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : text.at(i).unicode();
        if (c > 0xFFFF) ++i;
        const bool halfWidthKana = c >= 0xFF61 && c <= 0xFF9F;
        width += c >= 0x1100 && !halfWidthKana ? 2 : 1;
    }
    return width;
}

// A text that itself reads like the escape _xHHHH_ keeps it by escaping its underscore, as
// spreadsheets do; the library escapes only the characters XML cannot hold.
QString EscapedForCell(const QString& text) {
    static const QRegularExpression kLooksEscaped(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    QString escaped = text;
    return escaped.replace(kLooksEscaped, QStringLiteral("_x005F_"));
}

double ColumnWidth(int widest) { return std::clamp(widest + 2, 8, 80); }

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const { workbook_close(wb); }
};

// ---- reading ----

// Unpacks the parts of a zip held in memory, all of them together no more than the bound.
class ZipParts {
public:
    explicit ZipParts(std::string_view data) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(data.data(), data.size(), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip) zip_source_free(source);
        }
        if (!m_zip) m_failure = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
    }
    ~ZipParts() {
        if (m_zip) zip_discard(m_zip);
    }
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    bool ok() const { return m_zip != nullptr && m_failure.isEmpty(); }
    const QString& failure() const { return m_failure; }

    // The part's bytes; nothing when it is missing (failure() empty) or cannot be unpacked.
    std::optional<std::string> Read(const QString& name) {
        if (!ok()) return std::nullopt;
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), 0);
        if (index < 0) return std::nullopt;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0) return Fail(name);
        const std::size_t room = kMaxXlsxUnpackedBytes - m_unpacked;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > room) return TooBig();
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!file) return Fail(name);
        std::string bytes;
        char buffer[65536];
        zip_int64_t got = 0;
        // The size in the directory may lie: what is unpacked counts, not what was declared.
        while ((got = zip_fread(file, buffer, sizeof buffer)) > 0) {
            if (bytes.size() + static_cast<std::size_t>(got) > room) {
                zip_fclose(file);
                return TooBig();
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        zip_fclose(file);
        if (got < 0) return Fail(name);
        m_unpacked += bytes.size();
        return bytes;
    }

private:
    std::nullopt_t Fail(const QString& name) {
        m_failure = QStringLiteral("%1 を展開できません（壊れています）").arg(name);
        return std::nullopt;
    }
    std::nullopt_t TooBig() {
        m_failure = QStringLiteral("展開すると %1 MB を超えます（壊れたファイルか、展開で膨らむように作られたファイルです）")
                        .arg(kMaxXlsxUnpackedBytes >> 20);
        return std::nullopt;
    }

    zip_t* m_zip = nullptr;
    QString m_failure;
    std::size_t m_unpacked = 0;
};

QStringView Attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name) return a.value();
    return {};
}

// Text in a workbook escapes characters XML cannot hold as _xHHHH_ (an underscore itself
// as _x005F_).
QString Unescaped(const QString& text) {
    if (!text.contains(QLatin1String("_x"))) return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x') &&
            text.at(i + 6) == QLatin1Char('_')) {
            bool hex = false;
            const uint code = text.mid(i + 2, 4).toUInt(&hex, 16);
            if (hex) {
                out += QChar(static_cast<char16_t>(code));
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// The text of a string item (<si> or <is>): its <t> elements, rich-text runs joined, the
// phonetic readings (<rPh>) left out. The reader stands on the item's start element.
QString ItemText(QXmlStreamReader& xml) {
    QString text;
    int phonetic = 0;
    const QStringView item = xml.name();
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("rPh")) ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("rPh")) --phonetic;
            else if (xml.name() == item) break;
        }
    }
    return Unescaped(text);
}

QString XmlFailure(const QString& part, const QXmlStreamReader& xml) {
    return QStringLiteral("%1 の %2 行目が XML として読めません（%3）")
        .arg(part)
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// "xl/worksheets/sheet1.xml" from a target named in xl/_rels/workbook.xml.rels.
QString PartPath(QStringView target) {
    QString path = target.toString();
    if (path.startsWith(QLatin1Char('/'))) return path.mid(1);
    path = QStringLiteral("xl/") + path;
    while (path.contains(QLatin1String("/../"))) {
        const qsizetype up = path.indexOf(QLatin1String("/../"));
        const qsizetype parent = path.lastIndexOf(QLatin1Char('/'), up - 1);
        path = path.left(parent + 1) + path.mid(up + 4);
    }
    return path;
}

// Column A → 0, B → 1, … of a cell reference "B12"; -1 without letters.
int ColumnOf(QStringView reference) {
    int column = 0;
    int letters = 0;
    for (QChar c : reference) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        if (++letters > 3) return -1;
    }
    return letters == 0 ? -1 : column - 1;
}

// "A" for column 0, "AA" for column 26, as the spreadsheet names them.
QString ColumnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(static_cast<char16_t>(u'A' + (n - 1) % 26)));
    return name;
}

// What a number cell shows under its format: General as the shortest decimal, the built-in
// date and time formats 14–22 as a Japanese spreadsheet shows them; nothing for any other.
std::optional<QString> ShownNumber(double value, int format, bool date1904, bool textFormat) {
    if (!std::isfinite(value)) return std::nullopt;
    if (format == 0 || textFormat) {
        char buffer[32];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        if (ec != std::errc()) return std::nullopt;
        return QString::fromLatin1(buffer, end - buffer);
    }
    if (format < 14 || format > 22 || value < 0 || value > 2958465) return std::nullopt;
    // Serial days from 1899-12-31, with the spreadsheet's 29 February 1900 as day 60.
    const double whole = std::floor(value);
    long seconds = std::lround((value - whole) * 86400);
    long days = static_cast<long>(whole);
    if (seconds == 86400) seconds = 0, ++days;
    QDate date = date1904 ? QDate(1904, 1, 1).addDays(days) : QDate(1899, 12, 31).addDays(days < 60 ? days : days - 1);
    const QString month = QStringLiteral("JanFebMarAprMayJunJulAugSepOctNovDec").mid((date.month() - 1) * 3, 3);
    const long h = seconds / 3600;
    const long m = seconds / 60 % 60;
    const long s = seconds % 60;
    auto two = [](long n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QString ampm = QStringLiteral("%1:%2%3 %4").arg(h % 12 == 0 ? 12 : h % 12).arg(two(m));
    const QString ymd = QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
    switch (format) {
    case 14: return ymd;
    case 15: return QStringLiteral("%1-%2-%3").arg(date.day()).arg(month, two(date.year() % 100));
    case 16: return QStringLiteral("%1-%2").arg(date.day()).arg(month);
    case 17: return QStringLiteral("%1-%2").arg(month, two(date.year() % 100));
    case 18: return ampm.arg(QString(), h < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    case 19: return ampm.arg(QLatin1Char(':') + two(s), h < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    case 20: return QStringLiteral("%1:%2").arg(h).arg(two(m));
    case 21: return QStringLiteral("%1:%2:%3").arg(h).arg(two(m), two(s));
    case 22: return QStringLiteral("%1 %2:%3").arg(ymd).arg(h).arg(two(m));
    }
    return std::nullopt;
}

struct Styles {
    std::vector<int> formats;    // number format of each cell style (xf)
    QHash<int, QString> codes;   // custom number formats by id
    bool IsText(int format) const { return format == 49 || codes.value(format) == QLatin1String("@"); }
    // Some spreadsheets (LibreOffice) write General as a format of their own.
    int Builtin(int format) const {
        return codes.value(format).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ? 0 : format;
    }
};

constexpr int kMaxColumns = 64;        // a list has five; more are only counted
constexpr int kMaxSheetRows = 100000;  // 6,000 keys fit many times over

}  // namespace

KeyListRead ReadKeyList(std::string_view data, CsvEncodingChoice choice) {
    return LooksLikeXlsx(data) ? ReadKeyXlsx(data) : ReadKeyCsv(data, choice);
}

bool LooksLikeXlsx(std::string_view data) { return data.substr(0, 4) == std::string_view("PK\x03\x04", 4); }

KeyXlsxWritten WriteKeyXlsx(const LabelSet& set, const std::vector<int>& entries, KeyListScope scope) {
    KeyXlsxWritten written;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        written.failure = QStringLiteral("一時フォルダーを作れません（%1）").arg(folder.errorString());
        return written;
    }
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("keys.xlsx")));
    const QByteArray tmp = QFile::encodeName(folder.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmp.constData());
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new_opt(path.constData(), &options));
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book.get(), "keys") : nullptr;
    if (!sheet) {
        written.failure = QStringLiteral("ブックを作れません");
        return written;
    }
    lxw_format* text = workbook_add_format(book.get());
    format_set_num_format(text, "@");
    lxw_format* bold = workbook_add_format(book.get());
    format_set_bold(bold);
    lxw_error error = LXW_NO_ERROR;
    auto keep = [&](lxw_error e) {
        if (error == LXW_NO_ERROR) error = e;
    };
    int widest[2] = {5, 5};
    lxw_row_t row = 0;
    for (int c = 0; c < 5; ++c) keep(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), kHeader[c], bold));
    ForEachListedKey(set, entries, scope, [&](int entry, int face, int index, const KeyLabel& key) {
        ++row;
        keep(worksheet_write_number(sheet, row, 0, entry, nullptr));
        keep(worksheet_write_number(sheet, row, 1, face, nullptr));
        keep(worksheet_write_number(sheet, row, 2, index, nullptr));
        bool unreadable = false;
        for (int line = 0; line < 2; ++line) {
            const QString shown = DecodeCp932(line == 0 ? key.Line1 : key.Line2);
            unreadable = unreadable || shown.contains(QChar::ReplacementCharacter);
            widest[line] = std::max(widest[line], DisplayWidth(shown));
            keep(worksheet_write_string(sheet, row, static_cast<lxw_col_t>(3 + line),
                                        EscapedForCell(shown).toUtf8().constData(), text));
        }
        if (unreadable) written.unreadable.push_back(ListedKeyName(entry, face, index));
        ++written.rows;
    });
    // The line columns are text as a whole, so that cells typed into later stay text too.
    keep(worksheet_set_column(sheet, 0, 2, 7, nullptr));
    keep(worksheet_set_column(sheet, 3, 3, ColumnWidth(widest[0]), text));
    keep(worksheet_set_column(sheet, 4, 4, ColumnWidth(widest[1]), text));
    worksheet_freeze_panes(sheet, 1, 0);
    const lxw_error closed = workbook_close(book.release());
    keep(closed);
    if (error != LXW_NO_ERROR) {
        written.failure = QStringLiteral("ブックを書けません（%1）").arg(QString::fromUtf8(lxw_strerror(error)));
        return written;
    }
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        written.failure = QStringLiteral("書いたブックを読めません（%1）").arg(file.errorString());
        return written;
    }
    written.data = file.readAll().toStdString();
    return written;
}

KeyListRead ReadKeyXlsx(std::string_view data) {
    KeyListRead read;
    auto fail = [&](const QString& why) {
        read.failure = QStringLiteral("Excel のブック (.xlsx) として読めません: %1。").arg(why);
        read.rows.clear();
        read.refusals.clear();
        return read;
    };
    ZipParts zip(data);
    if (!zip.ok()) return fail(zip.failure());

    // The first sheet: its relationship id in the workbook, its part in the relationships.
    const std::optional<std::string> workbook = zip.Read(QStringLiteral("xl/workbook.xml"));
    if (!workbook) return fail(zip.failure().isEmpty() ? QStringLiteral("xl/workbook.xml がありません") : zip.failure());
    QString sheetId;
    bool date1904 = false;
    {
        QXmlStreamReader xml(QByteArray::fromRawData(workbook->data(), static_cast<qsizetype>(workbook->size())));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("workbookPr")) {
                const QStringView v = Attribute(xml, QLatin1String("date1904"));
                date1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (xml.name() == QLatin1String("sheet") && sheetId.isEmpty()) {
                sheetId = Attribute(xml, QLatin1String("id")).toString();
            }
        }
        if (xml.hasError()) return fail(XmlFailure(QStringLiteral("xl/workbook.xml"), xml));
    }
    if (sheetId.isEmpty()) return fail(QStringLiteral("シートがありません"));
    QString sheetPart;
    if (const std::optional<std::string> rels = zip.Read(QStringLiteral("xl/_rels/workbook.xml.rels"))) {
        QXmlStreamReader xml(QByteArray::fromRawData(rels->data(), static_cast<qsizetype>(rels->size())));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Relationship") &&
                Attribute(xml, QLatin1String("Id")) == sheetId)
                sheetPart = PartPath(Attribute(xml, QLatin1String("Target")));
        }
        if (xml.hasError()) return fail(XmlFailure(QStringLiteral("xl/_rels/workbook.xml.rels"), xml));
    }
    if (!zip.failure().isEmpty()) return fail(zip.failure());
    if (sheetPart.isEmpty()) return fail(QStringLiteral("最初のシートの場所がありません"));

    std::vector<QString> shared;
    if (const std::optional<std::string> strings = zip.Read(QStringLiteral("xl/sharedStrings.xml"))) {
        QXmlStreamReader xml(QByteArray::fromRawData(strings->data(), static_cast<qsizetype>(strings->size())));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                shared.push_back(ItemText(xml));
        }
        if (xml.hasError()) return fail(XmlFailure(QStringLiteral("xl/sharedStrings.xml"), xml));
    }
    if (!zip.failure().isEmpty()) return fail(zip.failure());

    Styles styles;
    if (const std::optional<std::string> part = zip.Read(QStringLiteral("xl/styles.xml"))) {
        QXmlStreamReader xml(QByteArray::fromRawData(part->data(), static_cast<qsizetype>(part->size())));
        bool cellXfs = false;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("numFmt"))
                    styles.codes.insert(Attribute(xml, QLatin1String("numFmtId")).toInt(),
                                        Attribute(xml, QLatin1String("formatCode")).toString());
                else if (xml.name() == QLatin1String("cellXfs"))
                    cellXfs = true;
                else if (cellXfs && xml.name() == QLatin1String("xf"))
                    styles.formats.push_back(Attribute(xml, QLatin1String("numFmtId")).toInt());
            } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs")) {
                cellXfs = false;
            }
        }
        if (xml.hasError()) return fail(XmlFailure(QStringLiteral("xl/styles.xml"), xml));
    }
    if (!zip.failure().isEmpty()) return fail(zip.failure());

    const std::optional<std::string> sheet = zip.Read(sheetPart);
    if (!sheet) return fail(zip.failure().isEmpty() ? QStringLiteral("%1 がありません").arg(sheetPart) : zip.failure());

    // The cells of each row; what a cell cannot be read as is the row's refusal.
    QXmlStreamReader xml(QByteArray::fromRawData(sheet->data(), static_cast<qsizetype>(sheet->size())));
    bool first = true;
    int rowNumber = 0;
    int rowCount = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("row")) continue;
        if (++rowCount > kMaxSheetRows) return fail(QStringLiteral("%1 行を超える行があります").arg(kMaxSheetRows));
        const int declared = Attribute(xml, QLatin1String("r")).toInt();
        rowNumber = declared > rowNumber ? declared : rowNumber + 1;
        std::vector<KeyListCell> cells;
        QString refusal;
        int nextColumn = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("c")) {
                xml.skipCurrentElement();
                continue;
            }
            int column = ColumnOf(Attribute(xml, QLatin1String("r")));
            if (column < 0) column = nextColumn;
            nextColumn = column + 1;
            const QString type = Attribute(xml, QLatin1String("t")).toString();
            const int style = Attribute(xml, QLatin1String("s")).toInt();
            const int format = style >= 0 && static_cast<size_t>(style) < styles.formats.size()
                                   ? styles.Builtin(styles.formats[static_cast<size_t>(style)])
                                   : 0;
            QString value;
            QString inlineText;
            bool formula = false;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("v"))
                    value = xml.readElementText();
                else if (xml.name() == QLatin1String("is"))
                    inlineText = ItemText(xml);
                else {
                    formula = formula || xml.name() == QLatin1String("f");
                    xml.skipCurrentElement();
                }
            }
            KeyListCell cell;
            const QString where = ColumnName(column) + QString::number(rowNumber);
            if (type == QLatin1String("s")) {
                bool ok = false;
                const uint index = value.toUInt(&ok);
                if (!ok || index >= shared.size()) {
                    if (refusal.isEmpty()) refusal = QStringLiteral("セル %1 の共有文字列 %2 がありません").arg(where, value);
                    continue;
                }
                cell.text = shared[index];
            } else if (type == QLatin1String("inlineStr")) {
                cell.text = inlineText;
            } else if (type == QLatin1String("str")) {
                cell.text = Unescaped(value);
            } else if (type == QLatin1String("b")) {
                cell.text = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                cell.note = QStringLiteral("論理値のセル");
            } else if (type == QLatin1String("e")) {
                if (refusal.isEmpty()) refusal = QStringLiteral("セル %1 はエラー値 %2 です").arg(where, value);
                continue;
            } else if (!value.isEmpty()) {  // a number ("n", or no type)
                bool ok = false;
                const double number = value.toDouble(&ok);
                const std::optional<QString> shown =
                    ok ? ShownNumber(number, format, date1904, styles.IsText(format)) : std::nullopt;
                if (!shown) {
                    if (refusal.isEmpty())
                        refusal = QStringLiteral("セル %1 は書式 %2 の数値です（文字列の書式にして、文字で入れてください）")
                                      .arg(where, styles.codes.value(format, QString::number(format)));
                    continue;
                }
                cell.text = *shown;
                cell.note = format >= 14 && format <= 22 ? QStringLiteral("日付か時刻のセルを表示の形で読みました")
                                                         : QStringLiteral("数値のセルを数字で読みました");
            }
            if (formula) cell.note = QStringLiteral("数式のセルの結果を読みました");
            if (column >= kMaxColumns) column = kMaxColumns - 1;
            if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
            cells[static_cast<size_t>(column)] = std::move(cell);
        }
        if (xml.hasError()) break;
        bool empty = refusal.isEmpty();
        for (const KeyListCell& c : cells) empty = empty && c.text.trimmed().isEmpty();
        if (empty) continue;
        const bool header = first && refusal.isEmpty() && IsKeyListHeader(cells);
        first = false;
        if (header) {
            read.notice = KeyListHeaderNotice(cells);
            continue;
        }
        if (!refusal.isEmpty()) {
            read.refusals.push_back({rowNumber, refusal});
            continue;
        }
        QString reason;
        if (std::optional<KeyListRow> row = KeyListRowOf(rowNumber, cells, reason))
            read.rows.push_back(std::move(*row));
        else
            read.refusals.push_back({rowNumber, reason});
    }
    if (xml.hasError()) return fail(XmlFailure(sheetPart, xml));
    return read;
}

}  // namespace sw::model
