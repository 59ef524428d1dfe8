// The printed sheet probed pixel by pixel at 600, 144 and 96 dpi: header, cross mark, key cells,
// key areas, text placement, button outlines, fine adjustment and absurd values.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "RenderTestSupport.h"
#include "model/Cp932.h"
#include "render/RenderContext.h"
#include "render/SheetFit.h"
#include "render/SheetRenderer.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::Colour;
using sw::test::RenderWindow;
using sw::test::SheetWorkspace;

constexpr ColorRef kRed = 0x000000FF;
constexpr ColorRef kGreen = 0x0000FF00;
constexpr ColorRef kBlue = 0x00FF0000;
constexpr ColorRef kMagenta = 0x00FF00FF;

Bytes Cp932(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

// Expects the rectangle [x1, x2) × [y1, y2) filled with colour and the dot beyond each edge not.
void ExpectFilled(const sw::test::Rendered& r, int x1, int y1, int x2, int y2, const QColor& colour) {
    const int mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    EXPECT_EQ(r.At(x1, y1), colour) << x1 << "," << y1;
    EXPECT_EQ(r.At(x2 - 1, y2 - 1), colour) << x2 - 1 << "," << y2 - 1;
    EXPECT_NE(r.At(x1 - 1, my), colour) << "left edge " << x1 - 1;
    EXPECT_NE(r.At(x2, my), colour) << "right edge " << x2;
    EXPECT_NE(r.At(mx, y1 - 1), colour) << "top edge " << y1 - 1;
    EXPECT_NE(r.At(mx, y2), colour) << "bottom edge " << y2;
}

int BlackRun(const sw::test::Rendered& r, int x, int y, bool horizontal) {
    int n = 0;
    for (int i = -10; i <= 10; ++i) {
        const QColor c = horizontal ? r.At(x + i, y) : r.At(x, y + i);
        if (c == QColor(Qt::black)) ++n;
    }
    return n;
}

TEST(DotsFromMm, RoundsTheExactProductHalfToEven) {
    // At 127 dpi a millimetre is exactly 5 dots: 0.1 mm is half a dot.
    EXPECT_EQ(DotsFromMm(127, 0.1), 0);
    EXPECT_EQ(DotsFromMm(127, 0.3), 2);
    EXPECT_EQ(DotsFromMm(127, 0.5), 2);
    EXPECT_EQ(DotsFromMm(127, 0.7), 4);
    EXPECT_EQ(DotsFromMm(127, -0.1), 0);
    EXPECT_EQ(DotsFromMm(127, -0.3), -2);
    EXPECT_EQ(DotsFromMm(600, 116), 2740);
    EXPECT_EQ(DotsFromMm(600, 67), 1583);
    // Absurd lengths saturate instead of overflowing.
    EXPECT_EQ(DotsFromMm(INT_MAX, 1e300), INT_MAX);
    EXPECT_EQ(DotsFromMm(INT_MAX, -1e300), INT_MIN);
    EXPECT_EQ(DotsFromMm(600, std::nan("")), 0);
}

TEST(DotsFromMm, FontAndPenSizesFollowTheResolution) {
    EXPECT_EQ(FontPixelSize(9, 600), 75);
    EXPECT_EQ(FontPixelSize(10, 96), 13);
    EXPECT_EQ(FontPixelSize(11, 96), 15);
    EXPECT_EQ(FontPixelSize(1, 36), 1);  // a half rounds away from zero
    EXPECT_EQ(DrawnFontPixelSize(0, 600), 1);
    EXPECT_EQ(DrawnFontPixelSize(-40, 600), 1);
    EXPECT_EQ(DrawnFontPixelSize(100000, 600), 1200);
    EXPECT_EQ(DrawnFontPixelSize(INT_MAX, 1200), 2400);
    EXPECT_EQ(PenHalfPointsWidth(600, 1), 4);
    EXPECT_EQ(PenHalfPointsWidth(1200, 1), 8);
    EXPECT_EQ(PenHalfPointsWidth(96, 1), 1);
    EXPECT_EQ(PenHalfPointsWidth(30, 1), 1);
}

class SheetGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        ws = SheetWorkspace(kModel30);
        PrintFace& face = ws->labelSet.Entries[1].Faces[1];
        face.BackgroundMode = 1;
        face.BackgroundColor = kMagenta;
        face.Keys[25].BackColor = kRed;
        face.Keys[26].BackColor = kGreen;
        face.Keys[1].BackColor = kBlue;
        face.Keys[2].BackColor = kGreen;
        face.Keys[19].BackColor = kGreen;
    }
    std::unique_ptr<Workspace> ws;
};

