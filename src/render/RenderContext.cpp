// Millimetre-to-dot conversion, canvas font and pen setup shared by the sheet and its backgrounds.
#include "render/RenderContext.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace sw::render {
namespace {

constexpr std::int64_t kHundredthsPerInch = 2540;

// Lengths beyond a kilometre mean nothing on a sheet; keeping them there keeps the integer
// product below within 64 bits for any resolution.
constexpr double kMaxMm = 1e6;

// Text larger than two inches (144 points) is drawn at two inches: a key cell is 7.1 mm
// high, so no real label comes near, while a glyph of 100000 points would take minutes.
constexpr int kMaxDrawnPoints = 144;

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// floor(a / b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

}  // namespace

int DotsFromMm(int resolution, double mm) {
    if (std::isnan(mm)) return 0;
    mm = std::clamp(mm, -kMaxMm, kMaxMm);
    const std::int64_t hundredths = std::llround(mm * 100.0);
    const std::int64_t product = static_cast<std::int64_t>(resolution) * hundredths;
    std::int64_t q = FloorDiv(product, kHundredthsPerInch);
    const std::int64_t twiceRest = 2 * (product - q * kHundredthsPerInch);
    if (twiceRest > kHundredthsPerInch || (twiceRest == kHundredthsPerInch && (q & 1) != 0)) ++q;
    return ClampToInt(q);
}

int HalfToEven(int n) {
    int q = static_cast<int>(FloorDiv(n, 2));
    if ((n & 1) != 0 && (q & 1) != 0) ++q;
    return q;
}

int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    // Callers pass 32-bit values, whose product fits in 64 bits.
    a = std::clamp<std::int64_t>(a, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    b = std::clamp<std::int64_t>(b, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (c == 0) return 0;
    std::int64_t p = a * b;
    if (c < 0) {
        p = -p;
        c = -c;
    }
    const std::int64_t q = p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
    return ClampToInt(q);
}

int FontPixelSize(int points, int resolution) { return MulDiv(points, resolution, 72); }

int DrawnFontPixelSize(int points, int resolution) {
    const int maxPixels = std::max(1, FontPixelSize(kMaxDrawnPoints, resolution));
    return std::clamp(FontPixelSize(points, resolution), 1, maxPixels);
}

void SetFontPoints(QPainter& canvas, const RenderContext& ctx, int points) {
    QFont font = canvas.font();
    font.setPixelSize(DrawnFontPixelSize(points, ctx.Resolution));
    canvas.setFont(font);
}

int PenHalfPointsWidth(int resolution, int n) { return std::max(1, MulDiv(resolution, n, 144)); }

void SetPenHalfPoints(QPainter& canvas, const RenderContext& ctx, int n) {
    QPen pen = canvas.pen();
    pen.setWidth(PenHalfPointsWidth(ctx.Resolution, n));
    canvas.setPen(pen);
}

QColor QColorFromColorRef(sw::model::ColorRef ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

}  // namespace sw::render
