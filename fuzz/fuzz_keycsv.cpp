// Fuzzes the key-text CSV reader: any bytes give rows and refusals, never a crash; every
// refusal names a row of the file; every change changes a key; the same file read again
// after the import changes nothing; and the keys, written out again and read back, come back
// as the same lines, nothing refused and nothing changed.
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
        s->Entries[2].ButtonModel = kModel30;  // keys 01–30 there, 01–18 elsewhere
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
        const KeyListRead read = ReadKeyCsv(bytes, choice);
        const KeyTextImport plan = PlanKeyTextImport(set, read, 0, {});
        for (const KeyListRefusal& r : plan.refusals)
            if (r.row < 1 || r.row > lineEnds || r.reason.isEmpty()) std::abort();
        std::set<std::tuple<int, int, int>> keys;
        std::set<int> entries;
        for (const KeyTextChange& c : plan.changes) {
            if (!keys.insert({c.entry, c.face, c.keyIndex}).second) std::abort();
            if (c.line1 == c.old1 && c.line2 == c.old2) std::abort();
            if (DescribeKeyChange(c, true).isEmpty()) std::abort();
            entries.insert(c.entry);
        }
        ApplyKeyTexts(set, plan.changes);
        if (!PlanKeyTextImport(set, read, 0, {}).changes.empty()) std::abort();
        for (CsvEncoding encoding : {CsvEncoding::Cp932, CsvEncoding::Utf8}) {
            const KeyCsvWritten written =
                WriteKeyCsv(set, std::vector<int>(entries.begin(), entries.end()), encoding);
            const CsvEncodingChoice back =
                encoding == CsvEncoding::Cp932 ? CsvEncodingChoice::Cp932 : CsvEncodingChoice::Detect;
            const KeyTextImport again = PlanKeyTextImport(set, ReadKeyCsv(written.data, back), 0, {});
            // A UTF-8 list cannot carry bytes that are not CP932; a CP932 one carries any.
            if (encoding == CsvEncoding::Cp932 || written.unreadable.empty())
                if (!again.refusals.empty() || !again.changes.empty()) std::abort();
        }
        for (const KeyTextChange& c : plan.changes) {
            KeyLabel& key = set.Entries[c.entry].Faces[c.face].Keys[c.keyIndex];
            key.Line1 = c.old1;
            key.Line2 = c.old2;
        }
    }
    return 0;
}