TEST_F(SheetGeometry, At600DpiCellsBoxAndCrossLieOnTheirDots) {
    auto r = RenderWindow(*ws, 600, QRect(0, 700, 3400, 2300));
    ASSERT_TRUE(r.result.Whole());
    ExpectFilled(r, 504, 1335, 913, 1502, Colour(kRed));   // position 25
    ExpectFilled(r, 504, 2469, 913, 2636, Colour(kBlue));  // position 01
    // The background box of face 1 starts at (356, 1248) and is 2740 × 1583 dots.
    EXPECT_EQ(r.At(356, 1248), Colour(kMagenta));
    EXPECT_EQ(r.At(355, 1400), QColor(Qt::white));
    EXPECT_EQ(r.At(400, 1247), QColor(Qt::white));
    EXPECT_EQ(r.At(3095, 2830), Colour(kMagenta));
    EXPECT_EQ(r.At(3096, 2000), QColor(Qt::white));  // right strip
    EXPECT_EQ(r.At(400, 2831), QColor(Qt::white));
    // The white key area of 30 keys: dx 12.8..116.6, dy 0..60.7.
    EXPECT_EQ(r.At(2955, 2768), QColor(Qt::white));
    EXPECT_EQ(r.At(2956, 2000), Colour(kMagenta));
    EXPECT_EQ(r.At(2000, 2769), Colour(kMagenta));

    auto cross = RenderWindow(*ws, 600, QRect(5900, 400, 500, 400));
    for (int x : {6069, 6150, 6304}) EXPECT_EQ(cross.At(x, 589), QColor(Qt::black)) << x;
    EXPECT_EQ(cross.At(6320, 589), QColor(Qt::white));
    for (int y : {471, 520, 706}) EXPECT_EQ(cross.At(6187, y), QColor(Qt::black)) << y;
    // Half a point is 4 dots at 600 dpi, across either line.
    EXPECT_EQ(BlackRun(cross, 6100, 589, false), 4);
    EXPECT_EQ(BlackRun(cross, 6187, 520, true), 4);
}

TEST_F(SheetGeometry, At96And144DpiTheSameMillimetresGiveTheirOwnDots) {
    auto r96 = RenderWindow(*ws, 96, QRect(0, 0, 1123, 794));
    ExpectFilled(r96, 81, 214, 146, 240, Colour(kRed));
    ExpectFilled(r96, 81, 395, 146, 422, Colour(kBlue));
    EXPECT_EQ(BlackRun(r96, 980, 94, false), 1);
    auto r144 = RenderWindow(*ws, 144, QRect(0, 0, 1684, 1191));
    ExpectFilled(r144, 121, 320, 219, 361, Colour(kRed));
    EXPECT_EQ(r144.At(85, 300), Colour(kMagenta));
    EXPECT_EQ(r144.At(84, 310), QColor(Qt::white));
}

TEST_F(SheetGeometry, FineAdjustmentOfTenMovesEverythingOneMillimetreRightAndUp) {
    const QRect headerWindow(150, 780, 1400, 200);
    auto headerBefore = RenderWindow(*ws, 600, headerWindow);
    ws->settings.Sayu = 10;
    ws->settings.Jyoge = 10;
    auto r = RenderWindow(*ws, 600, QRect(0, 700, 3400, 2300));
    ExpectFilled(r, 528, 1311, 937, 1479, Colour(kRed));
    ExpectFilled(r, 528, 2445, 937, 2613, Colour(kBlue));
    EXPECT_EQ(r.At(379, 1225), Colour(kMagenta));
    EXPECT_EQ(r.At(378, 1300), QColor(Qt::white));
    auto cross = RenderWindow(*ws, 600, QRect(5900, 400, 500, 400));
    EXPECT_EQ(cross.At(6150, 566), QColor(Qt::black));
    EXPECT_EQ(cross.At(6150, 589), QColor(Qt::white));
    EXPECT_EQ(cross.At(6210, 450), QColor(Qt::black));
    // The header's top-left point moves from (208, 862) to (231, 839).
    auto headerAfter = RenderWindow(*ws, 600, headerWindow);
    ASSERT_FALSE(headerBefore.Ink().isEmpty());
    EXPECT_EQ(headerAfter.Ink(), headerBefore.Ink().translated(23, -23));
}

