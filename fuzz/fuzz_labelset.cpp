// Fuzzes the label-set reader: whatever it accepts, the writer writes a file that reads
// back to the same file. (A stray CR inside a value is dropped by the writer, so the
// first read and the second may differ in exactly that.)
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "model/LabelSetFile.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto set = std::make_unique<LabelSet>();
    if (!ReadLabelSet(text, *set).ok) return 0;
    std::string written = WriteLabelSet(*set);
    auto again = std::make_unique<LabelSet>();
    if (!ReadLabelSet(written, *again).ok) std::abort();
    if (WriteLabelSet(*again) != written) std::abort();
    return 0;
}
