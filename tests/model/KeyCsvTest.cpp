// Key lists to and from CSV: what a written file holds, in the window's numbering, a round
// trip in both encodings, the files spreadsheets write, every refused row with its number,
// the change list with its spreadsheet marks, and an import undone in one step.
#include <gtest/gtest.h>

#include <memory>

#include "model/Clipboard.h"
#include "model/Cp932.h"
#include "model/EditingFixture.h"
#include "model/KeyCsv.h"

namespace sw::model {
namespace {

Bytes Sjis(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

// Entry 01 with 18 keys, entry 02 with 30: texts that need quoting, blanks at the ends, a
// first line left empty, and a key that has only a format of its own.
std::unique_ptr<LabelSet> Sample() {
    auto set = std::make_unique<LabelSet>();
    auto& e1 = set->Entries[1].Faces;
    e1[1].Keys[1].Line1 = Sjis("営業,1課");
    e1[1].Keys[1].Line2 = Sjis("say \"hi\"");
    e1[1].Keys[18].Line1 = Sjis(" 受付 ");
    e1[3].Keys[5].Line2 = Sjis("内線①～");
    e1[4].Keys[2].FontSize = 12;  // no text, own format
    set->Entries[2].ButtonModel = kModel30;
    set->Entries[2].Faces[2].Keys[1].Line1 = "0123";
    set->Entries[2].Faces[2].Keys[30].Line1 = Sjis("ソ表");  // 0x5C trail bytes
    return set;
}

KeyTextImport Import(const LabelSet& set, const std::string& csv,
                     CsvEncodingChoice choice = CsvEncodingChoice::Detect, int onlyEntry = 0,
                     KeyFitCheck fits = {}) {
    return PlanKeyTextImport(set, ReadKeyCsv(csv, choice), onlyEntry, fits);
}

std::string Rows(const KeyTextImport& plan) {
    std::string out;
    for (const KeyListRefusal& r : plan.refusals)
        out += std::to_string(r.row) + ": " + r.reason.toStdString() + "\n";
    return out;
}

std::string Changes(const KeyTextImport& plan, bool withEntry = false) {
    std::string out;
    for (const KeyTextChange& c : plan.changes) out += DescribeKeyChange(c, withEntry).toStdString() + "\n";
    return out;
}

// The rows of a file after its header, one string per row.
std::vector<std::string> Lines(const std::string& data) {
    std::vector<std::string> lines;
    size_t pos = data.find("\r\n") + 2;
    while (pos < data.size()) {
        const size_t end = data.find("\r\n", pos);
        lines.push_back(data.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST(KeyCsvWrite, ARowForEveryKeyTheWindowShowsNumberedAsTheWindowNumbersThem) {
    auto set = Sample();
    KeyCsvWritten csv = WriteKeyCsv(*set, {1, 2}, CsvEncoding::Utf8);
    EXPECT_EQ(csv.data.rfind("\xEF\xBB\xBF" "entry,face,key,line1,line2\r\n", 0), 0u);
    const std::vector<std::string> rows = Lines(csv.data);
    ASSERT_EQ(csv.rows, 4 * 18 + 4 * 30);
    ASSERT_EQ(rows.size(), 4u * 18 + 4 * 30);
    EXPECT_EQ(rows[0], "01,1,01,\"営業,1課\",\"say \"\"hi\"\"\"");  // key 01 sits at grid position 07
    EXPECT_EQ(rows[1], "01,1,02,,");
    EXPECT_EQ(rows[17], "01,1,18,\" 受付 \",");
    EXPECT_EQ(rows[18], "01,2,01,,");                         // keys 19–30 of an 18-key entry never travel
    EXPECT_EQ(rows[2 * 18 + 4], "01,3,05,,内線①～");
    EXPECT_EQ(rows[4 * 18 + 30], "02,2,01,0123,");
    EXPECT_EQ(rows[4 * 18 + 59], "02,2,30,ソ表,");
    EXPECT_EQ(rows.back(), "02,4,30,,");

    // --only-used: the keys with text or a format of their own. CP932: no mark, the stored
    // bytes as they are; a tab anywhere is quoted.
    set->Entries[2].Faces[3].Keys[4].Line2 = "a\tb";
    csv = WriteKeyCsv(*set, {2}, CsvEncoding::Cp932, KeyListScope::OnlyUsed);
    EXPECT_EQ(csv.data, "entry,face,key,line1,line2\r\n02,2,01,0123,\r\n02,2,30," + Sjis("ソ表") +
                            ",\r\n02,3,04,,\"a\tb\"\r\n");
    EXPECT_EQ(WriteKeyCsv(*set, {1}, CsvEncoding::Utf8, KeyListScope::OnlyUsed).rows, 4);
    EXPECT_TRUE(csv.unreadable.empty());
}

TEST(KeyCsvRoundTrip, WhatExportWritesImportReadsBackAndUnchangedRowsKeepTheirBytes) {
    auto set = Sample();
    set->Entries[1].Faces[2].Keys[19].Line1 = "hidden";  // not shown under 18 keys
    set->Entries[2].Faces[1].Keys[3].Line1 = "tab\there";
    set->Entries[2].Faces[1].Keys[4].Line2 = "\x01\x7F";
    set->Entries[2].Faces[1].Keys[5].Line1 = "\xEE\xE0";  // 髙 in NEC's selection of IBM's extension
    for (CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Cp932}) {
        const std::string csv = WriteKeyCsv(*set, {1, 2}, encoding).data;
        // Into the same set: every row is the key's own text, nothing changes, not even the
        // bytes of 髙, which UTF-8 brings back as IBM's FBFC.
        KeyTextImport same = Import(*set, csv);
        EXPECT_EQ(Rows(same), "");
        EXPECT_EQ(same.changes.size(), 0u);
        EXPECT_EQ(same.unchanged, 4 * 18 + 4 * 30);

        // Into a reset set: exactly the keys with text change, to the same bytes.
        auto fresh = std::make_unique<LabelSet>();
        fresh->Entries[2].ButtonModel = kModel30;
        fresh->Entries[1].Faces[1].Keys[1].FontName = "Serif";  // formats are never touched
        KeyTextImport plan = Import(*fresh, csv);
        EXPECT_EQ(Rows(plan), "");
        EXPECT_EQ(plan.changes.size(), 8u);
        ApplyKeyTexts(*fresh, plan.changes);
        for (int entry : {1, 2})
            for (int face = 1; face <= kFaceCount; ++face)
                for (int key = 1; key <= kKeyCount; ++key) {
                    if (entry == 1 && face == 2 && key == 19) continue;
                    const KeyLabel& a = set->Entries[entry].Faces[face].Keys[key];
                    const KeyLabel& b = fresh->Entries[entry].Faces[face].Keys[key];
                    const bool utf8Nec = encoding == CsvEncoding::Utf8 && entry == 2 && face == 1 && key == 5;
                    EXPECT_EQ(utf8Nec ? "\xFB\xFC" : a.Line1, b.Line1) << entry << " " << face << " " << key;
                    EXPECT_EQ(a.Line2, b.Line2) << entry << " " << face << " " << key;
                }
        EXPECT_EQ(fresh->Entries[1].Faces[2].Keys[19].Line1, "");
        EXPECT_EQ(fresh->Entries[1].Faces[1].Keys[1].FontName, "Serif");
    }
}

TEST(KeyCsvRead, ReadsEveryEncodingAndSeparatorASpreadsheetWrites) {
    auto owned = std::make_unique<LabelSet>();
    const LabelSet& set = *owned;
    const std::string utf8 = "1,1,7,営業,課\n";
    const std::string cp932 = "1,1,7," + Sjis("営業") + "," + Sjis("課") + "\n";
    const std::string cp932Tabs = Sjis("管理\t面\tキー\t1\t2\r\n1\t1\t7\t営業\t課\r\n");
    // Excel's "Unicode テキスト": UTF-16 little-endian with a mark, tab-separated.
    const QString unicodeText = QStringLiteral("entry\tface\tkey\tline1\tline2\r\n1\t1\t7\t\"営業\"\t課\r\n");
    std::string utf16le = "\xFF\xFE";
    for (QChar c : unicodeText) utf16le += {static_cast<char>(c.unicode() & 0xFF), static_cast<char>(c.unicode() >> 8)};
    std::string utf16be;
    for (QChar c : unicodeText) utf16be += {static_cast<char>(c.unicode() >> 8), static_cast<char>(c.unicode() & 0xFF)};
    for (const std::string& csv : {utf8, "\xEF\xBB\xBF" + utf8, cp932, cp932Tabs, utf16le, utf16be}) {
        KeyTextImport plan = Import(set, csv);
        ASSERT_EQ(Rows(plan), "");
        ASSERT_EQ(plan.changes.size(), 1u) << csv;
        EXPECT_EQ(plan.changes[0].line1, Sjis("営業"));
        EXPECT_EQ(plan.changes[0].line2, Sjis("課"));
        EXPECT_EQ(plan.changes[0].keyIndex, 7);
    }
    // A UTF-16 file cut in the middle of a character is refused as a whole, naming UTF-16.
    const KeyListRead cut = ReadKeyCsv(utf16le.substr(0, utf16le.size() - 1), CsvEncodingChoice::Detect);
    EXPECT_TRUE(cut.rows.empty());
    EXPECT_TRUE(cut.failure.contains(QStringLiteral("UTF-16"))) << cut.failure.toStdString();
    // An empty file and one with only a header hold no rows, and nothing is refused.
    for (const char* nothing : {"", "\xEF\xBB\xBF", "entry,face,key,line1,line2\r\n,,,,\r\n"}) {
        const KeyListRead read = ReadKeyCsv(nothing, CsvEncodingChoice::Detect);
        EXPECT_TRUE(read.rows.empty() && read.refusals.empty() && read.failure.isEmpty());
    }
    // Told UTF-8, a CP932 file is refused row by row rather than read as nonsense.
    EXPECT_EQ(Rows(Import(set, cp932, CsvEncodingChoice::Utf8)),
              "1: 1行目に UTF-8 として読めないバイトがあります\n");
    // CP932 bytes are kept as written, also those another encoding of the same character has.
    const std::string ibm = "\xFA\x40";  // ⅰ in the IBM extension
    KeyTextImport plan = Import(set, "01,1,07," + ibm + ",\r\n", CsvEncodingChoice::Cp932);
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_EQ(plan.changes[0].line1, ibm);
}

TEST(KeyCsvRead, QuotedFieldsHeadersBlankRowsAndLineEnds) {
    auto owned = std::make_unique<LabelSet>();
    LabelSet& set = *owned;
    set.Entries[3].ButtonModel = kModel30;
    const std::string csv =
        "管理番号,印刷面,キー,1行目,2行目\r"   // a header of the user's own, CR line ends
        "\r"                                 // a blank row
        ",,,,\r"                             // a spreadsheet's empty row
        "03, 2 ,001,\"a,\"\"b\"\"\",\r"      // blanks around numbers, doubled quotes
        "3,4,30,\"x\"\r"                     // line 2 left out
        "3,4,29,,,,\r"                       // empty cells after the fifth
        "3,4,28,\"q\n\",\r";                 // a quoted line break: refused, and no new row
    KeyTextImport plan = Import(set, csv);
    ASSERT_EQ(Rows(plan), "7: 1行目に改行があります（1 行ずつ line1 と line2 の欄に分けてください）\n");
    ASSERT_EQ(plan.changes.size(), 2u);
    EXPECT_EQ(plan.unchanged, 1);  // key 29 was empty and stays so
    EXPECT_EQ(plan.changes[0].row, 4);
    EXPECT_EQ(plan.changes[0].entry, 3);
    EXPECT_EQ(plan.changes[0].face, 2);
    EXPECT_EQ(plan.changes[0].keyIndex, 1);
    EXPECT_EQ(plan.changes[0].line1, "a,\"b\"");
    EXPECT_EQ(plan.changes[1].line1, "x");
    EXPECT_EQ(plan.changes[1].line2, "");
    EXPECT_TRUE(ReadKeyCsv(csv, CsvEncodingChoice::Detect).notice.isEmpty());
    // The header earlier exports wrote counted 18-key entries by grid position: said.
    EXPECT_FALSE(ReadKeyCsv("entry,face,position,line1,line2\r\n01,1,07,a,\r\n", CsvEncodingChoice::Detect)
                     .notice.isEmpty());
}

TEST(KeyCsvRead, ListsEveryRefusedRowWithItsNumberAndTakesTheRest) {
    auto owned = std::make_unique<LabelSet>();  // every entry has 18 keys: 01 to 18
    const LabelSet& set = *owned;
    const std::string csv =
        "entry,face,key,line1,line2\n"            // 1
        "01,1,01,ok,\n"                           // 2  taken
        "01,1,02,a\"b,\n"                         // 3  quote in an unquoted field
        "01,1,03,\"a\"b,\n"                       // 4  text after a closing quote
        "01,1\n"                                  // 5  too few fields
        "01,1,04,a,b,c\n"                         // 6  too many
        "51,1,04,a,\n"                            // 7  no entry 51
        "x,1,04,a,\n"                             // 8  not a number
        "01,5,04,a,\n"                            // 9  no face 5
        "01,1,31,a,\n"                            // 10 no key 31
        "01,1,19,a,\n"                            // 11 not shown under 18 keys
        "01,1,01,again,\n"                        // 12 the key of row 2 again
        "01,1,05,😀,\n"                           // 13 not in CP932
        "01,1,06,\"two\nlines\",\n"               // 14 a line break in a key line
        "01,1,07,a\tb,\n"                         // 15 a tab is kept
        "01,1,08,too long for its key,\n"         // 16 does not fit
        "02,2,14,,second\n"                       // 17 taken
        "01,1,09,\"open\n";                       // 18 a quote never closed
    auto fits = [](const KeyLabel& key, int, int position) {
        if (key.Line1 == "ok" && position != 7) return QStringLiteral("key 01 is measured at grid position 07");
        return key.Line1.size() > 10 ? QStringLiteral("1行目が横に 3.2mm はみ出します") : QString();
    };
    KeyTextImport plan = Import(set, csv, CsvEncodingChoice::Detect, 0, fits);
    EXPECT_EQ(Rows(plan),
              "3: 引用符で囲まれていない欄に引用符 \" があります（欄全体を \" で囲み、\" は \"\" と書きます）\n"
              "4: 引用符 \" で閉じた欄の後に区切りか改行がありません\n"
              "5: 欄が 2 個しかありません（entry,face,key,line1,line2 の 5 欄です）\n"
              "6: 欄が 6 個あります（entry,face,key,line1,line2 の 5 欄までです）\n"
              "7: 管理番号「51」はありません（01〜50）\n"
              "8: 管理番号「x」はありません（01〜50）\n"
              "9: 印刷面「5」はありません（1〜4）\n"
              "10: キー「31」はありません（01〜30）\n"
              "11: キー 19 は管理番号 01（18ボタン）にはありません（01〜18）\n"
              "12: 同じキー（管理番号 01 印刷面1 キー01）が 2 行目にもあります\n"
              "13: 1行目の「😀」(U+1F600) は Shift-JIS (CP932) で保存できない文字です\n"
              "14: 1行目に改行があります（1 行ずつ line1 と line2 の欄に分けてください）\n"
              "16: 1行目が横に 3.2mm はみ出します\n"
              "18: 引用符 \" で始まった欄が閉じられていません（ファイルの終わりまで）\n");
    ASSERT_EQ(plan.changes.size(), 3u);
    EXPECT_EQ(plan.changes[0].row, 2);
    EXPECT_EQ(plan.changes[1].line1, "a\tb");
    EXPECT_EQ(plan.changes[2].row, 17);
    EXPECT_EQ(plan.changes[2].line2, "second");

    // The window takes only the entry it shows.
    plan = Import(set, csv, CsvEncodingChoice::Detect, 1, fits);
    ASSERT_EQ(plan.changes.size(), 2u);
    EXPECT_NE(Rows(plan).find("17: 管理番号 02 の行です（表示中の管理番号 01 にだけ読み込みます）\n"),
              std::string::npos);
}

TEST(KeyChangeList, NamesExactlyTheKeysThatChangeAndMarksWhatASpreadsheetRewrote) {
    auto set = std::make_unique<LabelSet>();
    auto& f2 = set->Entries[1].Faces[2].Keys;
    f2[7].Line1 = "0120";
    f2[8].Line1 = Sjis("営業");
    f2[8].Line2 = "=1+1";
    f2[9].Line1 = Sjis("総務");
    f2[10].Line1 = "10:30";
    const std::string csv =
        "entry,face,key,line1,line2\n"
        "01,2,07,120,\n"         // leading zero dropped
        "01,2,08,営業,2\n"       // a formula's result, on the second line
        "01,2,09,総務,\n"        // the same text: not listed
        "01,2,10,11:00,\n"       // an edit of a time: listed, not marked
        "01,2,11,,\n"            // empty and empty: not listed
        "01,3,01,新規,\n";       // a new text
    const KeyTextImport plan = Import(*set, csv);
    EXPECT_EQ(Rows(plan), "");
    EXPECT_EQ(plan.unchanged, 2);
    EXPECT_EQ(plan.Suspects(), 2);
    EXPECT_EQ(Changes(plan),
              "印刷面2 / キー 07: 旧「0120」 → 新「120」　※表計算ソフトの変換？（先頭の 0 が消えています）\n"
              "印刷面2 / キー 08: 旧「営業」「=1+1」 → 新「営業」「2」　※表計算ソフトの変換？（2行目: 数式の結果になっています）\n"
              "印刷面2 / キー 10: 旧「10:30」 → 新「11:00」\n"
              "印刷面3 / キー 01: 旧「」 → 新「新規」\n");
    EXPECT_EQ(DescribeKeyChange(plan.changes[3], true), QStringLiteral("管理番号 01 / 印刷面3 / キー 01: 旧「」 → 新「新規」"));
}

TEST(KeyChangeList, KnowsWhatSpreadsheetsDoToTexts) {
    struct Case {
        const char* before;
        const char* after;
        const char* why;  // empty: not a spreadsheet's doing
    };
    const Case cases[] = {
        {"007", "7", "先頭の 0 が消えています"},
        {"0120", "120", "先頭の 0 が消えています"},
        {"=1+1", "2", "数式の結果になっています"},
        {"=A1", "#REF!", "数式の結果になっています"},
        {"+81", "81", "＋の符号か括弧が消えています"},
        {"(1)", "-1", "＋の符号か括弧が消えています"},
        {"1/2", "Jan 02", "日付か時刻として書き換えられています"},
        {"1-2", "2-Jan", "日付か時刻として書き換えられています"},
        {"2024/1/2", "1/2/24", "日付か時刻として書き換えられています"},
        {"10:30", "10:30:00", "日付か時刻として書き換えられています"},
        {"1/2", "46024", "日付か時刻として数値に書き換えられています"},
        {"1E3", "1.00E+03", "数値の書き方が変わっています"},
        {"1,000", "1000", "数値の書き方が変わっています"},
        {"12345678901234567890", "1.23457E+19", "数値の書き方が変わっています"},
        {"10%", "0.1", "数値の書き方が変わっています"},
        {"true", "TRUE", "論理値 TRUE に書き換えられています"},
        {"120", "121", ""},
        {"0120", "0121", ""},
        {"1/2", "Feb 03", ""},
        {"10:30", "11:00", ""},
        {"営業", "総務", ""},
        {"12345678901234567890", "1.3E+19", ""},
        {"内線 7", "7", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpreadsheetConversion(QString::fromUtf8(c.before), QString::fromUtf8(c.after)),
                  QString::fromUtf8(c.why))
            << c.before << " → " << c.after;
}

class KeyCsvUndo : public Editing {};

TEST_F(KeyCsvUndo, AnImportIsOneUndoStepThatBringsBackEveryKey) {
    Key(1, 1, 1).Line1 = "old";
    Key(1, 3, 5) = Label("fmt", "kept");
    Stand(1, 1, 7);
    ASSERT_TRUE(KeyCopy(ws()).Empty());  // something on the clipboard
    const auto before = std::make_unique<LabelSet>(ws().labelSet);
    KeyTextImport plan = Import(ws().labelSet, "01,1,01,new,\n01,3,05,,two\n01,4,18,x,y\n");
    ASSERT_EQ(plan.changes.size(), 3u);

    Refresh refresh = ImportKeyTexts(ws(), plan.changes);
    EXPECT_TRUE(refresh.face);
    EXPECT_EQ(Key(1, 1, 1).Line1, "new");
    EXPECT_EQ(Key(1, 3, 5).Line1, "");
    EXPECT_EQ(Key(1, 3, 5).Line2, "two");
    EXPECT_EQ(Key(1, 3, 5).FontName, "Serif");  // the format stays
    EXPECT_EQ(Key(1, 4, 18).Line2, "y");
    EXPECT_EQ(States(), "00001");  // as any recorded change: the clipboard is gone, undo on

    UndoLastChange(ws());
    EXPECT_TRUE(ws().labelSet == *before);
    EXPECT_EQ(States(), "00000");

    // Importing what the keys already hold lists no change, and records nothing.
    KeyCopy(ws());
    plan = Import(ws().labelSet, "01,1,01,old,\n");
    EXPECT_TRUE(plan.changes.empty());
    EXPECT_TRUE(ImportKeyTexts(ws(), plan.changes).Empty());
    EXPECT_EQ(States(), "10010");
}

}  // namespace
}  // namespace sw::model
