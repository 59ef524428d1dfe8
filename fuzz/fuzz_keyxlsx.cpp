// Fuzzes the .xlsx key-list reader: any bytes (a zip or not) give rows, refusals or a
// failure, never a crash or a hang; every refusal names a row; a failure comes alone; and
// the rows it takes, planned against a label set, change only keys the set has.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "model/KeyXlsx.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<LabelSet> set = [] {
        auto s = std::make_unique<LabelSet>();
        s->Entries[2].ButtonModel = kModel30;
        return s;
    }();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const KeyListRead read = ReadKeyXlsx(bytes);
    if (!read.failure.isEmpty() && (!read.rows.empty() || !read.refusals.empty())) std::abort();
    for (const KeyListRefusal& r : read.refusals)
        if (r.row < 1 || r.reason.isEmpty()) std::abort();
    const KeyTextImport plan = PlanKeyTextImport(*set, read, 0, {});
    for (const KeyTextChange& c : plan.changes)
        if (c.keyIndex > ListedKeyCount(set->Entries[c.entry].ButtonModel)) std::abort();
    return 0;
}
