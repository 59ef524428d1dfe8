// What a save does to the file the user named: links, odd targets, read-only files,
// permissions, crowded folders and the leftovers of killed saves, for the label-set file and
// for Stripwise2.ini.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "model/AtomicFile.h"
#include "model/IniFile.h"
#include "model/LabelSetFile.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ListFolder;
using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

constexpr uid_t kNobody = 65534;

// Saved label sets are compared with ==: the diff gtest prints for two different texts of
// 2 MB would not end.

std::unique_ptr<LabelSet> NewSet() {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = "saved";
    set->Entries[7].Faces[2].Keys[3].Line1 = "new text";
    return set;
}

struct stat Status(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// Permissions bind an ordinary user, not the superuser. Under root the body runs in a child
// process as the user nobody; it returns "" when all went as expected, else what went wrong.
// Returns "skip" when this system cannot switch to that user.
std::string AsOrdinaryUser(const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe";
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string outcome = "skip";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0)
            outcome = body();
        ssize_t ignored = ::write(pipeFds[1], outcome.data(), outcome.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string outcome;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return outcome;
}

// A folder the user nobody owns, reachable by that user.
std::string NobodysFolder(const TempDir& dir, const std::string& name) {
    ::chmod(dir.path().c_str(), 0755);
    std::string folder = dir.File(name);
    ::mkdir(folder.c_str(), 0755);
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    }
    return folder;
}

void GiveToNobody(const std::string& path) {
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
}

TEST(SaveTarget, ASymbolicLinkStaysALinkAndTheFileItNamesIsWritten) {
    TempDir dir;
    ::mkdir(dir.File("real").c_str(), 0755);
    WriteFileBytes(dir.File("real/office.stw"), "old");
    ASSERT_EQ(::symlink("real/office.stw", dir.File("link.stw").c_str()), 0);
    ASSERT_EQ(::symlink("link.stw", dir.File("link2.stw").c_str()), 0);  // a link to a link
    auto set = NewSet();

    SaveResult s = SaveLabelSetFile(dir.File("link2.stw"), *set);
    ASSERT_TRUE(s.ok) << s.message;
    EXPECT_TRUE(S_ISLNK(Status(dir.File("link.stw")).st_mode));
    EXPECT_TRUE(S_ISLNK(Status(dir.File("link2.stw")).st_mode));
    EXPECT_TRUE(ReadFileBytes(dir.File("real/office.stw")) == WriteLabelSet(*set));
    EXPECT_EQ(ListFolder(dir.path()), "link.stw\nlink2.stw\nreal\n");
    EXPECT_EQ(ListFolder(dir.File("real")), "office.stw\n");

    // A link to a file not there yet creates that file.
    ASSERT_EQ(::symlink("real/new.stw", dir.File("ahead.stw").c_str()), 0);
    ASSERT_TRUE(SaveLabelSetFile(dir.File("ahead.stw"), *set).ok);
    EXPECT_TRUE(S_ISLNK(Status(dir.File("ahead.stw")).st_mode));
    EXPECT_TRUE(ReadFileBytes(dir.File("real/new.stw")) == WriteLabelSet(*set));
}

TEST(SaveTarget, AHardLinkedFileKeepsEveryNameInStep) {
    TempDir dir;
    WriteFileBytes(dir.File("a.stw"), "old");
    ASSERT_EQ(::link(dir.File("a.stw").c_str(), dir.File("b.stw").c_str()), 0);
    const ino_t inode = Status(dir.File("a.stw")).st_ino;
    auto set = NewSet();
    ASSERT_TRUE(SaveLabelSetFile(dir.File("a.stw"), *set).ok);
    EXPECT_TRUE(ReadFileBytes(dir.File("b.stw")) == WriteLabelSet(*set));
    EXPECT_EQ(Status(dir.File("a.stw")).st_ino, inode);
    EXPECT_EQ(Status(dir.File("a.stw")).st_nlink, 2u);

    // Smaller content leaves no tail of the old one behind.
    auto small = std::make_unique<LabelSet>();
    ASSERT_TRUE(SaveLabelSetFile(dir.File("b.stw"), *small).ok);
    EXPECT_TRUE(ReadFileBytes(dir.File("a.stw")) == WriteLabelSet(*small));
    EXPECT_EQ(ListFolder(dir.path()), "a.stw\nb.stw\n");
}

