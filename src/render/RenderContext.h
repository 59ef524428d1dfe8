// Millimetre-to-dot conversion, canvas font and pen setup shared by the sheet and its backgrounds.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

#include "model/LabelSet.h"

class QPainter;

namespace sw::render {

// A face whose picture could not be drawn: its file is gone (the face is drawn white), or it
// exists but cannot be read (the face carries the broken-picture mark).
struct PictureProblem {
    int face = 0;            // 1..4
    sw::model::Bytes path;   // PictureFile as stored
    bool missing = true;     // false: the file exists but is broken
    QString message = {};    // for a broken file: why it cannot be read, naming the file
};

// What a render reports to its caller, who decides what to tell the user.
//
// ok = false: the drawing could not be made at all (no usable resolution or entry); message
// says why. A broken picture does not end the drawing: the sheet is drawn whole, the face
// marked, and the face listed in `broken` with its message; callers that must not pass a
// marked sheet on (the printer without the user's word, the companion tool) look there.
struct RenderResult {
    bool ok = true;
    QString message;
    std::vector<PictureProblem> pictures;  // faces whose picture file is gone
    std::vector<PictureProblem> broken;    // faces whose picture file cannot be read

    bool Whole() const { return ok && broken.empty(); }
};

// The state of one render: the target's resolution and the origin of the item being drawn.
// Positions are kept in millimetres and turned into dots only at the device.
struct RenderContext {
    int Resolution = 96;       // dots per inch of the canvas, both axes
    double BaseOffsetX = 8.8;  // mm added to every horizontal position
    double BaseOffsetY = 39.9; // mm added to every vertical position
    double OriginX = 0;        // mm, left origin of the page items or of the face being drawn
    double OriginY = 0;        // mm, top origin
    int DrawButtonOutlines = 0;  // 1: the preview draws the key button outlines
};

// round(resolution × mm / 25.4), halves to even. Every length of the sheet is a whole number
// of hundredths of a millimetre, so the product is taken exactly in integers: a half that a
// floating-point product would miss by one bit still goes to the even dot. Lengths beyond a
// kilometre count as a kilometre and the result is clamped to the 32-bit range.
int DotsFromMm(int resolution, double mm);
inline int DotsFromMm(const RenderContext& ctx, double mm) { return DotsFromMm(ctx.Resolution, mm); }

// A face-local or page-local position (OriginX/OriginY already added by the caller) in dots.
inline int SheetX(const RenderContext& ctx, double mm) { return DotsFromMm(ctx, ctx.BaseOffsetX + mm); }
inline int SheetY(const RenderContext& ctx, double mm) { return DotsFromMm(ctx, ctx.BaseOffsetY + mm); }

// n / 2 rounded to the nearest integer, halves to even.
int HalfToEven(int n);

// round(a × b / c) with halves away from zero, computed without overflow; the result is
// clamped to the 32-bit range. c must not be 0.
int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// The pixel size a font of `points` gets at `resolution`: MulDiv(points, resolution, 72).
int FontPixelSize(int points, int resolution);

// The pixel size actually drawn: at least 1 dot and at most about a page height, so that a
// size of 0, a negative size or a size of 100000 points in a file never stalls the drawing.
// The stored size is not changed.
int DrawnFontPixelSize(int points, int resolution);

// Sets the painter's font size to `points` at the context's resolution (as a pixel size,
// so that what QFontMetrics measures on this device is what is drawn).
void SetFontPoints(QPainter& canvas, const RenderContext& ctx, int points);

// Pen width MulDiv(resolution, n, 144), at least 1 dot: half a point for n = 1.
int PenHalfPointsWidth(int resolution, int n);
void SetPenHalfPoints(QPainter& canvas, const RenderContext& ctx, int n);

// A COLORREF (0x00BBGGRR, red in the low byte) as a QColor; the high byte is ignored.
QColor QColorFromColorRef(sw::model::ColorRef ref);

}  // namespace sw::render
