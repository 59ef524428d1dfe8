// Reading and updating INI text without disturbing the lines it does not touch.
#include "model/IniFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdint>

#include "model/AtomicFile.h"

namespace sw::model {
namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// "[name]" -> name; anything else -> nullopt.
std::optional<std::string> SectionName(const std::string& line) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

}  // namespace

IniFile IniFile::Parse(const std::string& text) {
    IniFile ini;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        ini.m_lines.emplace_back(text.substr(pos, stop - pos));
        pos = end + 1;
    }
    return ini;
}

IniFile IniFile::Load(const std::string& path) {
    std::string data, message;
    if (!ReadWholeFile(path, data, message, kMaxIniFileBytes)) return IniFile{};
    return Parse(data);
}

bool IniFile::LoadForUpdate(const std::string& path, IniFile& ini) {
    std::string data, message;
    if (ReadWholeFile(path, data, message, kMaxIniFileBytes)) {
        ini = Parse(data);
        return true;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) {
        ini = IniFile{};
        return true;  // the first write creates the file
    }
    return false;
}

IniFile::Found IniFile::Find(const std::string& section, const std::string& key) const {
    Found found;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const std::string& line = m_lines[static_cast<size_t>(i)];
        if (auto name = SectionName(line)) {
            if (inSection) break;  // the first matching section ends here
            if (SameName(*name, section)) {
                inSection = true;
                found.sectionLine = i;
                found.insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        found.insertAt = i + 1;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (SameName(Trim(line.substr(0, eq)), key)) {
            found.keyLine = i;
            return found;
        }
    }
    return found;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
    Found f = Find(section, key);
    if (f.keyLine < 0) return std::nullopt;
    const std::string& line = m_lines[static_cast<size_t>(f.keyLine)];
    std::string value = Trim(line.substr(line.find('=') + 1));
    // A value in matching quotes reads without them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    std::string line = key + "=" + value;
    Found f = Find(section, key);
    if (f.keyLine >= 0) {
        m_lines[static_cast<size_t>(f.keyLine)] = line;
    } else if (f.sectionLine >= 0) {
        m_lines.insert(m_lines.begin() + f.insertAt, line);
    } else {
        // A new section is separated from what stands before it by an empty line.
        if (!m_lines.empty() && !Trim(m_lines.back()).empty()) m_lines.emplace_back();
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(line);
    }
}

std::string IniFile::Text() const {
    std::string out;
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<int> ParseIniInt(const std::string& text) {
    std::string t = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size()) return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
        magnitude = magnitude * 10 + (t[i] - '0');
        if (magnitude > static_cast<std::int64_t>(INT_MAX) + 1) return std::nullopt;
    }
    std::int64_t v = negative ? -magnitude : magnitude;
    if (v > INT_MAX || v < INT_MIN) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    return IniFile::Load(path).Get(section, key);
}

int ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
               int defaultValue) {
    auto value = ReadIniValue(path, section, key);
    if (!value) return defaultValue;
    return ParseIniInt(*value).value_or(defaultValue);
}

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
    return ReadIniValue(path, section, key).value_or(defaultValue);
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    // A line break in a value would become a line of its own.
    std::string clean;
    for (char c : value)
        if (c != '\r' && c != '\n') clean += c;
    IniFile ini;
    if (!IniFile::LoadForUpdate(path, ini)) return false;
    ini.Set(section, key, clean);
    return WriteIniText(path, ini);
}

bool WriteIniText(const std::string& path, const IniFile& ini) {
    return WriteFileAtomically(path, ini.Text()).ok;
}

bool WriteIniInt(const std::string& path, const std::string& section, const std::string& key,
                 int value) {
    return WriteIniString(path, section, key, std::to_string(value));
}

}  // namespace sw::model
