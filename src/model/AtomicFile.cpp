// Temporary file, fsync, rename: the old file survives every failure of a save.
#include "model/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace sw::model {
namespace {

std::string Failure(const std::string& path, const char* what, int err) {
    return "\"" + path + "\": " + what + " (" + std::strerror(err) + ")";
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view data, int& err) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
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
        left -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view data) {
    WriteResult result;
    std::string tmpl = path + ".tmp-XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        result.ok = false;
        result.message = Failure(path, "ファイルを作成できません", errno);
        return result;
    }
    std::string tmpPath(name.data());

    // The new file gets the old file's permissions, or the usual ones for a new file.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    int err = 0;
    const char* what = nullptr;
    if (::fchmod(fd, mode) != 0) {
        // Not fatal: the file is still ours and readable.
    }
    if (!WriteAll(fd, data, err)) {
        what = "ファイルに書き込めません";
    } else if (::fsync(fd) != 0) {
        err = errno;
        what = "ファイルに書き込めません";
    }
    if (::close(fd) != 0 && what == nullptr) {
        err = errno;
        what = "ファイルに書き込めません";
    }
    if (what == nullptr && ::rename(tmpPath.c_str(), path.c_str()) != 0) {
        err = errno;
        what = "ファイルを置き換えられません";
    }
    if (what != nullptr) {
        ::unlink(tmpPath.c_str());
        result.ok = false;
        result.message = Failure(path, what, err);
        return result;
    }
    // Make the rename itself durable; a failure here no longer endangers either file.
    int dirFd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return result;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& message,
                   std::size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        message = Failure(path, "ファイルを開けません", errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        message = Failure(path, "通常のファイルではありません", EINVAL);
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > maxBytes) {
        ::close(fd);
        message = Failure(path, "ファイルが大きすぎます", EFBIG);
        return false;
    }
    data.clear();
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            message = Failure(path, "ファイルを読み込めません", errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
            message = Failure(path, "ファイルが大きすぎます", EFBIG);
            ::close(fd);
            return false;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace sw::model
