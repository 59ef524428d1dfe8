// Background pictures: loading a bitmap or JPEG file named in the label set, the blank
// picture, and repeating a picture over another. Shared by the printed sheet and the face
// background on screen.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "model/LabelSet.h"

namespace sw::render {

// Size of the blank picture: the starting canvas of every prepared background.
constexpr int kBlankWidth = 458;
constexpr int kBlankHeight = 610;

// A picture whose header declares more pixels than this is refused before anything is
// allocated for it.
constexpr qint64 kMaxPicturePixels = 100'000'000;

enum class PictureStatus {
    Ok,       // image holds the picture, 24 bits per pixel (QImage::Format_RGB888)
    Missing,  // no file of that name: the caller treats the face as having no picture
    Error,    // the file exists but is not a picture this program can use; see message
};

struct PictureLoad {
    PictureStatus status = PictureStatus::Error;
    QImage image;
    QString message;  // for Error: a Japanese sentence naming the file
};

// Loads the picture at a path stored in the document (CP932 bytes), through the picture
// cache: a file is decoded once per version (path, size, modification time) and the same
// QImage is handed to every caller, so that a PDF holds it once. A file changed on disk is
// read again. The type follows the
// last three characters of the path, lower-cased: "bmp" is a Windows bitmap, anything else
// is decoded as JPEG. Only regular files are opened (a FIFO, device or folder is refused
// without being read), and a header that declares more than kMaxPicturePixels is refused
// before any pixel memory is taken. A truncated or corrupt file is an error, never half a
// picture.
PictureLoad LoadPicture(const sw::model::Bytes& cp932Path);

// The same for a path already decoded from the document.
PictureLoad LoadPictureFile(const QString& path);

// The cache behind LoadPicture: bounded by the decoded pictures' bytes, the least recently
// used picture out first (the one just loaded always stays).
constexpr qint64 kDefaultPictureCacheBytes = 512LL * 1024 * 1024;
void SetPictureCacheLimit(qint64 bytes);
struct PictureCacheStats {
    int pictures = 0;
    qint64 bytes = 0;
    qint64 decodings = 0;  // files read and decoded since the cache was last cleared
};
PictureCacheStats PictureCacheState();
void ClearPictureCache();

// The picture a screen face of faceSize needs, through the same cache: a stretched JPEG is
// decoded at a half, a quarter or an eighth of its size (libjpeg scales while decoding) when
// that still leaves at least twice the face, and kept apart from the whole picture. A tiled
// face, a bitmap, a PNG, a picture already read whole, and any error are LoadPicture's.
PictureLoad LoadScreenPicture(const sw::model::Bytes& cp932Path, QSize faceSize, bool tiled);

// The picture as the screen's face shows it: stretched smoothly to size, or tiled at its own
// size over the blank picture. The last few are kept, keyed by picture, size and mode.
QImage ScreenFacePicture(const QImage& picture, QSize size, bool tiled);

// True when the path names a bitmap by its ending ("bmp" in any case).
bool IsBitmapPath(const QString& path);

// A 458 × 610, 24-bit, all-white picture.
QImage BlankPicture();

// Repeats picture over target from its top-left corner, each copy at the picture's own pixel
// size, the copies at the right and bottom edges cut off. Both are taken as 24-bit RGB (the
// target is converted first when it is not). A picture without pixels changes nothing.
void TilePicture(const QImage& picture, QImage& target);

}  // namespace sw::render
