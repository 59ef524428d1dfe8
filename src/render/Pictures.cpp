// Background pictures: loading bitmap and JPEG files safely, the blank picture, tiling.
#include "render/Pictures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <algorithm>
#include <list>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// jpeglib.h needs FILE from <cstdio> first.
#include <jpeglib.h>
#include <jerror.h>

#include "model/Cp932.h"

namespace sw::render {
namespace {

// A progressive JPEG may repeat scans without end; real pictures have ten or twenty, and
// every scan of a large picture costs a pass over all of it.
constexpr int kMaxJpegScans = 100;

// Bytes between markers that belong to nothing; a few are harmless, megabytes are a damaged
// or hostile file.
constexpr long kMaxJpegExtraneousBytes = 64 * 1024;

// No picture within the pixel bound needs a larger file: four bytes a pixel is an
// uncompressed 32-bit bitmap. A larger file is refused without being read.
constexpr qint64 kMaxPictureFileBytes = kMaxPicturePixels * 4 + 64 * 1024;

// QImage refuses images above its own allocation limit (128 MB by default), which a BMP of
// 40 megapixels already passes; our limit is the header check of kMaxPicturePixels.
constexpr int kImageAllocationLimitMb = 512;

QString NotRegularMessage(const QString& path) {
    return QStringLiteral("「%1」は通常のファイルではないため、背景画像として読み込めません。").arg(path);
}

QString OpenFailedMessage(const QString& path, int error) {
    return QStringLiteral("背景画像「%1」を開けません（%2）。")
        .arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

QString TooLargeMessage(const QString& path, qint64 width, qint64 height) {
    return QStringLiteral("背景画像「%1」は大きすぎるため読み込めません（%2 × %3 画素。上限は 1 億画素です）。")
        .arg(path)
        .arg(width)
        .arg(height);
}

QString CorruptMessage(const QString& path, const QString& detail) {
    return QStringLiteral("背景画像「%1」は壊れているか途中で切れているため読み込めません（%2）。")
        .arg(path, detail);
}

QString NoMemoryMessage(const QString& path) {
    return QStringLiteral("背景画像「%1」を読み込むためのメモリが足りません。").arg(path);
}

PictureLoad Failed(QString message) {
    PictureLoad load;
    load.status = PictureStatus::Error;
    load.message = std::move(message);
    return load;
}

PictureLoad Loaded(QImage image) {
    PictureLoad load;
    load.status = PictureStatus::Ok;
    load.image = std::move(image);
    return load;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// ---- JPEG through libjpeg, with an error manager that returns instead of exit() ----

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    long extraneousBytes;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings about the data itself (premature end, bad Huffman code, lost sync) mean that part
// of the picture would be grey; they end the decoding like errors. Warnings about markers
// that do not touch the pixels are let through.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace output
    switch (cinfo->err->msg_code) {
        case JWRN_EXTRANEOUS_DATA: {
            auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
            err->extraneousBytes += std::max(0, cinfo->err->msg_parm.i[0]);
            if (err->extraneousBytes > kMaxJpegExtraneousBytes) {
                std::snprintf(err->message, sizeof err->message, "more than %ld bytes outside the picture data",
                              kMaxJpegExtraneousBytes);
                std::longjmp(err->jump, 1);
            }
            return;
        }
        case JWRN_JFIF_MAJOR:
        case JWRN_ADOBE_XFORM:
        case JWRN_BOGUS_ICC:
            return;
        default:
            JpegErrorExit(cinfo);
    }
}

void JpegProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxJpegScans);
        std::longjmp(err->jump, 1);
    }
}

// ---- EXIF orientation: phones store a photo as the sensor saw it and say in an APP1 "Exif"
// segment how to turn it upright ----

std::uint32_t ExifRead(const unsigned char* p, int bytes, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const std::uint32_t byte = p[bigEndian ? i : bytes - 1 - i];
        value = value << 8 | byte;
    }
    return value;
}

