// The files that stand in for a document until it is safely in its own file: recovery
// copies of open windows and journals of in-place saves. Each is a few named fields and the
// document's bytes with their size and hash, so a damaged one is told from a whole one.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sw::model {

// Where recovery copies are kept: $XDG_STATE_HOME/stripwise2 (an absolute XDG_STATE_HOME
// only), else $HOME/.local/state/stripwise2; empty when neither is known.
std::string RecoveryFolderFor(const std::string& xdgStateHome, const std::string& home);
std::string RecoveryFolder();

// Makes the folder (and its missing parents) private to the user. False with a message
// naming it when it cannot be made, or is not a folder of this user.
bool MakeRecoveryFolder(const std::string& folder, std::string& message);

struct FramedFile {
    std::vector<std::pair<std::string, std::string>> fields;  // values hold no line break
    std::string body;
    // The value of a field; empty when it is not there.
    std::string Field(std::string_view name) const;
};

// "KIND\n", "name value\n" per field, "size N\n", "sha256 H\n", an empty line, the body.
std::string WriteFramed(std::string_view kind, const FramedFile& file);
// False for another kind, a damaged header, or a body whose size or hash is not the one
// the header gives.
bool ReadFramed(std::string_view text, std::string_view kind, FramedFile& file);

// Bytes as lower-case hex digits, for paths in a header (they may hold any byte but NUL).
std::string HexBytes(std::string_view bytes);
bool BytesFromHex(std::string_view hex, std::string& bytes);

// A new file in `folder` holding `data`, named and locked as a save's temporary file until
// it is renamed into place; flushed to the disk when `durable`. The open, locked descriptor,
// or -1 with `err` set (nothing is left behind then).
int WriteLockedTemporary(const std::string& folder, std::string_view data, mode_t mode, bool durable,
                         std::string& tmpPath, int& err);

// Flushes a folder's entries (a rename into it) to the disk.
void SyncFolder(const std::string& folder);

// Reads at most maxBytes from an open file, from its start. False when it holds more.
bool ReadOpenFile(int fd, std::size_t maxBytes, std::string& data, int& err);

}  // namespace sw::model
