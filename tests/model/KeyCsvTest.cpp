// Key texts to and from CSV: what a written file holds, a round trip into a reset set in
// both encodings, every refused row with its number, and an import undone in one step.
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
    for (const KeyCsvRefusal& r : plan.refusals)
        out += std::to_string(r.row) + ": " + r.reason.toStdString() + "\n";
    return out;
}

TEST(KeyCsvWrite, HasABomAHeaderAndOneQuotedRowPerKeyAtItsScreenPosition) {
    auto set = Sample();
    KeyCsvWritten csv = WriteKeyCsv(*set, {1, 2}, CsvEncoding::Utf8);
    EXPECT_EQ(csv.rows, 6);
    EXPECT_EQ(csv.data,
              "\xEF\xBB\xBF"
              "entry,face,position,line1,line2\r\n"
              "01,1,07,\"営業,1課\",\"say \"\"hi\"\"\"\r\n"
              "01,1,24,\" 受付 \",\r\n"
              "01,3,11,,内線①～\r\n"
              "01,4,08,,\r\n"
              "02,2,01,0123,\r\n"
              "02,2,30,ソ表,\r\n");
    // CP932: no mark, the stored bytes as they are.
    csv = WriteKeyCsv(*set, {2}, CsvEncoding::Cp932);
    EXPECT_EQ(csv.data, "entry,face,position,line1,line2\r\n02,2,01,0123,\r\n02,2,30," + Sjis("ソ表") + ",\r\n");
    EXPECT_TRUE(csv.unreadable.empty());
}

TEST(KeyCsvRoundTrip, ExportThenImportIntoAResetSetGivesTheSameTexts) {
    auto set = Sample();
    set->Entries[1].Faces[2].Keys[19].Line1 = "hidden";  // not shown under 18 keys: not exported
    for (CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Cp932}) {
        const std::string csv = WriteKeyCsv(*set, {1, 2}, encoding).data;
        auto fresh = std::make_unique<LabelSet>();
        fresh->Entries[2].ButtonModel = kModel30;
        fresh->Entries[1].Faces[1].Keys[1].FontName = "Serif";  // formats are never touched
        KeyTextImport plan = Import(*fresh, csv);
        EXPECT_EQ(Rows(plan), "");
        EXPECT_EQ(plan.changes.size(), 6u);
        ApplyKeyTexts(*fresh, plan.changes);
        for (int entry : {1, 2})
            for (int face = 1; face <= kFaceCount; ++face)
                for (int key = 1; key <= kKeyCount; ++key) {
                    if (entry == 1 && face == 2 && key == 19) continue;
                    const KeyLabel& a = set->Entries[entry].Faces[face].Keys[key];
                    const KeyLabel& b = fresh->Entries[entry].Faces[face].Keys[key];
                    EXPECT_EQ(a.Line1, b.Line1) << entry << " " << face << " " << key;
                    EXPECT_EQ(a.Line2, b.Line2) << entry << " " << face << " " << key;
                }
        EXPECT_EQ(fresh->Entries[1].Faces[1].Keys[1].FontName, "Serif");
        EXPECT_EQ(fresh->Entries[1].Faces[4].Keys[2].FontSize, 9);
    }
}

TEST(KeyCsvRead, FindsTheEncodingOfFilesWithAndWithoutAMark) {
    auto owned = std::make_unique<LabelSet>();
    const LabelSet& set = *owned;
    const std::string utf8 = "1,1,7,営業,課\n";
    const std::string cp932 = "1,1,7," + Sjis("営業") + "," + Sjis("課") + "\n";
    for (const std::string& csv : {utf8, "\xEF\xBB\xBF" + utf8, cp932}) {
        KeyTextImport plan = Import(set, csv);
        ASSERT_EQ(Rows(plan), "");
        ASSERT_EQ(plan.changes.size(), 1u);
        EXPECT_EQ(plan.changes[0].line1, Sjis("営業"));
        EXPECT_EQ(plan.changes[0].line2, Sjis("課"));
        EXPECT_EQ(plan.changes[0].keyIndex, 1);
    }
    EXPECT_EQ(ReadKeyCsv(cp932, CsvEncodingChoice::Detect).encoding, CsvEncoding::Cp932);
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
        "管理番号,印刷面,位置,1行目,2行目\r"   // a header of the user's own, CR line ends
        "\r"                                 // a blank row
        ",,,,\r"                             // a spreadsheet's empty row
        "03, 2 ,001,\"a,\"\"b\"\"\",\r"      // blanks around numbers, doubled quotes
        "3,4,30,\"x\"\r"                     // line 2 left out
        "3,4,29,,,,\r";                      // empty cells after the fifth
    KeyTextImport plan = Import(set, csv);
    ASSERT_EQ(Rows(plan), "");
    ASSERT_EQ(plan.changes.size(), 3u);
    EXPECT_EQ(plan.changes[0].row, 4);
    EXPECT_EQ(plan.changes[0].entry, 3);
    EXPECT_EQ(plan.changes[0].face, 2);
    EXPECT_EQ(plan.changes[0].keyIndex, 1);
    EXPECT_EQ(plan.changes[0].line1, "a,\"b\"");
    EXPECT_EQ(plan.changes[1].line1, "x");
    EXPECT_EQ(plan.changes[1].line2, "");
    EXPECT_EQ(plan.changes[2].keyIndex, 29);
}