// The Orientation (tag 0x0112) of the first image directory of an APP1 segment, 1 to 8; 1 when
// the segment is no Exif, is cut short, points outside itself or holds no usable value. Only
// the first directory is read and no offset is followed twice, so no file can make it loop.
int ExifOrientation(const unsigned char* segment, std::size_t size) {
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (segment == nullptr || size < sizeof kExif + 8 || std::memcmp(segment, kExif, sizeof kExif) != 0)
        return 1;
    const unsigned char* tiff = segment + sizeof kExif;
    const std::uint64_t n = size - sizeof kExif;
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (!(tiff[0] == 'I' && tiff[1] == 'I'))
        return 1;
    if (ExifRead(tiff + 2, 2, bigEndian) != 42) return 1;
    const std::uint64_t directory = ExifRead(tiff + 4, 4, bigEndian);
    if (directory + 2 > n) return 1;
    const std::uint64_t count = ExifRead(tiff + directory, 2, bigEndian);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 2 + 12 * i;
        if (entry + 12 > n) return 1;
        if (ExifRead(tiff + entry, 2, bigEndian) != 0x0112) continue;
        const std::uint32_t type = ExifRead(tiff + entry + 2, 2, bigEndian);
        const std::uint32_t values = ExifRead(tiff + entry + 4, 4, bigEndian);
        if (type != 3 || values < 1) return 1;  // a SHORT, held in the entry itself
        const std::uint32_t orientation = ExifRead(tiff + entry + 8, 2, bigEndian);
        return orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
    }
    return 1;
}

// The first Exif segment among the markers libjpeg kept, its orientation.
int JpegOrientation(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        return ExifOrientation(m->data, m->data_length);
    }
    return 1;
}

// Where the pixel (x, y) of a stored w × h picture goes in the upright one.
struct UprightMap {
    int orientation = 1;
    int w = 0;
    int h = 0;
    bool Turned() const { return orientation >= 5; }  // width and height change places
    int X(int x, int y) const {
        switch (orientation) {
            case 2: case 3: return w - 1 - x;
            case 5: case 8: return y;
            case 6: case 7: return h - 1 - y;
            default: return x;
        }
    }
    int Y(int x, int y) const {
        switch (orientation) {
            case 3: case 4: return h - 1 - y;
            case 5: case 6: return x;
            case 7: case 8: return w - 1 - x;
            default: return y;
        }
    }
};

// Rows decoded before they are placed in a turned picture: a band of them lets each column of
// the band land as one short run in its row of the upright picture, instead of one pixel
// per row touched.
constexpr int kJpegBand = 16;

