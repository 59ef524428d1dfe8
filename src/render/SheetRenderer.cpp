// The printed sheet of one management number: header, cross mark and the four print faces.
#include "render/SheetRenderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Cp932.h"
#include "render/PrintBackground.h"

namespace sw::render {
namespace {

using sw::model::KeyLabel;
using sw::model::PrintFace;

const QString kHeaderFont = QStringLiteral("ＭＳ ゴシック");
constexpr int kHeaderPoints = 10;

// A key line holds a few words; no more than this many characters can land on an A4 page at
// a readable size, and shaping megabytes of text from a damaged file would stall the preview.
constexpr qsizetype kMaxDrawnChars = 4096;

// Face geometry in millimetres, relative to the face origin.
constexpr double kFaceStepX = 123.75;
constexpr double kFaceStepY = 71;
constexpr double kFaceTop = 16.6;
constexpr double kCellLeft = 12.8;
constexpr double kCellWidth = 17.3;
constexpr double kRowStep = 12;
constexpr double kCellHeight = 7.1;
constexpr double kUpperBand = 3.5;
// The cross mark: a 10 mm horizontal and a 10 mm vertical line meeting at (253.1, −31.55)
// from the page origin.
constexpr double kCrossX = 253.1;
constexpr double kCrossY = -31.55;
constexpr double kCrossHalf = 5;
// The face background box, from the face origin.
constexpr double kBoxLeft = 6.5;
constexpr double kBoxTop = -3.65;
constexpr double kBoxWidth = 116;
constexpr double kBoxHeight = 67;

int ClampToInt(qint64 v) {
    return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

double AdjustmentMm(int tenths) {
    return std::clamp(tenths, -kMaxAdjustmentTenths, kMaxAdjustmentTenths) / 10.0;
}

// Row 1 (positions 01–06) is the bottom row, row 5 (25–30) the top one.
int RowOf(int position) { return (position - 1) / 6 + 1; }
int ColumnOf(int position) { return (position - 1) % 6 + 1; }
double CellTop(int position) { return (5 - RowOf(position)) * kRowStep; }
double CellLeft(int position) { return kCellLeft + kCellWidth * (ColumnOf(position) - 1); }

// A rectangle of the face in millimetres, converted corner by corner; the fill covers the left
// and top edge and leaves out the right and bottom one, so neighbouring cells share theirs.
QRect FaceRect(const RenderContext& ctx, double dx1, double dy1, double dx2, double dy2) {
    const int x1 = SheetX(ctx, ctx.OriginX + dx1);
    const int y1 = SheetY(ctx, ctx.OriginY + dy1);
    const int x2 = SheetX(ctx, ctx.OriginX + dx2);
    const int y2 = SheetY(ctx, ctx.OriginY + dy2);
    return QRect(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1));
}

QPoint FacePoint(const RenderContext& ctx, double dx, double dy) {
    return QPoint(SheetX(ctx, ctx.OriginX + dx), SheetY(ctx, ctx.OriginY + dy));
}

QString DrawnText(const sw::model::Bytes& bytes) {
    QString text = sw::model::DecodeCp932(bytes);
    if (text.size() > kMaxDrawnChars) text.truncate(kMaxDrawnChars);
    return text;
}

// Text is placed by its top-left corner, as the sheet's layout measures it; QPainter draws
// from the baseline.
void DrawTextTopLeft(QPainter& canvas, QPoint topLeft, const QString& text) {
    canvas.drawText(QPoint(topLeft.x(), topLeft.y() + canvas.fontMetrics().ascent()), text);
}

void DrawHeader(QPainter& canvas, const RenderContext& ctx, int entryNumber,
                const sw::model::Bytes& name) {
    QFont font(kHeaderFont);
    canvas.setFont(font);
    SetFontPoints(canvas, ctx, kHeaderPoints);
    canvas.setBrush(Qt::NoBrush);
    const QString text =
        QStringLiteral("(%1)").arg(entryNumber, 2, 10, QLatin1Char('0')) + DrawnText(name);
    DrawTextTopLeft(canvas, QPoint(SheetX(ctx, ctx.OriginX), SheetY(ctx, ctx.OriginY - 20)), text);
}

void DrawCrossMark(QPainter& canvas, const RenderContext& ctx) {
    canvas.drawLine(FacePoint(ctx, kCrossX - kCrossHalf, kCrossY), FacePoint(ctx, kCrossX + kCrossHalf, kCrossY));
    canvas.drawLine(FacePoint(ctx, kCrossX, kCrossY - kCrossHalf), FacePoint(ctx, kCrossX, kCrossY + kCrossHalf));
}

void DrawKeyCell(QPainter& canvas, const RenderContext& ctx, int position, const KeyLabel& key) {
    canvas.setFont(KeyFont(key, ctx));
    canvas.fillRect(KeyCellRect(ctx, position), QColorFromColorRef(key.BackColor));
    const KeyTextPlacement placement = PlaceKeyText(ctx, position, key, canvas.fontMetrics());
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(QColorFromColorRef(key.FontColor));
    for (const KeyLinePlacement& line : placement.lines)
        if (line.drawn) DrawTextTopLeft(canvas, line.topLeft, line.text);
}

void DrawButtonOutline(QPainter& canvas, const RenderContext& ctx, int position) {
    const double d = kCellWidth * (ColumnOf(position) - 1);
    const double t = CellTop(position);
    const QPoint circleTopLeft = FacePoint(ctx, 13.5 + d, t + 7.2);
    const QPoint circleBottomRight = FacePoint(ctx, 18.5 + d, t + 12.2);
    canvas.drawEllipse(QRect(circleTopLeft, circleBottomRight - QPoint(1, 1)));
    canvas.fillRect(FaceRect(ctx, 16 + d, t + 7.2, 28.5 + d, t + 12.2), Qt::white);
    const QPoint bar[] = {FacePoint(ctx, 16 + d, t + 7.2), FacePoint(ctx, 28.5 + d, t + 7.2),
                          FacePoint(ctx, 28.5 + d, t + 12.2), FacePoint(ctx, 16 + d, t + 12.2)};
    canvas.drawPolyline(bar, 4);
}

void DrawFace(QPainter& canvas, const RenderContext& ctx, const QPen& linePen,
              const sw::model::ManagementEntry& entry, int faceIndex, int keyOffset,
              RenderResult& result) {
    const PrintFace& face = entry.Faces[faceIndex];
    QString message;
    bool broken = false;
    switch (DrawFaceBackground(canvas, ctx, face, message)) {
        case BackgroundStatus::Drawn:
            break;
        case BackgroundStatus::PictureMissing:
            result.pictures.push_back(PictureProblem{faceIndex, face.PictureFile, true, QString()});
            break;
        case BackgroundStatus::PictureBroken:
            // The rest of the sheet is still drawn: one unreadable file spoils only its face.
            result.broken.push_back(PictureProblem{faceIndex, face.PictureFile, false, message});
            broken = true;
            break;
    }

    // The white key area leaves the background showing only in the margin around it.
    if (entry.ButtonModel == sw::model::kModel30)
        canvas.fillRect(FaceRect(ctx, 12.8, 0, 116.6, 60.7), Qt::white);
    else if (entry.ButtonModel == sw::model::kModel18)
        canvas.fillRect(FaceRect(ctx, 12.8, 12, 116.6, 48.7), Qt::white);
    canvas.fillRect(FaceRect(ctx, 122.5, -3.3, 130.5, 63.7), Qt::white);
    canvas.fillRect(FaceRect(ctx, 6.5, 63.7, 130.5, 196.7), Qt::white);
    // The keys go over the mark, so that the face's layout can still be checked on it.
    if (broken) DrawBrokenPictureMark(canvas, ctx, face.PictureFile);

    auto keyAt = [&](int position) -> const KeyLabel* {
        const int index = position - keyOffset;
        if (index < 1 || index > sw::model::kKeyCount) return nullptr;
        return &face.Keys[index];
    };
    for (int position = 1; position <= 30; ++position) {
        const KeyLabel* key = keyAt(position);
        if (PositionShown(entry.ButtonModel, position) && key != nullptr)
            DrawKeyCell(canvas, ctx, position, *key);
    }
    if (ctx.DrawButtonOutlines == 1) {
        canvas.setPen(linePen);
        canvas.setBrush(Qt::white);
        for (int position = 1; position <= 30; ++position)
            if (PositionShown(entry.ButtonModel, position) && keyAt(position) != nullptr)
                DrawButtonOutline(canvas, ctx, position);
    }
}

}  // namespace

void InstallFontSubstitutions() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
}

