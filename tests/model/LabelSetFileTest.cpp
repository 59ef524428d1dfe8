// The label-set file: what is written, what is read back, and what a bad file does.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/LabelSetFile.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::TempDir;

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < lines.size(); ++i) out += lines[i] + "\r\n";
    return out;
}

// Every field of every key different, Japanese text, odd bytes and edge values.
std::unique_ptr<LabelSet> PopulatedSet() {
    auto set = std::make_unique<LabelSet>();
    const std::string kanji[] = {"\x87\x40", "\x87\x8a", "\xfb\xfc", "\xfa\xb1", "\x81\x60"};
    for (int e = 1; e <= kEntryCount; ++e) {
        ManagementEntry& entry = set->Entries[e];
        entry.Name = "  entry " + std::to_string(e) + kanji[e % 5];
        entry.ButtonModel = e % 2;
        for (int f = 1; f <= kFaceCount; ++f) {
            PrintFace& face = entry.Faces[f];
            face.PictureFile = f == 2 ? "" : "/home/user/\x8e\xca\x90\x5e" + std::to_string(f) + ".jpg";
            face.PictureLayout = f % 2;
            face.BackgroundMode = f == 3;
            face.BackgroundColor = static_cast<ColorRef>(e * 1000 + f);
            for (int k = 1; k <= kKeyCount; ++k) {
                KeyLabel& key = face.Keys[k];
                key.Alignment = static_cast<std::uint8_t>(k % 3);
                key.Layout = static_cast<std::uint8_t>((k + f) % 3);
                key.Line1 = k % 7 == 0 ? "" : "  L1 " + kanji[k % 5] + std::to_string(k);
                key.Line2 = k % 4 == 0 ? "" : kanji[(k + 1) % 5] + " L2 ";
                key.BackColor = 255;
                key.FontColor = static_cast<ColorRef>(k * 65793);
                key.FontName = k % 2 ? "IPAGothic" : kDefaultFontName;
                key.FontStyle = static_cast<std::uint8_t>(k % 16);
                key.FontSize = 6 + k;
            }
        }
    }
    // Bytes that are not valid CP932 are kept as they are.
    set->Entries[3].Faces[1].Keys[5].Line1 = "\x81\xff\x80\xa0\xfd";
    set->Entries[3].Faces[1].Keys[6].FontStyle = 11;
    return set;
}

TEST(LabelSetWriter, AResetSetIs54900LinesBeginningWithTheResetValues) {
    auto set = std::make_unique<LabelSet>();
    std::string text = WriteLabelSet(*set);
    std::vector<std::string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 54900u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> first15 = {
        "", "1", "", "0", "0", "16777215", "taCenter", "tlCenter", "", "", "16777215", "0",
        "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e", "0", "9"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 15), first15);
    // Entry 2 begins on line 1,099; its face 1 key 1 on line 1,105.
    EXPECT_EQ(lines[1098 + 1], "1");
    EXPECT_EQ(lines[1104], "taCenter");

    auto back = std::make_unique<LabelSet>();
    back->Entries[1].Name = "stale";
    ASSERT_TRUE(ReadLabelSet(text, *back).ok);
    EXPECT_EQ(*back, *set);
}

TEST(LabelSetWriter, WritesNumbersColoursAndWordsInTheirFileForms) {
    auto set = std::make_unique<LabelSet>();
    KeyLabel& key = set->Entries[1].Faces[1].Keys[1];
    key.Alignment = kAlignRight;
    key.Layout = kLayoutBottom;
    key.BackColor = 0x000000FF;
    key.FontStyle = 11;
    key.FontSize = -3;
    std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    EXPECT_EQ(lines[6], "taRightJustify");
    EXPECT_EQ(lines[7], "tlBottom");
    EXPECT_EQ(lines[10], "255");
    EXPECT_EQ(lines[13], "11");
    EXPECT_EQ(lines[14], "-3");
}

