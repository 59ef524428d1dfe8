// Fuzzes the readers of recovery copies and save journals: a copy left by another program
// version, a journal beside a file in a shared folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/RecoveryCopy.h"
#include "model/RecoveryFile.h"

using namespace sw::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RecoveredDocument document;
    std::string message;
    if (ReadRecoveryCopy(text, document, message) == CopyState::Whole && !document.set) std::abort();
    FramedFile framed;
    if (ReadFramed(text, "stripwise2 save journal 1", framed)) {
        // What was read whole writes back to the same bytes' worth of header and body.
        FramedFile again;
        if (!ReadFramed(WriteFramed("stripwise2 save journal 1", framed), "stripwise2 save journal 1", again) ||
            again.body != framed.body || again.fields != framed.fields)
            std::abort();
    }
    std::string bytes;
    if (BytesFromHex(text.substr(0, 64), bytes) && HexBytes(bytes) != text.substr(0, 64)) std::abort();
    return 0;
}