TEST_F(SheetGeometry, EighteenKeysDrawRowsTwoToFourWithKeysOneToEighteen) {
    ws->labelSet.Entries[1].ButtonModel = kModel18;
    ws->editor.ApplyKeyRange(KeyRangeFor(kModel18));
    ws->labelSet.Entries[1].Faces[1].Keys[18].BackColor = kGreen;
    auto r = RenderWindow(*ws, 600, QRect(0, 1200, 3400, 1700));
    ExpectFilled(r, 504, 2185, 913, 2353, Colour(kBlue));     // position 07 shows key 1
    ExpectFilled(r, 2548, 1618, 2956, 1786, Colour(kGreen));  // position 24 shows key 18
    // Rows 1 and 5 are not drawn; the key area is dy 12..48.7.
    EXPECT_EQ(r.At(600, 1400), Colour(kMagenta));
    EXPECT_EQ(r.At(600, 2550), Colour(kMagenta));
    EXPECT_EQ(r.At(600, 1617), Colour(kMagenta));
    EXPECT_EQ(r.At(600, 2400), QColor(Qt::white));
    EXPECT_EQ(r.At(600, 2485), Colour(kMagenta));
}


// What a text draws in "ＭＳ ゴシック" at a pixel size when its top-left corner is at (0, 0),
// measured with QFontMetrics on an image as the sheet measures it.
struct Measured {
    QRect ink;
    int width = 0;
    int height = 0;
};
Measured Measure(const QString& text, int pixelSize) {
    InstallFontSubstitutions();
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(pixelSize);
    sw::test::Rendered r;
    r.image = QImage(1600, 400, QImage::Format_RGB32);
    r.image.fill(Qt::white);
    r.origin = QPoint(-100, -100);  // drawn at (100, 100): ink left of the pen still counts
    QPainter painter(&r.image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics fm = painter.fontMetrics();
    painter.drawText(100, 100 + fm.ascent(), text);
    painter.end();
    return Measured{r.Ink(), fm.horizontalAdvance(text), fm.height()};
}

// n / 2 to the nearest integer, halves to even (the default rounding mode).
int Half(int n) { return static_cast<int>(std::nearbyint(n / 2.0)); }

// Position 25 of face 1 at 600 dpi: x 504..913 (409 dots), y 1335..1502 (168 dots), the upper
// band ending at 1417; 9 points are 75 pixels.
constexpr int kLeft = 504, kRight = 913, kTop = 1335, kSplit = 1417, kBottom = 1502;
const QRect kCellWindow(440, 1290, 700, 300);

int ExpectedX(int alignment, int width) {
    switch (alignment) {
        case kAlignLeft: return kLeft + 1;
        case kAlignRight: return kRight - width - 1;
        default: return kLeft + Half(409 - width);
    }
}
int ExpectedY(int layout, int bandTop, int bandBottom, int centreDots, int height) {
    switch (layout) {
        case kLayoutTop: return bandTop + 1;
        case kLayoutBottom: return bandBottom - height - 1;
        default: return bandTop + Half(centreDots - height);
    }
}

class KeyText : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(KeyText, OneLineUsesTheWholeCellAndTwoLinesTheirBands) {
    const auto [alignment, layout] = GetParam();
    auto ws = SheetWorkspace(kModel30);
    KeyLabel& key = ws->labelSet.Entries[1].Faces[1].Keys[25];
    key.Alignment = static_cast<std::uint8_t>(alignment);
    key.Layout = static_cast<std::uint8_t>(layout);
    const Measured ab = Measure(QStringLiteral("AB"), 75);
    const Measured gy = Measure(QStringLiteral("gy"), 75);

    key.Line1 = "AB";
    auto single = RenderWindow(*ws, 600, kCellWindow);
    EXPECT_EQ(single.Ink(), ab.ink.translated(ExpectedX(alignment, ab.width),
                                              ExpectedY(layout, kTop, kBottom, 168, ab.height)));

    key.Line2 = "gy";
    auto both = RenderWindow(*ws, 600, kCellWindow);
    const QRect upper = ab.ink.translated(ExpectedX(alignment, ab.width),
                                          ExpectedY(layout, kTop, kSplit, 83, ab.height));
    const QRect lower = gy.ink.translated(ExpectedX(alignment, gy.width),
                                          ExpectedY(layout, kSplit, kBottom, 83, gy.height));
    EXPECT_EQ(both.Ink(), upper.united(lower));

    key.Line1.clear();
    auto onlySecond = RenderWindow(*ws, 600, kCellWindow);
    EXPECT_EQ(onlySecond.Ink(), lower);
}

INSTANTIATE_TEST_SUITE_P(AlignmentsAndLayouts, KeyText,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Values(0, 1, 2)));

