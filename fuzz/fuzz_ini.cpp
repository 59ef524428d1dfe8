// Fuzzes the settings-file reader and its in-place update.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/IniFile.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::Parse(text);
    (void)ini.Get("Main", "Top");
    (void)ParseIniInt(text.substr(0, 32));
    // Whatever the file held, a key just written reads back, and other keys keep theirs.
    auto captionBefore = ini.Get("Preview", "Caption");
    ini.Set("Main", "Top", "123");
    IniFile reread = IniFile::Parse(ini.Text());
    if (reread.Get("Main", "Top") != std::optional<std::string>("123")) std::abort();
    if (captionBefore && !reread.Get("Preview", "Caption")) std::abort();
    return 0;
}
