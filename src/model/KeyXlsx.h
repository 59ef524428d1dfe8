// Key lists as Excel workbooks (.xlsx), the form to edit in a spreadsheet: the two line
// columns are formatted as text, so that a spreadsheet keeps `007`, `=1+1` and `1/2` as
// typed. Same columns and numbering as the CSV list (model/KeyCsv.h).
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/KeyChanges.h"
#include "model/KeyCsv.h"

namespace sw::model {

// A workbook larger than this is refused before it is read, and one that would unpack to
// more than kMaxXlsxUnpackedBytes is refused while it is read (a zip bomb).
constexpr std::size_t kMaxKeyXlsxBytes = std::size_t{16} << 20;
constexpr std::size_t kMaxXlsxUnpackedBytes = std::size_t{64} << 20;

// A zip file, which is what an .xlsx is (a CSV never starts so).
bool LooksLikeXlsx(std::string_view data);

struct KeyXlsxWritten {
    std::string data;   // the workbook's bytes; empty when it could not be made
    QString failure;    // why not
    int rows = 0;       // key rows, the header not counted
    std::vector<QString> unreadable;  // as KeyCsvWritten::unreadable
};

// One sheet: a header row, then a row per key as WriteKeyCsv writes them. Entry, face and key
// are numbers; line1 and line2 are text cells in columns formatted as text ("@"). The header
// row is frozen and the columns are as wide as their texts.
KeyXlsxWritten WriteKeyXlsx(const LabelSet& set, const std::vector<int>& entries,
                            KeyListScope scope = KeyListScope::AllKeys);

// The first sheet of a workbook as a key list. Text cells (shared or inline) are read exactly;
// a number cell in General format is read as its shortest decimal text and a date or time
// format (built-in 14–22) as the spreadsheet shows it, both noted for the change list; a
// number cell in any other format, an error value, is refused with its row. A file that is
// not a workbook, or that unpacks to too much, fails as a whole (`failure`).
KeyListRead ReadKeyXlsx(std::string_view data);

// A key list in either form, told apart by its bytes: a workbook, else CSV read by `choice`.
KeyListRead ReadKeyList(std::string_view data, CsvEncodingChoice choice);

}  // namespace sw::model
