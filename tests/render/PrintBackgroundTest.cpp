// Face backgrounds on the printed sheet: stretched and tiled pictures, single colours, none,
// missing and broken picture files, and the stretch and tile steps themselves.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTransform>
#include <cmath>
#include <string>

#include "RenderTestSupport.h"
#include "model/Cp932.h"
#include "render/PrintBackground.h"
#include "render/Pictures.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::Colour;
using sw::test::Near;
using sw::test::Quadrants;
using sw::test::RenderWindow;
using sw::test::SheetWorkspace;
using sw::test::TempDir;

const QColor kWhite(Qt::white);
const QColor kRedQ(Qt::red), kBlueQ(Qt::blue), kGreenQ(Qt::green), kYellowQ(Qt::yellow);

// Face 1 at 600 dpi: the box is x 356..3096, y 1248..2831. Its margin above the key area is
// y 1248..1335 across the whole box; left of the key area x 356..504 down to the bottom strip
// at y 2839. Beyond the right edge, y 1248..1257 is not covered by the right strip.
const QRect kFace1Window(300, 1200, 3300, 1700);

class FaceBackground : public ::testing::Test {
protected:
    void SetUp() override { ws = SheetWorkspace(kModel30); }
    PrintFace& Face(int f = 1) { return ws->labelSet.Entries[1].Faces[f]; }
    sw::test::Rendered Render() { return RenderWindow(*ws, 600, kFace1Window); }
    Bytes Picture(const std::string& name, const QImage& image) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }
    TempDir dir;
    std::unique_ptr<Workspace> ws;
};

TEST_F(FaceBackground, AHundredBySixtyPictureStretchesOverTheWholeBox) {
    Face().PictureFile = Picture("q.bmp", Quadrants(100, 60));
    auto r = Render();
    ASSERT_TRUE(r.result.Whole()) << r.result.message.toStdString();
    EXPECT_EQ(r.At(356, 1248), kRedQ);
    EXPECT_EQ(r.At(355, 1300), kWhite);
    EXPECT_EQ(r.At(3095, 1260), kBlueQ);
    EXPECT_EQ(r.At(3096, 1260), kWhite);
    EXPECT_EQ(r.At(400, 2830), kGreenQ);
    EXPECT_EQ(r.At(400, 2831), kWhite);
    EXPECT_EQ(r.At(3095, 2830), kYellowQ);
    // Half of 100 pixels is half of 2740 dots: the colours meet near x 1726.
    EXPECT_EQ(r.At(1720, 1260), kRedQ);
    EXPECT_EQ(r.At(1732, 1260), kBlueQ);
}

TEST_F(FaceBackground, AnEightyByFortyPictureIsTooSmallToStretchAndTilesSixBySeven) {
    Face().PictureFile = Picture("q.bmp", Quadrants(80, 40));
    auto r = Render();
    ASSERT_TRUE(r.result.Whole());
    // Tiles of 500 × 250 dots (80 × 40 pixels at 96 dpi) from the box's corner.
    for (int column = 0; column < 6; ++column) {
        const int x = 356 + 500 * column;
        EXPECT_EQ(r.At(x, 1260), kRedQ) << column;
        EXPECT_EQ(r.At(x + 260, 1260), column < 5 ? kBlueQ : kWhite) << column;
        if (column > 0) {
            EXPECT_EQ(r.At(x - 1, 1260), kBlueQ) << column;
        }
    }
    for (int row = 0; row < 7; ++row) {
        const int y = 1248 + 250 * row;
        EXPECT_EQ(r.At(400, y), kRedQ) << row;
        if (row < 6) {
            EXPECT_EQ(r.At(400, y + 130), kGreenQ) << row;
        }
    }
    EXPECT_EQ(r.At(400, 2839), kWhite);  // the bottom strip
}