void SetPageOrigin(RenderContext& ctx, int sayu, int jyoge) {
    ctx.OriginX = AdjustmentMm(sayu);
    ctx.OriginY = kFaceTop - AdjustmentMm(jyoge);
}

void SetFaceOrigin(RenderContext& ctx, int face, int sayu, int jyoge) {
    const int column = (face - 1) / 2;
    const int row = (face - 1) % 2;
    ctx.OriginX = kFaceStepX * column + AdjustmentMm(sayu) - 0.25;
    ctx.OriginY = kFaceStepY * row + kFaceTop - AdjustmentMm(jyoge);
}

QRect KeyCellRect(const RenderContext& ctx, int position) {
    const double top = CellTop(position);
    const double left = CellLeft(position);
    return FaceRect(ctx, left, top, left + kCellWidth, top + kCellHeight);
}

bool PositionShown(std::int32_t buttonModel, int position) {
    return sw::model::PositionPrinted(buttonModel, position);
}

QFont KeyFont(const KeyLabel& key, const RenderContext& ctx) {
    QFont font(sw::model::DecodeCp932(key.FontName));
    font.setPixelSize(DrawnFontPixelSize(key.FontSize, ctx.Resolution));
    font.setBold((key.FontStyle & sw::model::kStyleBold) != 0);
    font.setItalic((key.FontStyle & sw::model::kStyleItalic) != 0);
    font.setUnderline((key.FontStyle & sw::model::kStyleUnderline) != 0);
    font.setStrikeOut((key.FontStyle & sw::model::kStyleStrikeOut) != 0);
    return font;
}