TEST(KeyCsvRead, ListsEveryRefusedRowWithItsNumberAndTakesTheRest) {
    auto owned = std::make_unique<LabelSet>();  // every entry has 18 keys: positions 07 to 24
    const LabelSet& set = *owned;
    const std::string csv =
        "entry,face,position,line1,line2\n"       // 1
        "01,1,07,ok,\n"                           // 2  taken
        "01,1,08,a\"b,\n"                         // 3  quote in an unquoted field
        "01,1,09,\"a\"b,\n"                       // 4  text after a closing quote
        "01,1\n"                                  // 5  too few fields
        "01,1,10,a,b,c\n"                         // 6  too many
        "51,1,10,a,\n"                            // 7  no entry 51
        "x,1,10,a,\n"                             // 8  not a number
        "01,5,10,a,\n"                            // 9  no face 5
        "01,1,31,a,\n"                            // 10 no position 31
        "01,1,03,a,\n"                            // 11 not shown under 18 keys
        "01,1,07,again,\n"                        // 12 the key of row 2 again
        "01,1,11,😀,\n"                           // 13 not in CP932
        "01,1,12,\"two\nlines\",\n"               // 14 a line break in a key line
        "01,1,13,a\tb,\n"                         // 15 a control character
        "01,1,14,too long for its key,\n"         // 16 does not fit
        "02,2,20,,second\n"                       // 17 taken
        "01,1,15,\"open\n";                       // 18 a quote never closed
    auto fits = [](const KeyLabel& key, int, int) {
        return key.Line1.size() > 10 ? QStringLiteral("1行目が横に 3.2mm はみ出します") : QString();
    };
    KeyTextImport plan = Import(set, csv, CsvEncodingChoice::Detect, 0, fits);
    EXPECT_EQ(Rows(plan),
              "3: 引用符で囲まれていない欄に引用符 \" があります（欄全体を \" で囲み、\" は \"\" と書きます）\n"
              "4: 引用符 \" で閉じた欄の後に , か改行がありません\n"
              "5: 欄が 2 個しかありません（entry,face,position,line1,line2 の 5 欄です）\n"
              "6: 欄が 6 個あります（entry,face,position,line1,line2 の 5 欄までです）\n"
              "7: 管理番号「51」はありません（01〜50）\n"
              "8: 管理番号「x」はありません（01〜50）\n"
              "9: 印刷面「5」はありません（1〜4）\n"
              "10: 位置「31」はありません（01〜30）\n"
              "11: 位置 03 は管理番号 01（18ボタン）にはありません（07〜24）\n"
              "12: 同じキー（管理番号 01 印刷面1 位置07）が 2 行目にもあります\n"
              "13: 1行目の「😀」(U+1F600) は Shift-JIS (CP932) で保存できない文字です\n"
              "14: 1行目に改行があります（1 行ずつ line1 と line2 の欄に分けてください）\n"
              "15: 1行目に制御文字 (U+0009) があります\n"
              "16: 1行目が横に 3.2mm はみ出します\n"
              "18: 引用符 \" で始まった欄が閉じられていません（ファイルの終わりまで）\n");
    ASSERT_EQ(plan.changes.size(), 2u);
    EXPECT_EQ(plan.changes[0].row, 2);
    EXPECT_EQ(plan.changes[1].row, 17);
    EXPECT_EQ(plan.changes[1].line2, "second");

    // The window takes only the entry it shows.
    plan = Import(set, csv, CsvEncodingChoice::Detect, 1, fits);
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_NE(Rows(plan).find("17: 管理番号 02 の行です（表示中の管理番号 01 にだけ読み込みます）\n"),
              std::string::npos);
}

class KeyCsvUndo : public Editing {};

TEST_F(KeyCsvUndo, AnImportIsOneUndoStepThatBringsBackEveryKey) {
    Key(1, 1, 1).Line1 = "old";
    Key(1, 3, 5) = Label("fmt", "kept");
    Stand(1, 1, 7);
    ASSERT_TRUE(KeyCopy(ws()).Empty());  // something on the clipboard
    const auto before = std::make_unique<LabelSet>(ws().labelSet);
    KeyTextImport plan = Import(ws().labelSet, "01,1,07,new,\n01,3,11,,two\n01,4,24,x,y\n");
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

    // Importing what the keys already hold changes nothing and records nothing.
    KeyCopy(ws());
    EXPECT_TRUE(ImportKeyTexts(ws(), Import(ws().labelSet, "01,1,07,old,\n").changes).Empty());
    EXPECT_EQ(States(), "10010");
}

}  // namespace
}  // namespace sw::model
