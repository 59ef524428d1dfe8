// One decoding per picture file version, shared by every drawing: a PDF holds a picture used
// on every face once, a changed file is read again, the cache keeps to its bound; and every
// background stays inside its face.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <regex>
#include <thread>

#include "RenderTestSupport.h"
#include "model/Cp932.h"
#include "render/Pictures.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::JpegKind;
using sw::test::Near;
using sw::test::Quadrants;
using sw::test::RenderWindow;
using sw::test::SheetWorkspace;
using sw::test::TempDir;
using sw::test::WriteJpeg;

class PictureCache : public ::testing::Test {
protected:
    void SetUp() override { ClearPictureCache(); }
    void TearDown() override {
        SetPictureCacheLimit(kDefaultPictureCacheBytes);
        ClearPictureCache();
    }
    TempDir dir;
};

int CountImageObjects(const QByteArray& pdf) {
    static const std::regex image("/Subtype\\s*/Image");
    const std::string text = pdf.toStdString();
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), image),
                                          std::sregex_iterator()));
}

TEST_F(PictureCache, APdfOfTwoSheetsWithOnePictureOnEveryFaceHoldsItOnce) {
    const std::string photo = dir.File("photo.jpg");
    ASSERT_TRUE(WriteJpeg(photo, Quadrants(800, 600), JpegKind::Rgb));
    auto ws = SheetWorkspace(kModel30);
    for (int entry : {1, 2})
        for (int face = 1; face <= kFaceCount; ++face) ws->labelSet.Entries[entry].Faces[face].PictureFile = photo;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    QPainter painter(&writer);
    EXPECT_TRUE(RenderSheet(painter, 600, ws->labelSet, 1, SheetOptions{}).ok);
    writer.newPage();
    EXPECT_TRUE(RenderSheet(painter, 600, ws->labelSet, 2, SheetOptions{}).ok);
    painter.end();

    EXPECT_EQ(CountImageObjects(bytes), 1);
    EXPECT_EQ(PictureCacheState().decodings, 1);
}

TEST_F(PictureCache, AFileChangedOnDiskIsReadAgainAndAnUnchangedOneIsNot) {
    const std::string path = dir.File("p.jpg");
    ASSERT_TRUE(WriteJpeg(path, Quadrants(64, 48), JpegKind::Rgb));
    const PictureLoad first = LoadPictureFile(QString::fromStdString(path));
    ASSERT_EQ(first.status, PictureStatus::Ok);
    const PictureLoad again = LoadPictureFile(QString::fromStdString(path));
    EXPECT_EQ(again.image.cacheKey(), first.image.cacheKey());
    EXPECT_EQ(PictureCacheState().decodings, 1);

    // Another picture of the same size in bytes is still another version: the time differs.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QImage blue(64, 48, QImage::Format_RGB888);
    blue.fill(Qt::blue);
    ASSERT_TRUE(WriteJpeg(path, blue, JpegKind::Rgb));
    const PictureLoad changed = LoadPictureFile(QString::fromStdString(path));
    ASSERT_EQ(changed.status, PictureStatus::Ok);
    EXPECT_TRUE(Near(changed.image.pixelColor(5, 5), Qt::blue));
    EXPECT_EQ(PictureCacheState().decodings, 2);
    EXPECT_EQ(PictureCacheState().pictures, 1);  // the old version is gone

    // A file that disappears is missing at once, not served from the cache.
    std::remove(path.c_str());
    EXPECT_EQ(LoadPictureFile(QString::fromStdString(path)).status, PictureStatus::Missing);
}