TEST(LabelSetWriter, NeverCarriesALineBreakInsideAValue) {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = "two\nlines";
    set->Entries[1].Faces[1].PictureFile = "/tmp/odd\r\nname.jpg";
    set->Entries[1].Faces[1].Keys[1].Line1 = "a\rb";
    std::string text = WriteLabelSet(*set);
    EXPECT_EQ(SplitCrLf(text).size(), 54900u);
    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(ReadLabelSet(text, *back).ok);
    EXPECT_EQ(back->Entries[1].Name, "twolines");
    EXPECT_EQ(back->Entries[1].Faces[1].PictureFile, "/tmp/oddname.jpg");
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[1].Line1, "ab");
    EXPECT_EQ(back->Entries[1].ButtonModel, 1);
}

TEST(LabelSetRoundTrip, APopulatedSetReadsBackEqualAndWritesByteIdentical) {
    auto set = PopulatedSet();
    std::string text = WriteLabelSet(*set);
    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(ReadLabelSet(text, *back).ok);
    EXPECT_EQ(*back, *set);
    EXPECT_EQ(WriteLabelSet(*back), text);

    // Leading blanks, an empty Line1 under a Line2, style 11, colour 255, invalid bytes.
    EXPECT_EQ(back->Entries[2].Name.substr(0, 2), "  ");
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[7].Line1, "");
    EXPECT_NE(back->Entries[1].Faces[1].Keys[7].Line2, "");
    EXPECT_EQ(back->Entries[3].Faces[1].Keys[6].FontStyle, 11);
    EXPECT_EQ(back->Entries[3].Faces[1].Keys[5].Line1, "\x81\xff\x80\xa0\xfd");
    // Keys 19-30 of an 18-key entry are kept like all others.
    EXPECT_EQ(back->Entries[1].ButtonModel, 1);
    EXPECT_EQ(back->Entries[1].Faces[4].Keys[30], set->Entries[1].Faces[4].Keys[30]);
}

TEST(LabelSetReader, TakesLfOnlyLinesAndColoursAboveTheSignedRange) {
    auto set = PopulatedSet();
    set->Entries[1].Faces[1].BackgroundColor = 0xFF000005;
    std::string crlf = WriteLabelSet(*set);
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf += c;
    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(ReadLabelSet(lf, *back).ok);
    EXPECT_EQ(*back, *set);
}

TEST(LabelSetReader, AFileCutAfterTheFirstEntryLoadsWithEmptyAndZeroValues) {
    auto set = PopulatedSet();
    std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    auto back = std::make_unique<LabelSet>();
    LoadResult r = ReadLabelSet(JoinCrLf(lines, 1098), *back);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.endedEarly);
    EXPECT_EQ(r.linesRead, 1098);
    EXPECT_EQ(back->Entries[1], set->Entries[1]);
    for (int e = 2; e <= kEntryCount; ++e) {
        const ManagementEntry& entry = back->Entries[e];
        EXPECT_EQ(entry.Name, "");
        EXPECT_EQ(entry.ButtonModel, 0);
        const PrintFace& face = entry.Faces[e % 4 + 1];
        EXPECT_EQ(face.PictureFile, "");
        EXPECT_EQ(face.PictureLayout, 0);
        EXPECT_EQ(face.BackgroundMode, 0);
        EXPECT_EQ(face.BackgroundColor, 0u);
        const KeyLabel& key = face.Keys[e % 30 + 1];
        EXPECT_EQ(key.Alignment, kAlignCenter);
        EXPECT_EQ(key.Layout, kLayoutMiddle);
        EXPECT_EQ(key.Line1, "");
        EXPECT_EQ(key.FontName, "");
        EXPECT_EQ(key.BackColor, 0u);
        EXPECT_EQ(key.FontSize, 0);
    }
}

TEST(LabelSetReader, OnlyAFileThatRunsOutBeforeItsLastValueHasEndedEarly) {
    auto set = PopulatedSet();
    const std::string text = WriteLabelSet(*set);
    auto back = std::make_unique<LabelSet>();
    EXPECT_FALSE(ReadLabelSet(text, *back).endedEarly);
    // The last line without its CR LF is still whole.
    EXPECT_FALSE(ReadLabelSet(text.substr(0, text.size() - 2), *back).endedEarly);
    LoadResult r = ReadLabelSet(text.substr(0, text.size() - 4), *back);  // without "36\r\n", the last size
    EXPECT_TRUE(r.endedEarly);
    EXPECT_EQ(r.linesRead, 54899);
    r = ReadLabelSet("", *back);
    EXPECT_TRUE(r.endedEarly);
    EXPECT_EQ(r.linesRead, 0);
}