TEST(SaveTarget, AReadOnlyFileIsRefusedByNameAndKept) {
    TempDir dir;
    const std::string folder = NobodysFolder(dir, "mine");
    const std::string path = folder + "/office.stw";
    WriteFileBytes(path, "old");
    GiveToNobody(path);
    ::chmod(path.c_str(), 0444);
    auto set = NewSet();

    // The superuser too: nobody may write the file, so it was made read-only on purpose.
    SaveResult s = SaveLabelSetFile(path, *set);
    EXPECT_FALSE(s.ok);
    EXPECT_NE(s.message.find(path), std::string::npos);
    EXPECT_NE(s.message.find("読み取り専用"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), "old");

    std::string outcome = AsOrdinaryUser([&]() -> std::string {
        SaveResult r = SaveLabelSetFile(path, *set);
        if (r.ok) return "saved over a read-only file";
        if (r.message.find("office.stw") == std::string::npos) return "message names no file: " + r.message;
        return "";
    });
    if (outcome == "skip") GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(outcome, "");
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(ListFolder(folder), "office.stw\n");
}

TEST(SaveTarget, ModeOwnerAndGroupAreKept) {
    TempDir dir;
    const std::string path = dir.File("office.stw");
    WriteFileBytes(path, "old");
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    ::chmod(path.c_str(), 0664);
    const struct stat before = Status(path);
    auto set = NewSet();
    ASSERT_TRUE(SaveLabelSetFile(path, *set).ok);
    const struct stat after = Status(path);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_TRUE(ReadFileBytes(path) == WriteLabelSet(*set));

    // A user who cannot give a new file the file's group has the file written in place.
    const std::string folder = NobodysFolder(dir, "shared");
    const std::string shared = folder + "/team.stw";
    WriteFileBytes(shared, "old");
    if (::geteuid() == 0) {  // group root: nobody is no member
        EXPECT_EQ(::chown(shared.c_str(), kNobody, 0), 0);
    }
    ::chmod(shared.c_str(), 0640);
    const struct stat sharedBefore = Status(shared);
    std::string outcome = AsOrdinaryUser([&]() -> std::string {
        SaveResult r = SaveLabelSetFile(shared, *set);
        return r.ok ? "" : r.message;
    });
    if (outcome == "skip") GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(outcome, "");
    const struct stat sharedAfter = Status(shared);
    EXPECT_EQ(sharedAfter.st_gid, sharedBefore.st_gid);
    EXPECT_EQ(sharedAfter.st_mode & 07777, 0640u);
    EXPECT_TRUE(ReadFileBytes(shared) == WriteLabelSet(*set));
    EXPECT_EQ(ListFolder(folder), "team.stw\n");
}

TEST(SaveTarget, AFolderWithoutRoomForATemporaryFileHasTheFileWrittenInPlace) {
    TempDir dir;
    const std::string folder = NobodysFolder(dir, "closed");
    const std::string path = folder + "/office.stw";
    WriteFileBytes(path, "old");
    GiveToNobody(path);
    ::chmod(path.c_str(), 0644);
    ::chmod(folder.c_str(), 0555);  // no new names in here
    // The journal of the in-place write goes to the recovery folder instead.
    const std::string state = NobodysFolder(dir, "state");
    auto set = NewSet();
    std::string outcome = AsOrdinaryUser([&]() -> std::string {
        // Without any place for the journal the file is not touched.
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
        SaveResult r = SaveLabelSetFile(path, *set);
        if (r.ok || r.message.find("office.stw") == std::string::npos) return "no journal: " + r.message;
        if (ReadFileBytes(path) != "old") return "written without a journal";
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        r = SaveLabelSetFile(path, *set);
        if (!r.ok) return r.message;
        // A file that is not there yet cannot be made at all: the failure names it.
        r = SaveLabelSetFile(folder + "/other.stw", *set);
        if (r.ok || r.message.find("other.stw") == std::string::npos) return "other.stw: " + r.message;
        return "";
    });
    if (outcome == "skip") GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(outcome, "");
    EXPECT_TRUE(ReadFileBytes(path) == WriteLabelSet(*set));
    EXPECT_EQ(ListFolder(folder), "office.stw\n");
    EXPECT_EQ(ListFolder(state + "/stripwise2"), "");  // the journal went once the file was whole
}

