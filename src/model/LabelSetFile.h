// The label-set file: 54,900 CR LF lines, one value a line, in a fixed order.
#pragma once

#include <memory>
#include <string>

#include "model/FileIdentity.h"
#include "model/LabelSet.h"

namespace sw::model {

constexpr int kLinesPerKey = 9;
constexpr int kLinesPerFace = 4 + kKeyCount * kLinesPerKey;     // 274
constexpr int kLinesPerEntry = 2 + kFaceCount * kLinesPerFace;  // 1,098
constexpr int kLinesPerFile = kEntryCount * kLinesPerEntry;     // 54,900

// A label-set file larger than this is refused before it is read.
constexpr std::size_t kMaxLabelSetFileBytes = 64u * 1024 * 1024;

// The words that stand for Alignment and Layout in the file.
extern const char* const kAlignmentWords[3];
extern const char* const kLayoutWords[3];

std::string WriteLabelSet(const LabelSet& set);

struct ReadError {
    int line = 0;          // 1-based line of the file where reading stopped; 0 = the file itself
    std::string message;   // UTF-8
};

struct LoadResult {
    bool ok = true;
    ReadError error;
    // The file ran out before its last value: what was missing took the reset values.
    bool endedEarly = false;
    int linesRead = 0;  // lines the file holds (a last line without CR LF counts)
};

// Reads the whole text into a fresh label set (reset values first). On error, set holds
// the reset values plus what was read before the bad line; callers that must not lose
// their document read into a spare set.
LoadResult ReadLabelSet(std::string_view text, LabelSet& set);

// One management number's 1,098 lines, read and written exactly as ReadLabelSet and
// WriteLabelSet treat each entry of the file (reset values first; what a text that ran out
// did not hold reads as empty or zero). Lines after the entry's last value are not read.
LoadResult ReadLabelSetEntry(std::string_view text, ManagementEntry& entry);
std::string WriteLabelSetEntry(const ManagementEntry& entry);

// Whole-file operations for the commands and the companion tool. LoadLabelSetFile
// leaves `set` untouched unless the whole file was read.
// `identity`, when given, receives the identity of the file with the bytes read (on
// success only).
LoadResult LoadLabelSetFile(const std::string& path, LabelSet& set, FileIdentity* identity = nullptr);
struct SaveResult {
    bool ok = true;
    std::string message;
};
// `identity`, when given, receives the identity of the saved file (on success only).
SaveResult SaveLabelSetFile(const std::string& path, const LabelSet& set, FileIdentity* identity = nullptr);

// Message text of the non-integer error, as the user sees it.
extern const char* const kNotANumberMessage;

// The file name part of a path for the window title: what follows the last "/" (":" and
// "\" are ordinary characters of a file name here).
std::string TitleFileName(const std::string& path);

}  // namespace sw::model