TEST(LabelSetReader, UnknownWordsKeepTheResetValueAndIntegersSkipBlanks) {
    auto set = std::make_unique<LabelSet>();
    std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    lines[6] = "taRight";       // no such alignment word
    lines[7] = "tlbottom";      // words are compared exactly
    lines[1] = "  0  trailing";  // blanks before, rest of the line ignored
    lines[13] = "\t+267";        // low 8 bits of the style: 267 & 255 = 11
    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(ReadLabelSet(JoinCrLf(lines, lines.size()), *back).ok);
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[1].Alignment, kAlignCenter);
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[1].Layout, kLayoutMiddle);
    EXPECT_EQ(back->Entries[1].ButtonModel, 0);
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[1].FontStyle, 11);
}

TEST(LabelSetReader, ANonIntegerOrOversizedNumberStopsWithItsLineNumber) {
    auto set = std::make_unique<LabelSet>();
    std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    struct Case {
        size_t index;
        std::string value;
    };
    for (const Case& c : {Case{1, "x1"}, Case{14, "x9"}, Case{3 + 274, "99999999999"},
                          Case{1098 + 1, "0x10"}, Case{5, "-"}, Case{54899, "2147483648"}}) {
        std::vector<std::string> bad = lines;
        bad[c.index] = c.value;
        auto back = std::make_unique<LabelSet>();
        LoadResult r = ReadLabelSet(JoinCrLf(bad, bad.size()), *back);
        EXPECT_FALSE(r.ok) << c.value;
        EXPECT_EQ(r.error.line, static_cast<int>(c.index) + 1) << c.value;
        EXPECT_EQ(r.error.message, kNotANumberMessage);
    }
    // The extremes of 32 bits are fine.
    std::vector<std::string> edge = lines;
    edge[14] = "-2147483648";
    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(ReadLabelSet(JoinCrLf(edge, edge.size()), *back).ok);
    EXPECT_EQ(back->Entries[1].Faces[1].Keys[1].FontSize, INT32_MIN);
}

// One entry at a time (the fuzz targets' way in): the same lines as in the whole file, and
// an entry read twice keeps nothing of the first text.
TEST(LabelSetEntry, ReadsAndWritesAnEntryAsTheWholeFileDoes) {
    auto set = PopulatedSet();
    const std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    for (int e : {1, 3, 50}) {
        const std::vector<std::string> part(lines.begin() + (e - 1) * kLinesPerEntry,
                                            lines.begin() + e * kLinesPerEntry);
        const std::string text = JoinCrLf(part, part.size());
        EXPECT_EQ(WriteLabelSetEntry(set->Entries[e]), text) << e;
        ManagementEntry entry;
        LoadResult r = ReadLabelSetEntry(text, entry);
        ASSERT_TRUE(r.ok) << e;
        EXPECT_FALSE(r.endedEarly) << e;
        EXPECT_EQ(entry, set->Entries[e]) << e;
    }

    // A cut text, read over the populated entry: empty and zero where it ran out.
    ManagementEntry entry = set->Entries[3];
    LoadResult r = ReadLabelSetEntry(JoinCrLf(lines, 7), entry);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.endedEarly);
    EXPECT_EQ(r.linesRead, 7);
    EXPECT_EQ(entry.Name, set->Entries[1].Name);
    EXPECT_EQ(entry.Faces[1].Keys[1].Alignment, set->Entries[1].Faces[1].Keys[1].Alignment);
    EXPECT_EQ(entry.Faces[1].Keys[1].Line2, "");
    EXPECT_EQ(entry.Faces[4].Keys[30].FontName, "");
    EXPECT_EQ(entry.Faces[4].Keys[30].FontSize, 0);

    // A bad number: its line, and reset values after it, not the populated ones.
    entry = set->Entries[3];
    std::vector<std::string> bad(lines.begin(), lines.begin() + kLinesPerEntry);
    bad[14] = "9x";
    r = ReadLabelSetEntry(JoinCrLf(bad, bad.size()), entry);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.line, 15);
    EXPECT_EQ(entry.Faces[2], PrintFace{});
    EXPECT_EQ(entry.Faces[1].Keys[2], KeyLabel{});
}

