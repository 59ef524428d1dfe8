// A settings file in the INI text format, kept as CP932 bytes with CR LF lines.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sw::model {

// A settings file larger than this reads as empty: every key takes its default.
constexpr std::size_t kMaxIniFileBytes = 4u * 1024 * 1024;

class IniFile {
public:
    // A missing or unreadable file reads as empty.
    static IniFile Load(const std::string& path);
    // For an update: false when the file exists but cannot be read whole (too large, not a
    // regular file, no permission), so that a write never replaces what it could not read.
    static bool LoadForUpdate(const std::string& path, IniFile& ini);
    static IniFile Parse(const std::string& text);

    // Section and key names are compared without regard to ASCII case. The first
    // matching section and key win.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;

    // Replaces the value of the key in place, or adds the key at the end of its section,
    // or adds the section at the end of the file. Every other line stays as it was.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    std::string Text() const;

private:
    struct Found {
        int sectionLine = -1;  // line of "[section]", -1 when absent
        int keyLine = -1;      // line of "key=value", -1 when absent
        int insertAt = -1;     // where a new key of that section goes
    };
    Found Find(const std::string& section, const std::string& key) const;

    std::vector<std::string> m_lines;
};

// One key read or written straight through the file, as the windows do.
std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key);
int ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
               int defaultValue);
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue);
// Reads the file, lets `update` change it and writes it back at once and atomically, while
// holding a lock on the file that the updates of other windows and programs wait for (up to
// a few seconds, then this one goes ahead without it). False when the file could not be read
// whole or written; nothing is written then.
bool UpdateIniFile(const std::string& path, const std::function<void(IniFile&)>& update);

// What one program last read from or wrote to its settings file: the value each key had for
// it ("section\nkey" in lower case). The base against which it tells its own changes.
using IniSeen = std::map<std::string, std::string>;
void NoteIniSeen(IniSeen& seen, const std::string& section, const std::string& key,
                 const std::string& value);

struct IniValue {
    std::string section;
    std::string key;
    std::string value;
};

// One window's write, in one update: with `seen`, a value that has not changed since it was
// read or written leaves the file's own value alone (another window may have written it
// since), unless the file lacks the key; every other value is written, and `seen` learns
// what was written. Without `seen` every value is written.
bool WriteIniValues(const std::string& path, const std::vector<IniValue>& values, IniSeen* seen);

// Updates the file at once and atomically; false when it could not be written.
bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);
// Writes the whole file at once and atomically.
bool WriteIniText(const std::string& path, const IniFile& ini);
bool WriteIniInt(const std::string& path, const std::string& section, const std::string& key,
                 int value);

// "12" -> 12; anything that is not a whole decimal 32-bit integer -> nullopt.
std::optional<int> ParseIniInt(const std::string& text);

}  // namespace sw::model