KeyTextPlacement PlaceKeyText(const RenderContext& ctx, int position, const KeyLabel& key,
                              const QFontMetrics& fm) {
    const double top = CellTop(position);
    const int left = SheetX(ctx, ctx.OriginX + CellLeft(position));
    const int right = SheetX(ctx, ctx.OriginX + CellLeft(position) + kCellWidth);
    const int cellDots = DotsFromMm(ctx, kCellWidth);
    const int textHeight = fm.height();

    auto xFor = [&](int textWidth) {
        switch (key.Alignment) {
            case sw::model::kAlignRight:
                return ClampToInt(qint64{right} - textWidth - 1);
            case sw::model::kAlignCenter:
                return ClampToInt(qint64{left} + HalfToEven(ClampToInt(qint64{cellDots} - textWidth)));
            default:
                return left + 1;
        }
    };
    // A band from b to e (mm from the face origin); `centreDots` is the height a centred line
    // is centred in.
    auto yFor = [&](double b, double e, int centreDots) {
        switch (key.Layout) {
            case sw::model::kLayoutMiddle:
                return ClampToInt(qint64{SheetY(ctx, ctx.OriginY + b)} +
                                  HalfToEven(ClampToInt(qint64{centreDots} - textHeight)));
            case sw::model::kLayoutBottom:
                return ClampToInt(qint64{SheetY(ctx, ctx.OriginY + e)} - textHeight - 1);
            default:
                return SheetY(ctx, ctx.OriginY + b) + 1;
        }
    };
    auto place = [&](KeyLinePlacement& line, const sw::model::Bytes& bytes, double b, double e,
                     int centreDots) {
        if (bytes.empty()) return;
        line.drawn = true;
        line.text = DrawnText(bytes);
        line.width = fm.horizontalAdvance(line.text);
        line.height = textHeight;
        line.topLeft = QPoint(xFor(line.width), yFor(b, e, centreDots));
        const int bandTop = SheetY(ctx, ctx.OriginY + b);
        line.band = QRect(left, bandTop, right - left, SheetY(ctx, ctx.OriginY + e) - bandTop);
    };

    KeyTextPlacement placement;
    if (!key.Line1.empty() && key.Line2.empty()) {
        place(placement.lines[0], key.Line1, top, top + kCellHeight, DotsFromMm(ctx, kCellHeight));
    } else {
        const int bandDots = DotsFromMm(ctx, kUpperBand);
        place(placement.lines[0], key.Line1, top, top + kUpperBand, bandDots);
        place(placement.lines[1], key.Line2, top + kUpperBand, top + kCellHeight, bandDots);
    }
    return placement;
}

