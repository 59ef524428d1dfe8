// Key lists coming back from a spreadsheet or a script: the rows a list offers, and what
// importing them would change, worked out before anything changes.
//
// A list numbers keys as the window does: 01–30 under the 30-key model, 01–18 under the
// 18-key model (key 01 is the one at grid position 07 there). Keys 19–30 of an 18-key entry
// are never shown, so a list neither carries nor fills them.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

// The keys a list carries for an entry of this model: 30 or 18.
int ListedKeyCount(std::int32_t buttonModel);

// A row the file offers for a key, with its two lines already as CP932 bytes.
struct KeyListRow {
    int row = 0;  // 1-based, counted as a spreadsheet counts rows (the header is row 1)
    int entry = 0;
    int face = 0;
    int key = 0;  // as the window numbers it
    Bytes line1;
    Bytes line2;
    // Set when a line was not read as typed text (a number cell of a workbook, say): shown
    // beside the line in the change list when the line changes.
    QString note1;
    QString note2;
};

// A row that is not taken, with the reason in the user's words.
struct KeyListRefusal {
    int row = 0;
    QString reason;
    bool operator==(const KeyListRefusal&) const = default;
};

struct KeyListRead {
    std::vector<KeyListRow> rows;  // well-formed rows, in file order
    std::vector<KeyListRefusal> refusals;
    // Something about the whole file the user should read with the list (empty: nothing).
    QString notice;
    // Why nothing at all could be read from the file (empty: the rows above are the file).
    QString failure;
};

// One cell of a list as read: its text, the file's own CP932 bytes when the file is CP932
// (kept exactly as written), and a note about how the text was read.
struct KeyListCell {
    QString text;
    std::optional<Bytes> cp932;
    QString note;
    QString unreadableAs;  // the encoding the cell's bytes are not valid in, when they are not
};

// The row the cells of one line of a list offer (entry, face, key, line1, line2; the two
// lines may be missing, cells after the fifth must be empty), or the reason it offers none.
std::optional<KeyListRow> KeyListRowOf(int row, const std::vector<KeyListCell>& cells,
                                       QString& reason);

// Whether the first row of a list names the columns: its first cell is not a number.
bool IsKeyListHeader(const std::vector<KeyListCell>& cells);

// What a list with this header row should tell its reader (empty: nothing): the header that
// earlier exports wrote numbered 18-key entries by grid position 07–24.
QString KeyListHeaderNotice(const std::vector<KeyListCell>& cells);

// A key line typed as text, as CP932 bytes; `line` (1 or 2) is for the reason. A line break
// is refused (a key line is one line), and so is a character CP932 cannot hold; any other
// character, a tab included, is kept.
std::optional<Bytes> KeyLineBytes(const QString& text, int line, QString& reason);

// The fit rule for a key as it would be after the import; an empty text when it fits,
// otherwise why not. It lives with the renderer, so the caller brings it. `position` is the
// grid position (07 for key 01 under 18 keys).
using KeyFitCheck = std::function<QString(const KeyLabel& candidate, int face, int position)>;

// One key whose text the import changes. A line that stays keeps its stored bytes.
struct KeyTextChange {
    int row = 0;
    int entry = 0;
    int face = 0;
    int keyIndex = 0;
    Bytes line1;
    Bytes line2;
    Bytes old1;
    Bytes old2;
    // Why the new text looks like a spreadsheet's conversion of the old one (or was read from
    // a number cell); empty when it does not.
    QString suspect;
};

struct KeyTextImport {
    std::vector<KeyTextChange> changes;   // the keys that change, in row order
    int unchanged = 0;                    // rows that name a key and leave its text as it is
    std::vector<KeyListRefusal> refusals;  // every row that cannot be taken, by row number
    int Rows() const { return static_cast<int>(changes.size()) + unchanged + static_cast<int>(refusals.size()); }
    int Suspects() const;
};

// Checks the rows against the label set: the key must be one the entry's model shows, a key
// may be named once, `onlyEntry` (1..50, 0 = any) limits the entries, and a key that changes
// must fit at its font. A row whose lines equal the stored text (as characters: CP932 has
// two codes for some of them) changes nothing. Refusals of `read` are carried over.
KeyTextImport PlanKeyTextImport(const LabelSet& set, const KeyListRead& read, int onlyEntry,
                                const KeyFitCheck& fits);

// Why `after` looks like what a spreadsheet makes of the text `before` when it opens a list
// (leading zeros dropped, a formula's result, a date or time reformatted, a sign or bracket
// gone, a number written another way), or an empty text. Only a hint for the user.
QString SpreadsheetConversion(const QString& before, const QString& after);

// A change as the list shows it: 「印刷面2 / キー 07: 旧「0120」 → 新「120」」, with the
// management number in front when `withEntry`, and the suspicion after it.
QString DescribeKeyChange(const KeyTextChange& change, bool withEntry);

// Stores the two lines of each change; the formats stay.
void ApplyKeyTexts(LabelSet& set, const std::vector<KeyTextChange>& changes);

// The window's import into the current entry, as one undo step: the entry's keys are
// recorded first, so that undo brings every key back. Changes of other entries are left
// out. Nothing is recorded when no line would change. The window shows the current face.
Refresh ImportKeyTexts(Workspace& ws, const std::vector<KeyTextChange>& changes);

}  // namespace sw::model