// Places `rows` decoded RGB rows, the first being stored row y0, into the upright picture.
void PlaceUpright(const UprightMap& map, uchar* bits, qsizetype stride, JSAMPARRAY band, int y0, int rows) {
    const size_t rowBytes = static_cast<size_t>(map.w) * 3;
    if (!map.Turned()) {
        const bool mirrored = map.orientation == 2 || map.orientation == 3;
        for (int i = 0; i < rows; ++i) {
            uchar* out = bits + stride * map.Y(0, y0 + i);
            const JSAMPLE* in = band[i];
            if (!mirrored) {
                std::memcpy(out, in, rowBytes);
                continue;
            }
            for (int x = 0; x < map.w; ++x) std::memcpy(out + 3 * (map.w - 1 - x), in + 3 * x, 3);
        }
        return;
    }
    // Turned: a stored column x is an upright row, the same for every row of the band.
    // Along the band the upright column runs forward (5, 8) or backward (6, 7).
    const qsizetype step = map.X(0, y0 + 1) > map.X(0, y0) ? 3 : -3;
    for (int x = 0; x < map.w; ++x) {
        uchar* out = bits + stride * map.Y(x, y0) + 3 * map.X(x, y0);
        const size_t from = static_cast<size_t>(x) * 3;
        for (int i = 0; i < rows; ++i, out += step) {
            const JSAMPLE* in = band[i] + from;
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

// Everything the decoder touches lives here, in the caller's frame, so that a longjmp back
// into DecodeJpeg skips no C++ object.
struct JpegJob {
    std::FILE* file = nullptr;
    JpegErrorManager err{};
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct cinfo{};
    QImage image;
    UprightMap upright;
    QSize shrinkTo;  // when valid: decode at 1/2, 1/4 or 1/8 while still twice this upright size
    qint64 declaredWidth = 0;
    qint64 declaredHeight = 0;
    bool tooLarge = false;
    bool noMemory = false;
};

std::uint8_t Mul255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// Returns true with job.image decoded, false with job.err.message (or tooLarge/noMemory).
bool DecodeJpeg(JpegJob& job) {
    job.cinfo.err = jpeg_std_error(&job.err.pub);
    job.err.pub.error_exit = JpegErrorExit;
    job.err.pub.emit_message = JpegEmitMessage;
    if (setjmp(job.err.jump) != 0) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    jpeg_create_decompress(&job.cinfo);
    job.progress.progress_monitor = JpegProgress;
    job.cinfo.progress = &job.progress;
    jpeg_stdio_src(&job.cinfo, job.file);
    // APP1 segments are kept for their Exif orientation; one is at most 64 KB.
    jpeg_save_markers(&job.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&job.cinfo, TRUE);

    job.declaredWidth = job.cinfo.image_width;
    job.declaredHeight = job.cinfo.image_height;
    if (job.declaredWidth * job.declaredHeight > kMaxPicturePixels) {
        job.tooLarge = true;
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }

    if (job.shrinkTo.isValid()) {
        // libjpeg scales while it decodes, skipping most of the work for the pixels it drops.
        const QSize need = JpegOrientation(job.cinfo) >= 5 ? job.shrinkTo.transposed() : job.shrinkTo;
        for (unsigned denominator : {8u, 4u, 2u}) {
            const qint64 w = (job.declaredWidth + denominator - 1) / denominator;
            const qint64 h = (job.declaredHeight + denominator - 1) / denominator;
            if (w >= 2 * qint64{need.width()} && h >= 2 * qint64{need.height()}) {
                job.cinfo.scale_num = 1;
                job.cinfo.scale_denom = denominator;
                break;
            }
        }
    }
    switch (job.cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE:
            job.cinfo.out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            job.cinfo.out_color_space = JCS_CMYK;
            break;
        default:
            job.cinfo.out_color_space = JCS_RGB;
            break;
    }
    jpeg_start_decompress(&job.cinfo);

    const int width = static_cast<int>(job.cinfo.output_width);
    const int height = static_cast<int>(job.cinfo.output_height);
    const int components = job.cinfo.output_components;
    // The picture is stored upright from the start: each decoded row goes straight to its
    // place, so that turning it takes no second copy of a large photo.
    job.upright = UprightMap{JpegOrientation(job.cinfo), width, height};
    job.image = job.upright.Turned() ? QImage(height, width, QImage::Format_RGB888)
                                     : QImage(width, height, QImage::Format_RGB888);
    if (job.image.isNull()) {
        job.noMemory = true;
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    // One row as libjpeg delivers it; freed with the decompressor.
    JSAMPARRAY row = (*job.cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&job.cinfo), JPOOL_IMAGE,
        static_cast<JDIMENSION>(width * components), 1);
    // Rows in RGB waiting to be placed, when they are not placed as they are.
    JSAMPARRAY band = (*job.cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&job.cinfo), JPOOL_IMAGE,
        static_cast<JDIMENSION>(width * 3), kJpegBand);
    int bandStart = 0;
    int bandRows = 0;
    uchar* const bits = job.image.bits();
    const qsizetype stride = job.image.bytesPerLine();
    // Photoshop writes CMYK JPEGs with an Adobe marker and every sample inverted.
    const bool invertedCmyk = job.cinfo.saw_Adobe_marker;

    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        const int y = static_cast<int>(job.cinfo.output_scanline);
        if (jpeg_read_scanlines(&job.cinfo, row, 1) != 1) {
            std::snprintf(job.err.message, sizeof job.err.message, "no data for row %d", y);
            jpeg_destroy_decompress(&job.cinfo);
            return false;
        }
        if (bandRows == 0) bandStart = y;
        std::uint8_t* out = job.upright.orientation == 1 ? bits + stride * y : band[bandRows++];
        const JSAMPLE* in = row[0];
        if (components == 3) {
            std::memcpy(out, in, static_cast<size_t>(width) * 3);
        } else if (components == 1) {
            for (int x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
        } else {
            for (int x = 0; x < width; ++x) {
                unsigned c = in[4 * x], m = in[4 * x + 1], ye = in[4 * x + 2], k = in[4 * x + 3];
                if (!invertedCmyk) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                out[3 * x] = Mul255(c, k);
                out[3 * x + 1] = Mul255(m, k);
                out[3 * x + 2] = Mul255(ye, k);
            }
        }
        if (bandRows == kJpegBand || (bandRows > 0 && job.cinfo.output_scanline == job.cinfo.output_height)) {
            PlaceUpright(job.upright, bits, stride, band, bandStart, bandRows);
            bandRows = 0;
        }
    }
    jpeg_finish_decompress(&job.cinfo);
    jpeg_destroy_decompress(&job.cinfo);
    return true;
}

PictureLoad LoadJpeg(FileDescriptor& fd, const QString& path, QSize shrinkTo) {
    JpegJob job;
    job.shrinkTo = shrinkTo;
    job.file = ::fdopen(fd.get(), "rb");
    if (job.file == nullptr) return Failed(OpenFailedMessage(path, errno));
    fd.release();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(job.file, &std::fclose);
    if (DecodeJpeg(job)) return Loaded(std::move(job.image));
    if (job.tooLarge) return Failed(TooLargeMessage(path, job.declaredWidth, job.declaredHeight));
    if (job.noMemory) return Failed(NoMemoryMessage(path));
    return Failed(CorruptMessage(path, QString::fromLocal8Bit(job.err.message)));
}

// ---- Windows bitmaps through QImage, with the header checked first ----

// Qt's image readers refuse images above a memory limit of their own; a picture within the
// pixel bound may need more.
void AllowPictureSizedAllocations() {
    const int limit = QImageReader::allocationLimit();
    if (limit != 0 && limit < kImageAllocationLimitMb) QImageReader::setAllocationLimit(kImageAllocationLimitMb);
}


std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// What the bitmap's header says, as far as it can be read. QImage decodes the rest; this
// catches what QImage lets through: a size that would take gigabytes, and a file cut short
// (QImage fills the missing rows with black and reports success).
struct BitmapHeader {
    bool parsed = false;
    qint64 width = 0;
    qint64 height = 0;
    qint64 bytesNeeded = 0;  // 0 = unknown
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = 0;
    qint64 paletteColours = -1;  // what the file really holds; -1 = no palette read
};

// Walks RLE8 or RLE4 data: false when it runs out before its end-of-bitmap code, or that
// code comes before the last row (Qt paints what is left black and reports success).
bool RleComplete(const QByteArray& data, qint64 height, int bitsPerPixel) {
    const auto* d = reinterpret_cast<const unsigned char*>(data.constData());
    const qint64 n = data.size();
    qint64 i = 0;
    qint64 y = 0;
    while (y < height) {
        if (i + 2 > n) return false;
        const unsigned a = d[i];
        const unsigned b = d[i + 1];
        i += 2;
        if (a > 0) continue;  // a run of a pixels
        if (b == 0) {         // end of line
            ++y;
            continue;
        }
        if (b == 1) return y >= height - 1;  // end of bitmap
        if (b == 2) {                        // move right and down
            if (i + 2 > n) return false;
            y += d[i + 1];
            i += 2;
            continue;
        }
        // b pixels given one by one, padded to a whole word.
        const qint64 bytes = bitsPerPixel == 8 ? b : (b + 1) / 2;
        i += bytes + (bytes & 1);
        if (i > n) return false;
    }
    return true;
}

BitmapHeader ReadBitmapHeader(int fd) {
    unsigned char h[54] = {};
    ssize_t got = ::pread(fd, h, sizeof h, 0);
    BitmapHeader header;
    if (got < 26 || h[0] != 'B' || h[1] != 'M') return header;
    const std::uint32_t pixelOffset = Le32(h + 10);
    const std::uint32_t infoSize = Le32(h + 14);
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    if (infoSize == 12) {  // OS/2 core header: 16-bit sizes
        header.width = Le16(h + 18);
        header.height = Le16(h + 20);
        bitsPerPixel = Le16(h + 24);
    } else if (infoSize >= 16 && got >= 30) {
        header.width = static_cast<std::int32_t>(Le32(h + 18));
        header.height = static_cast<std::int32_t>(Le32(h + 22));
        bitsPerPixel = Le16(h + 28);
        if (got >= 38 && infoSize >= 40) {
            compression = Le32(h + 30);
            imageSize = Le32(h + 34);
        }
    } else {
        return header;
    }
    header.parsed = true;
    header.bitsPerPixel = bitsPerPixel;
    header.compression = compression;
    header.pixelOffset = pixelOffset;
    if (bitsPerPixel > 0 && bitsPerPixel <= 8) {
        // The palette lies between the header and the pixels, four bytes a colour (three in
        // the OS/2 header); it holds the colours the header counts, or all 2^bits.
        const qint64 entryBytes = infoSize == 12 ? 3 : 4;
        const std::uint32_t used = got >= 50 && infoSize >= 40 ? Le32(h + 46) : 0;
        const qint64 declared = used != 0 ? used : (qint64{1} << bitsPerPixel);
        const qint64 room = (static_cast<qint64>(pixelOffset) - 14 - infoSize) / entryBytes;
        header.paletteColours = std::max<qint64>(0, std::min(declared, room));
    }
    header.width = header.width < 0 ? -header.width : header.width;
    header.height = header.height < 0 ? -header.height : header.height;
    // Refused as too large before anything is read; its byte count could overflow.
    if (header.width * header.height > kMaxPicturePixels) return header;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    // Only a size within the pixel bound is worth a byte count (a larger one is refused),
    // and only there can the count not overflow.
    const bool bounded = header.width * header.height <= kMaxPicturePixels;
    if (bounded && uncompressed && bitsPerPixel > 0 && bitsPerPixel <= 32) {
        const qint64 stride = (header.width * bitsPerPixel + 31) / 32 * 4;
        header.bytesNeeded = pixelOffset + stride * header.height;
    } else if ((compression == 1 || compression == 2) && imageSize > 0) {  // RLE
        header.bytesNeeded = static_cast<qint64>(pixelOffset) + imageSize;
    }
    return header;
}

PictureLoad LoadBitmap(FileDescriptor& fd, const QString& path, qint64 fileSize) {
    const BitmapHeader header = ReadBitmapHeader(fd.get());
    // A header too short to read is no bitmap; left to QImage it can come out as a huge
    // picture made from a few bytes.
    if (!header.parsed)
        return Failed(CorruptMessage(path, QStringLiteral("ビットマップのヘッダーが読めません")));
    if (header.width * header.height > kMaxPicturePixels)
        return Failed(TooLargeMessage(path, header.width, header.height));
    if (header.bytesNeeded > fileSize)
        return Failed(CorruptMessage(
            path, QStringLiteral("%1 バイト必要なところ %2 バイトしかありません")
                      .arg(header.bytesNeeded)
                      .arg(fileSize)));

    if ((header.compression == 1 && header.bitsPerPixel == 8) ||
        (header.compression == 2 && header.bitsPerPixel == 4)) {
        QByteArray data(static_cast<qsizetype>(std::max<qint64>(0, fileSize - header.pixelOffset)), '\0');
        const ssize_t got = ::pread(fd.get(), data.data(), static_cast<size_t>(data.size()), header.pixelOffset);
        if (got != data.size() || !RleComplete(data, header.height, header.bitsPerPixel))
            return Failed(CorruptMessage(path, QStringLiteral("圧縮された画素のデータが途中で終わっています")));
    }

    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return Failed(OpenFailedMessage(path, EIO));
    AllowPictureSizedAllocations();
    QImageReader reader(&file, "bmp");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Failed(CorruptMessage(path, reader.errorString()));
    if (image.format() == QImage::Format_Indexed8 && header.paletteColours >= 0) {
        // An index past the palette's end would print black.
        int highest = 0;
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            highest = std::max(highest, static_cast<int>(*std::max_element(line, line + image.width())));
        }
        if (highest >= header.paletteColours)
            return Failed(CorruptMessage(path, QStringLiteral("パレットの %1 色を超える色番号 %2 があります")
                                                   .arg(header.paletteColours)
                                                   .arg(highest)));
    }
    if (static_cast<qint64>(image.width()) * image.height() > kMaxPicturePixels)
        return Failed(TooLargeMessage(path, image.width(), image.height()));
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) return Failed(NoMemoryMessage(path));
    return Loaded(std::move(rgb));
}

