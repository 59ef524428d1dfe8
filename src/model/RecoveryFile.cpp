// The framed format of recovery copies and save journals, their folder, and the locked
// temporary files they are written through.
#include "model/RecoveryFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "model/AtomicFile.h"
#include "model/FileIdentity.h"

namespace sw::model {

namespace {

// A header is a handful of short lines; anything longer is not one of ours.
constexpr std::size_t kMaxHeaderBytes = 16 * 1024;


}  // namespace

std::string RecoveryFolderFor(const std::string& xdgStateHome, const std::string& home) {
    // Relative values of XDG_STATE_HOME are to be ignored.
    if (!xdgStateHome.empty() && xdgStateHome.front() == '/') return xdgStateHome + "/stripwise2";
    if (!home.empty() && home.front() == '/') return home + "/.local/state/stripwise2";
    return {};
}

std::string RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string homeFolder = home ? home : "";
    if (homeFolder.empty()) {
        if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) homeFolder = user->pw_dir;
    }
    return RecoveryFolderFor(state ? state : "", homeFolder);
}

bool MakeRecoveryFolder(const std::string& folder, std::string& message) {
    if (folder.empty()) {
        message = "復元用のコピーを置くフォルダーが決まりません（HOME が設定されていません）";
        return false;
    }
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            message = FileFailure(part, "フォルダーを作成できません", errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    // The copies hold whole documents: the folder must be this user's own.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        message = FileFailure(folder, "フォルダーを開けません", errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        message = "\"" + folder + "\": 自分のフォルダーではないため使いません";
        return false;
    }
    return true;
}

std::string FramedFile::Field(std::string_view name) const {
    for (const auto& [key, value] : fields)
        if (key == name) return value;
    return {};
}

std::string WriteFramed(std::string_view kind, const FramedFile& file) {
    std::string text;
    text.reserve(file.body.size() + 512);
    text.append(kind).append("\n");
    for (const auto& [name, value] : file.fields) text.append(name).append(" ").append(value).append("\n");
    text.append("size ").append(std::to_string(file.body.size())).append("\n");
    text.append("sha256 ").append(HashBytes(file.body)).append("\n\n");
    text.append(file.body);
    return text;
}

bool ReadFramed(std::string_view text, std::string_view kind, FramedFile& file) {
    file = {};
    const std::size_t end = text.substr(0, kMaxHeaderBytes).find("\n\n");
    if (end == std::string_view::npos) return false;
    std::string_view header = text.substr(0, end + 1);
    std::string_view body = text.substr(end + 2);
    std::size_t lineEnd = header.find('\n');
    if (header.substr(0, lineEnd) != kind) return false;
    header.remove_prefix(lineEnd + 1);
    std::string size;
    std::string hash;
    while (!header.empty()) {
        lineEnd = header.find('\n');
        std::string_view line = header.substr(0, lineEnd);
        header.remove_prefix(lineEnd + 1);
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos || space == 0) return false;
        std::string name(line.substr(0, space));
        std::string value(line.substr(space + 1));
        if (name == "size")
            size = value;
        else if (name == "sha256")
            hash = value;
        else
            file.fields.emplace_back(std::move(name), std::move(value));
    }
    std::size_t declared = 0;
    auto [next, ec] = std::from_chars(size.data(), size.data() + size.size(), declared);
    if (size.empty() || ec != std::errc() || next != size.data() + size.size()) return false;
    if (declared != body.size() || hash != HashBytes(body)) return false;
    file.body.assign(body);
    return true;
}

std::string HexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

bool BytesFromHex(std::string_view hex, std::string& bytes) {
    bytes.clear();
    if (hex.size() % 2 != 0) return false;
    auto value = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = value(hex[i]);
        const int low = value(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

int WriteLockedTemporary(const std::string& folder, std::string_view data, mode_t mode, bool durable,
                         std::string& tmpPath, int& err) {
    std::string name = folder + "/" + kSaveTempPrefix + "XXXXXX" + kSaveTempSuffix;
    int fd = ::mkostemps(name.data(), static_cast<int>(std::strlen(kSaveTempSuffix)), O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    tmpPath = name;
    ::flock(fd, LOCK_EX);  // marks the file as in use until it is renamed
    err = 0;
    if (::fchmod(fd, mode) != 0)
        err = errno;
    else if (WriteAllAt(fd, data, 0, err) && durable && ::fsync(fd) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return -1;
    }
    return fd;
}

void SyncFolder(const std::string& folder) {
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

bool ReadOpenFile(int fd, std::size_t maxBytes, std::string& data, int& err) {
    data.clear();
    char buffer[65536];
    for (off_t offset = 0;;) {
        ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) return true;
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
            err = EFBIG;
            return false;
        }
        data.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

}  // namespace sw::model
