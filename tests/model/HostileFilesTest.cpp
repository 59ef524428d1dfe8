// Files that are hostile or broken, and disks that fail: each case either works or ends
// with a message, quickly, with the open document and every file on disk unchanged.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "model/IniFile.h"
#include "model/LabelSetFile.h"
#include "model/Settings.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ListFolder;
using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

std::unique_ptr<LabelSet> Sample() {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = "open document";
    set->Entries[2].Faces[3].Keys[4].Line1 = "kept";
    return set;
}

// Replaces line `index` (0-based) of a written reset set.
std::string WithLine(size_t index, const std::string& value) {
    auto set = std::make_unique<LabelSet>();
    std::string text = WriteLabelSet(*set);
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) start = text.find("\r\n", start) + 2;
    size_t end = text.find("\r\n", start);
    return text.substr(0, start) + value + text.substr(end);
}

TEST(HostileLabelSetFile, AGigabyteOfOneLineIsRefusedAtOnce) {
    TempDir dir;
    std::string path = dir.File("huge.stw");
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 1LL << 30), 0);  // sparse: no disk is used
    ::close(fd);

    auto open = Sample();
    auto start = std::chrono::steady_clock::now();
    LoadResult r = LoadLabelSetFile(path, *open);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.message.find("huge.stw"), std::string::npos);
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(*open, *Sample());
}

TEST(HostileLabelSetFile, NulBytesSignsAndTrailingTextInValues) {
    auto set = std::make_unique<LabelSet>();
    // A NUL inside a name is kept byte for byte.
    std::string withNul = WithLine(0, std::string("na\0me", 5));
    ASSERT_TRUE(ReadLabelSet(withNul, *set).ok);
    EXPECT_EQ(set->Entries[1].Name, std::string("na\0me", 5));
    EXPECT_EQ(WriteLabelSet(*set), withNul);

    ASSERT_TRUE(ReadLabelSet(WithLine(14, "+5"), *set).ok);
    EXPECT_EQ(set->Entries[1].Faces[1].Keys[1].FontSize, 5);
    ASSERT_TRUE(ReadLabelSet(WithLine(14, "  -3  x"), *set).ok);
    EXPECT_EQ(set->Entries[1].Faces[1].Keys[1].FontSize, -3);
    LoadResult r = ReadLabelSet(WithLine(14, "99999999999"), *set);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.line, 15);
}

TEST(HostileLabelSetFile, ADeviceOrFifoIsNotReadAsALabelSet) {
    TempDir dir;
    std::string fifo = dir.File("pipe.stw");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    auto open = Sample();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(LoadLabelSetFile(fifo, *open).ok);  // must not wait for a writer
    EXPECT_FALSE(LoadLabelSetFile("/dev/zero", *open).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(*open, *Sample());
}

// The file-size limit stands in for a full disk: writes fail part-way with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};

TEST(FailingDisk, AFullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.File("office.stw");
    auto old = Sample();
    ASSERT_TRUE(SaveLabelSetFile(path, *old).ok);
    const std::string before = ReadFileBytes(path);

    auto bigger = Sample();
    for (auto& entry : bigger->Entries) entry.Name = std::string(2000, 'x');
    SaveResult s;
    {
        FileSizeLimit limit(before.size() + 1000);
        s = SaveLabelSetFile(path, *bigger);
    }
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find("office.stw"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(ListFolder(dir.path()), "office.stw\n");
}

// A hard-linked file is written in place; a write that fails part-way puts the old content
// back under every name.
TEST(FailingDisk, AFullDiskKeepsAHardLinkedFileWhole) {
    TempDir dir;
    std::string path = dir.File("office.stw");
    ASSERT_TRUE(SaveLabelSetFile(path, *Sample()).ok);
    ASSERT_EQ(::link(path.c_str(), dir.File("copy.stw").c_str()), 0);
    const std::string before = ReadFileBytes(path);

    auto bigger = Sample();
    for (auto& entry : bigger->Entries) entry.Name = std::string(2000, 'x');
    SaveResult s;
    {
        FileSizeLimit limit(before.size() + 1000);
        s = SaveLabelSetFile(path, *bigger);
    }
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find("office.stw"), std::string::npos);
    EXPECT_TRUE(ReadFileBytes(path) == before);
    EXPECT_TRUE(ReadFileBytes(dir.File("copy.stw")) == before);
    EXPECT_EQ(ListFolder(dir.path()), "copy.stw\noffice.stw\n");
}

TEST(FailingDisk, AFolderThatCannotTakeNewFilesFailsCleanly) {
    // Nobody, root included, can create files at the top of /proc.
    auto set = Sample();
    SaveResult s = SaveLabelSetFile("/proc/sw2-office.stw", *set);
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find("sw2-office.stw"), std::string::npos);

    AppSettings settings;
    settings.ProgramDir = "/proc/";
    EXPECT_FALSE(WriteMainSettings(settings.SettingsPath(), 1, 2, settings));
    // Reading from there never fails: every value takes its default.
    AppSettings read;
    ReadMainSettings(settings.SettingsPath(), {800, 600}, {756, 476}, read);
    EXPECT_EQ(read.Sayu, 0);
}

TEST(HostileSettingsFile, GarbageHugeValuesAndAVanishingFileReadAsDefaults) {
    TempDir dir;
    std::string path = dir.File("Stripwise2.ini");
    std::string garbage = "[Settei]\r\nSayu=12\r\n";
    for (int i = 0; i < 70000; ++i) garbage += static_cast<char>((i * 131) % 256);
    WriteFileBytes(path, garbage);
    EXPECT_EQ(ReadIniInt(path, "Settei", "Sayu", 0), 12);

    WriteFileBytes(path, "[Main]\r\nCaption=" + std::string(10 * 1024 * 1024, 'y'));
    auto start = std::chrono::steady_clock::now();
    AppSettings s;
    ReadMainSettings(path, {800, 600}, {756, 476}, s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(s.TitleBase, "Stripwise\x82\x51");  // the default, not 10 MB of title

    // The file disappears between two reads: the second read takes the defaults.
    WriteFileBytes(path, "[Settei]\r\nJyoge=5\r\n");
    EXPECT_EQ(ReadIniInt(path, "Settei", "Jyoge", 0), 5);
    ::unlink(path.c_str());
    EXPECT_EQ(ReadIniInt(path, "Settei", "Jyoge", 0), 0);
    EXPECT_TRUE(WriteIniInt(path, "Settei", "Jyoge", 6));
}

}  // namespace
}  // namespace sw::model
