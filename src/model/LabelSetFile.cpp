// Writer and reader of the label-set file. They agree field by field.
#include "model/LabelSetFile.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <cstdint>

#include "model/AtomicFile.h"

namespace sw::model {

const char* const kAlignmentWords[3] = {"taLeftJustify", "taRightJustify", "taCenter"};
const char* const kLayoutWords[3] = {"tlTop", "tlCenter", "tlBottom"};
const char* const kNotANumberMessage = "入力値が数値ではありません";

namespace {

class Writer {
public:
    explicit Writer(std::string& out) : m_out(out) {}

    // A value never carries a line break into the file: one would shift every later line.
    void String(const Bytes& value) {
        if (std::memchr(value.data(), '\n', value.size()) == nullptr &&
            std::memchr(value.data(), '\r', value.size()) == nullptr) {
            m_out.append(value);
        } else {
            for (char c : value)
                if (c != '\r' && c != '\n') m_out += c;
        }
        m_out.append("\r\n", 2);
    }
    // Colours are written as the signed 32-bit value, so that every colour reads back.
    void Colour(ColorRef value) { Integer(static_cast<std::int32_t>(value)); }
    void Integer(std::int32_t value) {
        char buffer[24];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        (void)ec;
        m_out.append(buffer, end);
        m_out.append("\r\n", 2);
    }
    // A value outside the table cannot come from the editor or the reader; write the
    // word of the reset value, which is what such a value would read back as anyway.
    void Word(std::uint8_t value, const char* const words[3], std::uint8_t resetValue) {
        m_out += words[value < 3 ? value : resetValue];
        m_out.append("\r\n", 2);
    }

private:
    std::string& m_out;
};

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    Bytes String() {
        if (m_pos >= m_text.size()) m_ranOut = true;
        size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos) end = m_text.size();
        size_t stop = end;
        if (stop > m_pos && m_text[stop - 1] == '\r') --stop;
        Bytes value(m_text.substr(m_pos, stop - m_pos));
        if (end < m_text.size()) {
            m_pos = end + 1;
            ++m_line;
        } else {
            m_pos = end;
        }
        return value;
    }

    // Blanks, control characters and line ends before the number are skipped; the number
    // runs to the next blank or control character; the rest of its line is skipped.
    bool Integer(std::int32_t& value) {
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) <= 0x20) {
            if (m_text[m_pos] == '\n') ++m_line;
            ++m_pos;
        }
        if (m_pos >= m_text.size()) {
            m_ranOut = true;
            value = 0;  // missing at the end of the file
            return true;
        }
        size_t start = m_pos;
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) > 0x20) ++m_pos;
        std::string_view token = m_text.substr(start, m_pos - start);
        if (!ParseDecimal(token, value)) return false;
        size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos) {
            m_pos = m_text.size();
        } else {
            m_pos = end + 1;
            ++m_line;
        }
        return true;
    }

    int line() const { return m_line; }
    bool ranOut() const { return m_ranOut; }

private:
    static bool ParseDecimal(std::string_view token, std::int32_t& value) {
        bool negative = false;
        size_t i = 0;
        if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
            negative = token[0] == '-';
            i = 1;
        }
        if (i == token.size()) return false;
        std::int64_t magnitude = 0;
        for (; i < token.size(); ++i) {
            char c = token[i];
            if (c < '0' || c > '9') return false;
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > static_cast<std::int64_t>(INT32_MAX) + 1) return false;
        }
        std::int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT32_MAX || signedValue < INT32_MIN) return false;
        value = static_cast<std::int32_t>(signedValue);
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 1;
    bool m_ranOut = false;
};

int LinesIn(std::string_view text) {
    size_t breaks = 0;
    for (char c : text)
        if (c == '\n') ++breaks;
    if (!text.empty() && text.back() != '\n') ++breaks;
    return static_cast<int>(breaks);
}

void ReadWord(Reader& reader, std::uint8_t& field, const char* const words[3]) {
    Bytes line = reader.String();
    for (std::uint8_t i = 0; i < 3; ++i)
        if (line == words[i]) field = i;
}

