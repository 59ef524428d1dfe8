// Which file a document was read from or written to, and what that file held then: its
// device and inode, and a SHA-256 hash of its bytes. "Changed on disk" means other bytes;
// a sync tool that writes the same bytes again changes nothing.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sw::model {

struct FileIdentity {
    std::string path;  // the name as opened or saved (links not followed), file system bytes
    dev_t device = 0;
    ino_t inode = 0;
    std::string hash;  // SHA-256 of the bytes, 64 lower-case hex digits; empty: no file
    bool known() const { return !hash.empty(); }
    // The same file on disk (by device and inode), whatever its name.
    bool SameFile(const FileIdentity& other) const {
        return known() && other.known() && device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity&) const = default;
};

std::string HashBytes(std::string_view bytes);

// The identity of `path` holding `bytes`, which were just read from it or written to it.
// The device and inode are those of the file the name leads to (links followed); when it
// cannot be reached they stay 0.
FileIdentity IdentifyFile(const std::string& path, std::string_view bytes);

enum class DiskState {
    Unchanged,   // the file holds the remembered bytes
    Changed,     // it holds other bytes
    Missing,     // there is no file of that name any more
    Unreadable,  // it is there but cannot be read now
};

// Reads the file of the identity's path again and compares its bytes with the remembered
// hash. An identity that knows no file is Unchanged. `diskHash`, when given, receives the
// hash of what is on disk now (empty when it could not be read or is larger than maxBytes).
DiskState CompareWithDisk(const FileIdentity& identity, std::size_t maxBytes,
                          std::string* diskHash = nullptr);

// A file on disk, whatever its name: its device and inode.
struct FileKey {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileKey&) const = default;
};

// The file a name leads to now (links followed); nothing when there is none.
std::optional<FileKey> FileKeyOf(const std::string& path);

// True when both names lead to one file on disk now (a hard link, a symbolic link or the
// same name), also when that file was replaced under its name since it was opened.
bool SameFileOnDisk(const std::string& a, const std::string& b);

}  // namespace sw::model
