// Fuzzes CP932 decoding and encoding: decoding never fails, encoding what was decoded
// (when it held no replacement character) gives text that decodes to the same.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Cp932.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    QString text = DecodeCp932(bytes);
    if (!text.contains(QChar(0xFFFD))) {
        EncodeResult r = EncodeCp932(text);
        if (!r.ok()) std::abort();
        if (DecodeCp932(r.bytes) != text) std::abort();
    }
    // The same bytes taken as UTF-8 typed text: encoding either works or names a character.
    EncodeResult typed = EncodeCp932(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size)));
    if (!typed.ok() && !typed.badChar) std::abort();
    (void)Cp932Length(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size)));
    return 0;
}
