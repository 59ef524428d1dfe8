// CP932 through glibc iconv. The name "CP932" matters: "SHIFT_JIS" maps 0x5C to the yen
// sign and rejects the NEC and IBM extensions that Windows users type every day.
#include "model/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace sw::model {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at the first sequence it cannot convert,
    // with *in and *inLeft pointing at it.
    bool Run(char** in, size_t* inLeft, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (*inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(m_cd, in, inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            return false;  // EILSEQ or EINVAL (incomplete sequence at the end)
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& Decoder() {
    thread_local Converter decoder("UTF-8", "CP932");
    return decoder;
}

Converter& Encoder() {
    thread_local Converter encoder("CP932", "UTF-8");
    return encoder;
}

// Length of the UTF-8 sequence starting with lead byte c (1 for anything unexpected).
size_t Utf8Length(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

char32_t Utf8CodePoint(const char* p, size_t left) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    size_t n = std::min(Utf8Length(s[0]), left);
    if (n == 1) return s[0];
    char32_t cp = s[0] & (0xFF >> (n + 1));
    for (size_t i = 1; i < n; ++i) cp = (cp << 6) | (s[i] & 0x3F);
    return cp;
}

}  // namespace

namespace {

std::string DecodeToUtf8(const std::string& bytes, std::string* unshown) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    Converter& conv = Decoder();
    std::vector<char> copy(bytes.begin(), bytes.end());
    char* in = copy.data();
    size_t left = copy.size();
    while (left > 0) {
        if (!conv.valid() || !conv.Run(&in, &left, out)) {
            out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not CP932
            if (unshown) unshown->push_back(*in);
            ++in;
            --left;
        }
    }
    return out;
}

QString Decode(const std::string& bytes, std::string* unshown) {
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(DecodeToUtf8(bytes, unshown));
}

}  // namespace

std::string DecodeCp932ToUtf8(const std::string& bytes) { return DecodeToUtf8(bytes, nullptr); }

QString DecodeCp932(const std::string& bytes) { return Decode(bytes, nullptr); }

QString DecodeCp932(const std::string& bytes, std::string& unshown) { return Decode(bytes, &unshown); }

EncodeResult EncodeCp932(const QString& text) {
    EncodeResult result;
    // Lone surrogates cannot be stored anywhere; report them as they stand.
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate()) {
            result.badChar = c.unicode();
            return result;
        }
    }
    QByteArray utf8 = text.toUtf8();
    char* in = utf8.data();
    size_t left = static_cast<size_t>(utf8.size());
    Converter& conv = Encoder();
    if (!conv.valid()) {
        result.badChar = left > 0 ? Utf8CodePoint(in, left) : U'\0';
        return result;
    }
    if (!conv.Run(&in, &left, result.bytes)) {
        result.badChar = Utf8CodePoint(in, left);
        result.bytes.clear();
    }
    return result;
}

EncodeResult EncodeCp932(const QString& text, std::string_view unshown) {
    constexpr char16_t kShownForUnshown = 0xFFFD;
    EncodeResult result;
    size_t next = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype mark = text.indexOf(QChar(kShownForUnshown), from);
        EncodeResult part = EncodeCp932(text.mid(from, mark < 0 ? -1 : mark - from));
        if (!part.ok()) return part;
        result.bytes += part.bytes;
        if (mark < 0) return result;
        if (next >= unshown.size()) {
            result.bytes.clear();
            result.badChar = kShownForUnshown;
            return result;
        }
        result.bytes += unshown[next++];
        from = mark + 1;
    }
}

bool FitsCp932(const QString& text) { return EncodeCp932(text).ok(); }

int Cp932Length(const QString& text) {
    int total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one = text.mid(i, 1);
        if (text[i].isHighSurrogate() && i + 1 < text.size()) one = text.mid(i++, 2);
        EncodeResult r = EncodeCp932(one);
        total += r.ok() ? static_cast<int>(r.bytes.size()) : 1;
    }
    return total;
}

}  // namespace sw::model
