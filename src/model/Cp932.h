// Conversion between the document's CP932 bytes and the text shown or typed on screen.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace sw::model {

// Decoding never fails: a byte sequence that is not CP932 shows as U+FFFD while the
// stored bytes stay as they are.
QString DecodeCp932(const std::string& bytes);
std::string DecodeCp932ToUtf8(const std::string& bytes);
// The same, and every byte shown as U+FFFD is appended to `unshown`, in order.
QString DecodeCp932(const std::string& bytes, std::string& unshown);

struct EncodeResult {
    std::string bytes;             // the CP932 bytes when everything could be encoded
    std::optional<char32_t> badChar;  // the first character CP932 cannot hold
    bool ok() const { return !badChar.has_value(); }
};

EncodeResult EncodeCp932(const QString& text);
// The way back from DecodeCp932 with its unshown bytes: each U+FFFD of text is stored as
// the next byte of `unshown`. Fails when text holds a U+FFFD more than there are bytes.
EncodeResult EncodeCp932(const QString& text, std::string_view unshown);

// True when every character of text can be stored in CP932.
bool FitsCp932(const QString& text);

// Number of CP932 bytes text takes (characters CP932 cannot hold count as one byte).
int Cp932Length(const QString& text);

}  // namespace sw::model
