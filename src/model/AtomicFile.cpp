// Saving a file all or nothing: links followed, odd targets refused, the old file kept on
// every failure, stale temporary files of killed saves cleaned up.
#include "model/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "model/RecoveryFile.h"
#include "model/RecoveryJournal.h"

namespace sw::model {

const char* const kSaveTempPrefix = ".stripwise2-save-";
const char* const kSaveTempSuffix = ".tmp";

std::string FileFailure(const std::string& path, const char* what, int err) {
    return "\"" + path + "\": " + what + " (" + std::strerror(err) + ")";
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAllAt(int fd, std::string_view data, off_t offset, int& err) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::pwrite(fd, p, left, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        p += n;
        offset += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit for a path


std::string Refusal(const std::string& path, const char* what) {
    return "\"" + path + "\": " + what;
}


// Follows symbolic links to the file they name, which need not exist yet. `exists` tells
// whether it does and `st` is its status then.
bool ResolveLinks(const std::string& path, std::string& resolved, bool& exists, struct stat& st,
                  int& err) {
    resolved = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        if (::lstat(resolved.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                err = errno;
                return false;
            }
            exists = false;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return true;
        }
        std::vector<char> buffer(PATH_MAX + 1);
        ssize_t n = ::readlink(resolved.c_str(), buffer.data(), buffer.size() - 1);
        if (n < 0) {
            err = errno;
            return false;
        }
        std::string target(buffer.data(), static_cast<size_t>(n));
        resolved = !target.empty() && target[0] == '/' ? target : FolderOf(resolved) + "/" + target;
    }
    err = ELOOP;
    return false;
}

// access() answers for the user; the superuser passes it for every file, yet a file that
// nobody may write was made read-only on purpose and is not overwritten either.
bool MayWrite(const std::string& path, const struct stat& st) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

bool IsSaveTempName(const char* name) {
    const size_t prefix = std::strlen(kSaveTempPrefix);
    const size_t suffix = std::strlen(kSaveTempSuffix);
    const size_t length = std::strlen(name);
    if (length != prefix + 6 + suffix) return false;
    if (std::strncmp(name, kSaveTempPrefix, prefix) != 0) return false;
    if (std::strcmp(name + prefix + 6, kSaveTempSuffix) != 0) return false;
    for (size_t i = prefix; i < prefix + 6; ++i) {
        char c = name[i];
        bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) return false;
    }
    return true;
}

// A save holds a lock on its temporary file until it is renamed; one that nobody holds was
// left by a save that was killed, and goes.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (dirent* entry = ::readdir(dir)) {
        if (!IsSaveTempName(entry->d_name)) continue;
        int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Asks `query` for a value whose size it reports when given no room, and reads it into
// `value`; asks again while the value grows in between (ERANGE). False with errno set when
// the query fails.
template <typename Query>
bool ReadSizedValue(Query query, std::string& value) {
    for (;;) {
        const ssize_t size = query(nullptr, 0);
        if (size < 0) return false;
        value.assign(static_cast<size_t>(size), '\0');
        if (size == 0) return true;
        const ssize_t got = query(value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

// Carries every extended attribute of the old file over to the new one, its access control
// list included (system.posix_acl_access is one, in the kernel's own format): a file shared
// with `setfacl -m u:NAME:rw` stays shared after a save. False when one cannot be carried.
// A file system without extended attributes has none to carry.
bool CopyAttributes(const std::string& from, int toFd) {
    // The names, each ending in '\0'.
    std::string names;
    if (!ReadSizedValue([&](char* buf, size_t len) { return ::llistxattr(from.c_str(), buf, len); },
                        names))
        return errno == ENOTSUP || errno == ENOSYS;
    std::string value;
    for (size_t at = 0; at < names.size();) {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        if (!ReadSizedValue(
                [&](char* buf, size_t len) { return ::lgetxattr(from.c_str(), name.c_str(), buf, len); },
                value)) {
            if (errno == ENODATA) continue;  // removed in between
            return false;
        }
        if (::fsetxattr(toFd, name.c_str(), value.data(), value.size(), 0) != 0) {
            // The system labels a new file by its own policy; that label is the right one.
            if (name == "security.selinux") continue;
            return false;
        }
    }
    return true;
}

// Writes the complete data over the file itself: every hard link, the owner, group and mode
// stay. Space for the new content is reserved first; a write that still fails part-way
// writes the old content back. Until the file is whole again a journal holds the new
// content, so that a program killed meanwhile leaves a file that is offered back whole.
WriteResult WriteInPlace(const std::string& shownPath, const std::string& target,
                         std::string_view data) {
    WriteResult result;
    int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result = {false, FileFailure(shownPath, "ファイルに書き込めません", errno)};
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {false, Refusal(shownPath, "通常のファイルではないため保存しませんでした")};
    }
    std::string old(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < old.size()) {
        ssize_t n = ::pread(fd, old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int err = n < 0 ? errno : EIO;
            ::close(fd);
            return {false, FileFailure(shownPath, "ファイルを読み込めません", err)};
        }
        got += static_cast<size_t>(n);
    }
    if (data.size() > old.size()) {
        // Not every file system can reserve; then a failed write is undone below.
        if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(data.size())) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS) {
            int why = errno;
            ::close(fd);
            return {false, FileFailure(shownPath, "ファイルに書き込めません", why)};
        }
    }
    std::string journal;
    std::string why;
    if (!WriteSaveJournal(target, st, data, journal, why)) {
        ::close(fd);
        return {false, Refusal(shownPath, "上書きの途中で止まったときのための控えを書き込めないため、保存しませんでした") +
                           " (" + why + ")"};
    }
    int err = 0;
    bool written = WriteAllAt(fd, data, 0, err);
    if (written && ::ftruncate(fd, static_cast<off_t>(data.size())) != 0) {
        err = errno;
        written = false;
    }
    if (written && ::fsync(fd) != 0) {
        err = errno;
        written = false;
    }
    if (!written) {
        int ignored = 0;
        // The journal stays unless the old content is whole again.
        if (WriteAllAt(fd, old, 0, ignored) && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
            ::fsync(fd) == 0)
            ::unlink(journal.c_str());
        ::close(fd);
        return {false, FileFailure(shownPath, "ファイルに書き込めません", err)};
    }
    ::close(fd);
    ::unlink(journal.c_str());
    return result;
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view data) {
    std::string target;
    bool exists = false;
    struct stat st {};
    int err = 0;
    if (!ResolveLinks(path, target, exists, st, err))
        return {false, FileFailure(path, "保存先をたどれません", err)};
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return {false, Refusal(path, "フォルダーのため保存しませんでした")};
        if (!S_ISREG(st.st_mode))
            return {false, Refusal(path, "通常のファイルではない（デバイスやパイプなど）ため保存しませんでした")};
        if (!MayWrite(target, st))
            return {false, Refusal(path, "読み取り専用のファイルのため上書きしませんでした")};
    }
    const std::string folder = FolderOf(target);
    RemoveStaleTemporaries(folder);