// ---- PNG through QImage, its size checked before any pixel memory is taken ----

PictureLoad LoadPng(FileDescriptor& fd, const QString& path) {
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return Failed(OpenFailedMessage(path, EIO));
    AllowPictureSizedAllocations();
    QImageReader reader(&file, "png");
    const QSize declared = reader.size();
    if (static_cast<qint64>(declared.width()) * declared.height() > kMaxPicturePixels)
        return Failed(TooLargeMessage(path, declared.width(), declared.height()));
    QImage image;
    if (!reader.read(&image) || image.isNull()) return Failed(CorruptMessage(path, reader.errorString()));
    // A transparent PNG shows white where it is transparent, as on paper.
    QImage rgb(image.size(), QImage::Format_RGB888);
    if (rgb.isNull()) return Failed(NoMemoryMessage(path));
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    }
    return Loaded(std::move(rgb));
}

// The kind of a picture file that is not a JPEG, by its first bytes; empty when unknown.
QString OtherPictureKind(const unsigned char* magic, ssize_t got) {
    if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') return QStringLiteral("BMP");
    if (got >= 6 && (std::memcmp(magic, "GIF87a", 6) == 0 || std::memcmp(magic, "GIF89a", 6) == 0))
        return QStringLiteral("GIF");
    if (got >= 4 && (std::memcmp(magic, "II*\0", 4) == 0 || std::memcmp(magic, "MM\0*", 4) == 0))
        return QStringLiteral("TIFF");
    if (got >= 12 && std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WEBP", 4) == 0)
        return QStringLiteral("WebP");
    if (got >= 4 && std::memcmp(magic, "%PDF", 4) == 0) return QStringLiteral("PDF");
    return QString();
}

}  // namespace