TEST_F(FaceBackground, TileLayoutRepeatsThePictureOverTheBlankAsOneTile) {
    Face().PictureLayout = 1;
    Face().PictureFile = Picture("q.bmp", Quadrants(80, 40));
    auto r = Render();
    ASSERT_TRUE(r.result.Whole());
    // The blank of 458 × 610 pixels holds the picture every 80 × 40 pixels; at 600 dpi a
    // pixel is 6.25 dots, so the copies start at 500-dot steps here too.
    EXPECT_EQ(r.At(356, 1248), kRedQ);
    EXPECT_EQ(r.At(356 + 500, 1260), kRedQ);
    EXPECT_EQ(r.At(356 + 499, 1260), kBlueQ);
    EXPECT_EQ(r.At(400, 1248 + 250), kRedQ);
    // The one tile (2862 dots: 2862.5 rounded to even) is cut at the box's right edge: it
    // never reaches over the gap to the next face.
    EXPECT_NE(r.At(3095, 1250), kWhite);
    EXPECT_EQ(r.At(3096, 1250), kWhite);
    EXPECT_EQ(r.At(3217, 1250), kWhite);
}

TEST_F(FaceBackground, SingleColourStretchesOrTilesAndWinsOverAPicture) {
    Face().PictureFile = Picture("q.bmp", Quadrants(100, 60));
    Face().BackgroundMode = 1;
    Face().BackgroundColor = 0x00336699;
    auto stretched = Render();
    EXPECT_EQ(stretched.At(356, 1248), Colour(0x00336699));
    EXPECT_EQ(stretched.At(3095, 2830), Colour(0x00336699));
    EXPECT_EQ(stretched.At(3150, 1250), kWhite);

    Face().PictureLayout = 1;
    auto tiled = Render();
    EXPECT_EQ(tiled.At(356, 1248), Colour(0x00336699));
    // 458 pixels are 2862 dots, cut at the box's right edge.
    EXPECT_EQ(tiled.At(3095, 1250), Colour(0x00336699));
    EXPECT_EQ(tiled.At(3096, 1250), kWhite);
    EXPECT_EQ(tiled.At(3217, 1250), kWhite);
    EXPECT_EQ(tiled.At(400, 2830), Colour(0x00336699));

    // In colour mode the picture is not even looked at: a missing file stays named.
    Face().PictureFile = dir.File("gone.bmp");
    EXPECT_TRUE(Render().result.Whole());
    EXPECT_EQ(Face().PictureFile, dir.File("gone.bmp"));
}

TEST_F(FaceBackground, NoBackgroundIsWhite) {
    Face(1).PictureLayout = 1;
    for (int layout : {0, 1}) {
        Face().PictureLayout = layout;
        auto r = Render();
        EXPECT_EQ(r.At(356, 1248), kWhite);
        EXPECT_EQ(r.At(400, 2000), kWhite);
        EXPECT_TRUE(r.Ink().isEmpty());
    }
}

TEST_F(FaceBackground, PictureTypeFollowsTheLowerCasedEnding) {
    Face().PictureFile = Picture("UPPER.BMP", Quadrants(100, 60));
    auto bmp = Render();
    ASSERT_TRUE(bmp.result.Whole()) << bmp.result.message.toStdString();
    EXPECT_EQ(bmp.At(356, 1248), kRedQ);

    ASSERT_TRUE(sw::test::WriteJpeg(dir.File("q.jpeg"), Quadrants(100, 60), sw::test::JpegKind::Rgb));
    Face().PictureFile = dir.File("q.jpeg");
    auto jpeg = Render();
    ASSERT_TRUE(jpeg.result.Whole()) << jpeg.result.message.toStdString();
    EXPECT_TRUE(Near(jpeg.At(400, 1260), kRedQ));
    EXPECT_TRUE(Near(jpeg.At(3090, 2825), kYellowQ));

    // A bitmap named .jpg is decoded as JPEG, and fails as one, saying what it is.
    Picture("bitmap.jpg", Quadrants(100, 60));
    Face().PictureFile = dir.File("bitmap.jpg");
    const auto named = Render();
    ASSERT_EQ(named.result.broken.size(), 1u);
    EXPECT_TRUE(named.result.broken[0].message.contains(QStringLiteral("JPEG ではありません（BMP）")))
        << named.result.broken[0].message.toStdString();

    // A PNG is known by its content, whatever its name; transparency prints white.
    QImage png = Quadrants(100, 60).convertToFormat(QImage::Format_ARGB32);
    png.setPixelColor(99, 59, QColor(0, 0, 0, 0));
    ASSERT_TRUE(png.save(QString::fromStdString(dir.File("photo.jpg")), "PNG"));
    Face().PictureFile = dir.File("photo.jpg");
    auto pngFace = Render();
    ASSERT_TRUE(pngFace.result.Whole()) << pngFace.result.message.toStdString();
    EXPECT_EQ(pngFace.At(356, 1248), kRedQ);
    EXPECT_EQ(pngFace.At(3094, 2829), kWhite);
    EXPECT_EQ(pngFace.At(3000, 2800), kYellowQ);
}

