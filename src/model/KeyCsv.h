// Key texts to and from CSV: one row per key, `entry,face,position,line1,line2`, with the
// position as the grid shows it (01–30; 07–24 under the 18-key model). Quoting follows
// RFC 4180. Only the two lines of a key travel; its format never changes by an import.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

enum class CsvEncoding {
    Utf8,   // written with a byte order mark, so that spreadsheets open it as Japanese
    Cp932,  // the label set's own bytes
};

// How a CSV file is read: a byte order mark means UTF-8; otherwise a file that is valid
// UTF-8 throughout is UTF-8 and anything else CP932. An explicit choice overrides that.
enum class CsvEncodingChoice { Detect, Utf8, Cp932 };

// A key-text file larger than this is refused before it is read (6,000 keys of two long
// lines take a small part of it).
constexpr std::size_t kMaxKeyCsvBytes = std::size_t{16} << 20;

// The header row a written file begins with.
extern const char* const kKeyCsvHeader;

struct KeyCsvWritten {
    std::string data;
    int rows = 0;  // key rows, the header not counted
    // Keys whose stored bytes are not CP932 (from a damaged file), as "01 印刷面1 位置07":
    // in a UTF-8 file their unreadable bytes became U+FFFD, which an import refuses.
    std::vector<QString> unreadable;
};

// One row per key that has text or a format other than the reset one, for each entry in
// `entries` (1..50) in that order, faces 1 to 4, the positions its key model shows.
KeyCsvWritten WriteKeyCsv(const LabelSet& set, const std::vector<int>& entries,
                          CsvEncoding encoding);

// A row the file offers for a key, with its two lines already as CP932 bytes.
struct KeyCsvRow {
    int row = 0;  // 1-based, counted as a spreadsheet counts rows (the header is row 1)
    int entry = 0;
    int face = 0;
    int position = 0;
    Bytes line1;
    Bytes line2;
};

// A row that is not taken, with the reason in the user's words.
struct KeyCsvRefusal {
    int row = 0;
    QString reason;
    bool operator==(const KeyCsvRefusal&) const = default;
};

struct KeyCsvRead {
    CsvEncoding encoding = CsvEncoding::Utf8;
    std::vector<KeyCsvRow> rows;  // well-formed rows, in file order
    std::vector<KeyCsvRefusal> refusals;
};

// Splits the file into rows and checks each on its own: its shape, the three numbers in
// range, and two lines that CP932 can hold, with no line break or control character. Never
// fails as a whole: what is wrong is refused row by row. A first row that does not start
// with a number is a header and skipped; rows with nothing in them are skipped too.
KeyCsvRead ReadKeyCsv(std::string_view data, CsvEncodingChoice choice);

// The fit rule for a key as it would be after the import; an empty text when it fits,
// otherwise why not. It lives with the renderer, so the caller brings it.
using KeyFitCheck = std::function<QString(const KeyLabel& candidate, int face, int position)>;

struct KeyTextChange {
    int row = 0;
    int entry = 0;
    int face = 0;
    int keyIndex = 0;
    Bytes line1;
    Bytes line2;
};

struct KeyTextImport {
    std::vector<KeyTextChange> changes;  // the rows that can be taken
    std::vector<KeyCsvRefusal> refusals;  // every row that cannot, by row number
};

// Checks the rows against the label set: the position must be one the entry's key model
// shows, a key may be named once, `onlyEntry` (1..50, 0 = any) limits the entries, and
// each line must fit its key at the key's font. Refusals of `read` are carried over.
KeyTextImport PlanKeyTextImport(const LabelSet& set, const KeyCsvRead& read, int onlyEntry,
                                const KeyFitCheck& fits);

// Stores the two lines of each change; the formats stay.
void ApplyKeyTexts(LabelSet& set, const std::vector<KeyTextChange>& changes);

// The window's import into the current entry, as one undo step: the entry's keys are
// recorded first, so that undo brings every key back. Changes of other entries are left
// out. Nothing is recorded when no line would change. The window shows the current face.
Refresh ImportKeyTexts(Workspace& ws, const std::vector<KeyTextChange>& changes);

}  // namespace sw::model
