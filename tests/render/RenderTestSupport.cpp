// Helpers for the sheet tests: rendering windows of the sheet, test pictures.
#include "RenderTestSupport.h"

#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "model/DocumentOps.h"

namespace sw::test {

std::unique_ptr<sw::model::Workspace> SheetWorkspace(int buttonModel) {
    auto ws = std::make_unique<sw::model::Workspace>();
    ws->labelSet.Entries[1].ButtonModel = buttonModel;
    ws->editor.CurrentEntry = 1;
    ws->editor.ApplyKeyRange(sw::model::KeyRangeFor(buttonModel));
    return ws;
}

QRect Rendered::Ink() const {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0xFFFFFF) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(origin);
}

Rendered RenderWindow(sw::model::Workspace& ws, int resolution, const QRect& window,
                      bool outlines) {
    sw::render::InstallFontSubstitutions();
    Rendered r;
    r.origin = window.topLeft();
    r.image = QImage(window.size(), QImage::Format_RGB32);
    r.image.fill(Qt::white);
    QPainter painter(&r.image);
    painter.translate(-window.topLeft());
    sw::render::SheetOptions options;
    options.sayu = ws.settings.Sayu;
    options.jyoge = ws.settings.Jyoge;
    options.buttonOutlines = outlines;
    options.keyOffset = ws.editor.KeyOffset;
    r.result = sw::render::RenderSheet(painter, resolution, ws.labelSet, ws.editor.CurrentEntry, options);
    return r;
}

QColor Colour(sw::model::ColorRef ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

std::string ExifOrientationPayload(int orientation, bool bigEndian) {
    std::string tiff;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            tiff += static_cast<char>((value >> shift) & 0xFF);
        }
    };
    tiff += bigEndian ? "MM" : "II";
    put(42, 2);
    put(8, 4);        // the first directory follows the header
    put(2, 2);        // two entries: a resolution unit, then the orientation
    put(0x0128, 2);
    put(3, 2);
    put(1, 4);
    put(2, 2);
    put(0, 2);
    put(0x0112, 2);
    put(3, 2);        // SHORT
    put(1, 4);        // one value
    put(static_cast<std::uint32_t>(orientation), 2);
    put(0, 2);
    put(0, 4);        // no next directory
    return std::string("Exif\0\0", 6) + tiff;
}

std::string WithApp1(const std::string& jpeg, const std::string& payload) {
    const size_t length = payload.size() + 2;
    std::string segment = "\xFF\xE1";
    segment += static_cast<char>((length >> 8) & 0xFF);
    segment += static_cast<char>(length & 0xFF);
    return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
}

bool WriteJpeg(const std::string& path, const QImage& picture, JpegKind kind, int quality) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    switch (kind) {
        case JpegKind::Rgb:
            cinfo.input_components = 3;
            cinfo.in_color_space = JCS_RGB;
            break;
        case JpegKind::Grey:
            cinfo.input_components = 1;
            cinfo.in_color_space = JCS_GRAYSCALE;
            break;
        case JpegKind::AdobeCmyk:
            cinfo.input_components = 4;
            cinfo.in_color_space = JCS_CMYK;
            break;
    }
    jpeg_set_defaults(&cinfo);
    if (kind == JpegKind::AdobeCmyk) jpeg_set_colorspace(&cinfo, JCS_CMYK);  // Adobe marker
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(rgb.width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uchar* in = rgb.constScanLine(static_cast<int>(cinfo.next_scanline));
        for (int x = 0; x < rgb.width(); ++x) {
            const int r = in[3 * x], g = in[3 * x + 1], b = in[3 * x + 2];
            if (kind == JpegKind::Rgb) {
                row[3 * x] = static_cast<JSAMPLE>(r);
                row[3 * x + 1] = static_cast<JSAMPLE>(g);
                row[3 * x + 2] = static_cast<JSAMPLE>(b);
            } else if (kind == JpegKind::Grey) {
                row[x] = static_cast<JSAMPLE>(qGray(r, g, b));
            } else {
                // Naive CMYK, stored inverted as Adobe applications do.
                const int k = 255 - std::max({r, g, b});
                const int c = k == 255 ? 0 : (255 - r - k) * 255 / (255 - k);
                const int m = k == 255 ? 0 : (255 - g - k) * 255 / (255 - k);
                const int y = k == 255 ? 0 : (255 - b - k) * 255 / (255 - k);
                row[4 * x] = static_cast<JSAMPLE>(255 - c);
                row[4 * x + 1] = static_cast<JSAMPLE>(255 - m);
                row[4 * x + 2] = static_cast<JSAMPLE>(255 - y);
                row[4 * x + 3] = static_cast<JSAMPLE>(255 - k);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

QImage Quadrants(int width, int height) {
    QImage q(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            q.setPixelColor(x, y, bottom ? (right ? Qt::yellow : Qt::green) : (right ? Qt::blue : Qt::red));
        }
    return q;
}

bool Near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace sw::test