bool IsBitmapPath(const QString& path) { return path.right(3).toLower() == QStringLiteral("bmp"); }

PictureLoad LoadPicture(const sw::model::Bytes& cp932Path) {
    return LoadPictureFile(sw::model::DecodeCp932(cp932Path));
}

// The file read and decoded, every time; a JPEG shrunk while decoding when shrinkTo is valid.
static PictureLoad ReadPictureFile(const QString& path, QSize shrinkTo = QSize()) {
    if (path.isEmpty()) {
        PictureLoad load;
        load.status = PictureStatus::Missing;
        return load;
    }
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    FileDescriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            PictureLoad load;
            load.status = PictureStatus::Missing;
            return load;
        }
        if (error == EISDIR || error == ENXIO) return Failed(NotRegularMessage(path));
        return Failed(OpenFailedMessage(path, error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Failed(OpenFailedMessage(path, errno));
    if (!S_ISREG(st.st_mode)) return Failed(NotRegularMessage(path));
    if (static_cast<qint64>(st.st_size) > kMaxPictureFileBytes)
        return Failed(QStringLiteral("背景画像「%1」は大きすぎるため読み込めません（%2 バイト。上限は %3 バイトです）。")
                          .arg(path)
                          .arg(static_cast<qint64>(st.st_size))
                          .arg(kMaxPictureFileBytes));
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags != -1) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);

    unsigned char magic[12] = {};
    const ssize_t got = ::pread(fd.get(), magic, sizeof magic, 0);
    if (got >= 8 && std::memcmp(magic, "\x89PNG\r\n\x1a\n", 8) == 0) return LoadPng(fd, path);
    if (IsBitmapPath(path)) return LoadBitmap(fd, path, static_cast<qint64>(st.st_size));
    if (got >= 2 && !(magic[0] == 0xFF && magic[1] == 0xD8)) {
        // Another kind of picture under a JPEG name: say which, not that it is broken.
        const QString kind = OtherPictureKind(magic, got);
        if (!kind.isEmpty())
            return Failed(QStringLiteral("背景画像「%1」は JPEG ではありません（%2）。").arg(path, kind));
    }
    return LoadJpeg(fd, path, shrinkTo);
}

