// The calibration sheet at 600 dpi: its face boxes and key cells lie on the dots where the
// printed sheet puts its faces and keys, with and without a fine adjustment, and the combs at
// the box edges read the offset in tenths with the values to type.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "RenderTestSupport.h"
#include "render/CalibrationSheet.h"
#include "render/PrintBackground.h"
#include "render/SheetFit.h"
#include "render/SheetRenderer.h"
#include "support/RecordingDevice.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::Colour;
using sw::test::RecordingDevice;
using sw::test::RenderWindow;
using sw::test::SheetWorkspace;

constexpr int kDpi = 600;
const ColorRef kFaceColours[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FF00FF};
const QColor kBlack(Qt::black);
const QColor kWhite(Qt::white);

int Dots(double mm) { return static_cast<int>(std::lround(mm * kDpi / 25.4)); }

// Roughly where face f's box is on a sheet moved by (sayu, jyoge), in dots, with 2 mm to
// spare on every side: enough to hold the box, too little to reach a neighbouring face.
QRect AroundFace(int face, int sayu, int jyoge) {
    const int column = (face - 1) / 2;
    const int row = (face - 1) % 2;
    const double left = 15.05 + 123.75 * column + sayu / 10.0 - 2;
    const double top = 52.85 + 71 * row - jyoge / 10.0 - 2;
    return QRect(Dots(left), Dots(top), Dots(120), Dots(71));
}

// The calibration sheet drawn into the window (sheet dots) of a white image.
sw::test::Rendered Calibration(const QRect& window, std::int32_t model, int sayu, int jyoge, int entry = 1) {
    InstallFontSubstitutions();
    sw::test::Rendered r;
    r.origin = window.topLeft();
    r.image = QImage(window.size(), QImage::Format_RGB32);
    r.image.fill(Qt::white);
    QPainter painter(&r.image);
    painter.translate(-window.topLeft());
    r.result = RenderCalibrationSheet(painter, kDpi, {model, entry, sayu, jyoge});
    return r;
}

