// Fuzzes the key-text CSV reader: any bytes give rows and refusals, never a crash; every
// refusal names a row of the file; and the rows taken, written out again and read back,
// come back as the same lines with nothing refused.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "model/KeyCsv.h"

using namespace sw::model;

namespace {

LabelSet& Set() {
    static const std::unique_ptr<LabelSet> set = [] {
        auto s = std::make_unique<LabelSet>();
        s->Entries[2].ButtonModel = kModel30;  // 01–30 there, 07–24 elsewhere
        return s;
    }();
    return *set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    int lineEnds = 1;
    for (char c : bytes) lineEnds += c == '\n' || c == '\r';
    LabelSet& set = Set();
    for (CsvEncodingChoice choice :
         {CsvEncodingChoice::Detect, CsvEncodingChoice::Utf8, CsvEncodingChoice::Cp932}) {
        const KeyTextImport plan = PlanKeyTextImport(set, ReadKeyCsv(bytes, choice), 0, {});
        for (const KeyCsvRefusal& r : plan.refusals)
            if (r.row < 1 || r.row > lineEnds || r.reason.isEmpty()) std::abort();
        std::set<std::tuple<int, int, int>> keys;
        std::set<int> entries;
        for (const KeyTextChange& c : plan.changes) {
            if (!keys.insert({c.entry, c.face, c.keyIndex}).second) std::abort();
            entries.insert(c.entry);
        }
        ApplyKeyTexts(set, plan.changes);
        const KeyCsvWritten written =
            WriteKeyCsv(set, std::vector<int>(entries.begin(), entries.end()), CsvEncoding::Cp932);
        const KeyTextImport again =
            PlanKeyTextImport(set, ReadKeyCsv(written.data, CsvEncodingChoice::Cp932), 0, {});
        if (!again.refusals.empty()) std::abort();
        for (const KeyTextChange& c : plan.changes) {
            KeyLabel& key = set.Entries[c.entry].Faces[c.face].Keys[c.keyIndex];
            bool found = false;
            for (const KeyTextChange& d : again.changes)
                found = found || (d.entry == c.entry && d.face == c.face && d.keyIndex == c.keyIndex &&
                                  d.line1 == key.Line1 && d.line2 == key.Line2);
            if (!found && !(key.Line1.empty() && key.Line2.empty())) std::abort();
            key.Line1.clear();
            key.Line2.clear();
        }
    }
    return 0;
}