TEST(KeyTextMore, EmptyKeysAreFilledAndLongLinesRunOverTheirNeighbours) {
    auto ws = SheetWorkspace(kModel30);
    PrintFace& face = ws->labelSet.Entries[1].Faces[1];
    face.Keys[26].BackColor = kGreen;
    auto empty = RenderWindow(*ws, 600, QRect(913, 1335, 409, 167));
    EXPECT_EQ(empty.image.pixelColor(0, 0), Colour(kGreen));
    EXPECT_TRUE(std::all_of(reinterpret_cast<const QRgb*>(empty.image.constBits()),
                            reinterpret_cast<const QRgb*>(empty.image.constBits()) +
                                empty.image.width() * empty.image.height(),
                            [](QRgb p) { return p == Colour(kGreen).rgb(); }));

    // A right-aligned line wider than its cell starts left of it, over the cell drawn before.
    face.Keys[26].Alignment = kAlignRight;
    face.Keys[26].Line1 = std::string(20, 'W');
    auto longLine = RenderWindow(*ws, 600, QRect(300, 1300, 1400, 250));
    EXPECT_LT(longLine.Ink().left(), 913);
    // A left-aligned one is partly covered by the next cell's fill.
    face.Keys[26].Line1.clear();
    face.Keys[26].BackColor = kWhite;
    face.Keys[25].Alignment = kAlignLeft;
    face.Keys[25].Line1 = std::string(20, 'W');
    auto covered = RenderWindow(*ws, 600, QRect(300, 1300, 1400, 250));
    EXPECT_EQ(covered.Ink().right(), 912);
}

TEST(SheetHeader, ShowsTheEntryNumberAndNameFromItsTopLeftPoint) {
    auto ws = SheetWorkspace(kModel30);
    const QRect window(0, 780, 2000, 300);
    const int tenPoints = 83;  // at 600 dpi
    auto bare = RenderWindow(*ws, 600, window);
    EXPECT_EQ(bare.Ink(), Measure(QStringLiteral("(01)"), tenPoints).ink.translated(208, 862));

    ws->editor.CurrentEntry = 7;
    ws->labelSet.Entries[7].ButtonModel = kModel30;
    ws->labelSet.Entries[7].Name = Cp932("本社ABC");
    auto named = RenderWindow(*ws, 600, window);
    EXPECT_EQ(named.Ink(), Measure(QStringLiteral("(07)本社ABC"), tenPoints).ink.translated(208, 862));
}

TEST(ButtonOutlines, AppearUnderEveryUsedPositionOnlyWhenAsked) {
    auto ws = SheetWorkspace(kModel18);
    const QRect window(400, 1200, 2700, 1700);
    auto print = RenderWindow(*ws, 600, window, false);
    auto preview = RenderWindow(*ws, 600, window, true);
    EXPECT_TRUE(print.Ink().isEmpty());
    // Position 07 (row 2, column 1): bar top at y 2353 + 0.1 mm, from dx 16 to 28.5; the
    // circle's leftmost point at dx 13.5.
    for (int column = 0; column < 6; ++column) {
        const int dx = 17.3 * column * 600 / 25.4;
        EXPECT_EQ(preview.At(700 + dx, 2355), QColor(Qt::black)) << column;   // position 07 + column
        EXPECT_EQ(preview.At(700 + dx, 1788), QColor(Qt::black)) << column;   // position 19 + column
        EXPECT_EQ(preview.At(700 + dx, 1505), QColor(Qt::white)) << column;   // position 25: unused
    }
    EXPECT_EQ(preview.At(521, 2355 + 59), QColor(Qt::black));  // left end of the circle
    EXPECT_EQ(preview.At(600, 2355 + 59), QColor(Qt::white));  // inside, filled white
}

TEST(AbsurdValues, HugeFontSizesAndAdjustmentsDrawQuicklyAndChangeNothingStored) {
    auto ws = SheetWorkspace(kModel30);
    PrintFace& face = ws->labelSet.Entries[1].Faces[1];
    const int sizes[] = {0, -5, 100000, INT_MIN, INT_MAX};
    for (int i = 0; i < 5; ++i) {
        face.Keys[i + 1].Line1 = Cp932("営業部");
        face.Keys[i + 1].Line2 = "x";
        face.Keys[i + 1].FontSize = sizes[i];
    }
    QElapsedTimer timer;
    timer.start();
    auto r = RenderWindow(*ws, 600, QRect(0, 0, 3400, 3000));
    EXPECT_TRUE(r.result.Whole());
    EXPECT_LT(timer.elapsed(), 20000);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(face.Keys[i + 1].FontSize, sizes[i]);

    const int offsets[] = {2000000000, -2000000000, INT_MAX, INT_MIN};
    for (int sayu : offsets) {
        for (int jyoge : {0, sayu}) {
            ws->settings.Sayu = sayu;
            ws->settings.Jyoge = jyoge;
            auto page = RenderWindow(*ws, 96, QRect(0, 0, 1123, 794));
            EXPECT_TRUE(page.result.Whole());
            EXPECT_TRUE(page.Ink().isEmpty()) << sayu << " " << jyoge;  // off the page
            EXPECT_EQ(ws->settings.Sayu, sayu);
        }
    }
}

