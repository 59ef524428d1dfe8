// The companion tool's resave and dump commands, run as a user runs them.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <memory>

#include <signal.h>

#include "model/Cp932.h"
#include "model/LabelSetFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

namespace sw::tools {
namespace {

using namespace sw::model;
using sw::test::ReadFileBytes;
using sw::test::RunProgram;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

const QString kTool = QStringLiteral(SW_SHEET_TOOL);

std::string SampleFile() {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = EncodeCp932(QString::fromUtf8("本社 \"受付\"")).bytes;
    set->Entries[2].ButtonModel = 0;
    set->Entries[1].Faces[2].PictureFile = "/pics/a.jpg";
    KeyLabel& key = set->Entries[1].Faces[1].Keys[3];
    key.Line1 = EncodeCp932(QString::fromUtf8("営業①")).bytes;
    key.Line2 = "\x81\xff";  // not CP932
    key.FontStyle = 11;
    key.Alignment = kAlignLeft;
    return WriteLabelSet(*set);
}

TEST(SheetToolResave, WritesTheSameBytesAndRefusesABrokenFile) {
    TempDir dir;
    WriteFileBytes(dir.File("in.stw"), SampleFile());
    auto run = RunProgram(kTool, {"resave", QString::fromStdString(dir.File("in.stw")),
                                  QString::fromStdString(dir.File("out.stw"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.stw")), SampleFile());

    std::string broken = SampleFile();
    broken.replace(broken.find("\r\n1\r\n"), 5, "\r\nx\r\n");  // entry 1's key model
    WriteFileBytes(dir.File("bad.stw"), broken);
    WriteFileBytes(dir.File("keep.stw"), "old");
    run = RunProgram(kTool, {"resave", QString::fromStdString(dir.File("bad.stw")),
                             QString::fromStdString(dir.File("keep.stw"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, dir.File("bad.stw") + ":2: 入力値が数値ではありません\n");
    EXPECT_EQ(ReadFileBytes(dir.File("keep.stw")), "old");
}

TEST(SheetToolDump, PrintsEveryEntryFaceAndKeyAsJson) {
    TempDir dir;
    WriteFileBytes(dir.File("in.stw"), SampleFile());
    auto run = RunProgram(kTool, {"dump", QString::fromStdString(dir.File("in.stw"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    QJsonArray entries = doc.object()["entries"].toArray();
    ASSERT_EQ(entries.size(), 50);
    QJsonObject e1 = entries[0].toObject();
    EXPECT_EQ(e1["name"].toString(), QString::fromUtf8("本社 \"受付\""));
    EXPECT_EQ(e1["buttonModel"].toInt(), 1);
    EXPECT_EQ(entries[1].toObject()["buttonModel"].toInt(), 0);
    QJsonArray faces = e1["faces"].toArray();
    ASSERT_EQ(faces.size(), 4);
    EXPECT_EQ(faces[1].toObject()["pictureFile"].toString(), "/pics/a.jpg");
    EXPECT_EQ(faces[0].toObject()["backgroundColor"].toInt(), 16777215);
    QJsonArray keys = faces[0].toObject()["keys"].toArray();
    ASSERT_EQ(keys.size(), 30);
    QJsonObject k3 = keys[2].toObject();
    EXPECT_EQ(k3["line1"].toString(), QString::fromUtf8("営業①"));
    EXPECT_EQ(k3["line2"].toString(), QString(QChar(0xFFFD)) + QChar(0xFFFD));
    EXPECT_EQ(k3["fontStyle"].toInt(), 11);
    EXPECT_EQ(k3["alignment"].toInt(), 0);
    EXPECT_EQ(k3["layout"].toInt(), 1);
    EXPECT_EQ(k3["fontName"].toString(), QString::fromUtf8("ＭＳ ゴシック"));
    EXPECT_EQ(k3["fontSize"].toInt(), 9);
}

// Killing the writer at any moment leaves the target either the old or the new file.
TEST(SheetToolResave, AKilledSaveNeverLeavesAMixedFile) {
    TempDir dir;
    auto a = std::make_unique<LabelSet>();
    auto b = std::make_unique<LabelSet>();
    for (auto& entry : b->Entries) entry.Name = std::string(3000, 'b');
    const std::string textA = WriteLabelSet(*a);
    const std::string textB = WriteLabelSet(*b);
    WriteFileBytes(dir.File("a.stw"), textA);
    WriteFileBytes(dir.File("b.stw"), textB);
    const std::string target = dir.File("target.stw");
    WriteFileBytes(target, textA);

    int killed = 0;
    for (int round = 0; round < 24; ++round) {
        QProcess p;
        p.start(kTool, {"resave", QString::fromStdString(dir.File(round % 2 ? "a.stw" : "b.stw")),
                        QString::fromStdString(target)});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(round * 7 % 60));
        if (p.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            ++killed;
        }
        p.waitForFinished();
        const std::string now = ReadFileBytes(target);
        ASSERT_TRUE(now == textA || now == textB) << "round " << round << ": " << now.size();
    }
    EXPECT_GT(killed, 0);  // at least some saves were really interrupted
    // Whatever the killed saves left behind goes with the next save to that folder.
    auto run = RunProgram(kTool, {"resave", QString::fromStdString(dir.File("b.stw")),
                                  QString::fromStdString(target)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "a.stw\nb.stw\ntarget.stw\n");
}

TEST(SheetToolResave, AFileThatEndsEarlyIsCompletedWithAWarning) {
    TempDir dir;
    const std::string full = SampleFile();
    size_t cut = 0;
    for (int line = 0; line < 1098; ++line) cut = full.find("\r\n", cut) + 2;
    WriteFileBytes(dir.File("short.stw"), full.substr(0, cut));
    auto run = RunProgram(kTool, {"resave", QString::fromStdString(dir.File("short.stw")),
                                  QString::fromStdString(dir.File("out.stw"))});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, dir.File("short.stw") +
                           ": ファイルが途中で終わっています（1098 行）。足りない値は初期値で読み込みました。\n");
    const std::string out = ReadFileBytes(dir.File("out.stw"));
    EXPECT_EQ(out.substr(0, cut), full.substr(0, cut));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 54900);
}

TEST(SheetToolUsage, HelpExitsZeroAndMistakesExitTwoWithOneLine) {
    EXPECT_EQ(RunProgram(kTool, {"--help"}).exitCode, 0);
    auto help = RunProgram(kTool, {"dump", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: stripwise2-sheet dump"), std::string::npos);
    for (const QStringList& args : {QStringList{}, QStringList{"frobnicate"},
                                    QStringList{"resave", "only-one.stw"}}) {
        auto run = RunProgram(kTool, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    TempDir dir;
    auto missing = RunProgram(kTool, {"dump", QString::fromStdString(dir.File("none.stw"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.empty());
}

}  // namespace
}  // namespace sw::tools
