// Key lists as .xlsx workbooks: what we write reads back exactly, cells are read as a
// spreadsheet shows them (and marked where they were not typed text), and a damaged or
// swelling workbook fails as a whole with a message.
#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <memory>

#include "model/Cp932.h"
#include "model/KeyXlsx.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

Bytes Sjis(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

// A workbook made of the given parts, zipped by libzip as a spreadsheet would.
std::string Zip(const std::map<std::string, std::string>& parts) {
    sw::test::TempDir dir;
    const std::string path = dir.File("book.xlsx");
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(zip, nullptr);
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(zip, content.data(), content.size(), 0);
        EXPECT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(zip), 0);
    return sw::test::ReadFileBytes(path);
}

std::map<std::string, std::string> Book(const std::string& rows, const std::string& strings = "",
                                        const std::string& styles = "") {
    std::map<std::string, std::string> parts{
        {"xl/workbook.xml",
         R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
         R"(<sheets><sheet name="一覧" sheetId="1" r:id="rId7"/><sheet name="b" sheetId="2" r:id="rId8"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships><Relationship Id="rId8" Target="worksheets/other.xml"/>)"
         R"(<Relationship Id="rId7" Target="/xl/worksheets/first.xml"/></Relationships>)"},
        {"xl/worksheets/first.xml", "<worksheet><sheetData>" + rows + "</sheetData></worksheet>"},
    };
    if (!strings.empty()) parts["xl/sharedStrings.xml"] = "<sst>" + strings + "</sst>";
    if (!styles.empty()) parts["xl/styles.xml"] = "<styleSheet>" + styles + "</styleSheet>";
    return parts;
}

std::string Refusals(const KeyListRead& read) {
    std::string out;
    for (const KeyListRefusal& r : read.refusals) out += std::to_string(r.row) + ": " + r.reason.toStdString() + "\n";
    return out;
}

TEST(KeyXlsx, WhatWeWriteReadsBackExactlyAndChangesNothing) {
    auto set = std::make_unique<LabelSet>();
    set->Entries[2].ButtonModel = kModel30;
    const char* texts[] = {"007", "=1+1", "1/2", "+81", "(1)", "1E3", "営業,\"課\"", "a\tb", "_x0041_ x", " 受付 "};
    int key = 1;
    for (const char* t : texts) set->Entries[2].Faces[3].Keys[key++].Line1 = Sjis(t);
    set->Entries[2].Faces[3].Keys[30].Line2 = "\x01";
    set->Entries[2].Faces[4].Keys[1].Line1 = "\xEE\xE0";  // 髙 in NEC's selection: comes back as FBFC

    const KeyXlsxWritten xlsx = WriteKeyXlsx(*set, {1, 2});
    ASSERT_TRUE(xlsx.failure.isEmpty()) << xlsx.failure.toStdString();
    EXPECT_TRUE(LooksLikeXlsx(xlsx.data));
    EXPECT_EQ(xlsx.rows, 4 * 18 + 4 * 30);

    const KeyListRead read = ReadKeyList(xlsx.data, CsvEncodingChoice::Detect);
    ASSERT_TRUE(read.failure.isEmpty()) << read.failure.toStdString();
    EXPECT_EQ(Refusals(read), "");
    ASSERT_EQ(read.rows.size(), 4u * 18 + 4 * 30);
    EXPECT_EQ(read.rows[0].row, 2);  // under the header, as the spreadsheet counts
    const KeyTextImport same = PlanKeyTextImport(*set, read, 0, {});
    EXPECT_TRUE(same.changes.empty());
    EXPECT_EQ(same.unchanged, 4 * 18 + 4 * 30);

    auto fresh = std::make_unique<LabelSet>();
    fresh->Entries[2].ButtonModel = kModel30;
    const KeyTextImport plan = PlanKeyTextImport(*fresh, read, 0, {});
    ASSERT_EQ(plan.changes.size(), std::size(texts) + 2);
    EXPECT_EQ(plan.Suspects(), 0);  // text cells: nothing a spreadsheet did
    ApplyKeyTexts(*fresh, plan.changes);
    for (int k = 1; k <= kKeyCount; ++k)
        EXPECT_EQ(fresh->Entries[2].Faces[3].Keys[k].Line1, set->Entries[2].Faces[3].Keys[k].Line1) << k;
    EXPECT_EQ(fresh->Entries[2].Faces[3].Keys[30].Line2, "\x01");
    EXPECT_EQ(fresh->Entries[2].Faces[4].Keys[1].Line1, "\xFB\xFC");
}