TEST(SaveTarget, FifosDevicesAndFoldersAreRefusedNeverReplaced) {
    TempDir dir;
    auto set = NewSet();
    const std::string fifo = dir.File("pipe.stw");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/full", dir.File("full.stw").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.stw").c_str(), 0755), 0);

    for (const std::string& path : {fifo, std::string("/dev/full"), dir.File("full.stw"), dir.File("folder.stw")}) {
        SaveResult s = SaveLabelSetFile(path, *set);  // must neither block nor replace
        EXPECT_FALSE(s.ok) << path;
        EXPECT_NE(s.message.find(path), std::string::npos) << s.message;
    }
    EXPECT_TRUE(S_ISFIFO(Status(fifo).st_mode));
    EXPECT_TRUE(S_ISCHR(Status("/dev/full").st_mode));
    EXPECT_TRUE(S_ISLNK(Status(dir.File("full.stw")).st_mode));
    EXPECT_TRUE(S_ISDIR(Status(dir.File("folder.stw")).st_mode));
    EXPECT_EQ(ListFolder(dir.path()), "folder.stw\nfull.stw\npipe.stw\n");
    EXPECT_EQ(ListFolder("/dev").find(kSaveTempPrefix), std::string::npos);
}

TEST(SaveTarget, ALongestLegalNameSaves) {
    TempDir dir;
    const std::string name = std::string(251, 'n') + ".stw";  // 255 bytes, the limit
    auto set = NewSet();
    SaveResult s = SaveLabelSetFile(dir.File(name), *set);
    ASSERT_TRUE(s.ok) << s.message;
    EXPECT_TRUE(ReadFileBytes(dir.File(name)) == WriteLabelSet(*set));
    EXPECT_EQ(ListFolder(dir.path()), name + "\n");
}

TEST(SaveTarget, TheNextSaveRemovesWhatAKilledSaveLeftButNotASaveInProgress) {
    TempDir dir;
    const std::string stale = std::string(kSaveTempPrefix) + "Ab12Cd" + kSaveTempSuffix;
    const std::string live = std::string(kSaveTempPrefix) + "Zz99Yy" + kSaveTempSuffix;
    WriteFileBytes(dir.File(stale), "half a file");
    WriteFileBytes(dir.File(live), "being written");
    int liveFd = ::open(dir.File(live).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);  // held by another save right now
    // Names that only look alike belong to the user.
    WriteFileBytes(dir.File(std::string(kSaveTempPrefix) + "notes" + kSaveTempSuffix), "mine");
    WriteFileBytes(dir.File("stripwise2-save-Ab12Cd.tmp"), "mine");

    ASSERT_TRUE(SaveLabelSetFile(dir.File("office.stw"), *NewSet()).ok);
    ::close(liveFd);
    EXPECT_EQ(ListFolder(dir.path()),
              ".stripwise2-save-Zz99Yy.tmp\n.stripwise2-save-notes.tmp\noffice.stw\n"
              "stripwise2-save-Ab12Cd.tmp\n");

    // The settings file's folder is cleaned the same way.
    WriteFileBytes(dir.File(stale), "half a file");
    ASSERT_TRUE(WriteIniInt(dir.File("Stripwise2.ini"), "Main", "Top", 3));
    EXPECT_FALSE(sw::test::FileExists(dir.File(stale)));
}

TEST(SaveTarget, TheSettingsFileFollowsItsLinkAndIsNotForcedWhenReadOnly) {
    TempDir dir;
    ::mkdir(dir.File("conf").c_str(), 0755);
    WriteFileBytes(dir.File("conf/Stripwise2.ini"), "[Main]\r\nTop=1\r\n");
    ASSERT_EQ(::symlink("conf/Stripwise2.ini", dir.File("Stripwise2.ini").c_str()), 0);
    ASSERT_TRUE(WriteIniInt(dir.File("Stripwise2.ini"), "Main", "Top", 40));
    EXPECT_TRUE(S_ISLNK(Status(dir.File("Stripwise2.ini")).st_mode));
    EXPECT_EQ(ReadFileBytes(dir.File("conf/Stripwise2.ini")), "[Main]\r\nTop=40\r\n");

    ::chmod(dir.File("conf/Stripwise2.ini").c_str(), 0444);
    EXPECT_FALSE(WriteIniInt(dir.File("Stripwise2.ini"), "Main", "Top", 50));
    EXPECT_EQ(ReadFileBytes(dir.File("conf/Stripwise2.ini")), "[Main]\r\nTop=40\r\n");
    EXPECT_EQ(ReadIniInt(dir.File("Stripwise2.ini"), "Main", "Top", 0), 40);

    // A FIFO named like the settings file is neither waited on nor replaced.
    ASSERT_EQ(::mkfifo(dir.File("conf/pipe.ini").c_str(), 0644), 0);
    EXPECT_FALSE(WriteIniInt(dir.File("conf/pipe.ini"), "Main", "Top", 1));
    EXPECT_TRUE(S_ISFIFO(Status(dir.File("conf/pipe.ini")).st_mode));
    EXPECT_EQ(ListFolder(dir.File("conf")), "Stripwise2.ini\npipe.ini\n");
}

}  // namespace
}  // namespace sw::model