TEST_F(FaceBackground, ADeletedPicturePrintsWhiteIsReportedAndKept) {
    Face(1).PictureFile = Picture("a.bmp", Quadrants(100, 60));
    Face(3).PictureFile = Picture("b.bmp", Quadrants(100, 60));
    Face(4).PictureFile = dir.File("a.bmp");
    std::remove(dir.File("a.bmp").c_str());
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    auto r = Render();
    ASSERT_TRUE(r.result.Whole());
    EXPECT_EQ(r.At(356, 1248), kWhite);
    EXPECT_EQ(r.At(3095, 2830), kWhite);
    // The renderer tells its caller which faces it drew white, and changes nothing.
    ASSERT_EQ(r.result.pictures.size(), 2u);
    EXPECT_EQ(r.result.pictures[0].face, 1);
    EXPECT_EQ(r.result.pictures[1].face, 4);
    for (const sw::render::PictureProblem& p : r.result.pictures) {
        EXPECT_TRUE(p.missing);
        EXPECT_EQ(p.path, dir.File("a.bmp"));
    }
    EXPECT_TRUE(ws->labelSet == *before);
}

// A phone photo stored on its side or upside down prints upright, stretched over the box by
// its upright size: the corner that is red when the photo is seen upright is the box's
// top-left one, whatever the orientation it was stored with.
TEST_F(FaceBackground, PhonePhotosPrintUprightStretchedOverTheBox) {
    // What each orientation stores: the upright picture turned the other way.
    const QImage upright = Quadrants(64, 96);
    struct Stored {
        int orientation;
        QImage image;
    };
    const Stored photos[] = {{3, upright.transformed(QTransform().rotate(180))},
                             {6, upright.transformed(QTransform().rotate(-90))},
                             {8, upright.transformed(QTransform().rotate(90))}};
    for (const Stored& photo : photos) {
        const std::string name = "phone" + std::to_string(photo.orientation) + ".jpg";
        ASSERT_TRUE(sw::test::WriteJpeg(dir.File(name), photo.image, sw::test::JpegKind::Rgb));
        sw::test::WriteFileBytes(
            dir.File(name), sw::test::WithApp1(sw::test::ReadFileBytes(dir.File(name)),
                                               sw::test::ExifOrientationPayload(photo.orientation, false)));
        Face().PictureFile = dir.File(name);
        auto r = Render();
        ASSERT_TRUE(r.result.Whole()) << name;
        EXPECT_TRUE(Near(r.At(380, 1260), kRedQ)) << name;
        EXPECT_TRUE(Near(r.At(3070, 1260), kBlueQ)) << name;
        EXPECT_TRUE(Near(r.At(380, 2820), kGreenQ)) << name;
        EXPECT_TRUE(Near(r.At(3070, 2820), kYellowQ)) << name;
    }
}

// True when the pixel or one of its eight neighbours is dark: a thin line drawn at an angle
// may fall on the next dot.
bool DarkNear(const sw::test::Rendered& r, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (qGray(r.At(x + dx, y + dy).rgb()) < 100) return true;
    return false;
}

