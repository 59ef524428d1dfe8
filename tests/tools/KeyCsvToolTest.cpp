// The companion tool's export and import, run as a user runs them: what they write, what
// they refuse and list, and that IN never changes and OUT is written only when allowed.
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
    set->Entries[1].Faces[2].Keys[18].Line1 = "201";
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

TEST_F(KeyCsvTool, ExportWritesTheRowsOfOneEntryOrAllInEitherEncoding) {
    auto run = Run({"export", "IN", "-o", "CSV"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(csv),
              "\xEF\xBB\xBF"
              "entry,face,position,line1,line2\r\n"
              "01,1,07,営業部,\"課,\"\"長\"\"\"\r\n"
              "01,2,24,201,\r\n");
    run = Run({"export", "IN", "--all", "--encoding=cp932", "-o", "CSV"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(csv), "entry,face,position,line1,line2\r\n01,1,07," + Sjis("営業部") + "," +
                                      Sjis("\"課,\"\"長\"\"\"") + "\r\n01,2,24,201,\r\n07,4,01," +
                                      Sjis("受付") + ",\r\n");
    run = Run({"export", "IN", "--entry", "7", "-o", "CSV"});
    EXPECT_EQ(ReadFileBytes(csv), "\xEF\xBB\xBF" "entry,face,position,line1,line2\r\n07,4,01,受付,\r\n");
    EXPECT_EQ(ReadFileBytes(in), original);
}

TEST_F(KeyCsvTool, ExportAndImportIntoAClearedCopyGiveTheSameFile) {
    ASSERT_EQ(Run({"export", "IN", "--all", "-o", "CSV"}).exitCode, 0);
    auto cleared = Sample();
    for (ManagementEntry& e : cleared->Entries)
        for (PrintFace& f : e.Faces)
            for (KeyLabel& k : f.Keys) k.Line1.clear(), k.Line2.clear();
    WriteFileBytes(in, WriteLabelSet(*cleared));
    auto run = Run({"import", "IN", "CSV", "-o", "OUT"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFileBytes(out), original);
    EXPECT_EQ(ReadFileBytes(in), WriteLabelSet(*cleared));
}

TEST_F(KeyCsvTool, ImportListsEveryRefusedRowAndWritesNothingUnlessForced) {
    WriteFileBytes(csv,
                   "entry,face,position,line1,line2\n"
                   "1,1,8,内線,\n"
                   "1,1,3,a,\n"
                   "1,2,9,あいうえおかきくけこさしすせそたちつてと,\n"
                   "1,2,10,😀,\n"
                   "1,2\n");
    WriteFileBytes(out, "old");
    auto run = Run({"import", "IN", "CSV", "-o", "OUT"});
    EXPECT_EQ(run.exitCode, 1);
    const std::string name = csv;
    EXPECT_NE(run.err.find(name + ":3: 位置 03 は管理番号 01（18ボタン）にはありません（07〜24）\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(name + ":4: 1行目が横に "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("（キーに収まりません）\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(name + ":5: 1行目の「😀」(U+1F600) は Shift-JIS (CP932) で保存できない文字です\n"),
              std::string::npos);
    EXPECT_NE(run.err.find(name + ":6: 欄が 2 個しかありません"), std::string::npos);
    EXPECT_NE(run.err.find("4 行を読み込めないため、何も書きませんでした"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(out), "old");
    EXPECT_EQ(ReadFileBytes(in), original);

    run = Run({"import", "IN", "CSV", "-o", "OUT", "--force"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("4 行を読み込まず、1 行を書き込みました。"), std::string::npos) << run.err;
    auto written = Out();
    EXPECT_EQ(written->Entries[1].Faces[1].Keys[2].Line1, Sjis("内線"));
    EXPECT_EQ(written->Entries[1].Faces[1].Keys[1].FontStyle, kStyleBold);
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
    EXPECT_EQ(run.out.rfind("usage: stripwise2-sheet import IN.stw keys.csv -o OUT.stw", 0), 0u) << run.out;
    run = Run({"--help"});
    EXPECT_NE(run.out.find("stripwise2-sheet export IN.stw"), std::string::npos);
}

}  // namespace
}  // namespace sw::tools
