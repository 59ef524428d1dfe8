// Fuzzes the label-set reader alone, one management number at a time, over one entry kept
// between runs. (The whole file is 50 such entries read by the same code; reading all of
// them, and writing, cost milliseconds per run whatever the input.) What the text does not
// hold must not keep what the run before left there. The write-and-read-back check is
// fuzz_labelset_roundtrip.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/LabelSetFile.h"

using namespace sw::model;

namespace {

int LineCount(std::string_view text) {
    int lines = 0;
    for (char c : text)
        if (c == '\n') ++lines;
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ManagementEntry entry;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LoadResult result = ReadLabelSetEntry(text, entry);
    const int lines = LineCount(text);
    // Every value takes at least one line, so a text shorter than the entry without its
    // last key's nine lines never reached that key: it holds the reset values after an
    // error, and the values of a text that ran out (empty texts, zero numbers) otherwise.
    const KeyLabel& last = entry.Faces[kFaceCount].Keys[kKeyCount];
    const bool reachedLastKey = lines > kLinesPerEntry - kLinesPerKey;
    if (!result.ok) {
        if (result.error.message.empty()) std::abort();
        if (result.error.line < 1 || result.error.line > lines) std::abort();
        if (!reachedLastKey && !(last == KeyLabel{})) std::abort();
        return 0;
    }
    if (lines < kLinesPerEntry && !result.endedEarly) std::abort();
    if (result.endedEarly && result.linesRead != lines) std::abort();
    if (!reachedLastKey) {
        KeyLabel ranOut = ZeroKeyLabel();
        ranOut.Alignment = kAlignCenter;  // a word not found keeps the reset value
        ranOut.Layout = kLayoutMiddle;
        if (!(last == ranOut)) std::abort();
    }
    return 0;
}
