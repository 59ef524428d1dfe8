// Recovery copies: written through a locked temporary file renamed over the copy, so the
// lock moves with each new copy and is never off while the window lives.
#include "model/RecoveryCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "model/AtomicFile.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryFile.h"

namespace sw::model {

namespace {

constexpr char kCopyKind[] = "stripwise2 recovery copy 1";
constexpr char kCopyPrefix[] = "window-";
constexpr char kCopySuffix[] = ".recovery";
// A label set and its header; anything larger is not a copy of ours.
constexpr std::size_t kMaxCopyBytes = kMaxLabelSetFileBytes + 64 * 1024;


bool IsCopyName(const char* name) {
    const std::size_t prefix = std::strlen(kCopyPrefix);
    const std::size_t suffix = std::strlen(kCopySuffix);
    const std::size_t length = std::strlen(name);
    return length == prefix + 6 + suffix && std::strncmp(name, kCopyPrefix, prefix) == 0 &&
           std::strcmp(name + prefix + 6, kCopySuffix) == 0;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

RecoveryCopy::RecoveryCopy(std::string folder) : m_folder(std::move(folder)) {}

RecoveryCopy::RecoveryCopy(std::string folder, std::string path, int lock)
    : m_folder(std::move(folder)), m_path(std::move(path)), m_lock(lock) {}

RecoveryCopy::RecoveryCopy(RecoveryCopy&& other) noexcept
    : m_folder(std::move(other.m_folder)), m_path(std::move(other.m_path)), m_lock(other.m_lock) {
    other.m_path.clear();
    other.m_lock = -1;
}

RecoveryCopy& RecoveryCopy::operator=(RecoveryCopy&& other) noexcept {
    if (this != &other) {
        Release();
        m_folder = std::move(other.m_folder);
        m_path = std::move(other.m_path);
        m_lock = other.m_lock;
        other.m_path.clear();
        other.m_lock = -1;
    }
    return *this;
}

RecoveryCopy::~RecoveryCopy() { Release(); }

void RecoveryCopy::Release() {
    if (m_lock >= 0) ::close(m_lock);
    m_lock = -1;
    m_path.clear();
}

void RecoveryCopy::Remove() {
    // Removed while still locked: a program that opened it a moment ago finds the name gone
    // once it holds the lock, and leaves it.
    if (!m_path.empty()) ::unlink(m_path.c_str());
    Release();
}

bool RecoveryCopy::Write(const LabelSet& set, const FileIdentity& file, std::int64_t savedAt,
                         bool durable, std::string& message) {
    if (!MakeRecoveryFolder(m_folder, message)) return false;
    if (m_path.empty()) {
        // The copy's name is reserved and locked first; the copy itself replaces it below.
        RemoveStaleSaveTemporaries(m_folder);
        std::string name = m_folder + "/" + kCopyPrefix + "XXXXXX" + kCopySuffix;
        int fd = ::mkostemps(name.data(), static_cast<int>(std::strlen(kCopySuffix)), O_CLOEXEC);
        if (fd < 0) {
            message = FileFailure(m_folder, "復元用のコピーを作成できません", errno);
            return false;
        }
        ::flock(fd, LOCK_EX);
        m_path = name;
        m_lock = fd;
    }
    FramedFile framed;
    framed.fields = {{"file", HexBytes(file.path)},
                     {"device", std::to_string(file.device)},
                     {"inode", std::to_string(file.inode)},
                     {"filehash", file.hash},
                     {"saved", std::to_string(savedAt)}};
    framed.body = WriteLabelSet(set);
    std::string tmpPath;
    int err = 0;
    int fd = WriteLockedTemporary(m_folder, WriteFramed(kCopyKind, framed), 0600, durable, tmpPath, err);
    if (fd < 0) {
        message = FileFailure(m_path, "復元用のコピーを書き込めません", err);
        return false;
    }
    if (::rename(tmpPath.c_str(), m_path.c_str()) != 0) {
        message = FileFailure(m_path, "復元用のコピーを置き換えられません", errno);
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return false;
    }
    if (durable) SyncFolder(m_folder);
    // The new copy is locked already; the old one, now gone, is let go.
    ::close(m_lock);
    m_lock = fd;
    return true;
}

CopyState ReadRecoveryCopy(std::string_view text, RecoveredDocument& document, std::string& message) {
    if (text.empty()) return CopyState::Empty;
    FramedFile framed;
    std::string path;
    FileIdentity identity;
    std::int64_t savedAt = 0;
    const bool header = ReadFramed(text, kCopyKind, framed) && BytesFromHex(framed.Field("file"), path) &&
                        ParseNumber(framed.Field("device"), identity.device) &&
                        ParseNumber(framed.Field("inode"), identity.inode) &&
                        ParseNumber(framed.Field("saved"), savedAt);
    if (!header) {
        message = "復元用のコピーではないか、壊れています";
        return CopyState::Damaged;
    }
    identity.path = path;
    identity.hash = framed.Field("filehash");
    auto set = std::make_unique<LabelSet>();
    const LoadResult loaded = ReadLabelSet(framed.body, *set);
    if (!loaded.ok || loaded.endedEarly) {
        message = "復元用のコピーの文書が壊れています";
        return CopyState::Damaged;
    }
    document.set = std::move(set);
    document.file = std::move(identity);
    document.savedAt = savedAt;
    return CopyState::Whole;
}

CopyState RecoveryCopy::Read(RecoveredDocument& document, std::string& message) const {
    std::string text;
    int err = 0;
    if (m_lock < 0 || !ReadOpenFile(m_lock, kMaxCopyBytes, text, err)) {
        message = FileFailure(m_path, "復元用のコピーを読み込めません", m_lock < 0 ? EBADF : err);
        return CopyState::Damaged;
    }
    const CopyState state = ReadRecoveryCopy(text, document, message);
    if (state == CopyState::Damaged) message = "\"" + m_path + "\": " + message;
    return state;
}

std::vector<RecoveryCopy> RecoveryCopy::ClaimAbandoned(const std::string& folder) {
    std::vector<std::pair<timespec, RecoveryCopy>> found;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return {};
    while (dirent* entry = ::readdir(dir)) {
        if (!IsCopyName(entry->d_name)) continue;
        const std::string path = folder + "/" + entry->d_name;
        int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        // A live window holds the lock. Once the lock is had, the name must still lead to
        // the file locked: a window that replaced its copy meanwhile holds the new one.
        const bool claimed = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
                             ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::stat(path.c_str(), &named) == 0 &&
                             named.st_dev == held.st_dev && named.st_ino == held.st_ino;
        if (!claimed) {
            ::close(fd);
            continue;
        }
        found.emplace_back(held.st_mtim, RecoveryCopy(folder, path, fd));
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.tv_sec != b.first.tv_sec ? a.first.tv_sec > b.first.tv_sec : a.first.tv_nsec > b.first.tv_nsec;
    });
    std::vector<RecoveryCopy> copies;
    for (auto& [when, copy] : found) copies.push_back(std::move(copy));
    return copies;
}

}  // namespace sw::model
