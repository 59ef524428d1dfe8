// The calibration sheet: face boxes, key cells and millimetre rulers where the sheet prints.
#include "render/CalibrationSheet.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "render/PrintBackground.h"
#include "render/SheetRenderer.h"

namespace sw::render {

const char* const kCalibrationInstruction =
    "ラベル用紙に重ねて、ずれを 0.1mm 単位で読み取ってください";

namespace {

const QString kSheetFont = QStringLiteral("ＭＳ ゴシック");
constexpr int kHeaderPoints = 10;
constexpr int kRulerPoints = 6;

// Lines are thin enough to read a tenth of a millimetre against: 0.08 mm, at least one dot.
constexpr double kLineMm = 0.08;
// Ruler ticks, measured into the box from its edge.
constexpr double kTickMm = 1.0;
constexpr double kFiveTickMm = 1.8;
constexpr double kTenTickMm = 2.6;
// The header lines start this far above the page origin, as the sheet's own header does.
constexpr double kHeaderTopMm = 20;

int LineDots(int resolution) { return std::max(1, DotsFromMm(resolution, kLineMm)); }

// A line `thick` dots wide along the inside of each edge of the rectangle.
void OutlineInside(QPainter& canvas, const QRect& r, int thick) {
    if (r.isEmpty()) return;
    const int w = std::min(thick, r.width());
    const int h = std::min(thick, r.height());
    canvas.fillRect(QRect(r.left(), r.top(), r.width(), h), Qt::black);
    canvas.fillRect(QRect(r.left(), r.bottom() - h + 1, r.width(), h), Qt::black);
    canvas.fillRect(QRect(r.left(), r.top(), w, r.height()), Qt::black);
    canvas.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), Qt::black);
}

double TickLength(int mm) {
    if (mm % 10 == 0) return kTenTickMm;
    if (mm % 5 == 0) return kFiveTickMm;
    return kTickMm;
}

// The rulers along the top and left edges of the box, ticks measured from its corner.
void DrawRulers(QPainter& canvas, const RenderContext& ctx, const QRect& box, int thick) {
    QFont font(kSheetFont);
    canvas.setFont(font);
    SetFontPoints(canvas, ctx, kRulerPoints);
    const QFontMetrics fm = canvas.fontMetrics();
    const int gap = DotsFromMm(ctx, 0.3);
    // The dots of a whole number of millimetres from the box corner; the far edges are the
    // box outline's.
    auto along = [&](int mm) { return DotsFromMm(ctx, mm); };
    for (int mm = 1; along(mm) < box.width(); ++mm) {
        const int x = box.left() + along(mm);
        const int length = DotsFromMm(ctx, TickLength(mm));
        canvas.fillRect(QRect(x, box.top(), thick, length), Qt::black);
        if (mm % 10 == 0)
            // Beside the long tick, below the short ones, above the top row of cells.
            canvas.drawText(QPoint(x + thick + gap, box.top() + DotsFromMm(ctx, kTickMm) + gap + fm.ascent()),
                            QString::number(mm));
    }
    for (int mm = 1; along(mm) < box.height(); ++mm) {
        const int y = box.top() + along(mm);
        const int length = DotsFromMm(ctx, TickLength(mm));
        canvas.fillRect(QRect(box.left(), y, length, thick), Qt::black);
        if (mm % 10 == 0)
            canvas.drawText(QPoint(box.left() + length + gap, y + thick + fm.ascent()),
                            QString::number(mm));
    }
}

QString SignedMm(int tenths) {
    const int magnitude = std::abs(tenths);
    const QString number = QStringLiteral("%1.%2mm").arg(magnitude / 10).arg(magnitude % 10);
    if (tenths > 0) return QStringLiteral("+") + number;
    if (tenths < 0) return QStringLiteral("\u2212") + number;
    return number;
}

}  // namespace

QString AdjustmentText(int sayu, int jyoge) {
    auto held = [](int tenths) { return std::clamp(tenths, -kMaxAdjustmentTenths, kMaxAdjustmentTenths); };
    return QStringLiteral("左右 %1 / 上下 %2").arg(SignedMm(held(sayu)), SignedMm(held(jyoge)));
}

RenderResult RenderCalibrationSheet(QPainter& canvas, int resolution, std::int32_t buttonModel,
                                    int sayu, int jyoge) {
    if (resolution <= 0)
        return RenderResult{false, QStringLiteral("解像度 %1 では印刷面を描けません。").arg(resolution), {}, {}};
    RenderContext ctx;
    ctx.Resolution = resolution;
    const int thick = LineDots(resolution);
    canvas.save();
    canvas.setPen(Qt::black);
    canvas.setBrush(Qt::NoBrush);

    // The header area: the page items move with the adjustment as the sheet's header does,
    // so the text stays above the faces whatever the adjustment.
    SetPageOrigin(ctx, sayu, jyoge);
    QFont font(kSheetFont);
    canvas.setFont(font);
    SetFontPoints(canvas, ctx, kHeaderPoints);
    const QFontMetrics fm = canvas.fontMetrics();
    const int x = SheetX(ctx, ctx.OriginX);
    const int top = SheetY(ctx, ctx.OriginY - kHeaderTopMm);
    canvas.drawText(QPoint(x, top + fm.ascent()), QString::fromUtf8(kCalibrationInstruction));
    canvas.drawText(QPoint(x, top + fm.height() + fm.ascent()),
                    QStringLiteral("印刷位置の微調整: ") + AdjustmentText(sayu, jyoge));

    for (int face = 1; face <= sw::model::kFaceCount; ++face) {
        SetFaceOrigin(ctx, face, sayu, jyoge);
        const QRect box = FaceBackgroundBox(ctx);
        OutlineInside(canvas, box, thick);
        for (int position = 1; position <= 30; ++position)
            if (PositionShown(buttonModel, position))
                OutlineInside(canvas, KeyCellRect(ctx, position), thick);
        DrawRulers(canvas, ctx, box, thick);
    }
    canvas.restore();
    return {};
}

}  // namespace sw::render
