// Recovery copies and in-place save journals without a window: what a copy holds, which
// program may take it, and how a save cut off in the middle of the file is found again.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "model/AtomicFile.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryFile.h"
#include "model/RecoveryJournal.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ListFolder;
using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

std::unique_ptr<LabelSet> Typed(const std::string& text) {
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = "office";
    set->Entries[1].Faces[1].Keys[1].Line1 = text;
    set->Entries[50].Faces[4].Keys[30].Line2 = text;
    return set;
}

// The environment of one test: XDG_STATE_HOME pointed somewhere, and back afterwards.
class StateHome {
public:
    explicit StateHome(const std::string& folder) {
        if (const char* old = std::getenv("XDG_STATE_HOME")) m_old = old;
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
    }
    ~StateHome() {
        if (m_old)
            ::setenv("XDG_STATE_HOME", m_old->c_str(), 1);
        else
            ::unsetenv("XDG_STATE_HOME");
    }

private:
    std::optional<std::string> m_old;
};

TEST(RecoveryCopy, IsTakenOnlyOnceItsWindowHasGoneAndHoldsTheDocumentAndItsFile) {
    TempDir dir;
    const std::string folder = dir.File("state/stripwise2");
    FileIdentity file{"/home/user/事務所.stw", 2049, 1234, std::string(64, 'a')};
    auto window = std::make_unique<RecoveryCopy>(folder);
    std::string message;
    ASSERT_TRUE(window->Write(*Typed("first"), file, 1700000000, false, message)) << message;
    EXPECT_EQ(window->path().rfind(folder + "/window-", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);  // documents are the user's alone

    // While the window lives no other program takes its copy, also after it was replaced.
    EXPECT_TRUE(RecoveryCopy::ClaimAbandoned(folder).empty());
    ASSERT_TRUE(window->Write(*Typed("second"), file, 1700000060, true, message)) << message;
    EXPECT_TRUE(RecoveryCopy::ClaimAbandoned(folder).empty());
    EXPECT_EQ(ListFolder(folder), window->path().substr(folder.size() + 1) + "\n");

    window.reset();  // the window ends without saving
    std::vector<RecoveryCopy> found = RecoveryCopy::ClaimAbandoned(folder);
    ASSERT_EQ(found.size(), 1u);
    // Claimed: a program starting meanwhile does not offer it as well.
    EXPECT_TRUE(RecoveryCopy::ClaimAbandoned(folder).empty());
    RecoveredDocument document;
    ASSERT_EQ(found[0].Read(document, message), CopyState::Whole) << message;
    EXPECT_TRUE(*document.set == *Typed("second"));
    EXPECT_EQ(document.file.path, file.path);
    EXPECT_EQ(document.file.device, file.device);
    EXPECT_EQ(document.file.inode, file.inode);
    EXPECT_EQ(document.file.hash, file.hash);
    EXPECT_EQ(document.savedAt, 1700000060);
    found[0].Remove();
    EXPECT_EQ(ListFolder(folder), "");
}

TEST(RecoveryCopy, NewestFirstAndADamagedCopyIsToldFromAnEmptyOne) {
    TempDir dir;
    std::string message;
    std::string paths[3];
    for (int i = 0; i < 3; ++i) {
        RecoveryCopy copy(dir.path());
        ASSERT_TRUE(copy.Write(*Typed("copy " + std::to_string(i)), {}, 1700000000 + i, false, message));
        paths[i] = copy.path();
        const timespec when[2] = {{1700000000 + i, 0}, {1700000000 + i, 0}};
        ::utimensat(AT_FDCWD, paths[i].c_str(), when, 0);
    }
    std::vector<RecoveryCopy> found = RecoveryCopy::ClaimAbandoned(dir.path());
    ASSERT_EQ(found.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(found[i].path(), paths[2 - i]);
    found.clear();

    const std::string whole = ReadFileBytes(paths[0]);
    RecoveredDocument document;
    EXPECT_EQ(ReadRecoveryCopy(whole, document, message), CopyState::Whole);
    EXPECT_EQ(document.set->Entries[1].Faces[1].Keys[1].Line1, "copy 0");
    std::string flipped = whole;
    flipped[flipped.size() - 5] ^= 1;  // a byte of the document
    const struct {
        std::string text;
        CopyState state;
    } cases[] = {
        {"", CopyState::Empty},  // a window that had only reserved its name
        {flipped, CopyState::Damaged},
        {whole.substr(0, whole.size() - 1), CopyState::Damaged},
        {"stripwise2 recovery copy 1\nfile zz\nsize 0\nsha256 x\n\n", CopyState::Damaged},
        {"not a copy at all", CopyState::Damaged},
    };
    for (const auto& c : cases) {
        RecoveredDocument read;
        EXPECT_EQ(ReadRecoveryCopy(c.text, read, message), c.state) << c.text.substr(0, 60);
    }
}

TEST(RecoveryCopy, FolderFollowsXdgStateHomeThenHome) {
    EXPECT_EQ(RecoveryFolderFor("/x/state", "/home/u"), "/x/state/stripwise2");
    EXPECT_EQ(RecoveryFolderFor("relative", "/home/u"), "/home/u/.local/state/stripwise2");
    EXPECT_EQ(RecoveryFolderFor("", "/home/u"), "/home/u/.local/state/stripwise2");
    EXPECT_EQ(RecoveryFolderFor("", ""), "");
    std::string message;
    RecoveryCopy nowhere("");
    EXPECT_FALSE(nowhere.Write(*Typed("x"), {}, 0, false, message));
    EXPECT_NE(message.find("HOME"), std::string::npos) << message;
}

// A file with two names is written in place; the save's journal sits beside it meanwhile.
class InPlaceSave : public ::testing::Test {
protected:
    TempDir dir;
    StateHome state{dir.File("state")};
    std::string path = dir.File("office.stw");
    std::string old = WriteLabelSet(*Typed("OLD!"));
    std::string next = WriteLabelSet(*Typed("NEW!"));

    void SetUp() override {
        ASSERT_EQ(old.size(), next.size());
        WriteFileBytes(path, old);
        ASSERT_EQ(::link(path.c_str(), dir.File("other name.stw").c_str()), 0);
    }
    struct stat Status() {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st;
    }
};

TEST_F(InPlaceSave, ATornWriteIsFoundByItsHashAndOfferedBack) {
    std::string journal;
    std::string message;
    ASSERT_TRUE(WriteSaveJournal(path, Status(), next, journal, message)) << message;
    EXPECT_EQ(journal, dir.File(".stripwise2-journal-" + std::to_string(Status().st_ino)));
    // Whoever may read the file may read what was to be written into it.
    struct stat journalStatus {};
    ASSERT_EQ(::stat(journal.c_str(), &journalStatus), 0);
    EXPECT_EQ(journalStatus.st_mode & 0777, (Status().st_mode & 0666) | 0600);

    // Killed part-way: the first half is new, the rest old. Same size, same lines, and it
    // still reads as a label set; only its hash tells.
    WriteFileBytes(path, next.substr(0, next.size() / 2) + old.substr(old.size() / 2));
    auto torn = std::make_unique<LabelSet>();
    ASSERT_TRUE(LoadLabelSetFile(path, *torn).ok);
    for (const std::string& name : {path, dir.File("other name.stw")}) {
        std::optional<InterruptedSave> found = FindInterruptedSave(name, kMaxLabelSetFileBytes);
        ASSERT_TRUE(found) << name;
        EXPECT_TRUE(found->content == next);
        EXPECT_EQ(found->journalPath, journal);
    }

    // Killed before the file was touched: the old content is whole, yet the save did not
    // happen, and what it was to write is offered.
    WriteFileBytes(path, old);
    EXPECT_TRUE(FindInterruptedSave(path, kMaxLabelSetFileBytes));

    // Killed after the write, before the journal went: nothing to offer, and the journal goes.
    WriteFileBytes(path, next);
    EXPECT_FALSE(FindInterruptedSave(path, kMaxLabelSetFileBytes));
    EXPECT_FALSE(sw::test::FileExists(journal));
}

TEST_F(InPlaceSave, ASaveThatFinishesLeavesNoJournalAndReplacesAnOldOne) {
    std::string journal;
    std::string message;
    ASSERT_TRUE(WriteSaveJournal(path, Status(), next, journal, message));
    WriteFileBytes(path, next.substr(0, 100) + old.substr(100));  // an earlier cut-off save
    ASSERT_TRUE(SaveLabelSetFile(path, *Typed("NEW?")).ok);
    EXPECT_EQ(Status().st_nlink, 2u);
    EXPECT_TRUE(ReadFileBytes(dir.File("other name.stw")) == WriteLabelSet(*Typed("NEW?")));
    EXPECT_FALSE(FindInterruptedSave(path, kMaxLabelSetFileBytes));
    EXPECT_EQ(ListFolder(dir.path()), "office.stw\nother name.stw\n");
}

}  // namespace
}  // namespace sw::model