TEST_F(PictureCache, TheCacheKeepsToItsBoundDroppingTheLeastRecentlyUsed) {
    // Three pictures of 200 × 200 × 3 = 120 000 bytes under a bound of 300 000.
    SetPictureCacheLimit(300'000);
    std::vector<QString> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(QString::fromStdString(dir.File("p" + std::to_string(i) + ".jpg")));
        ASSERT_TRUE(WriteJpeg(paths.back().toStdString(), Quadrants(200, 200), JpegKind::Rgb));
    }
    LoadPictureFile(paths[0]);
    LoadPictureFile(paths[1]);
    LoadPictureFile(paths[0]);  // used again: paths[1] is now the oldest
    LoadPictureFile(paths[2]);
    EXPECT_LE(PictureCacheState().bytes, 300'000);
    EXPECT_EQ(PictureCacheState().pictures, 2);
    EXPECT_EQ(PictureCacheState().decodings, 3);
    LoadPictureFile(paths[0]);
    EXPECT_EQ(PictureCacheState().decodings, 3);  // still there
    LoadPictureFile(paths[1]);
    EXPECT_EQ(PictureCacheState().decodings, 4);  // was dropped
    EXPECT_LE(PictureCacheState().bytes, 300'000);
}

// Face 1 at 600 dpi: the background box is x 356..3095, y 1248..2830. A single colour in
// actual-size layout (458 × 277 pixels, 2862 × 1731 dots) and a 1000 × 40 banner tiled at its
// own size both pass the box to the right and below; neither may show outside it.
// The screen's face needs far fewer pixels than a photo has: a stretched JPEG is decoded
// smaller (still twice the face), upright as its Exif says, and kept apart from the whole
// picture, which the page then reads in full. Once the whole picture is there, the screen
// takes it; a tiled face, which shows the picture's own pixels, always does.
TEST_F(PictureCache, TheScreenDecodesALargePhotoSmallerAndApartFromThePage) {
    const QSize face(458, 277);
    const std::string photo = dir.File("photo.jpg");
    ASSERT_TRUE(WriteJpeg(photo, Quadrants(2000, 1200), JpegKind::Rgb));
    const Bytes path = EncodeCp932(QString::fromStdString(photo)).bytes;

    PictureLoad screen = LoadScreenPicture(path, face, false);
    ASSERT_EQ(screen.status, PictureStatus::Ok) << screen.message.toStdString();
    EXPECT_EQ(screen.image.size(), QSize(1000, 600));  // half: a quarter would be under twice the face
    EXPECT_TRUE(Near(screen.image.pixelColor(100, 100), Qt::red));
    EXPECT_TRUE(Near(screen.image.pixelColor(900, 500), Qt::yellow));
    EXPECT_EQ(LoadScreenPicture(path, face, false).image.cacheKey(), screen.image.cacheKey());
    EXPECT_EQ(PictureCacheState().decodings, 1);

    const PictureLoad page = LoadPicture(path);
    EXPECT_EQ(page.image.size(), QSize(2000, 1200));
    EXPECT_EQ(PictureCacheState().decodings, 2);
    EXPECT_EQ(LoadScreenPicture(path, face, false).image.cacheKey(), page.image.cacheKey());
    EXPECT_EQ(LoadScreenPicture(path, face, true).image.size(), QSize(2000, 1200));
    EXPECT_EQ(PictureCacheState().decodings, 2);

    // A phone photo stored on its side: the stored rows are shrunk to twice the face on end.
    std::string bytes = sw::test::ReadFileBytes(photo);
    ASSERT_TRUE(WriteJpeg(photo, Quadrants(1200, 2000), JpegKind::Rgb));
    sw::test::WriteFileBytes(dir.File("side.jpg"),
                             sw::test::WithApp1(sw::test::ReadFileBytes(photo), sw::test::ExifOrientationPayload(6, false)));
    screen = LoadScreenPicture(EncodeCp932(QString::fromStdString(dir.File("side.jpg"))).bytes, face, false);
    ASSERT_EQ(screen.status, PictureStatus::Ok);
    EXPECT_EQ(screen.image.size(), QSize(1000, 600));

    // A broken file says what the page's reading says.
    sw::test::WriteFileBytes(dir.File("cut.jpg"), bytes.substr(0, bytes.size() / 2));
    const Bytes cut = EncodeCp932(QString::fromStdString(dir.File("cut.jpg"))).bytes;
    screen = LoadScreenPicture(cut, face, false);
    EXPECT_EQ(screen.status, PictureStatus::Error);
    EXPECT_EQ(screen.message, LoadPicture(cut).message);
}

// A photo many times the size of the face on screen is shrunk in blocks before it is smoothed:
// what the user sees is still the smoothly scaled photo (fine detail averaged, never
// aliased, colours where they were), including the rows and columns left over at the edges.
TEST(ScreenFace, ALargePhotoLooksAsTheSmoothlyScaledPhoto) {
    QImage photo(4001, 3003, QImage::Format_RGB888);
    for (int y = 0; y < photo.height(); ++y) {
        uchar* line = photo.scanLine(y);
        for (int x = 0; x < photo.width(); ++x) {
            const bool stripe = y < 1000 && x % 2 == 0;  // one-pixel stripes along the top third
            line[3 * x] = stripe ? 255 : static_cast<uchar>(x * 255 / 4000);
            line[3 * x + 1] = stripe ? 255 : static_cast<uchar>(y * 255 / 3002);
            line[3 * x + 2] = stripe ? 255 : (x < 2000 ? 40 : 200);
        }
    }
    const QSize face(458, 277);
    const QImage shown = ScreenFacePicture(photo, face, false);
    const QImage smooth = photo.scaled(face, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(shown.size(), face);
    ASSERT_EQ(shown.format(), QImage::Format_RGB888);
    int worst = 0;
    long long total = 0;
    for (int y = 0; y < face.height(); ++y) {
        const uchar* a = shown.constScanLine(y);
        const uchar* b = smooth.constScanLine(y);
        for (int k = 0; k < face.width() * 3; ++k) {
            const int d = std::abs(a[k] - b[k]);
            worst = std::max(worst, d);
            total += d;
        }
    }
    EXPECT_LE(total / (face.width() * face.height() * 3), 1);
    EXPECT_LE(worst, 24);  // only along the sharp edges (stripes' end, the blue step)
    // The stripes are grey on screen, not black-and-white moiré.
    const QColor stripes = shown.pixelColor(100, 40);
    EXPECT_NEAR(stripes.red(), (255 + 100 * 4000 / 458 * 255 / 4000) / 2, 12);
}

TEST(BackgroundClip, EveryBackgroundStaysInsideItsFaceAtAllFourEdges) {
    TempDir dir;
    QImage banner(1000, 40, QImage::Format_RGB888);
    banner.fill(Qt::green);
    const std::string bannerPath = dir.File("banner.bmp");
    ASSERT_TRUE(banner.save(QString::fromStdString(bannerPath), "BMP"));
    for (int variant = 0; variant < 2; ++variant) {
        SCOPED_TRACE(variant == 0 ? "single colour" : "banner");
        auto ws = SheetWorkspace(kModel30);
        PrintFace& face = ws->labelSet.Entries[1].Faces[1];
        face.PictureLayout = variant == 0 ? 1 : 0;  // the banner is too thin to stretch: tiled
        if (variant == 0) {
            face.BackgroundMode = 1;
            face.BackgroundColor = 0x0000FF00;
        } else {
            face.PictureFile = bannerPath;
        }
        auto r = RenderWindow(*ws, 600, QRect(300, 1200, 3300, 1700));
        ASSERT_TRUE(r.result.Whole()) << r.result.message.toStdString();
        const QColor green(Qt::green), white(Qt::white);
        EXPECT_EQ(r.At(356, 1300), green);   // left edge, inside
        EXPECT_EQ(r.At(355, 1300), white);   // and outside
        EXPECT_EQ(r.At(1000, 1248), green);  // top edge
        EXPECT_EQ(r.At(1000, 1247), white);
        EXPECT_EQ(r.At(3095, 1250), green);  // right edge, above the right strip
        EXPECT_EQ(r.At(3096, 1250), white);
        EXPECT_EQ(r.At(3300, 1250), white);  // the gap to the next face
        EXPECT_EQ(r.At(400, 2830), green);   // bottom edge, left of the key area
        EXPECT_EQ(r.At(400, 2831), white);
        EXPECT_EQ(r.At(400, 2838), white);   // above the bottom strip
    }
}

}  // namespace
}  // namespace sw::render
