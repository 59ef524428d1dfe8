// Fuzzes picture loading, for the page and for the screen: any bytes named .jpg or .bmp load
// as a picture within the pixel bound, or fail with a message naming the file.
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "render/Pictures.h"

using namespace sw::render;

namespace {
std::string TempPath(const char* ending) {
    return "/dev/shm/sw2-fuzz-" + std::to_string(::getpid()) + ending;
}

// The two files are rewritten in place each run (creating and removing them costs more
// than the decoding of most inputs) and removed at exit.
void RemoveTempFiles() {
    std::remove(TempPath(".bmp").c_str());
    std::remove(TempPath(".jpg").c_str());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QGuiApplication* app = nullptr;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = new QGuiApplication(*argc, *argv);
    (void)app;
    std::atexit(RemoveTempFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the kind, so both decoders see every mutation.
    if (size < 1) return 0;
    static const std::string bmpPath = TempPath(".bmp");
    static const std::string jpgPath = TempPath(".jpg");
    const std::string& path = (data[0] & 1) ? bmpPath : jpgPath;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
    // The second bit takes the screen's way in, which may decode a JPEG at a fraction of its
    // size (a tiny face, so that small inputs are shrunk too).
    PictureLoad load = (data[0] & 2) ? LoadScreenPicture(sw::model::Bytes(path), QSize(3, 2), false)
                                     : LoadPictureFile(QString::fromStdString(path));
    if (load.status == PictureStatus::Ok) {
        if (load.image.isNull()) std::abort();
        if (static_cast<qint64>(load.image.width()) * load.image.height() > kMaxPicturePixels)
            std::abort();
        if (load.image.format() != QImage::Format_RGB888) std::abort();
        // Tiled over one blank picture kept between runs (a fresh one is most of a run).
        static QImage blank = BlankPicture();
        TilePicture(load.image, blank);
    } else if (load.status == PictureStatus::Error) {
        if (load.message.isEmpty()) std::abort();
    } else {
        std::abort();  // the file was there: it cannot be missing
    }
    return 0;
}