TEST(KeyXlsx, ReadsCellsAsTheSpreadsheetShowsThemAndMarksWhatWasNotTypedText) {
    const std::string strings =
        "<si><t>entry</t></si>"
        "<si><r><t>営</t></r><r><t xml:space=\"preserve\">業 </t></r><rPh sb=\"0\" eb=\"1\"><t>エイ</t></rPh></si>"
        "<si><t>007</t></si>";
    const std::string styles =
        R"(<numFmts><numFmt numFmtId="164" formatCode="0.00"/><numFmt numFmtId="165" formatCode="General"/></numFmts>)"
        R"(<cellXfs><xf numFmtId="165"/><xf numFmtId="14"/><xf numFmtId="20"/><xf numFmtId="164"/><xf numFmtId="49"/></cellXfs>)";
    const std::string rows =
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)"
        R"(<row r="2"><c r="A2" s="0"><v>1</v></c><c r="B2"><v>1</v></c><c r="C2"><v>1</v></c><c r="D2" t="s"><v>1</v></c><c r="E2" t="s"><v>2</v></c></row>)"
        R"(<row r="3"><c r="A3"><v>1</v></c><c r="B3"><v>1</v></c><c r="C3"><v>2</v></c><c r="D3" s="0"><v>120</v></c><c r="E3" s="4"><v>0.1</v></c></row>)"
        R"(<row r="4"><c r="A4"><v>1</v></c><c r="B4"><v>1</v></c><c r="C4"><v>3</v></c><c r="D4" s="1"><v>45293</v></c><c r="E4" s="2"><v>0.4375</v></c></row>)"
        R"(<row r="5"><c r="A5"><v>1</v></c><c r="B5"><v>1</v></c><c r="C5"><v>4</v></c><c r="D5" t="inlineStr"><is><t>=1+1</t></is></c><c r="E5" t="str"><f>1+1</f><v>2</v></c></row>)"
        R"(<row r="7"><c r="A7"><v>1</v></c><c r="B7"><v>1</v></c><c r="C7"><v>5</v></c><c r="D7" s="3"><v>3.5</v></c></row>)"
        R"(<row r="8"><c r="A8"><v>1</v></c><c r="B8"><v>1</v></c><c r="C8"><v>6</v></c><c r="D8" t="e"><v>#DIV/0!</v></c></row>)"
        R"(<row r="9"><c r="A9"><v>1</v></c><c r="B9"><v>1</v></c><c r="C9"><v>7</v></c><c r="F9" t="s"><v>2</v></c></row>)";
    const KeyListRead read = ReadKeyXlsx(Zip(Book(rows, strings, styles)));
    ASSERT_TRUE(read.failure.isEmpty()) << read.failure.toStdString();
    EXPECT_EQ(Refusals(read),
              "7: セル D7 は書式 0.00 の数値です（文字列の書式にして、文字で入れてください）\n"
              "8: セル D8 はエラー値 #DIV/0! です\n"
              "9: 欄が 6 個あります（entry,face,key,line1,line2 の 5 欄までです）\n");

    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Faces[1].Keys[2].Line1 = "0120";
    const KeyTextImport plan = PlanKeyTextImport(*set, read, 0, {});
    std::string list;
    for (const KeyTextChange& c : plan.changes) list += DescribeKeyChange(c, false).toStdString() + "\n";
    EXPECT_EQ(list,
              "印刷面1 / キー 01: 旧「」「」 → 新「営業 」「007」\n"
              "印刷面1 / キー 02: 旧「0120」「」 → 新「120」「0.1」　※表計算ソフトの変換？"
              "（1行目: 数値のセルを数字で読みました、先頭の 0 が消えています／2行目: 数値のセルを数字で読みました）\n"
              "印刷面1 / キー 03: 旧「」「」 → 新「2024/1/2」「10:30」　※表計算ソフトの変換？"
              "（1行目: 日付か時刻のセルを表示の形で読みました／2行目: 日付か時刻のセルを表示の形で読みました）\n"
              "印刷面1 / キー 04: 旧「」「」 → 新「=1+1」「2」　※表計算ソフトの変換？（2行目: 数式のセルの結果を読みました）\n");
}

