// What the program remembers of the file a document belongs to, and when that file counts
// as changed by someone else.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "model/FileIdentity.h"
#include "model/LabelSetFile.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

TEST(FileIdentity, OnlyOtherBytesCountAsAChangeOnDisk) {
    TempDir dir;
    const std::string path = dir.File("office.stw");
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].Name = "office";
    FileIdentity saved;
    ASSERT_TRUE(SaveLabelSetFile(path, *set, &saved).ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(saved.path, path);
    EXPECT_EQ(saved.device, st.st_dev);
    EXPECT_EQ(saved.inode, st.st_ino);
    EXPECT_EQ(saved.hash, HashBytes(ReadFileBytes(path)));

    auto loaded = std::make_unique<LabelSet>();
    FileIdentity opened;
    ASSERT_TRUE(LoadLabelSetFile(path, *loaded, &opened).ok);
    EXPECT_EQ(opened.hash, saved.hash);
    EXPECT_TRUE(opened.SameFile(saved));
    EXPECT_EQ(CompareWithDisk(opened, kMaxLabelSetFileBytes), DiskState::Unchanged);

    // A sync tool writing the same bytes as a new file: nothing changed.
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    WriteFileBytes(path, bytes);
    EXPECT_EQ(CompareWithDisk(opened, kMaxLabelSetFileBytes), DiskState::Unchanged);

    // Another window saving one changed name.
    set->Entries[1].Name = "other window";
    ASSERT_TRUE(SaveLabelSetFile(path, *set).ok);
    EXPECT_EQ(CompareWithDisk(opened, kMaxLabelSetFileBytes), DiskState::Changed);
    // Something much larger than a label set.
    WriteFileBytes(path, std::string(4096, 'x'));
    EXPECT_EQ(CompareWithDisk(opened, 1024), DiskState::Changed);

    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(CompareWithDisk(opened, kMaxLabelSetFileBytes), DiskState::Missing);
    EXPECT_EQ(CompareWithDisk(FileIdentity{}, kMaxLabelSetFileBytes), DiskState::Unchanged);
}

}  // namespace
}  // namespace sw::model
