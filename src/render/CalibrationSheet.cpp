// The calibration sheet: face boxes, key cells, combs and millimetre rulers where the sheet prints.
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
    "ラベル用紙に重ねて、用紙の端に重なる線の数字を読み取り、印刷設定に入力してください";
const char* const kCalibrationSignRule = "＋は右へ・上へ";

namespace {

const QString kSheetFont = QStringLiteral("ＭＳ ゴシック");
constexpr int kHeaderPoints = 10;
constexpr int kRulerPoints = 6;
constexpr int kCombPoints = 5;

// Lines are thin enough to read a tenth of a millimetre against: 0.08 mm, at least one dot.
constexpr double kLineMm = 0.08;
// Ruler ticks, measured into the box from its edge.
constexpr double kTickMm = 1.0;
constexpr double kFiveTickMm = 1.8;
constexpr double kTenTickMm = 2.6;
// The header lines start this far above the page origin, as the sheet's own header does.
constexpr double kHeaderTopMm = 20;

// The combs, in millimetres. Each line of a comb has a row (on a left or right edge) or a
// column (on a top or bottom edge) of its own, so that it carries its own label; the lines
// run parallel to the edge and the stock's edge meets one of them.
constexpr int kCombLines = 2 * kCombReach + 1;
constexpr double kRowPitch = 2.2;     // along a left or right edge
constexpr double kRowLine = 1.5;
constexpr double kColumnPitch = 4.0;  // along a top or bottom edge
constexpr double kColumnLine = 2.6;
constexpr double kLabelGap = 0.35;    // between the comb's inner end and its labels
constexpr double kFreeEnds = 0.6;     // the outline and the ruler keep this far from a comb
constexpr double kBoxWidthMm = 116;
constexpr double kBoxHeightMm = 67;

int LineDots(int resolution) { return std::max(1, DotsFromMm(resolution, kLineMm)); }

// The stretch of a box edge (from its corner, in mm) that its comb takes.
double RowsStart() { return (kBoxHeightMm - kCombLines * kRowPitch) / 2; }
double RowsEnd() { return RowsStart() + kCombLines * kRowPitch; }
double ColumnsStart() { return (kBoxWidthMm - kCombLines * kColumnPitch) / 2; }
double ColumnsEnd() { return ColumnsStart() + kCombLines * kColumnPitch; }

// A span of dots [from, to) along an edge.
struct Span {
    int from = 0;
    int to = 0;
};

// The box outline on the inside of its edges, left out where the combs stand: there the comb's
// middle line marks the edge and a second line beside it would read as the next tenth.
void OutlineBox(QPainter& canvas, const RenderContext& ctx, const QRect& box, int thick) {
    const int left = box.left();
    const int top = box.top();
    const int right = box.left() + box.width();
    const int bottom = box.top() + box.height();
    const Span across{left + DotsFromMm(ctx, ColumnsStart() - kFreeEnds), left + DotsFromMm(ctx, ColumnsEnd() + kFreeEnds)};
    const Span down{top + DotsFromMm(ctx, RowsStart() - kFreeEnds), top + DotsFromMm(ctx, RowsEnd() + kFreeEnds)};
    for (int y : {top, bottom - thick}) {
        canvas.fillRect(QRect(left, y, across.from - left, thick), Qt::black);
        canvas.fillRect(QRect(across.to, y, right - across.to, thick), Qt::black);
    }
    for (int x : {left, right - thick}) {
        canvas.fillRect(QRect(x, top, thick, down.from - top), Qt::black);
        canvas.fillRect(QRect(x, down.to, thick, bottom - down.to), Qt::black);
    }
}

// The key cells of the model, each outlined on the inside of its outer edges; a cell's right
// neighbour shares one line with it, centred on their common edge, as thick as any other.
void OutlineCells(QPainter& canvas, const RenderContext& ctx, std::int32_t model, int thick) {
    for (int position = 1; position <= 30; ++position) {
        if (!PositionShown(model, position)) continue;
        const QRect r = KeyCellRect(ctx, position);
        if (r.isEmpty()) continue;
        const int h = std::min(thick, r.height());
        const int w = std::min(thick, r.width());
        const bool leftShared = (position - 1) % 6 != 0 && PositionShown(model, position - 1);
        const bool rightShared = position % 6 != 0 && PositionShown(model, position + 1);
        const int right = r.left() + r.width();
        canvas.fillRect(QRect(r.left(), r.top(), r.width(), h), Qt::black);
        canvas.fillRect(QRect(r.left(), r.bottom() - h + 1, r.width(), h), Qt::black);
        if (!leftShared) canvas.fillRect(QRect(r.left(), r.top(), w, r.height()), Qt::black);
        if (rightShared)
            canvas.fillRect(QRect(right - thick / 2, r.top(), thick, r.height()), Qt::black);
        else
            canvas.fillRect(QRect(right - w, r.top(), w, r.height()), Qt::black);
    }
}

double TickLength(int mm) {
    if (mm % 10 == 0) return kTenTickMm;
    if (mm % 5 == 0) return kFiveTickMm;
    return kTickMm;
}

// The rulers along the top and left edges of the box, ticks measured from its corner; none
// where a comb stands.
void DrawRulers(QPainter& canvas, const RenderContext& ctx, const QRect& box, int thick) {
    QFont font(kSheetFont);
    canvas.setFont(font);
    SetFontPoints(canvas, ctx, kRulerPoints);
    const QFontMetrics fm = canvas.fontMetrics();
    const int gap = DotsFromMm(ctx, 0.3);
    auto clear = [](int mm, double from, double to) { return mm < from - kFreeEnds || mm > to + kFreeEnds; };
    // The dots of a whole number of millimetres from the box corner; the far edges are the
    // box outline's.
    auto along = [&](int mm) { return DotsFromMm(ctx, mm); };
    for (int mm = 1; along(mm) < box.width(); ++mm) {
        if (!clear(mm, ColumnsStart(), ColumnsEnd())) continue;
        const int x = box.left() + along(mm);
        const int length = DotsFromMm(ctx, TickLength(mm));
        canvas.fillRect(QRect(x, box.top(), thick, length), Qt::black);
        if (mm % 10 == 0)
            // Beside the long tick, below the short ones, above the top row of cells.
            canvas.drawText(QPoint(x + thick + gap, box.top() + DotsFromMm(ctx, kTickMm) + gap + fm.ascent()),
                            QString::number(mm));
    }
    for (int mm = 1; along(mm) < box.height(); ++mm) {
        if (!clear(mm, RowsStart(), RowsEnd())) continue;
        const int y = box.top() + along(mm);
        const int length = DotsFromMm(ctx, TickLength(mm));
        canvas.fillRect(QRect(box.left(), y, length, thick), Qt::black);
        if (mm % 10 == 0)
            canvas.drawText(QPoint(box.left() + length + gap, y + thick + fm.ascent()),
                            QString::number(mm));
    }
}

// Which edge of a box a comb stands on.
enum class Edge { Left, Right, Top, Bottom };

// The comb at one edge of the box: line k (−10 … +10) stands k tenths of a millimetre from the
// edge, to the right on a left or right edge and upwards on a top or bottom edge, and is
// labelled with the value to type for it: `adjustment` + k.
void DrawComb(QPainter& canvas, const RenderContext& ctx, const QRect& box, Edge edge, int adjustment, int thick) {
    const QFontMetrics fm = canvas.fontMetrics();
    const bool vertical = edge == Edge::Left || edge == Edge::Right;
    const int reach = DotsFromMm(ctx, kCombReach / 10.0);
    const int labelGap = DotsFromMm(ctx, kLabelGap);
    for (int i = 0; i < kCombLines; ++i) {
        const int k = i - kCombReach;
        const int offset = DotsFromMm(ctx, k / 10.0);
        const QString label = CombLabel(adjustment + k);
        const int labelWidth = fm.horizontalAdvance(label);
        if (vertical) {
            const int edgeX = edge == Edge::Left ? box.left() : box.left() + box.width();
            const int x = edgeX + offset - thick / 2;
            const int y = box.top() + DotsFromMm(ctx, RowsStart() + i * kRowPitch + (kRowPitch - kRowLine) / 2);
            const int length = DotsFromMm(ctx, kRowLine);
            canvas.fillRect(QRect(x, y, thick, length), Qt::black);
            const int baseline = y + (length + fm.ascent() - fm.descent()) / 2;
            // Labels stand inside the box, beyond the comb's inner end.
            const int labelX = edge == Edge::Left ? edgeX + reach + labelGap : edgeX - reach - labelGap - labelWidth;
            canvas.drawText(QPoint(labelX, baseline), label);
        } else {
            const int edgeY = edge == Edge::Top ? box.top() : box.top() + box.height();
            const int y = edgeY - offset - thick / 2;
            const int x = box.left() + DotsFromMm(ctx, ColumnsStart() + i * kColumnPitch + (kColumnPitch - kColumnLine) / 2);
            const int length = DotsFromMm(ctx, kColumnLine);
            canvas.fillRect(QRect(x, y, length, thick), Qt::black);
            const int labelX = x + (length - labelWidth) / 2;
            const int baseline = edge == Edge::Top ? edgeY + reach + labelGap + fm.ascent()
                                                   : edgeY - reach - labelGap - fm.descent();
            canvas.drawText(QPoint(labelX, baseline), label);
        }
    }
}

// The comb labels' font: 5 points, smaller where a label would not fit its column (an
// adjustment of several centimetres).
void SetCombFont(QPainter& canvas, const RenderContext& ctx, int sayu, int jyoge) {
    QFont font(kSheetFont);
    canvas.setFont(font);
    SetFontPoints(canvas, ctx, kCombPoints);
    int widest = 0;
    for (int base : {sayu, jyoge})
        for (int k : {-kCombReach, kCombReach})
            widest = std::max(widest, canvas.fontMetrics().horizontalAdvance(CombLabel(base + k)));
    const int room = DotsFromMm(ctx, kColumnPitch - kLabelGap);
    if (widest > room) {
        font = canvas.font();
        font.setPixelSize(std::max(1, static_cast<int>(static_cast<qint64>(font.pixelSize()) * room / widest)));
        canvas.setFont(font);
    }
}

QString SignedMm(int tenths) {
    const int magnitude = std::abs(tenths);
    const QString number = QStringLiteral("%1.%2mm").arg(magnitude / 10).arg(magnitude % 10);
    if (tenths > 0) return QStringLiteral("+") + number;
    if (tenths < 0) return QStringLiteral("\u2212") + number;
    return number;
}

int Held(int tenths) { return std::clamp(tenths, -kMaxAdjustmentTenths, kMaxAdjustmentTenths); }

QString ModelName(std::int32_t model) {
    if (model == sw::model::kModel30) return QStringLiteral("30ボタン");
    if (model == sw::model::kModel18) return QStringLiteral("18ボタン");
    return QStringLiteral("ボタンなし");
}

}  // namespace

