// A window's recovery copy: the whole document as the screen shows it, with the file it
// belongs to, kept in the recovery folder while there are changes that no file holds. A
// lock held on the copy says that its window is alive; a copy whose lock is free was left
// by a window that ended without saving, and is offered at the next start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/FileIdentity.h"
#include "model/LabelSet.h"

namespace sw::model {

struct RecoveredDocument {
    std::unique_ptr<LabelSet> set;
    FileIdentity file;         // the file the document belongs to; none for a new document
    std::int64_t savedAt = 0;  // when the copy was written, seconds since 1970 (UTC)
};

enum class CopyState {
    Whole,    // read completely
    Empty,    // a name reserved by a window that ended before its first copy: nothing in it
    Damaged,  // not readable as a copy; the message says why
};

// What the bytes of a recovery copy hold.
CopyState ReadRecoveryCopy(std::string_view text, RecoveredDocument& document, std::string& message);

class RecoveryCopy {
public:
    // A window's copy in `folder`; nothing is written until the first Write.
    explicit RecoveryCopy(std::string folder);
    RecoveryCopy(RecoveryCopy&& other) noexcept;
    RecoveryCopy& operator=(RecoveryCopy&& other) noexcept;
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;
    // Lets go of the lock and keeps the file: what it holds is offered at the next start.
    ~RecoveryCopy();

    // Replaces the copy with this document, all or nothing; `durable` flushes it to the
    // disk (for an ending session). False with a message naming the file on failure, when
    // the previous copy, if any, stays.
    bool Write(const LabelSet& set, const FileIdentity& file, std::int64_t savedAt, bool durable,
               std::string& message);
    // Nothing is unsaved any more: the copy goes.
    void Remove();
    // Lets go of the copy without removing it (for a window that is ending).
    void Release();

    bool exists() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    const std::string& folder() const { return m_folder; }

    // What a claimed copy holds.
    CopyState Read(RecoveredDocument& document, std::string& message) const;

    // The copies in `folder` whose windows have gone, newest first, each claimed (locked)
    // for as long as its object lives, so that no other program takes it meanwhile. A copy
    // that a running window holds is never among them.
    static std::vector<RecoveryCopy> ClaimAbandoned(const std::string& folder);

private:
    RecoveryCopy(std::string folder, std::string path, int lock);

    std::string m_folder;
    std::string m_path;
    int m_lock = -1;  // holds the lock on the file at m_path
};

}  // namespace sw::model
