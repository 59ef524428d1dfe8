// Journals of in-place saves: written whole (through a renamed temporary file) and flushed
// before the file is touched, found again by the file's inode or its path.
#include "model/RecoveryJournal.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "model/AtomicFile.h"
#include "model/FileIdentity.h"
#include "model/RecoveryFile.h"

namespace sw::model {

namespace {

constexpr char kJournalKind[] = "stripwise2 save journal 1";

std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// Beside the file: one journal per file, whichever of its names it was saved under.
std::string BesideName(const std::string& real, ino_t inode) {
    return FolderOf(real) + "/.stripwise2-journal-" + std::to_string(inode);
}

// In the recovery folder: named after the file's path.
std::string FallbackName(const std::string& folder, const std::string& real) {
    return folder + "/journal-" + HashBytes(real).substr(0, 32);
}

// Puts the journal text under `name` in `folder`, complete and flushed, or nothing.
bool PlaceJournal(const std::string& folder, const std::string& name, const std::string& text, mode_t mode,
                  gid_t group, int& err) {
    std::string tmpPath;
    int fd = WriteLockedTemporary(folder, text, mode, true, tmpPath, err);
    if (fd < 0) return false;
    // Readable by the file's group where the user may give it (a shared folder).
    if (::fchown(fd, static_cast<uid_t>(-1), group) == 0) ::fchmod(fd, mode);
    if (::rename(tmpPath.c_str(), name.c_str()) != 0) {
        err = errno;
        ::close(fd);
        ::unlink(tmpPath.c_str());
        return false;
    }
    ::close(fd);
    SyncFolder(folder);
    return true;
}

}  // namespace

bool WriteSaveJournal(const std::string& target, const struct stat& st, std::string_view data,
                      std::string& journalPath, std::string& message) {
    const std::string real = RealPath(target);
    FramedFile journal;
    journal.fields = {{"path", HexBytes(real)}, {"inode", std::to_string(st.st_ino)}};
    journal.body.assign(data);
    const std::string text = WriteFramed(kJournalKind, journal);
    int err = 0;
    const std::string beside = BesideName(real, st.st_ino);
    if (PlaceJournal(FolderOf(real), beside, text, (st.st_mode & 0666) | 0600, st.st_gid, err)) {
        journalPath = beside;
        return true;
    }
    const std::string folder = RecoveryFolder();
    if (!MakeRecoveryFolder(folder, message)) return false;
    const std::string fallback = FallbackName(folder, real);
    if (!PlaceJournal(folder, fallback, text, 0600, ::getegid(), err)) {
        message = "\"" + fallback + "\": " + std::strerror(err);
        return false;
    }
    journalPath = fallback;
    return true;
}

void RemoveSaveJournals(const std::string& target, ino_t inode) {
    const std::string real = RealPath(target);
    ::unlink(BesideName(real, inode).c_str());
    if (const std::string folder = RecoveryFolder(); !folder.empty())
        ::unlink(FallbackName(folder, real).c_str());
}

std::optional<InterruptedSave> FindInterruptedSave(const std::string& path, std::size_t maxBytes) {
    const std::string real = RealPath(path);
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const std::string folder = RecoveryFolder();
    const std::string candidates[] = {BesideName(real, st.st_ino),
                                      folder.empty() ? std::string() : FallbackName(folder, real)};
    for (const std::string& candidate : candidates) {
        if (candidate.empty()) continue;
        std::string text;
        std::string message;
        FramedFile journal;
        if (!ReadWholeFile(candidate, text, message, maxBytes + 64 * 1024) ||
            !ReadFramed(text, kJournalKind, journal) || journal.Field("inode") != std::to_string(st.st_ino))
            continue;
        std::string journalFile;
        if (candidate != candidates[0] && (!BytesFromHex(journal.Field("path"), journalFile) || journalFile != real))
            continue;
        std::string now;
        if (ReadWholeFile(real, now, message, maxBytes) && now == journal.body) {
            // The save finished; only the journal's removal was cut off.
            ::unlink(candidate.c_str());
            continue;
        }
        return InterruptedSave{candidate, std::move(journal.body)};
    }
    return std::nullopt;
}

}  // namespace sw::model