RenderResult RenderSheet(QPainter& canvas, int resolution, const sw::model::LabelSet& labelSet,
                         int entryNumber, const SheetOptions& options) {
    if (resolution <= 0)
        return RenderResult{false, QStringLiteral("解像度 %1 では印刷面を描けません。").arg(resolution), {}, {}};
    if (entryNumber < 1 || entryNumber > sw::model::kEntryCount)
        return RenderResult{false, QStringLiteral("管理番号 %1 はありません。").arg(entryNumber), {}, {}};
    const sw::model::ManagementEntry& entry = labelSet.Entries[entryNumber];
    const int sayu = options.sayu;
    const int jyoge = options.jyoge;
    const int keyOffset = options.keyOffset >= 0 ? options.keyOffset
                                                 : sw::model::KeyRangeFor(entry.ButtonModel).KeyOffset;

    RenderContext ctx;
    ctx.Resolution = resolution;
    ctx.BaseOffsetX = 8.8;
    ctx.BaseOffsetY = 39.9;
    ctx.DrawButtonOutlines = options.buttonOutlines ? 1 : 0;

    // Lines (cross mark, button outlines) are half a point wide, black and solid, with the
    // round ends of a wide printer pen.
    QPen linePen(Qt::black);
    linePen.setCapStyle(Qt::RoundCap);
    linePen.setJoinStyle(Qt::RoundJoin);
    canvas.setPen(linePen);
    SetPenHalfPoints(canvas, ctx, 1);
    linePen = canvas.pen();

    SetPageOrigin(ctx, sayu, jyoge);
    DrawHeader(canvas, ctx, entryNumber, entry.Name);
    DrawCrossMark(canvas, ctx);

    RenderResult result;
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < 2; ++row) {
            const int face = 2 * column + row + 1;
            SetFaceOrigin(ctx, face, sayu, jyoge);
            DrawFace(canvas, ctx, linePen, entry, face, keyOffset, result);
        }
    }
    return result;
}

QRectF SheetInkMm(int sayu, int jyoge) {
    RenderContext ctx;
    SetPageOrigin(ctx, sayu, jyoge);
    // The header starts at the page origin; the cross mark is the highest and the rightmost
    // ink, its lines half a point wide; the bottom faces' boxes the lowest.
    const double halfPen = 25.4 / 144 / 2;
    const double left = ctx.BaseOffsetX + ctx.OriginX;
    const double top = ctx.BaseOffsetY + ctx.OriginY + kCrossY - kCrossHalf - halfPen;
    const double right = ctx.BaseOffsetX + ctx.OriginX + kCrossX + kCrossHalf + halfPen;
    SetFaceOrigin(ctx, 2, sayu, jyoge);
    const double bottom = ctx.BaseOffsetY + ctx.OriginY + kBoxTop + kBoxHeight;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QRectF FaceBoxMm(int face, int sayu, int jyoge) {
    RenderContext ctx;
    SetFaceOrigin(ctx, face, sayu, jyoge);
    return QRectF(ctx.BaseOffsetX + ctx.OriginX + kBoxLeft, ctx.BaseOffsetY + ctx.OriginY + kBoxTop, kBoxWidth,
                  kBoxHeight);
}

bool KeyTextSpill::Any() const {
    for (const KeyLineSpill& line : lines)
        if (line.wide > 0 || line.tall > 0) return true;
    return false;
}

KeyTextSpill MeasureKeySpill(const KeyTextPlacement& placement) {
    KeyTextSpill spill;
    for (int i = 0; i < 2; ++i) {
        const KeyLinePlacement& line = placement.lines[i];
        if (!line.drawn) continue;
        const QRect& band = line.band;
        spill.lines[i].wide = std::max(0, band.left() - line.topLeft.x()) +
                              std::max(0, line.topLeft.x() + line.width - (band.left() + band.width()));
        spill.lines[i].tall = std::max(0, band.top() - line.topLeft.y()) +
                              std::max(0, line.topLeft.y() + line.height - (band.top() + band.height()));
    }
    return spill;
}

KeyTextSpill CheckKeyFit(const KeyLabel& key, int face, int position) {
    if (key.Line1.empty() && key.Line2.empty()) return {};
    // Font metrics need a device of the check's resolution; one serves every measure.
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(std::lround(kFitCheckDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    RenderContext ctx;
    ctx.Resolution = kFitCheckDpi;
    SetFaceOrigin(ctx, face, 0, 0);
    const QFontMetrics fm(KeyFont(key, ctx), &device);
    return MeasureKeySpill(PlaceKeyText(ctx, position, key, fm));
}

}  // namespace sw::render