    // A rename would give the other names of the file the old content.
    if (exists && st.st_nlink > 1) return WriteInPlace(path, target, data);

    std::string tmpl = folder + "/" + kSaveTempPrefix + "XXXXXX" + kSaveTempSuffix;
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkostemps(name.data(), static_cast<int>(std::strlen(kSaveTempSuffix)), O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        // A folder that takes no new file can still have its existing files written.
        if (exists) return WriteInPlace(path, target, data);
        return {false, FileFailure(path, "ファイルを作成できません", err)};
    }
    const std::string tmpPath(name.data());
    ::flock(fd, LOCK_EX);  // marks the file as in use until it is renamed

    auto discard = [&](const char* what, int why) {
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return WriteResult{false, FileFailure(path, what, why)};
    };

    // The new file gets the old one's owner, group and mode (chown first: it clears the
    // set-id bits), or the usual mode for a new file.
    mode_t mode;
    if (exists) {
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
            ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only the file itself carries them; write it in place.
            ::close(fd);
            ::unlink(tmpPath.c_str());
            return WriteInPlace(path, target, data);
        }
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return discard("ファイルを作成できません", errno);
    // After the mode: an access control list sets the group bits from its mask.
    if (exists && !CopyAttributes(target, fd)) {
        // Only the file itself keeps what cannot be carried over; write it in place.
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return WriteInPlace(path, target, data);
    }
    if (!WriteAllAt(fd, data, 0, err)) return discard("ファイルに書き込めません", err);
    if (::fsync(fd) != 0) return discard("ファイルに書き込めません", errno);
    if (::rename(tmpPath.c_str(), target.c_str()) != 0) return discard("ファイルを置き換えられません", errno);
    ::close(fd);
    // Make the rename itself durable; a failure here no longer endangers either file.
    SyncFolder(folder);
    // A journal of a cut-off in-place save of the file replaced is out of date.
    if (exists) RemoveSaveJournals(target, st.st_ino);
    return {};
}

void RemoveStaleSaveTemporaries(const std::string& folder) { RemoveStaleTemporaries(folder); }

bool ReadWholeFile(const std::string& path, std::string& data, std::string& message,
                   std::size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        message = FileFailure(path, "ファイルを開けません", errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        message = FileFailure(path, "通常のファイルではありません", EINVAL);
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > maxBytes) {
        ::close(fd);
        message = FileFailure(path, "ファイルが大きすぎます", EFBIG);
        return false;
    }
    data.clear();
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            message = FileFailure(path, "ファイルを読み込めません", errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
            message = FileFailure(path, "ファイルが大きすぎます", EFBIG);
            ::close(fd);
            return false;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace sw::model
