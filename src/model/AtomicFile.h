// Replacing a file so that a failure at any point leaves the previous file as it was.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace sw::model {

struct WriteResult {
    bool ok = true;
    std::string message;  // UTF-8, names the file and the failure
};

// Temporary files of a save are named ".stripwise2-save-XXXXXX.tmp" in the target's folder;
// one left behind by a killed save is removed by the next save to that folder.
extern const char* const kSaveTempPrefix;
extern const char* const kSaveTempSuffix;

// Saves data as the file at path, all or nothing:
// - a symbolic link is followed and the file it points to is written; the link stays;
// - a folder, a device, a FIFO or anything else that is not a regular file is refused,
//   and so is a file that is read-only (for the superuser too: no write bit at all);
// - normally the data goes to a temporary file beside the target, is flushed to the disk
//   and renamed over it; the new file keeps the old one's mode, owner, group and extended
//   attributes (its access control list among them);
// - the file is written in place instead, with the data complete in memory and the space
//   reserved first, when it has more than one hard link (a rename would part the links),
//   when its owner, group or an extended attribute cannot be given to a new file, or when
//   its folder takes no temporary file; a failure part-way writes the old content back.
//   The new content goes to a journal first (model/RecoveryJournal.h); without a place for
//   one the file is not written at all.
// On failure the temporary file is removed and the target keeps its old content.
WriteResult WriteFileAtomically(const std::string& path, std::string_view data);

// "\"PATH\": WHAT (the system's reason)", the form of every file error shown.
std::string FileFailure(const std::string& path, const char* what, int err);

// The folder part of `path`: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);

// Writes all of `data` at `offset`, going on after a short write or a signal; false with
// `err` set when the system refuses (ENOSPC when it writes nothing).
bool WriteAllAt(int fd, std::string_view data, off_t offset, int& err);

// Removes the temporary files in `folder` that killed saves left behind (their lock is free).
void RemoveStaleSaveTemporaries(const std::string& folder);

// Reads a whole regular file. Returns false with a message naming the file on failure.
bool ReadWholeFile(const std::string& path, std::string& data, std::string& message,
                   std::size_t maxBytes);

}  // namespace sw::model
