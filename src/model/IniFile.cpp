// Reading and updating INI text without disturbing the lines it does not touch.
#include "model/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <thread>

#include "model/AtomicFile.h"

namespace sw::model {
namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool SameName(const std::string& a, const std::string& b) { return a.size() == b.size() && Lower(a) == Lower(b); }

// "[name]" -> name; anything else -> nullopt.
std::optional<std::string> SectionName(const std::string& line) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

std::string SeenName(const std::string& section, const std::string& key) {
    return Lower(section) + "\n" + Lower(key);
}

// An exclusive lock on the settings file while it is read, changed and replaced. The file
// is replaced by a rename, so a lock taken on the file that was there is checked to still be
// on the file the path names; a missing file is created empty to be locked (the write that
// follows fills it). Without a lock in time (a hung program, a file system without locks)
// the update goes ahead: it is still one atomic replacement of the file.
class IniFileLock {
public:
    explicit IniFileLock(const std::string& path) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (Clock::now() < deadline) {
            struct stat named {};
            if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) return;
            m_fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
            if (m_fd < 0) return;
            struct stat locked {};
            if (::fstat(m_fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
                Release();
                return;
            }
            while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
                if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) {
                    Release();
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (::stat(path.c_str(), &named) == 0 && named.st_dev == locked.st_dev &&
                named.st_ino == locked.st_ino)
                return;  // locked, and still the file of that name
            Release();   // replaced meanwhile: lock the new one
        }
    }
    ~IniFileLock() { Release(); }
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;

private:
    void Release() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    int m_fd = -1;
};

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

bool UpdateIniFile(const std::string& path, const std::function<void(IniFile&)>& update) {
    IniFileLock lock(path);
    IniFile ini;
    if (!IniFile::LoadForUpdate(path, ini)) return false;
    update(ini);
    return WriteIniText(path, ini);
}

void NoteIniSeen(IniSeen& seen, const std::string& section, const std::string& key,
                 const std::string& value) {
    seen[SeenName(section, key)] = value;
}

bool WriteIniValues(const std::string& path, const std::vector<IniValue>& values, IniSeen* seen) {
    // A line break in a value would become a line of its own.
    std::vector<IniValue> clean = values;
    for (IniValue& v : clean) std::erase_if(v.value, [](char c) { return c == '\r' || c == '\n'; });
    const bool written = UpdateIniFile(path, [&](IniFile& ini) {
        for (const IniValue& v : clean) {
            if (seen) {
                auto was = seen->find(SeenName(v.section, v.key));
                if (was != seen->end() && was->second == v.value && ini.Get(v.section, v.key)) continue;
            }
            ini.Set(v.section, v.key, v.value);
        }
    });
    if (written && seen)
        for (const IniValue& v : clean) NoteIniSeen(*seen, v.section, v.key, v.value);
    return written;
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    return WriteIniValues(path, {{section, key, value}}, nullptr);
}

bool WriteIniText(const std::string& path, const IniFile& ini) {
    return WriteFileAtomically(path, ini.Text()).ok;
}

bool WriteIniInt(const std::string& path, const std::string& section, const std::string& key,
                 int value) {
    return WriteIniString(path, section, key, std::to_string(value));
}

}  // namespace sw::model
