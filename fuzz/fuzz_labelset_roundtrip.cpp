// Fuzzes the label-set writer against the reader, one management number at a time:
// whatever the reader accepts, the writer writes all of the entry's lines, and they read
// back to the same lines. (A stray CR inside a value is dropped by the writer, so the first
// read and the second may differ in exactly that.) The entries are kept between runs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/LabelSetFile.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ManagementEntry first;
    static ManagementEntry again;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ReadLabelSetEntry(text, first).ok) return 0;
    const std::string written = WriteLabelSetEntry(first);
    const LoadResult reread = ReadLabelSetEntry(written, again);
    if (!reread.ok || reread.endedEarly) std::abort();
    // Equal entries write the same lines; only a dropped CR makes them differ.
    if (!(again == first) && WriteLabelSetEntry(again) != written) std::abort();
    return 0;
}