QString AdjustmentText(int sayu, int jyoge) {
    return QStringLiteral("左右 %1 / 上下 %2").arg(SignedMm(Held(sayu)), SignedMm(Held(jyoge)));
}

QString CombLabel(int tenths) {
    if (tenths > 0) return QStringLiteral("+%1").arg(tenths);
    return QString::number(tenths);
}

RenderResult RenderCalibrationSheet(QPainter& canvas, int resolution, const CalibrationOptions& options) {
    if (resolution <= 0)
        return RenderResult{false, QStringLiteral("解像度 %1 では印刷面を描けません。").arg(resolution), {}, {}};
    // What the sheet is drawn with is what its labels say.
    const int sayu = Held(options.sayu);
    const int jyoge = Held(options.jyoge);
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
    QString sheet = ModelName(options.buttonModel);
    if (options.entry >= 1 && options.entry <= sw::model::kEntryCount)
        sheet += QStringLiteral("　管理番号 %1").arg(options.entry, 2, 10, QLatin1Char('0'));
    const QString lines[] = {
        QString::fromUtf8(kCalibrationInstruction),
        sheet + QStringLiteral("　印刷位置の微調整: ") + AdjustmentText(sayu, jyoge),
        QString::fromUtf8(kCalibrationSignRule) +
            QStringLiteral("　縦の線の数字は「右へ」、横の線の数字は「上へ」の欄に入力します"),
    };
    for (int line = 0; line < 3; ++line)
        canvas.drawText(QPoint(x, top + line * fm.height() + fm.ascent()), lines[line]);

    for (int face = 1; face <= sw::model::kFaceCount; ++face) {
        SetFaceOrigin(ctx, face, sayu, jyoge);
        const QRect box = FaceBackgroundBox(ctx);
        OutlineBox(canvas, ctx, box, thick);
        OutlineCells(canvas, ctx, options.buttonModel, thick);
        DrawRulers(canvas, ctx, box, thick);
        SetCombFont(canvas, ctx, sayu, jyoge);
        DrawComb(canvas, ctx, box, Edge::Left, sayu, thick);
        DrawComb(canvas, ctx, box, Edge::Right, sayu, thick);
        DrawComb(canvas, ctx, box, Edge::Top, jyoge, thick);
        DrawComb(canvas, ctx, box, Edge::Bottom, jyoge, thick);
    }
    canvas.restore();
    return {};
}

QRectF CalibrationInkMm(int sayu, int jyoge) {
    RenderContext ctx;
    SetPageOrigin(ctx, Held(sayu), Held(jyoge));
    const double reach = kCombReach / 10.0 + kLineMm / 2;
    const QPointF topLeft(ctx.BaseOffsetX + ctx.OriginX, ctx.BaseOffsetY + ctx.OriginY - kHeaderTopMm);
    const QRectF lowerRight = FaceBoxMm(4, sayu, jyoge);
    return QRectF(topLeft, QPointF(lowerRight.right() + reach, lowerRight.bottom() + reach));
}

}  // namespace sw::render