TEST(KeyXlsx, ReadsEveryBuiltInDateAndTimeFormatAsItIsShown) {
    const struct {
        int format;
        const char* value;
        const char* shown;
    } cases[] = {
        {14, "45293.4375", "2024/1/2"},
        {15, "45293.4375", "2-Jan-24"},
        {16, "45293.4375", "2-Jan"},
        {17, "45293.4375", "Jan-24"},
        {18, "45293.4375", "10:30 AM"},
        {19, "0.9", "9:36:00 PM"},
        {20, "45293.4375", "10:30"},
        {21, "0.99999", "23:59:59"},
        {22, "45293.4375", "2024/1/2 10:30"},
        {14, "59", "1900/2/28"},  // the spreadsheet's 29 February 1900 is day 60
        {14, "61", "1900/3/1"},
        {14, "-1", nullptr},      // no date: refused
    };
    std::string xfs = "<xf numFmtId=\"0\"/>";  // cells without a style of their own: General
    std::string rows;
    int r = 0;
    for (const auto& c : cases) {
        xfs += "<xf numFmtId=\"" + std::to_string(c.format) + "\"/>";
        const std::string n = std::to_string(++r);
        rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>1</v></c><c r=\"B" + n + "\"><v>1</v></c><c r=\"C" + n +
                "\"><v>" + n + "</v></c><c r=\"D" + n + "\" s=\"" + n + "\"><v>" + c.value +
                "</v></c></row>";
    }
    const KeyListRead read = ReadKeyXlsx(Zip(Book(rows, "", "<cellXfs>" + xfs + "</cellXfs>")));
    ASSERT_TRUE(read.failure.isEmpty()) << read.failure.toStdString();
    size_t taken = 0;
    for (const auto& c : cases) {
        if (!c.shown) continue;
        ASSERT_LT(taken, read.rows.size());
        EXPECT_EQ(DecodeCp932(read.rows[taken].line1), QString::fromUtf8(c.shown)) << c.format << " " << c.value;
        EXPECT_FALSE(read.rows[taken++].note1.isEmpty());
    }
    EXPECT_EQ(taken, read.rows.size());
    EXPECT_EQ(Refusals(read), "12: セル D12 は書式 14 の数値です（文字列の書式にして、文字で入れてください）\n");
}

TEST(KeyXlsx, ADamagedOrSwellingWorkbookFailsAsAWholeWithAMessage) {
    std::map<std::string, std::string> bomb = Book("");
    bomb["xl/worksheets/first.xml"] = std::string(kMaxXlsxUnpackedBytes + 1, ' ');
    std::map<std::string, std::string> noSheet = Book("");
    noSheet.erase("xl/worksheets/first.xml");
    std::map<std::string, std::string> noWorkbook = Book("");
    noWorkbook.erase("xl/workbook.xml");
    const struct {
        std::string data;
        const char* says;
    } cases[] = {
        {std::string("PK\x03\x04") + " not really a zip", "Excel のブック (.xlsx) として読めません"},
        {Zip(bomb), "展開すると 64 MB を超えます"},
        {Zip(noSheet), "xl/worksheets/first.xml がありません"},
        {Zip(noWorkbook), "xl/workbook.xml がありません"},
        {Zip(Book("<row r=\"2\"><c><v>1</c></row>")), "xl/worksheets/first.xml の 1 行目が XML として読めません"},
    };
    for (const auto& c : cases) {
        const KeyListRead read = ReadKeyList(c.data, CsvEncodingChoice::Detect);
        EXPECT_TRUE(read.rows.empty() && read.refusals.empty());
        EXPECT_TRUE(read.failure.contains(QString::fromUtf8(c.says))) << read.failure.toStdString();
    }
}

}  // namespace
}  // namespace sw::model
