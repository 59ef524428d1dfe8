// Replacing a file so that a failure at any point leaves the previous file as it was.
#pragma once

#include <string>
#include <string_view>

namespace sw::model {

struct WriteResult {
    bool ok = true;
    std::string message;  // UTF-8, names the file and the failure
};

// Writes data to a temporary file beside path, flushes it to the disk and renames it over
// path. On failure the temporary file is removed and path is left untouched.
WriteResult WriteFileAtomically(const std::string& path, std::string_view data);

// Reads a whole regular file. Returns false with a message naming the file on failure.
bool ReadWholeFile(const std::string& path, std::string& data, std::string& message,
                   std::size_t maxBytes);

}  // namespace sw::model
