// Helpers for the sheet tests: a workspace standing on entry 1, rendering a window of the
// sheet into an image, probing pixels by sheet dot coordinates, writing test pictures.
#pragma once

#include <QImage>
#include <QRect>
#include <memory>
#include <string>

#include "model/Workspace.h"
#include "render/SheetRenderer.h"

namespace sw::test {

// A workspace on entry 1 with the given key model and its key range.
std::unique_ptr<sw::model::Workspace> SheetWorkspace(int buttonModel);

// The part `window` (in sheet dots) of the sheet rendered at `resolution`.
struct Rendered {
    QImage image;
    QPoint origin;
    sw::render::RenderResult result;

    QColor At(int x, int y) const { return image.pixelColor(x - origin.x(), y - origin.y()); }
    // The bounding box, in sheet dots, of every pixel that is not white.
    QRect Ink() const;
};
Rendered RenderWindow(sw::model::Workspace& ws, int resolution, const QRect& window,
                      bool outlines = false);

// The COLORREF as the colour a pixel shows.
QColor Colour(sw::model::ColorRef ref);

// Writes a JPEG with libjpeg itself: RGB, greyscale, or CMYK with the Adobe marker and
// inverted samples as Photoshop writes it.
enum class JpegKind { Rgb, Grey, AdobeCmyk };
bool WriteJpeg(const std::string& path, const QImage& picture, JpegKind kind, int quality = 95);

// The payload of an APP1 segment as cameras write it: "Exif", a TIFF header in the given byte
// order and a first image directory holding the Orientation tag (0x0112) with `orientation`.
std::string ExifOrientationPayload(int orientation, bool bigEndian);

// JPEG bytes with an APP1 segment of `payload` inserted right after the start marker.
std::string WithApp1(const std::string& jpeg, const std::string& payload);

// A picture of four flat quadrants: top-left red, top-right blue, bottom-left green,
// bottom-right yellow.
QImage Quadrants(int width, int height);

// Colours equal within the tolerance JPEG leaves on flat areas.
bool Near(const QColor& a, const QColor& b, int tolerance = 10);

}  // namespace sw::test
