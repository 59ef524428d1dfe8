// Which management numbers a print or the preview covers: the current one, every one in use,
// or a from–to range.
#pragma once

#include <QString>
#include <vector>

#include "model/LabelSet.h"

namespace sw::model {

// A management number is in use when it has a name or a key text on a position its key model
// prints.
bool EntryIsUsed(const ManagementEntry& entry);

// The management numbers in use, in number order.
std::vector<int> UsedEntries(const LabelSet& set);

enum class PrintScope { Current, AllUsed, Range };

struct PrintChoice {
    PrintScope scope = PrintScope::Current;
    int current = 1;          // the management number shown when the choice was made
    int from = 1;             // the range, both ends included
    int to = kEntryCount;
    bool operator==(const PrintChoice&) const = default;
};

// The management numbers to print, in number order, one sheet each. The range is clamped to
// 1..50 and takes every number in it, used or not; a range whose start lies after its end is
// refused. Nothing to print comes with the message that says why.
struct EntriesToPrintResult {
    std::vector<int> entries;
    QString refusal;  // empty when there is something to print
};
EntriesToPrintResult EntriesToPrint(const LabelSet& set, const PrintChoice& choice);

// What the preview pages through: the used management numbers plus `current` when it is not
// used, in number order.
std::vector<int> PreviewEntries(const LabelSet& set, int current);

}  // namespace sw::model