TEST(LabelSetFile, AFailedLoadLeavesTheOpenDocumentAsItWas) {
    TempDir dir;
    auto set = PopulatedSet();
    std::vector<std::string> lines = SplitCrLf(WriteLabelSet(*set));
    lines[20000] = "abc";
    sw::test::WriteFileBytes(dir.File("bad.stw"), JoinCrLf(lines, lines.size()));

    auto open = PopulatedSet();
    open->Entries[1].Name = "mine";
    auto before = std::make_unique<LabelSet>(*open);
    LoadResult r = LoadLabelSetFile(dir.File("bad.stw"), *open);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.line, 20001);
    EXPECT_EQ(*open, *before);

    r = LoadLabelSetFile(dir.File("missing.stw"), *open);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.message.find("missing.stw"), std::string::npos);
    EXPECT_EQ(*open, *before);

    // A folder is not a label-set file.
    r = LoadLabelSetFile(dir.path(), *open);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(*open, *before);
}

TEST(LabelSetFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.File("office.stw");
    sw::test::WriteFileBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    auto set = PopulatedSet();
    SaveResult s = SaveLabelSetFile(path, *set);
    ASSERT_TRUE(s.ok) << s.message;
    EXPECT_EQ(sw::test::ReadFileBytes(path), WriteLabelSet(*set));
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "office.stw\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    auto back = std::make_unique<LabelSet>();
    ASSERT_TRUE(LoadLabelSetFile(path, *back).ok);
    EXPECT_EQ(*back, *set);
}

TEST(LabelSetFile, AFailedSaveKeepsTheOldFileAndSaysWhichFile) {
    TempDir dir;
    auto set = PopulatedSet();

    // The folder does not exist: the temporary file cannot be made.
    SaveResult s = SaveLabelSetFile(dir.File("gone/office.stw"), *set);
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find("office.stw"), std::string::npos);

    // The target is a folder: the rename fails and the temporary file is removed.
    std::string folder = dir.File("target.stw");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    sw::test::WriteFileBytes(folder + "/inside", "keep");
    s = SaveLabelSetFile(folder, *set);
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find("target.stw"), std::string::npos);
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "target.stw\n");
    EXPECT_EQ(sw::test::ReadFileBytes(folder + "/inside"), "keep");
}

// Inputs the fuzzer found, kept so that they stay fixed: each reads, writes, and reads back
// to the same file.
TEST(LabelSetFile, FuzzerFindingsReadAndWriteBackStably) {
    const std::string dir = std::string(SW_SOURCE_DIR) + "/tests/model/fuzz-regressions";
    int checked = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        std::string data = sw::test::ReadFileBytes(item.path().string());
        auto set = std::make_unique<LabelSet>();
        if (!ReadLabelSet(data, *set).ok) continue;
        std::string written = WriteLabelSet(*set);
        auto again = std::make_unique<LabelSet>();
        ASSERT_TRUE(ReadLabelSet(written, *again).ok) << item.path();
        EXPECT_EQ(WriteLabelSet(*again), written) << item.path();
        EXPECT_EQ(SplitCrLf(written).size(), 54900u);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST(TitleFileName, IsWhatFollowsTheLastSlash) {
    EXPECT_EQ(TitleFileName("/home/user/office.stw"), "office.stw");
    // Backslashes and colons are ordinary characters of a file name on this system.
    EXPECT_EQ(TitleFileName("/home/user/C:\\data\\office.stw"), "C:\\data\\office.stw");
    EXPECT_EQ(TitleFileName("C:office.stw"), "C:office.stw");
    EXPECT_EQ(TitleFileName("office.stw"), "office.stw");
}

}  // namespace
}  // namespace sw::model