namespace {

// ---- The picture cache: one decoding per file version, shared by every drawing ----

struct PictureKey {
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    QSize shrinkTo;  // a picture decoded smaller for the screen is kept apart from the whole one
    bool operator==(const PictureKey&) const = default;
    bool SameVersion(const PictureKey& o) const {
        return path == o.path && size == o.size && mtimeNs == o.mtimeNs && inode == o.inode && device == o.device;
    }
};

struct CachedPicture {
    PictureKey key;
    PictureLoad load;
    qint64 bytes = 0;
};

qint64 CostOf(const PictureLoad& load) {
    return load.image.isNull() ? 1024 : static_cast<qint64>(load.image.sizeInBytes());
}

struct PictureCache {
    QMutex mutex;
    std::list<CachedPicture> entries;  // most recently used first
    qint64 bytes = 0;
    qint64 limit = kDefaultPictureCacheBytes;
    qint64 decodings = 0;

    void Trim() {
        // The newest entry stays even when it alone passes the limit: it is being drawn.
        while (bytes > limit && entries.size() > 1) {
            bytes -= entries.back().bytes;
            entries.pop_back();
        }
    }
    // Every version of the file but `keep`'s (none when it is null).
    void Forget(const QString& path, const PictureKey* keep = nullptr) {
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->key.path == path && !(keep != nullptr && it->key.SameVersion(*keep))) {
                bytes -= it->bytes;
                it = entries.erase(it);
            } else {
                ++it;
            }
        }
    }
};

