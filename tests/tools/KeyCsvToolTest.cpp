// The companion tool's export and import, run as a user runs them: what they write, the
// change list and what they refuse, and that IN never changes and OUT is written only when
// allowed.
#include <gtest/gtest.h>

#include <memory>

#include "model/Cp932.h"
#include "model/LabelSetFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

namespace sw::tools {
namespace {

using namespace sw::model;
using sw::test::FileExists;
using sw::test::ReadFileBytes;
using sw::test::RunProgram;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

const QString kTool = QStringLiteral(SW_SHEET_TOOL);

Bytes Sjis(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

std::unique_ptr<LabelSet> Sample() {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Faces[1].Keys[1].Line1 = Sjis("営業部");
    set->Entries[1].Faces[1].Keys[1].Line2 = Sjis("課,\"長\"");
    set->Entries[1].Faces[1].Keys[1].FontStyle = kStyleBold;
    set->Entries[1].Faces[2].Keys[18].Line1 = "0120";
    set->Entries[7].ButtonModel = kModel30;
    set->Entries[7].Faces[4].Keys[1].Line1 = Sjis("受付");
    return set;
}

class KeyCsvTool : public ::testing::Test {
protected:
    TempDir dir;
    std::string in = dir.File("in.stw");
    std::string csv = dir.File("keys.csv");
    std::string out = dir.File("out.stw");
    std::string original;

    void SetUp() override {
        original = WriteLabelSet(*Sample());
        WriteFileBytes(in, original);
    }
    sw::test::ToolRun Run(QStringList args) {
        for (QString& a : args) {
            if (a == "IN") a = QString::fromStdString(in);
            if (a == "CSV") a = QString::fromStdString(csv);
            if (a == "OUT") a = QString::fromStdString(out);
        }
        return RunProgram(kTool, args);
    }
    std::unique_ptr<LabelSet> Out() {
        auto set = std::make_unique<LabelSet>();
        EXPECT_TRUE(LoadLabelSetFile(out, *set).ok);
        return set;
    }
};

// Rows after the header line.
std::vector<std::string> Rows(const std::string& data) {
    std::vector<std::string> rows;
    size_t pos = data.find("\r\n") + 2;
    while (pos < data.size()) {
        const size_t end = data.find("\r\n", pos);
        rows.push_back(data.substr(pos, end - pos));
        pos = end + 2;
    }
    return rows;
}

TEST_F(KeyCsvTool, ExportWritesEveryKeyInTheWindowsNumberingOrOnlyTheUsedOnes) {
    auto run = Run({"export", "IN", "-o", "CSV"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string written = ReadFileBytes(csv);
    EXPECT_EQ(written.rfind("\xEF\xBB\xBF" "entry,face,key,line1,line2\r\n", 0), 0u);
    std::vector<std::string> rows = Rows(written);
    ASSERT_EQ(rows.size(), 4u * 18);  // 18 keys, four faces, empty ones included
    EXPECT_EQ(rows[0], "01,1,01,営業部,\"課,\"\"長\"\"\"");
    EXPECT_EQ(rows[1], "01,1,02,,");
    EXPECT_EQ(rows[18 + 17], "01,2,18,0120,");

    run = Run({"export", "IN", "--entry", "7", "-o", "CSV"});  // 30 keys
    rows = Rows(ReadFileBytes(csv));
    ASSERT_EQ(rows.size(), 4u * 30);
    EXPECT_EQ(rows[3 * 30], "07,4,01,受付,");
    EXPECT_EQ(rows.back(), "07,4,30,,");

    run = Run({"export", "IN", "--all", "--only-used", "--encoding=cp932", "-o", "CSV"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(csv), "entry,face,key,line1,line2\r\n01,1,01," + Sjis("営業部") + "," +
                                      Sjis("\"課,\"\"長\"\"\"") + "\r\n01,2,18,0120,\r\n07,4,01," +
                                      Sjis("受付") + ",\r\n");
    run = Run({"export", "IN", "--all", "-o", "CSV"});
    EXPECT_EQ(Rows(ReadFileBytes(csv)).size(), 49u * 4 * 18 + 4 * 30);
    EXPECT_EQ(ReadFileBytes(in), original);
}

TEST_F(KeyCsvTool, ExportAndImportIntoAClearedCopyGiveTheSameFileAsCsvOrWorkbook) {
    auto cleared = Sample();
    for (ManagementEntry& e : cleared->Entries)
        for (PrintFace& f : e.Faces)
            for (KeyLabel& k : f.Keys) k.Line1.clear(), k.Line2.clear();
    for (const char* list : {"keys.csv", "keys.xlsx"}) {
        const QString path = QString::fromStdString(dir.File(list));
        WriteFileBytes(in, original);
        ASSERT_EQ(Run({"export", "IN", "--all", "-o", path}).exitCode, 0);
        WriteFileBytes(in, WriteLabelSet(*cleared));
        auto run = Run({"import", "IN", path, "-o", "OUT"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(ReadFileBytes(out), original) << list;
        EXPECT_EQ(ReadFileBytes(in), WriteLabelSet(*cleared));
    }
    EXPECT_EQ(ReadFileBytes(dir.File("keys.xlsx")).rfind("PK\x03\x04", 0), 0u);
    EXPECT_EQ(Run({"export", "IN", "--encoding", "cp932", "-o", QString::fromStdString(dir.File("k.xlsx"))}).exitCode, 2);
}

TEST_F(KeyCsvTool, ImportPrintsTheKeysThatChangeAndDryRunWritesNothing) {
    // Typed from the screen: key 02 is the second key of the 18-key field; entry 07 has 30.
    WriteFileBytes(csv,
                   "entry,face,key,line1,line2\n"
                   "1,1,2,内線,\n"
                   "1,2,18,120,\n"
                   "1,1,1,営業部,\"課,\"\"長\"\"\"\n"
                   "7,4,30,末尾,\n");
    const std::string changeList =
        "管理番号 01 / 印刷面1 / キー 02: 旧「」 → 新「内線」\n"
        "管理番号 01 / 印刷面2 / キー 18: 旧「0120」 → 新「120」　※表計算ソフトの変換？（先頭の 0 が消えています）\n"
        "管理番号 07 / 印刷面4 / キー 30: 旧「」 → 新「末尾」\n"
        "3 個のキーが変わります（4 行のうち、変わらない行 1、読み込めない行 0）。\n"
        "※の 1 個は、表計算ソフトが書き換えた文字かもしれません。\n";
    for (const QStringList& args : {QStringList{"import", "IN", "CSV", "--dry-run"},
                                    QStringList{"import", "IN", "CSV", "-o", "OUT", "--dry-run"}}) {
        auto run = Run(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, changeList + "--dry-run: 何も書いていません。\n");
        EXPECT_EQ(run.err, "");
        EXPECT_FALSE(FileExists(out));
    }

    auto run = Run({"import", "IN", "CSV", "-o", "OUT"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, changeList + out + ": 3 個のキーを変えて書き込みました。\n");
    auto written = Out();
    EXPECT_EQ(written->Entries[7].Faces[4].Keys[30].Line1, Sjis("末尾"));
    EXPECT_EQ(written->Entries[1].Faces[1].Keys[2].Line1, Sjis("内線"));
    EXPECT_EQ(written->Entries[1].Faces[2].Keys[18].Line1, "120");
    EXPECT_EQ(written->Entries[1].Faces[1].Keys[1].FontStyle, kStyleBold);
    EXPECT_EQ(ReadFileBytes(in), original);

    // An empty file, and one with only its header, write nothing.
    for (const char* nothing : {"", "entry,face,key,line1,line2\r\n"}) {
        WriteFileBytes(csv, nothing);
        WriteFileBytes(out, "old");
        run = Run({"import", "IN", "CSV", "-o", "OUT"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("読み込むキーの行がありません"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("何も書きませんでした"), std::string::npos);
        EXPECT_EQ(ReadFileBytes(out), "old");
    }
}

TEST_F(KeyCsvTool, ImportListsEveryRefusedRowAndWritesNothingUnlessForced) {
    WriteFileBytes(csv,
                   "entry,face,key,line1,line2\n"
                   "1,1,2,内線,\n"
                   "1,1,19,a,\n"
                   "1,2,3,あいうえおかきくけこさしすせそたちつてと,\n"
                   "1,2,4,😀,\n"
                   "1,2\n");
    WriteFileBytes(out, "old");
    for (const char* dry : {"--dry-run", ""}) {
        QStringList args{"import", "IN", "CSV", "-o", "OUT"};
        if (*dry) args << dry;
        auto run = Run(args);
        EXPECT_EQ(run.exitCode, 1);
        const std::string name = csv;
        EXPECT_NE(run.err.find(name + ":3: キー 19 は管理番号 01（18ボタン）にはありません（01〜18）\n"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(name + ":4: 1行目が横に "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("（キーに収まりません）\n"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(name + ":5: 1行目の「😀」(U+1F600) は Shift-JIS (CP932) で保存できない文字です\n"),
                  std::string::npos);
        EXPECT_NE(run.err.find(name + ":6: 欄が 2 個しかありません"), std::string::npos);
        EXPECT_NE(run.out.find("1 個のキーが変わります（5 行のうち、変わらない行 0、読み込めない行 4）。"), std::string::npos)
            << run.out;
        EXPECT_EQ(ReadFileBytes(out), "old");
    }
    EXPECT_EQ(ReadFileBytes(in), original);

    auto run = Run({"import", "IN", "CSV", "-o", "OUT", "--force"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(": 1 個のキーを変えて書き込みました。"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("4 行は読み込んでいません。"), std::string::npos) << run.err;
    auto written = Out();
    EXPECT_EQ(written->Entries[1].Faces[1].Keys[2].Line1, Sjis("内線"));
    EXPECT_EQ(written->Entries[1].Faces[2].Keys[3].Line1, "");
    EXPECT_EQ(ReadFileBytes(in), original);
}

TEST_F(KeyCsvTool, UsageMistakesEndWithStatusTwoAndTouchNoFile) {
    WriteFileBytes(csv, "1,1,7,a,\n");
    const QStringList mistakes[] = {
        {"export", "IN"},
        {"export", "IN", "-o", "CSV", "--entry", "51"},
        {"export", "IN", "-o", "CSV", "--entry", "2", "--all"},
        {"export", "IN", "-o", "CSV", "--encoding", "latin1"},
        {"export", "IN", "-o", "IN"},
        {"import", "IN", "CSV"},
        {"import", "IN", "-o", "OUT"},
        {"import", "IN", "--dry-run"},
        {"import", "IN", "CSV", "-o", "IN"},
        {"import", "IN", "CSV", "-o", "OUT", "--entry", "1"},
    };
    for (const QStringList& args : mistakes) {
        auto run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString() << "\n" << run.err;
        EXPECT_NE(run.err.find("(see stripwise2-sheet --help)"), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(in), original);
    EXPECT_EQ(ReadFileBytes(csv), "1,1,7,a,\n");
    EXPECT_FALSE(FileExists(out));

    auto run = Run({"import", "IN", dir.File("none.csv").c_str(), "-o", "OUT"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(FileExists(out));
    run = Run({"import", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("usage: stripwise2-sheet import IN.stw keys.csv (-o OUT.stw | --dry-run)", 0), 0u) << run.out;
    run = Run({"--help"});
    EXPECT_NE(run.out.find("stripwise2-sheet export IN.stw"), std::string::npos);
}

}  // namespace
}  // namespace sw::tools