// What the fit check takes as the sheet's ink is where the drawing puts it: coloured faces,
// the cross mark and the header, with and without a fine adjustment.
TEST(SheetInk, TheFitCheckKnowsWhereTheSheetPutsInk) {
    auto ws = SheetWorkspace(kModel30);
    ws->labelSet.Entries[1].Name = EncodeCp932(QStringLiteral("本社")).bytes;
    for (int face = 1; face <= kFaceCount; ++face) {
        ws->labelSet.Entries[1].Faces[face].BackgroundMode = 1;
        ws->labelSet.Entries[1].Faces[face].BackgroundColor = 0x00808080;
    }
    constexpr int kDpi = 300;
    for (auto [sayu, jyoge] : {std::pair{0, 0}, {25, -40}}) {
        ws->settings.Sayu = sayu;
        ws->settings.Jyoge = jyoge;
        const QRect drawn = RenderWindow(*ws, kDpi, QRect(0, 0, DotsFromMm(kDpi, 297), DotsFromMm(kDpi, 210))).Ink();
        const QRectF ink = SheetInkMm(sayu, jyoge);
        auto dots = [](double mm) { return DotsFromMm(kDpi, mm); };
        EXPECT_NEAR(drawn.top(), dots(ink.top()), 1) << sayu;
        EXPECT_NEAR(drawn.right() + 1, dots(ink.right()), 1) << sayu;
        EXPECT_NEAR(drawn.bottom() + 1, dots(ink.bottom()), 1) << sayu;
        // The header's first glyph stands a little in from its left edge.
        EXPECT_GE(drawn.left(), dots(ink.left()) - 1) << sayu;
        EXPECT_LE(drawn.left(), dots(ink.left() + 0.5)) << sayu;
    }
    const QRectF plain = SheetInkMm(0, 0);
    EXPECT_NEAR(plain.right(), 267.0, 0.05);
    EXPECT_NEAR(plain.bottom(), 190.9, 0.06);
}

TEST(SheetInk, WhatAPrintableAreaCutsOffIsSaidSideBySideInTenthsRoundedUp) {
    const QRectF ink = SheetInkMm(0, 0);
    EXPECT_FALSE(CutOff(ink, QSizeF(284.3, 197.3)).Any());  // 6.35 mm margins all round
    const SheetCut cut = CutOff(ink, QSizeF(262.8, 189.8));
    EXPECT_EQ(cut, (SheetCut{0, 0, 42, 11}));
    EXPECT_EQ(CutText(cut), QStringLiteral("右 4.2 mm、下 1.1 mm"));
    EXPECT_EQ(DoesNotFitText(cut), QStringLiteral("印刷できる範囲に収まりません（右 4.2 mm、下 1.1 mm）。"));
    // Moved 9 mm left and 20 mm up, the header and the cross mark leave at the left and the top.
    EXPECT_EQ(CutText(CutOff(SheetInkMm(-90, 200), QSizeF(284.3, 197.3))), QStringLiteral("左 0.2 mm、上 0.2 mm"));
    EXPECT_FALSE(CutOff(ink, QSizeF(ink.right() + 0.005, ink.bottom())).Any());  // a dot's rounding
    EXPECT_TRUE(NothingOn(SheetInkMm(3000, 0), QRectF(0, 0, 297, 210)));
    EXPECT_FALSE(NothingOn(SheetInkMm(2800, 0), QRectF(0, 0, 297, 210)));
}

TEST(RenderSheetInput, RefusesAResolutionOrEntryItCannotDraw) {
    auto ws = SheetWorkspace(kModel30);
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_FALSE(RenderSheet(painter, 0, ws->labelSet, 1, SheetOptions{}).ok);
    EXPECT_FALSE(RenderSheet(painter, 96, ws->labelSet, 51, SheetOptions{}).ok);
}

}  // namespace
}  // namespace sw::render