PictureCache& Cache() {
    static PictureCache cache;
    return cache;
}

}  // namespace

namespace {

PictureLoad LoadCachedPicture(const QString& path, QSize shrinkTo) {
    if (path.isEmpty()) return ReadPictureFile(path);
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        // Gone, or no regular file: nothing to keep; the reader says what it is.
        {
            PictureCache& cache = Cache();
            QMutexLocker lock(&cache.mutex);
            cache.Forget(path);
        }
        return ReadPictureFile(path, shrinkTo);
    }
    const PictureKey key{path,
                         static_cast<qint64>(st.st_size),
                         static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
                         static_cast<quint64>(st.st_ino),
                         static_cast<quint64>(st.st_dev),
                         shrinkTo};
    PictureCache& cache = Cache();
    {
        QMutexLocker lock(&cache.mutex);
        for (auto it = cache.entries.begin(); it != cache.entries.end(); ++it) {
            if (it->key == key) {
                cache.entries.splice(cache.entries.begin(), cache.entries, it);
                return it->load;
            }
        }
    }
    PictureLoad load = ReadPictureFile(path, shrinkTo);
    if (load.status == PictureStatus::Missing) return load;
    QMutexLocker lock(&cache.mutex);
    ++cache.decodings;
    cache.Forget(path, &key);  // older versions of the file
    const qint64 cost = CostOf(load);
    cache.entries.push_front(CachedPicture{key, load, cost});
    cache.bytes += cost;
    cache.Trim();
    return load;
}

}  // namespace

PictureLoad LoadPictureFile(const QString& path) { return LoadCachedPicture(path, QSize()); }

PictureLoad LoadScreenPicture(const sw::model::Bytes& cp932Path, QSize faceSize, bool tiled) {
    const QString path = sw::model::DecodeCp932(cp932Path);
    // Tiles are drawn at the picture's own size, and a bitmap or PNG is read whole anyway; a
    // picture already read whole for the page is shrunk from there.
    if (tiled || !faceSize.isValid() || IsBitmapPath(path)) return LoadPictureFile(path);
    bool wholeAlreadyRead = false;
    {
        PictureCache& cache = Cache();
        QMutexLocker lock(&cache.mutex);
        for (const CachedPicture& cached : cache.entries)
            wholeAlreadyRead = wholeAlreadyRead || (cached.key.path == path && !cached.key.shrinkTo.isValid() &&
                                                    cached.load.status == PictureStatus::Ok);
    }
    if (wholeAlreadyRead) return LoadPictureFile(path);  // which checks that it is still this version
    PictureLoad load = LoadCachedPicture(path, faceSize);
    // A file that cannot be read says so as the whole picture's reading does.
    if (load.status == PictureStatus::Error) return LoadPictureFile(path);
    return load;
}

void SetPictureCacheLimit(qint64 bytes) {
    PictureCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    cache.limit = std::max<qint64>(0, bytes);
    cache.Trim();
}

PictureCacheStats PictureCacheState() {
    PictureCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    return PictureCacheStats{static_cast<int>(cache.entries.size()), cache.bytes, cache.decodings};
}

void ClearPictureCache() {
    PictureCache& cache = Cache();
    QMutexLocker lock(&cache.mutex);
    cache.entries.clear();
    cache.bytes = 0;
    cache.decodings = 0;
}

