// The calibration sheet at 600 dpi: its face boxes and key cells lie on the dots where the
// printed sheet puts its faces and keys, with and without a fine adjustment.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "RenderTestSupport.h"
#include "render/CalibrationSheet.h"
#include "render/SheetRenderer.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::Colour;
using sw::test::RenderWindow;
using sw::test::SheetWorkspace;

constexpr int kDpi = 600;
const ColorRef kFaceColours[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FF00FF};

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
sw::test::Rendered Calibration(const QRect& window, std::int32_t model, int sayu, int jyoge) {
    InstallFontSubstitutions();
    sw::test::Rendered r;
    r.origin = window.topLeft();
    r.image = QImage(window.size(), QImage::Format_RGB32);
    r.image.fill(Qt::white);
    QPainter painter(&r.image);
    painter.translate(-window.topLeft());
    r.result = RenderCalibrationSheet(painter, kDpi, model, sayu, jyoge);
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
        boxes.emplace_back(BoxOf(printed, Colour(kFaceColours[face - 1])),
                           BoxOf(calibration, QColor(Qt::black)));
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
// black along the inside of each edge, white beyond its top and bottom edges and inside.
void ExpectCellOutlined(const sw::test::Rendered& calibration, const QRect& cell, int position) {
    const int mx = cell.center().x(), my = cell.center().y();
    const QColor black(Qt::black), white(Qt::white);
    EXPECT_EQ(calibration.At(cell.left(), my), black) << position;
    EXPECT_EQ(calibration.At(cell.right(), my), black) << position;
    EXPECT_EQ(calibration.At(mx, cell.top()), black) << position;
    EXPECT_EQ(calibration.At(mx, cell.bottom()), black) << position;
    EXPECT_EQ(calibration.At(mx, cell.top() - 1), white) << position;
    EXPECT_EQ(calibration.At(mx, cell.bottom() + 1), white) << position;
    EXPECT_EQ(calibration.At(cell.left() + 10, my), white) << position;
    EXPECT_EQ(calibration.At(cell.right() - 10, my), white) << position;
}

bool AnyBlackIn(const sw::test::Rendered& r, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (r.At(x, y) == QColor(Qt::black)) return true;
    return false;
}

TEST(CalibrationSheet, KeyCellsAreOutlinedWhereThePrintedKeysAreForTheirModelOnly) {
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
    const QRect box = BoxOf(sheet, QColor(Qt::black));
    ASSERT_FALSE(box.isEmpty());
    // Along the top edge, one millimetre in: ticks down from the edge, one per millimetre,
    // and the ones of 5 and 10 mm longer.
    auto tickLength = [&](int mm) {
        const int x = box.left() + Dots(mm) + 1;
        int length = 0;
        while (sheet.At(x, box.top() + length) == QColor(Qt::black)) ++length;
        return length;
    };
    EXPECT_NEAR(tickLength(1), Dots(1.0), 1);
    EXPECT_NEAR(tickLength(4), Dots(1.0), 1);
    EXPECT_GT(tickLength(5), tickLength(4));
    EXPECT_GT(tickLength(10), tickLength(5));
    EXPECT_EQ(sheet.At(box.left() + Dots(2.5), box.top() + Dots(0.5)), QColor(Qt::white));

    // The header: the instruction and the adjustment, well above face 1 and 3.
    const QRect above(0, 0, Dots(280), box.top());
    const auto header = Calibration(above, kModel30, 3, -2);
    const QRect ink = header.Ink();
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.bottom(), box.top() - Dots(3));
    EXPECT_EQ(AdjustmentText(3, -2), QStringLiteral("左右 +0.3mm / 上下 −0.2mm"));
    EXPECT_EQ(AdjustmentText(0, 123456), QStringLiteral("左右 0.0mm / 上下 +1000.0mm"));
}

TEST(CalibrationSheet, RefusesAResolutionItCannotDraw) {
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const RenderResult r = RenderCalibrationSheet(painter, 0, kModel30, 0, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
}

}  // namespace
}  // namespace sw::render