// The bounding box, in sheet dots, of the pixels of one colour.
QRect BoxOf(const sw::test::Rendered& r, const QColor& colour) {
    QRect box;
    const QRgb wanted = colour.rgb();
    for (int y = 0; y < r.image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(r.image.constScanLine(y));
        for (int x = 0; x < r.image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (wanted & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    }
    return box.translated(r.origin);
}

// The box the calibration sheet outlines around `near` (a box a few dots off at most): the
// first black dot met from outside on each side, 3.5 mm from the corner, where neither a comb
// nor a ruler tick stands.
QRect OutlinedBox(const sw::test::Rendered& r, const QRect& near) {
    const int along = Dots(3.5);
    const int from = Dots(2);
    auto firstBlack = [&](QPoint start, QPoint step) {
        QPoint p = start;
        for (int i = 0; i < 2 * from && r.At(p.x(), p.y()) != kBlack; ++i) p += step;
        return p;
    };
    const int left = firstBlack({near.left() - from, near.top() + along}, {1, 0}).x();
    const int right = firstBlack({near.right() + from, near.top() + along}, {-1, 0}).x();
    const int top = firstBlack({near.left() + along, near.top() - from}, {0, 1}).y();
    const int bottom = firstBlack({near.left() + along, near.bottom() + from}, {0, -1}).y();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void ExpectSameBox(const QRect& printed, const QRect& calibration, int face) {
    ASSERT_FALSE(printed.isEmpty()) << "face " << face;
    ASSERT_FALSE(calibration.isEmpty()) << "face " << face;
    EXPECT_LE(std::abs(printed.left() - calibration.left()), 1) << "face " << face;
    EXPECT_LE(std::abs(printed.top() - calibration.top()), 1) << "face " << face;
    EXPECT_LE(std::abs(printed.right() - calibration.right()), 1) << "face " << face;
    EXPECT_LE(std::abs(printed.bottom() - calibration.bottom()), 1) << "face " << face;
}

// Each face in a colour of its own, so that the printed sheet shows its four boxes.
std::unique_ptr<Workspace> ColouredFaces(std::int32_t model) {
    auto ws = SheetWorkspace(model);
    for (int face = 1; face <= kFaceCount; ++face) {
        ws->labelSet.Entries[1].Faces[face].BackgroundMode = 1;
        ws->labelSet.Entries[1].Faces[face].BackgroundColor = kFaceColours[face - 1];
    }
    return ws;
}

// The four face boxes of the printed sheet and of the calibration sheet, for one adjustment.
std::vector<std::pair<QRect, QRect>> FaceBoxes(int sayu, int jyoge) {
    auto ws = ColouredFaces(kModel30);
    ws->settings.Sayu = sayu;
    ws->settings.Jyoge = jyoge;
    std::vector<std::pair<QRect, QRect>> boxes;
    for (int face = 1; face <= kFaceCount; ++face) {
        const QRect window = AroundFace(face, sayu, jyoge);
        const auto printed = RenderWindow(*ws, kDpi, window);
        const auto calibration = Calibration(window, kModel30, sayu, jyoge);
        EXPECT_TRUE(calibration.result.ok);
        const QRect printedBox = BoxOf(printed, Colour(kFaceColours[face - 1]));
        boxes.emplace_back(printedBox, OutlinedBox(calibration, printedBox));
    }
    return boxes;
}

TEST(CalibrationSheet, FaceBoxesLieWhereThePrintedFacesAreAndMoveWithTheAdjustment) {
    const auto plain = FaceBoxes(0, 0);
    // One millimetre right and half a millimetre down.
    const auto moved = FaceBoxes(10, -5);
    for (int face = 1; face <= kFaceCount; ++face) {
        const auto& [printed, calibration] = plain[face - 1];
        ExpectSameBox(printed, calibration, face);
        EXPECT_NEAR(calibration.width(), 116 * kDpi / 25.4, 1.0);
        EXPECT_NEAR(calibration.height(), 67 * kDpi / 25.4, 1.0);
        const auto& [printedMoved, calibrationMoved] = moved[face - 1];
        ExpectSameBox(printedMoved, calibrationMoved, face);
        // 1.0 mm is 23.6 dots, 0.5 mm 11.8.
        EXPECT_NEAR(calibrationMoved.left() - calibration.left(), 23.6, 1.0) << "face " << face;
        EXPECT_NEAR(calibrationMoved.top() - calibration.top(), 11.8, 1.0) << "face " << face;
    }
}

// A key whose cell the printed sheet fills red, and the calibration sheet's outline of it:
// black at each edge, white beyond its top and bottom edges and inside.
void ExpectCellOutlined(const sw::test::Rendered& calibration, const QRect& cell, int position) {
    const int mx = cell.center().x(), my = cell.center().y();
    EXPECT_EQ(calibration.At(cell.left(), my), kBlack) << position;
    EXPECT_EQ(calibration.At(cell.right(), my), kBlack) << position;
    EXPECT_EQ(calibration.At(mx, cell.top()), kBlack) << position;
    EXPECT_EQ(calibration.At(mx, cell.bottom()), kBlack) << position;
    EXPECT_EQ(calibration.At(mx, cell.top() - 1), kWhite) << position;
    EXPECT_EQ(calibration.At(mx, cell.bottom() + 1), kWhite) << position;
    EXPECT_EQ(calibration.At(cell.left() + 10, my), kWhite) << position;
    EXPECT_EQ(calibration.At(cell.right() - 10, my), kWhite) << position;
}

bool AnyBlackIn(const sw::test::Rendered& r, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (r.At(x, y) == kBlack) return true;
    return false;
}

// How many black dots run across x at height y (the run nearest x, within 3 dots).
int BlackRunAt(const sw::test::Rendered& r, int x, int y) {
    for (int d = 0; d <= 3 && r.At(x, y) != kBlack; ++d) x += r.At(x - d, y) == kBlack ? -d : r.At(x + d, y) == kBlack ? d : 0;
    if (r.At(x, y) != kBlack) return 0;
    int from = x, to = x;
    while (r.At(from - 1, y) == kBlack) --from;
    while (r.At(to + 1, y) == kBlack) ++to;
    return to - from + 1;
}

TEST(CalibrationSheet, KeyCellsAreOutlinedWhereThePrintedKeysAreForTheirModelOnlyEachEdgeOnce) {
    // Face 2: position 25 (top row, 30 keys only), 7 (bottom row of 18 keys) and 15.
    auto ws = SheetWorkspace(kModel30);
    const int offset30 = KeyRangeFor(kModel30).KeyOffset;
    for (int position : {25, 7, 15})
        ws->labelSet.Entries[1].Faces[2].Keys[position - offset30].BackColor = 0x000000FF;
    const QRect window = AroundFace(2, 3, 4);
    ws->settings.Sayu = 3;
    ws->settings.Jyoge = 4;
    const auto printed = RenderWindow(*ws, kDpi, window);
    // Each red key is alone in its row: the cells are the red areas of the runs of lines
    // that hold red, from the top (25, 15, then 7).
    std::vector<QRect> cells;
    bool inRun = false;
    for (int y = window.top(); y <= window.bottom(); ++y) {
        QRect line;
        for (int x = window.left(); x <= window.right(); ++x)
            if (printed.At(x, y) == QColor(Qt::red)) line |= QRect(x, y, 1, 1);
        if (!line.isEmpty() && !inRun) cells.emplace_back();
        if (!line.isEmpty()) cells.back() |= line;
        inRun = !line.isEmpty();
    }
    ASSERT_EQ(cells.size(), 3u);
    const QRect cell25 = cells[0], cell15 = cells[1], cell7 = cells[2];
    EXPECT_NEAR(cell7.width(), 17.3 * kDpi / 25.4, 1.0);
    EXPECT_NEAR(cell7.height(), 7.1 * kDpi / 25.4, 1.0);

    const auto thirty = Calibration(window, kModel30, 3, 4);
    for (auto [cell, position] : {std::pair{cell25, 25}, {cell7, 7}, {cell15, 15}})
        ExpectCellOutlined(thirty, cell, position);
    // Neighbouring cells share one line, as thick as the row's outer edge: position 15's
    // left edge (shared with 14) and the row's first edge, position 13's.
    const int line = BlackRunAt(thirty, cell15.left() - Dots(17.3) * 2, cell15.center().y());
    EXPECT_EQ(line, 2);  // 0.08 mm
    EXPECT_EQ(BlackRunAt(thirty, cell15.left(), cell15.center().y()), line);
    EXPECT_EQ(BlackRunAt(thirty, cell15.right(), cell15.center().y()), line);

    const auto eighteen = Calibration(window, kModel18, 3, 4);
    ExpectCellOutlined(eighteen, cell7, 7);
    ExpectCellOutlined(eighteen, cell15, 15);
    // The top row (25–30) and the bottom row (01–06) have no cells with 18 keys.
    EXPECT_FALSE(AnyBlackIn(eighteen, cell25.adjusted(0, 0, Dots(17.3) * 5, 0)));
    EXPECT_FALSE(AnyBlackIn(eighteen, cell7.translated(0, Dots(12)).adjusted(0, 0, Dots(17.3) * 5, 0)));
    EXPECT_TRUE(AnyBlackIn(thirty, cell7.translated(0, Dots(12))));
}

TEST(CalibrationSheet, RulersTickEveryMillimetreAndTheHeaderStaysAboveTheFaces) {
    const QRect window = AroundFace(1, 0, 0);
    const auto sheet = Calibration(window, kModel30, 0, 0);
    const QRect box = OutlinedBox(sheet, QRect(356, 1248, 2740, 1583));
    ASSERT_EQ(box, QRect(356, 1248, 2740, 1583));
    // Along the top edge, one millimetre in: ticks down from the edge, one per millimetre,
    // and the ones of 5 and 10 mm longer.
    auto tickLength = [&](int mm) {
        const int x = box.left() + Dots(mm) + 1;
        int length = 0;
        while (sheet.At(x, box.top() + length) == kBlack) ++length;
        return length;
    };
    EXPECT_NEAR(tickLength(1), Dots(1.0), 1);
    EXPECT_NEAR(tickLength(4), Dots(1.0), 1);
    EXPECT_GT(tickLength(5), tickLength(4));
    EXPECT_GT(tickLength(10), tickLength(5));
    EXPECT_NEAR(tickLength(110), tickLength(10), 1);
    EXPECT_EQ(sheet.At(box.left() + Dots(2.5), box.top() + Dots(0.5)), kWhite);

    // The header, well above face 1 and 3.
    const QRect above(0, 0, Dots(280), box.top() - Dots(1.5));
    const auto header = Calibration(above, kModel30, 3, -2);
    const QRect ink = header.Ink();
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.bottom(), box.top() - Dots(3));
    EXPECT_EQ(AdjustmentText(3, -2), QStringLiteral("左右 +0.3mm / 上下 −0.2mm"));
    EXPECT_EQ(AdjustmentText(0, 123456), QStringLiteral("左右 0.0mm / 上下 +1000.0mm"));
}

// The sheet drawn on a recording device of an A4 landscape page at 600 dpi.
std::unique_ptr<RecordingDevice> Recorded(const CalibrationOptions& options) {
    InstallFontSubstitutions();
    auto device = std::make_unique<RecordingDevice>(QSize(Dots(297), Dots(210)), kDpi);
    QPainter painter(device.get());
    EXPECT_TRUE(RenderCalibrationSheet(painter, kDpi, options).ok);
    return device;
}

// One line of a comb and the label beside it.
struct Tooth {
    QRect line;
    QString label;
};

// The comb at one edge of a box: the lines parallel to the edge within 1.2 mm of it, in order
// along the edge, each with the label whose baseline lies level with it (left and right edges)
// or below / above it (top and bottom edges).
std::vector<Tooth> Comb(const RecordingDevice& sheet, const QRect& box, char edge) {
    const bool vertical = edge == 'L' || edge == 'R';
    const int at = edge == 'L' ? box.left() : edge == 'R' ? box.left() + box.width()
                 : edge == 'T' ? box.top() : box.top() + box.height();
    const int reach = Dots(1.2);
    std::vector<Tooth> teeth;
    for (const QRect& r : sheet.FillsIn(0, kBlack)) {
        const bool parallel = vertical ? r.width() < r.height() : r.height() < r.width();
        const int across = vertical ? r.center().x() : r.center().y();
        const bool alongBox = vertical ? r.top() > box.top() && r.bottom() < box.bottom()
                                       : r.left() > box.left() && r.right() < box.right();
        if (parallel && alongBox && std::abs(across - at) <= reach && (vertical ? r.height() : r.width()) < Dots(5))
            teeth.push_back({r, {}});
    }
    std::sort(teeth.begin(), teeth.end(), [vertical](const Tooth& a, const Tooth& b) {
        return vertical ? a.line.top() < b.line.top() : a.line.left() < b.line.left();
    });
    for (Tooth& tooth : teeth) {
        // The label stands inside the box, within 6 mm of the edge, level with its line.
        const QRect& l = tooth.line;
        QRect area = vertical ? QRect(edge == 'L' ? at : at - Dots(6), l.top(), Dots(6), l.height())
                              : QRect(l.left() - Dots(0.8), edge == 'T' ? at : at - Dots(6), l.width() + Dots(1.6),
                                      Dots(6));
        for (const auto& text : sheet.TextsIn(0, area)) tooth.label += text.text;
    }
    return teeth;
}

// A user reads the line that meets the stock's edge and types its number: line k of a comb
// stands k tenths of a millimetre from the printed edge (right on the left and right edges, up
// on the top and bottom ones) and reads the adjustment printed plus k, for every edge of every
// face.
TEST(CalibrationSheet, EveryBoxEdgeHasACombOfTenthsLabelledWithTheValueToType) {
    const int sayu = 3, jyoge = -2;
    const auto sheet = Recorded({kModel30, 7, sayu, jyoge});
    RenderContext ctx;
    ctx.Resolution = kDpi;
    for (int face = 1; face <= kFaceCount; ++face) {
        SetFaceOrigin(ctx, face, sayu, jyoge);
        const QRect box = FaceBackgroundBox(ctx);
        for (char edge : {'L', 'R', 'T', 'B'}) {
            const std::vector<Tooth> teeth = Comb(*sheet, box, edge);
            ASSERT_EQ(teeth.size(), 21u) << "face " << face << " edge " << edge;
            const bool vertical = edge == 'L' || edge == 'R';
            const int at = edge == 'L' ? box.left() : edge == 'R' ? box.left() + box.width()
                         : edge == 'T' ? box.top() : box.top() + box.height();
            for (int i = 0; i < 21; ++i) {
                const int k = i - 10;
                const QRect& line = teeth[static_cast<size_t>(i)].line;
                // A line two dots wide, centred on its place: the middle one on the edge.
                const int thickness = vertical ? line.width() : line.height();
                const int middle2 = vertical ? 2 * line.left() + thickness : 2 * line.top() + thickness;
                const int place = vertical ? at + DotsFromMm(kDpi, k / 10.0) : at - DotsFromMm(kDpi, k / 10.0);
                EXPECT_EQ(thickness, 2) << face << edge << k;
                EXPECT_EQ(middle2, 2 * place) << face << edge << k;
                EXPECT_EQ(teeth[static_cast<size_t>(i)].label, CombLabel((vertical ? sayu : jyoge) + k))
                    << face << edge << k;
            }
        }
    }
    EXPECT_EQ(CombLabel(13), QStringLiteral("+13"));
    EXPECT_EQ(CombLabel(-2), QStringLiteral("-2"));
    EXPECT_EQ(CombLabel(0), QStringLiteral("0"));
}

// What the header says, the text items of each line joined.
QStringList HeaderLines(const RecordingDevice& sheet) {
    std::vector<RecordingDevice::Text> texts = sheet.TextsIn(0, QRect(0, 0, Dots(297), Dots(50)));
    std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.baseline.y(), a.baseline.x()) < std::make_pair(b.baseline.y(), b.baseline.x());
    });
    QStringList lines;
    qreal y = -1;
    for (const auto& text : texts) {
        if (text.baseline.y() != y) lines << QString();
        lines.last() += text.text;
        y = text.baseline.y();
    }
    return lines;
}