// How many of 200 points along the diagonal from (x0, y0) to (x1, y1) are dark.
int DarkAlong(const sw::test::Rendered& r, int x0, int y0, int x1, int y1) {
    int dark = 0;
    for (int i = 0; i < 200; ++i) {
        const double t = (i + 0.5) / 200;
        dark += DarkNear(r, static_cast<int>(std::lround(x0 + t * (x1 - x0))),
                         static_cast<int>(std::lround(y0 + t * (y1 - y0))))
                    ? 1
                    : 0;
    }
    return dark;
}

// Face 3 names a file that is no picture: the sheet is still drawn whole. Faces 1, 2 and 4,
// the header and face 3's keys are as on a sheet without that file; face 3's box is outlined,
// crossed corner to corner and carries the file's name. The result lists face 3 as broken,
// with the message naming the file, and the document keeps the path.
TEST_F(FaceBackground, ABrokenPictureMarksOnlyItsFaceAndTheRestOfTheSheetIsDrawn) {
    ws->labelSet.Entries[1].Name = "Sales";
    for (int f : {1, 2, 4}) {
        Face(f).BackgroundMode = 1;
        Face(f).BackgroundColor = 0x00FF0000;
        Face(f).Keys[1].Line1 = "key";
    }
    Face(3).Keys[25].BackColor = 0x000000FF;  // the top-left cell, red
    Face(3).Keys[25].Line1 = "Line";
    const QRect page(0, 0, 1123, 794);
    const auto good = RenderWindow(*ws, 96, page);
    ASSERT_TRUE(good.result.Whole());

    sw::test::WriteFileBytes(dir.File("broken.jpg"), "this is not a picture");
    Face(3).PictureFile = dir.File("broken.jpg");
    const auto before = std::make_unique<LabelSet>(ws->labelSet);
    const auto r = RenderWindow(*ws, 96, page);
    EXPECT_TRUE(r.result.ok);
    EXPECT_FALSE(r.result.Whole());
    ASSERT_EQ(r.result.broken.size(), 1u);
    EXPECT_EQ(r.result.broken[0].face, 3);
    EXPECT_EQ(r.result.broken[0].path, dir.File("broken.jpg"));
    EXPECT_FALSE(r.result.broken[0].missing);
    EXPECT_TRUE(r.result.broken[0].message.contains(QString::fromStdString(dir.File("broken.jpg"))))
        << r.result.broken[0].message.toStdString();
    EXPECT_TRUE(r.result.pictures.empty());
    EXPECT_TRUE(ws->labelSet == *before);

    // Face 3's background box at 96 dpi: x 525..962, y 200..452.
    const QRect box(525, 200, 438, 253);
    QImage goodOutside = good.image.convertToFormat(QImage::Format_RGB32);
    QImage markedOutside = r.image.convertToFormat(QImage::Format_RGB32);
    for (QImage* image : {&goodOutside, &markedOutside}) {
        QPainter painter(image);
        painter.fillRect(box, Qt::white);
    }
    EXPECT_EQ(markedOutside, goodOutside);  // header, cross mark and faces 1, 2 and 4
    EXPECT_EQ(r.At(57, 200), Colour(0x00FF0000));  // face 1 drawn, as before

    // The outline: every edge of the box is dark, inside the box.
    EXPECT_TRUE(qGray(r.At(box.left(), 330).rgb()) < 100);
    EXPECT_TRUE(qGray(r.At(box.right(), 330).rgb()) < 100);
    EXPECT_TRUE(qGray(r.At(750, box.bottom()).rgb()) < 100);
    EXPECT_EQ(r.At(box.left() - 1, 330), QColor(Qt::white));
    // The cross: the diagonals are dark wherever no key cell covers them.
    EXPECT_GT(DarkAlong(r, box.left(), box.top(), box.right(), box.bottom()), 80);
    EXPECT_GT(DarkAlong(r, box.left(), box.bottom(), box.right(), box.top()), 80);
    EXPECT_GT(DarkAlong(r, box.left(), box.top(), box.right(), box.bottom()),
              DarkAlong(good, box.left(), box.top(), box.right(), box.bottom()) + 60);
    // The keys are drawn over the mark: the red cell is whole.
    EXPECT_EQ(r.At(600, 236), Colour(0x000000FF));
    EXPECT_EQ(r.At(600, 236), good.At(600, 236));
    // The file's name is written in the margin above the keys, near the middle of the box.
    QRect nameInk;
    for (int y = box.top() + 2; y < box.top() + 13; ++y)
        for (int x = box.left() + 60; x < box.right() - 60; ++x)
            if (qGray(r.At(x, y).rgb()) < 128) nameInk |= QRect(x, y, 1, 1);
    EXPECT_GT(nameInk.width(), 30);
    EXPECT_LT(std::abs(nameInk.center().x() - box.center().x()), 8);
    EXPECT_EQ(PictureFileName(dir.File("broken.jpg")), QStringLiteral("broken.jpg"));
    EXPECT_EQ(PictureFileName("C:\\pics\\a.bmp"), QStringLiteral("a.bmp"));
}