void WriteEntry(Writer& w, const ManagementEntry& entry) {
    w.String(entry.Name);
    w.Integer(entry.ButtonModel);
    for (const PrintFace& face : entry.Faces) {
        w.String(face.PictureFile);
        w.Integer(face.PictureLayout);
        w.Integer(face.BackgroundMode);
        w.Colour(face.BackgroundColor);
        for (const KeyLabel& key : face.Keys) {
            w.Word(key.Alignment, kAlignmentWords, kAlignCenter);
            w.Word(key.Layout, kLayoutWords, kLayoutMiddle);
            w.String(key.Line1);
            w.String(key.Line2);
            w.Colour(key.BackColor);
            w.Colour(key.FontColor);
            w.String(key.FontName);
            w.Integer(key.FontStyle);
            w.Integer(key.FontSize);
        }
    }
}

// Reads one entry's lines; false (with result.error set) on a value that is no number.
bool ReadEntry(Reader& r, ManagementEntry& entry, LoadResult& result) {
    auto integer = [&](std::int32_t& field) {
        std::int32_t value = 0;
        if (!r.Integer(value)) {
            result.ok = false;
            result.error = {r.line(), kNotANumberMessage};
            return false;
        }
        field = value;
        return true;
    };
    // Colours are stored as the 32-bit value read, bit for bit.
    auto colour = [&](ColorRef& field) {
        std::int32_t value = 0;
        if (!integer(value)) return false;
        field = static_cast<ColorRef>(value);
        return true;
    };
    entry.Name = r.String();
    if (!integer(entry.ButtonModel)) return false;
    for (PrintFace& face : entry.Faces) {
        face.PictureFile = r.String();
        if (!integer(face.PictureLayout) || !integer(face.BackgroundMode) ||
            !colour(face.BackgroundColor))
            return false;
        for (KeyLabel& key : face.Keys) {
            ReadWord(r, key.Alignment, kAlignmentWords);
            ReadWord(r, key.Layout, kLayoutWords);
            key.Line1 = r.String();
            key.Line2 = r.String();
            if (!colour(key.BackColor) || !colour(key.FontColor)) return false;
            key.FontName = r.String();
            std::int32_t style = 0;
            if (!integer(style)) return false;
            key.FontStyle = static_cast<std::uint8_t>(style & 0xFF);
            if (!integer(key.FontSize)) return false;
        }
    }
    return true;
}

}  // namespace

std::string WriteLabelSet(const LabelSet& set) {
    std::string out;
    out.reserve(2u << 20);
    Writer w(out);
    for (const ManagementEntry& entry : set.Entries) WriteEntry(w, entry);
    return out;
}

std::string WriteLabelSetEntry(const ManagementEntry& entry) {
    std::string out;
    Writer w(out);
    WriteEntry(w, entry);
    return out;
}

LoadResult ReadLabelSet(std::string_view text, LabelSet& set) {
    ResetDocument(set);
    Reader r(text);
    LoadResult result;
    for (ManagementEntry& entry : set.Entries)
        if (!ReadEntry(r, entry, result)) return result;
    if (r.ranOut()) {
        result.endedEarly = true;
        result.linesRead = LinesIn(text);
    }
    return result;
}

LoadResult ReadLabelSetEntry(std::string_view text, ManagementEntry& entry) {
    entry = ManagementEntry{};
    Reader r(text);
    LoadResult result;
    if (!ReadEntry(r, entry, result)) return result;
    if (r.ranOut()) {
        result.endedEarly = true;
        result.linesRead = LinesIn(text);
    }
    return result;
}

LoadResult LoadLabelSetFile(const std::string& path, LabelSet& set, FileIdentity* identity) {
    LoadResult result;
    std::string data;
    std::string message;
    if (!ReadWholeFile(path, data, message, kMaxLabelSetFileBytes)) {
        result.ok = false;
        result.error = {0, message};
        return result;
    }
    auto fresh = std::make_unique<LabelSet>();
    result = ReadLabelSet(data, *fresh);
    if (result.ok) {
        set = std::move(*fresh);
        if (identity != nullptr) *identity = IdentifyFile(path, data);
    }
    return result;
}

SaveResult SaveLabelSetFile(const std::string& path, const LabelSet& set, FileIdentity* identity) {
    const std::string bytes = WriteLabelSet(set);
    WriteResult w = WriteFileAtomically(path, bytes);
    if (w.ok && identity != nullptr) *identity = IdentifyFile(path, bytes);
    return {w.ok, w.message};
}

std::string TitleFileName(const std::string& path) {
    // Only "/" separates folders here; ":" and "\" are characters of the name.
    auto cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace sw::model