TEST(CalibrationSheet, TheHeaderNamesTheModelTheNumberTheAdjustmentAndTheSignRule) {
    const QStringList lines = HeaderLines(*Recorded({kModel18, 7, 3, -2}));
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("18ボタン　管理番号 07"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("左右 +0.3mm / 上下 −0.2mm"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("＋は右へ・上へ"))) << lines[2].toStdString();
    // The companion tool names no management number.
    EXPECT_TRUE(HeaderLines(*Recorded({kModel30, 0, 0, 0}))[1].startsWith(QStringLiteral("30ボタン　印刷位置")));
}

TEST(CalibrationSheet, InkReachesFromTheHeaderToTheCombsBeyondTheLowerRightFace) {
    const QRectF ink = CalibrationInkMm(0, 0);
    EXPECT_NEAR(ink.left(), 8.8, 0.01);
    EXPECT_NEAR(ink.top(), 36.5, 0.01);
    EXPECT_NEAR(ink.right(), 254.8 + 1.04, 0.01);
    EXPECT_NEAR(ink.bottom(), 190.85 + 1.04, 0.01);
    // Nothing is drawn outside it.
    const auto sheet = Recorded({kModel30, 1, 0, 0});
    QRect drawn;
    for (const auto& fill : sheet->fills) drawn |= fill.rect;
    const QRect inkDots(QPoint(Dots(ink.left()), Dots(ink.top())), QPoint(Dots(ink.right()), Dots(ink.bottom())));
    EXPECT_TRUE(inkDots.adjusted(-1, -1, 1, 1).contains(drawn)) << drawn.right() << " " << drawn.bottom();
    EXPECT_EQ(CalibrationInkMm(10, 20).topLeft(), ink.topLeft() + QPointF(1.0, -2.0));
}

TEST(CalibrationSheet, RefusesAResolutionItCannotDraw) {
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const RenderResult r = RenderCalibrationSheet(painter, 0, {kModel30, 1, 0, 0});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
}

}  // namespace
}  // namespace sw::render