TEST(StretchAndTile, StretchingDeclinesFromFiveTimesTheActualSize) {
    const QImage picture = Quadrants(100, 60);
    QImage canvas(600, 400, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    EXPECT_FALSE(DrawPictureStretched(painter, 0, 0, 500, 100, picture, 96));
    EXPECT_FALSE(DrawPictureStretched(painter, 0, 0, 100, 300, picture, 96));
    EXPECT_EQ(canvas.pixelColor(0, 0), kWhite);
    EXPECT_TRUE(DrawPictureStretched(painter, 0, 0, 499, 299, picture, 96));
    EXPECT_EQ(canvas.pixelColor(498, 298), kYellowQ);
    // At 600 dpi the same box is 6.25 times fewer pixels: 2500 dots are 4 times.
    EXPECT_TRUE(DrawPictureStretched(painter, 0, 0, 2500, 100, picture, 600));
}

TEST(StretchAndTile, TilesAreAtLeastOneDotAndCoverTheBoxWithWholeCopies) {
    QImage red(1, 1, QImage::Format_RGB888);
    red.fill(Qt::red);
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        DrawPictureTiled(painter, 2, 3, 10, 5, red, 20);  // a pixel is 0.2 dots at 20 dpi
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(canvas.pixelColor(x, y), x >= 2 && x < 12 && y >= 3 && y < 8 ? kRedQ : kWhite)
                << x << "," << y;

    // Thousands of copies of a two-pixel picture: 12 × 6 dots each at 600 dpi.
    QImage pair(2, 1, QImage::Format_RGB888);
    pair.setPixelColor(0, 0, Qt::red);
    pair.setPixelColor(1, 0, Qt::blue);
    QImage big(3000, 1700, QImage::Format_RGB32);
    big.fill(Qt::white);
    {
        QPainter painter(&big);
        DrawPictureTiled(painter, 10, 20, 2740, 1583, pair, 600);
    }
    for (int column : {0, 1, 100, 228})
        for (int row : {0, 50, 263}) {
            EXPECT_EQ(big.pixelColor(10 + 12 * column + 2, 20 + 6 * row + 2), kRedQ) << column;
            EXPECT_EQ(big.pixelColor(10 + 12 * column + 9, 20 + 6 * row + 2), kBlueQ) << column;
        }
    EXPECT_EQ(big.pixelColor(10 + 229 * 12, 30), kWhite);  // 229 columns cover 2740 dots
    EXPECT_EQ(big.pixelColor(30, 20 + 264 * 6), kWhite);   // 264 rows cover 1583
    EXPECT_EQ(big.pixelColor(9, 30), kWhite);
}

}  // namespace
}  // namespace sw::render
