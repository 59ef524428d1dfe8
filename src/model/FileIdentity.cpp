// File identities: device, inode and a hash of the bytes.
#include "model/FileIdentity.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <cerrno>
#include <utility>

#include "model/AtomicFile.h"

namespace sw::model {

std::string HashBytes(std::string_view bytes) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

FileIdentity IdentifyFile(const std::string& path, std::string_view bytes) {
    FileIdentity identity;
    identity.path = path;
    identity.hash = HashBytes(bytes);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        identity.device = st.st_dev;
        identity.inode = st.st_ino;
    }
    return identity;
}

DiskState CompareWithDisk(const FileIdentity& identity, std::size_t maxBytes, std::string* diskHash) {
    if (diskHash != nullptr) diskHash->clear();
    if (!identity.known()) return DiskState::Unchanged;
    struct stat st {};
    if (::stat(identity.path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskState::Missing : DiskState::Unreadable;
    // Larger than any file of ours: something else has been written there.
    if (static_cast<std::size_t>(st.st_size) > maxBytes) return DiskState::Changed;
    std::string data;
    std::string message;
    if (!ReadWholeFile(identity.path, data, message, maxBytes)) return DiskState::Unreadable;
    std::string hash = HashBytes(data);
    const DiskState state = hash == identity.hash ? DiskState::Unchanged : DiskState::Changed;
    if (diskHash != nullptr) *diskHash = std::move(hash);
    return state;
}

std::optional<FileKey> FileKeyOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileKey{st.st_dev, st.st_ino};
}

bool SameFileOnDisk(const std::string& a, const std::string& b) {
    const std::optional<FileKey> first = FileKeyOf(a);
    return first && first == FileKeyOf(b);
}

}  // namespace sw::model
