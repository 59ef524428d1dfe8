// The settings file format: reading with defaults, updating in place, failing safely.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

#include "model/IniFile.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

TEST(IniRead, NamesAreCaseInsensitiveAndMissingOrBadValuesTakeTheDefault) {
    TempDir dir;
    std::string path = dir.File("s.ini");
    WriteFileBytes(path,
                   "; comment\r\n[main]\r\nTOP = 12 \r\nleft=abc\r\nCaption=\r\n"
                   "Big=99999999999\r\n[Settei]\nSayu=-15\nJyoge=+3");
    EXPECT_EQ(ReadIniInt(path, "Main", "Top", 5), 12);
    EXPECT_EQ(ReadIniInt(path, "Main", "Left", 5), 5);
    EXPECT_EQ(ReadIniInt(path, "Main", "Big", 5), 5);
    EXPECT_EQ(ReadIniInt(path, "Main", "Height", 600), 600);
    EXPECT_EQ(ReadIniInt(path, "settei", "sayu", 0), -15);
    EXPECT_EQ(ReadIniInt(path, "Settei", "Jyoge", 0), 3);  // no trailing newline
    // Present but empty is empty; missing is the default.
    EXPECT_EQ(ReadIniString(path, "Main", "Caption", "def"), "");
    EXPECT_EQ(ReadIniString(path, "Help", "FileName", "def"), "def");
    EXPECT_EQ(ReadIniInt(dir.File("none.ini"), "Main", "Top", 7), 7);
}

TEST(IniRead, TheFirstOfDuplicateSectionsAndKeysWins) {
    IniFile ini = IniFile::Parse("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.Get("A", "k"), "1");
    EXPECT_EQ(ini.Get("A", "j"), std::nullopt);
}

TEST(IniWrite, UpdatesOneKeyInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    std::string path = dir.File("s.ini");
    WriteFileBytes(path, "; mine\r\n[Main]\r\nTop=1\r\nOther=\x82\xa0\r\n\r\n[Help]\r\nFileName=x\r\n");
    ASSERT_TRUE(WriteIniInt(path, "MAIN", "top", 40));
    ASSERT_TRUE(WriteIniString(path, "Main", "Left", "7"));
    ASSERT_TRUE(WriteIniString(path, "Settei", "Sayu", "-5"));
    EXPECT_EQ(ReadFileBytes(path),
              "; mine\r\n[Main]\r\ntop=40\r\nOther=\x82\xa0\r\nLeft=7\r\n\r\n[Help]\r\n"
              "FileName=x\r\n\r\n[Settei]\r\nSayu=-5\r\n");
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "s.ini\n");
}

TEST(IniWrite, CreatesTheFileOnTheFirstWriteAndNeverWritesALineBreakInAValue) {
    TempDir dir;
    std::string path = dir.File("new.ini");
    ASSERT_TRUE(WriteIniString(path, "Main", "Caption", "a\r\nb"));
    EXPECT_EQ(ReadFileBytes(path), "[Main]\r\nCaption=ab\r\n");
}

TEST(IniWrite, FailsWithoutTouchingAFileItCannotReadOrReplace) {
    TempDir dir;
    EXPECT_FALSE(WriteIniInt(dir.File("gone/s.ini"), "Main", "Top", 1));
    // A folder where the file should be.
    std::string folder = dir.File("s.ini");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_FALSE(WriteIniInt(folder, "Main", "Top", 1));
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "s.ini\n");
    // A file too large to read whole is not replaced by a file of one key.
    std::string big = dir.File("big.ini");
    WriteFileBytes(big, "[Main]\r\nCaption=" + std::string(kMaxIniFileBytes, 'x') + "\r\n");
    EXPECT_FALSE(WriteIniInt(big, "Main", "Top", 1));
    EXPECT_EQ(ReadFileBytes(big).size(), kMaxIniFileBytes + 18);
    EXPECT_EQ(ReadIniInt(big, "Main", "Top", 9), 9);
}

TEST(IniWrite, UpdatesFromSeveralWindowsAtOnceLoseNothing) {
    // Each window adds to a count in its own update; without the lock two updates read the
    // same count and one of them is lost.
    TempDir dir;
    const std::string path = dir.File("s.ini");
    constexpr int kUpdates = 20;
    auto add = [&] {
        for (int i = 0; i < kUpdates; ++i)
            EXPECT_TRUE(UpdateIniFile(path, [](IniFile& ini) {
                ini.Set("Test", "Count", std::to_string(ParseIniInt(ini.Get("Test", "Count").value_or("0")).value_or(0) + 1));
            }));
    };
    std::thread other(add);
    add();
    other.join();
    EXPECT_EQ(ReadIniInt(path, "Test", "Count", 0), 2 * kUpdates);
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "s.ini\n");
}

TEST(IniWrite, AWindowLeavesWhatItDidNotChangeToTheWindowThatDid) {
    TempDir dir;
    const std::string path = dir.File("s.ini");
    IniSeen mine;
    NoteIniSeen(mine, "Settei", "Sayu", "0");
    NoteIniSeen(mine, "Main", "Top", "10");
    WriteFileBytes(path, "[Settei]\r\nSayu=12\r\n[Main]\r\nTop=10\r\n");  // another window's
    ASSERT_TRUE(WriteIniValues(path, {{"Settei", "Sayu", "0"}, {"Main", "Top", "25"},
                                      {"Main", "Left", "7"}}, &mine));
    // Unchanged here: theirs stays. Changed here, or missing from the file: written.
    EXPECT_EQ(ReadFileBytes(path), "[Settei]\r\nSayu=12\r\n[Main]\r\nTop=25\r\nLeft=7\r\n");
    // Changed here later: the latest change is this one.
    ASSERT_TRUE(WriteIniValues(path, {{"Settei", "Sayu", "5"}}, &mine));
    EXPECT_EQ(ReadIniInt(path, "Settei", "Sayu", 0), 5);
}

TEST(IniRead, GarbageReadsAsDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 37) & 0xFF);
    IniFile ini = IniFile::Parse(garbage);
    EXPECT_EQ(ini.Get("Main", "Top"), std::nullopt);
}

}  // namespace
}  // namespace sw::model