namespace {

// A large photo shrunk by whole factors, each pixel the mean of an fx × fy block, so that it
// is still at least twice the size it will be shown at. Qt's smooth scaling of a 24-bit
// picture costs about 12 ns a source pixel (150 ms for a 12-megapixel photo); this costs a
// small part of that, and the smooth scaling then works on a picture a few times the face.
QImage ShrinkByBlocks(const QImage& picture, QSize size) {
    const int fx = std::max(1, picture.width() / std::max(1, 2 * size.width()));
    const int fy = std::max(1, picture.height() / std::max(1, 2 * size.height()));
    if ((fx == 1 && fy == 1) || picture.format() != QImage::Format_RGB888) return picture;
    const int width = picture.width() / fx;
    const int height = picture.height() / fy;
    QImage out(width, height, QImage::Format_RGB888);
    if (out.isNull()) return picture;
    // Each block's rows are added up column by column first (a plain run over the bytes that
    // the compiler vectorises), then the columns of each block.
    const size_t used = static_cast<size_t>(width) * fx * 3;
    std::vector<unsigned> columns(used);
    const unsigned count = static_cast<unsigned>(fx * fy);
    for (int y = 0; y < height; ++y) {
        std::fill(columns.begin(), columns.end(), 0u);
        for (int j = 0; j < fy; ++j) {
            const uchar* in = picture.constScanLine(y * fy + j);
            for (size_t k = 0; k < used; ++k) columns[k] += in[k];
        }
        uchar* line = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const unsigned* block = columns.data() + static_cast<size_t>(3) * x * fx;
            unsigned r = 0, g = 0, b = 0;
            for (int i = 0; i < fx; ++i) {
                r += block[3 * i];
                g += block[3 * i + 1];
                b += block[3 * i + 2];
            }
            line[3 * x] = static_cast<uchar>((r + count / 2) / count);
            line[3 * x + 1] = static_cast<uchar>((g + count / 2) / count);
            line[3 * x + 2] = static_cast<uchar>((b + count / 2) / count);
        }
    }
    return out;
}

}  // namespace

QImage ScreenFacePicture(const QImage& picture, QSize size, bool tiled) {
    // The last few faces shown, so that switching back and forth costs no scaling.
    struct Scaled {
        qint64 source;
        QSize size;
        bool tiled;
        QImage shown;
    };
    static QMutex mutex;
    static std::list<Scaled> recent;
    constexpr size_t kKept = 8;
    QMutexLocker lock(&mutex);
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (it->source == picture.cacheKey() && it->size == size && it->tiled == tiled) {
            recent.splice(recent.begin(), recent, it);
            return it->shown;
        }
    }
    QImage shown = BlankPicture();
    if (!tiled)
        shown = ShrinkByBlocks(picture, size).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else
        TilePicture(picture, shown);  // at its own size over the 458 × 610 blank
    recent.push_front(Scaled{picture.cacheKey(), size, tiled, shown});
    if (recent.size() > kKept) recent.pop_back();
    return shown;
}

QImage BlankPicture() {
    QImage blank(kBlankWidth, kBlankHeight, QImage::Format_RGB888);
    blank.fill(Qt::white);
    return blank;
}

void TilePicture(const QImage& picture, QImage& target) {
    if (picture.width() <= 0 || picture.height() <= 0 || target.isNull()) return;
    const QImage source = picture.format() == QImage::Format_RGB888
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB888);
    if (target.format() != QImage::Format_RGB888)
        target = target.convertToFormat(QImage::Format_RGB888);
    const int w = source.width();
    const int h = source.height();
    const int targetWidth = target.width();
    const int targetHeight = target.height();
    const size_t rowBytes = static_cast<size_t>(targetWidth) * 3;

    // The first band of rows: the picture's rows repeated across.
    for (int y = 0; y < std::min(h, targetHeight); ++y) {
        const uchar* in = source.constScanLine(y);
        uchar* out = target.scanLine(y);
        for (int x = 0; x < targetWidth; x += w)
            std::memcpy(out + static_cast<size_t>(x) * 3, in,
                        static_cast<size_t>(std::min(w, targetWidth - x)) * 3);
    }
    // Every row below is the row one picture height above it, copied whole.
    for (int y = h; y < targetHeight; ++y)
        std::memcpy(target.scanLine(y), target.constScanLine(y - h), rowBytes);
}

}  // namespace sw::render
