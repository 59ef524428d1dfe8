// The journal of an in-place save. A file that must be written in place (hard links, an
// owner the program cannot give a new file, a folder that takes no new file) is not whole
// while it is being written; before that the complete new content, with its hash, goes to a
// journal flushed to the disk, and once the file is written the journal goes. A journal that
// is still there when the file is opened next, with a hash the file does not have, tells
// that the save was cut off, and holds what it was about to write.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace sw::model {

// The journal is beside the file (".stripwise2-journal-INODE" in its folder, readable by
// whoever may read the file) when that folder takes a new file, else in the recovery folder.
// `target` is the file itself (links followed) and `st` its status. False with a message
// when it can be written nowhere: then the file must not be written in place.
bool WriteSaveJournal(const std::string& target, const struct stat& st, std::string_view data,
                      std::string& journalPath, std::string& message);

// The file of this inode at `target` was written whole (or replaced): its journals go.
void RemoveSaveJournals(const std::string& target, ino_t inode);

struct InterruptedSave {
    std::string journalPath;
    std::string content;  // what the save was writing, complete
};

// For a file about to be opened: what a save that was cut off while writing it in place was
// about to write. Nothing when no journal is left, or when the file holds the journal's
// content after all (that journal is removed then).
std::optional<InterruptedSave> FindInterruptedSave(const std::string& path, std::size_t maxBytes);

}  // namespace sw::model
