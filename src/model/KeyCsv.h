// Key texts to and from CSV: one row per key, `entry,face,key,line1,line2`, the key numbered
// as the window shows it (01–30; 01–18 under the 18-key model). Quoting follows RFC 4180.
// Only the two lines of a key travel; its format never changes by an import.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/KeyChanges.h"

namespace sw::model {

enum class CsvEncoding {
    Utf8,   // written with a byte order mark, so that spreadsheets open it as Japanese
    Cp932,  // the label set's own bytes
};

// How a CSV file is read: a byte order mark means UTF-8 (or UTF-16, as a spreadsheet's
// "Unicode text" is written); otherwise a file that is valid UTF-8 throughout is UTF-8 and
// anything else CP932. An explicit choice overrides that.
enum class CsvEncodingChoice { Detect, Utf8, Cp932 };

// A key-text file larger than this is refused before it is read (6,000 keys of two long
// lines take a small part of it).
constexpr std::size_t kMaxKeyCsvBytes = std::size_t{16} << 20;

// The header row a written file begins with.
extern const char* const kKeyCsvHeader;

struct KeyCsvWritten {
    std::string data;
    int rows = 0;  // key rows, the header not counted
    // Keys whose stored bytes are not CP932 (from a damaged file), as "01 印刷面1 キー07":
    // in a UTF-8 file their unreadable bytes became U+FFFD, which an import refuses.
    std::vector<QString> unreadable;
};

// Which keys a list holds: every key the entry's model shows, so that the list can be filled
// in, or only those with text or a format of their own.
enum class KeyListScope { AllKeys, OnlyUsed };

// Calls `visit(entry, face, key, label)` for every key a list of `entries` holds, in the
// order the CSV and the workbook write them: entries as given (1..50), faces 1 to 4, keys in
// the window's numbering.
void ForEachListedKey(const LabelSet& set, const std::vector<int>& entries, KeyListScope scope,
                      const std::function<void(int entry, int face, int key, const KeyLabel& label)>& visit);
// A key as messages name it: "01 印刷面2 キー05".
QString ListedKeyName(int entry, int face, int key);

// One row per key for each entry in `entries` (1..50) in that order, faces 1 to 4, keys in
// the window's numbering.
KeyCsvWritten WriteKeyCsv(const LabelSet& set, const std::vector<int>& entries,
                          CsvEncoding encoding, KeyListScope scope = KeyListScope::AllKeys);

// Splits the file into rows and checks each on its own: its shape, the three numbers in
// range, and two lines that CP932 can hold, with no line break. Fields are separated by
// commas, or by tabs when the first row has more of them. What is wrong is refused row by row;
// a first row that does not start with a number is a header and skipped, and rows with
// nothing in them are skipped too. Only a UTF-16 file that is not UTF-16 throughout fails as
// a whole (`failure`).
KeyListRead ReadKeyCsv(std::string_view data, CsvEncodingChoice choice);

}  // namespace sw::model
