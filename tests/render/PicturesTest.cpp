// Loading background pictures: bitmaps and JPEGs of every colour kind, and the files that must
// be refused at once with a message naming them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <chrono>
#include <future>

#include "RenderTestSupport.h"
#include "model/Cp932.h"
#include "render/Pictures.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using sw::test::JpegKind;
using sw::test::Near;
using sw::test::Quadrants;
using sw::test::ReadFileBytes;
using sw::test::TempDir;
using sw::test::WriteFileBytes;
using sw::test::WriteJpeg;

const QColor kRedQ(Qt::red), kBlueQ(Qt::blue), kGreenQ(Qt::green), kYellowQ(Qt::yellow);

// Loads with a deadline, so that a load that blocks fails the test instead of hanging it.
PictureLoad LoadWithin(const std::string& path, int seconds = 10) {
    auto future = std::async(std::launch::async, [path] { return LoadPicture(path); });
    if (future.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
        // Release a reader stuck on a FIFO, then report.
        int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        ADD_FAILURE() << "loading " << path << " did not return";
    }
    return future.get();
}

void ExpectRefused(const PictureLoad& load, const std::string& path, const char* words) {
    EXPECT_EQ(load.status, PictureStatus::Error) << path;
    EXPECT_TRUE(load.image.isNull());
    EXPECT_TRUE(load.message.contains(QString::fromStdString(path))) << load.message.toStdString();
    EXPECT_TRUE(load.message.contains(QString::fromUtf8(words))) << load.message.toStdString();
}

TEST(LoadPicture, BitmapsOfAnyDepthBecome24BitRgb) {
    TempDir dir;
    const QImage quadrants = Quadrants(64, 32);
    ASSERT_TRUE(quadrants.save(QString::fromStdString(dir.File("rgb.BMP")), "BMP"));
    ASSERT_TRUE(quadrants.convertToFormat(QImage::Format_Indexed8)
                    .save(QString::fromStdString(dir.File("palette.bmp")), "BMP"));
    for (const char* name : {"rgb.BMP", "palette.bmp"}) {
        PictureLoad load = LoadPicture(dir.File(name));
        ASSERT_EQ(load.status, PictureStatus::Ok) << name << load.message.toStdString();
        EXPECT_EQ(load.image.format(), QImage::Format_RGB888);
        EXPECT_EQ(load.image.size(), QSize(64, 32));
        EXPECT_EQ(load.image.pixelColor(0, 0), kRedQ);
        EXPECT_EQ(load.image.pixelColor(63, 0), kBlueQ);
        EXPECT_EQ(load.image.pixelColor(0, 31), kGreenQ);
        EXPECT_EQ(load.image.pixelColor(63, 31), kYellowQ);
    }
}

TEST(LoadPicture, JpegsInRgbGreyAndAdobeCmykDecodeToTheirColours) {
    TempDir dir;
    const QImage quadrants = Quadrants(64, 32);
    ASSERT_TRUE(WriteJpeg(dir.File("rgb.jpg"), quadrants, JpegKind::Rgb));
    ASSERT_TRUE(WriteJpeg(dir.File("cmyk.jpg"), quadrants, JpegKind::AdobeCmyk));
    for (const char* name : {"rgb.jpg", "cmyk.jpg"}) {
        PictureLoad load = LoadPicture(dir.File(name));
        ASSERT_EQ(load.status, PictureStatus::Ok) << name << load.message.toStdString();
        EXPECT_EQ(load.image.format(), QImage::Format_RGB888);
        EXPECT_TRUE(Near(load.image.pixelColor(4, 4), kRedQ)) << name;
        EXPECT_TRUE(Near(load.image.pixelColor(60, 4), kBlueQ)) << name;
        EXPECT_TRUE(Near(load.image.pixelColor(4, 28), kGreenQ)) << name;
        EXPECT_TRUE(Near(load.image.pixelColor(60, 28), kYellowQ)) << name;
    }
    QImage grey(40, 20, QImage::Format_RGB888);
    grey.fill(QColor(90, 90, 90));
    ASSERT_TRUE(WriteJpeg(dir.File("grey.jpeg"), grey, JpegKind::Grey));
    PictureLoad load = LoadPicture(dir.File("grey.jpeg"));
    ASSERT_EQ(load.status, PictureStatus::Ok) << load.message.toStdString();
    EXPECT_TRUE(Near(load.image.pixelColor(20, 10), QColor(90, 90, 90), 3));
}

TEST(LoadPicture, APathInTheDocumentIsCp932) {
    TempDir dir;
    const std::string utf8Path = dir.File("背景①.bmp");
    ASSERT_TRUE(Quadrants(8, 8).save(QString::fromStdString(utf8Path), "BMP"));
    const sw::model::Bytes cp932Path =
        sw::model::EncodeCp932(QString::fromStdString(utf8Path)).bytes;
    EXPECT_EQ(LoadPicture(cp932Path).status, PictureStatus::Ok);
    EXPECT_EQ(LoadPicture(utf8Path).status, PictureStatus::Missing);  // not CP932: no such file
}

TEST(LoadPicture, MissingFilesAreMissingNotErrors) {
    TempDir dir;
    EXPECT_EQ(LoadPicture(dir.File("none.jpg")).status, PictureStatus::Missing);
    EXPECT_EQ(LoadPicture(dir.File("none/deeper.bmp")).status, PictureStatus::Missing);
    WriteFileBytes(dir.File("file"), "x");
    EXPECT_EQ(LoadPicture(dir.File("file/below.bmp")).status, PictureStatus::Missing);
}

TEST(LoadPicture, FifosFoldersAndDevicesAreRefusedAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.bmp").c_str(), 0700), 0);
    ExpectRefused(LoadWithin(dir.File("pipe.jpg")), dir.File("pipe.jpg"), "通常のファイルではない");
    ExpectRefused(LoadWithin(dir.File("folder.bmp")), dir.File("folder.bmp"), "通常のファイルではない");
    ExpectRefused(LoadWithin("/dev/zero"), "/dev/zero", "通常のファイルではない");
}

TEST(LoadPicture, HeadersDeclaringMoreThanAHundredMegapixelsAreRefusedBeforeDecoding) {
    TempDir dir;
    // A bitmap header of 20000 × 20000 pixels, 24 bits, with no pixels after it.
    {
        ASSERT_TRUE(Quadrants(4, 4).save(QString::fromStdString(dir.File("small.bmp")), "BMP"));
        std::string bmp = ReadFileBytes(dir.File("small.bmp"));
        const std::uint32_t side = 20000;
        for (int i = 0; i < 4; ++i) {
            bmp[18 + i] = static_cast<char>((side >> (8 * i)) & 0xFF);
            bmp[22 + i] = static_cast<char>((side >> (8 * i)) & 0xFF);
        }
        WriteFileBytes(dir.File("huge.bmp"), bmp);
    }
    QElapsedTimer timer;
    timer.start();
    ExpectRefused(LoadWithin(dir.File("huge.bmp")), dir.File("huge.bmp"), "大きすぎる");

    // A JPEG whose frame header says 20000 × 10000 (two hundred megapixels).
    ASSERT_TRUE(WriteJpeg(dir.File("small.jpg"), Quadrants(16, 16), JpegKind::Rgb));
    std::string jpeg = ReadFileBytes(dir.File("small.jpg"));
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = static_cast<char>(10000 >> 8);  // height
    jpeg[sof + 6] = static_cast<char>(10000 & 0xFF);
    jpeg[sof + 7] = static_cast<char>(20000 >> 8);  // width
    jpeg[sof + 8] = static_cast<char>(20000 & 0xFF);
    WriteFileBytes(dir.File("huge.jpg"), jpeg);
    ExpectRefused(LoadWithin(dir.File("huge.jpg")), dir.File("huge.jpg"), "大きすぎる");
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(LoadPicture, TruncatedCorruptAndEmptyFilesAreErrorsNotHalfPictures) {
    TempDir dir;
    ASSERT_TRUE(WriteJpeg(dir.File("whole.jpg"), Quadrants(200, 100), JpegKind::Rgb));
    const std::string jpeg = ReadFileBytes(dir.File("whole.jpg"));
    WriteFileBytes(dir.File("half.jpg"), jpeg.substr(0, jpeg.size() / 2));
    ExpectRefused(LoadWithin(dir.File("half.jpg")), dir.File("half.jpg"), "壊れているか途中で切れている");

    ASSERT_TRUE(Quadrants(200, 100).save(QString::fromStdString(dir.File("whole.bmp")), "BMP"));
    const std::string bmp = ReadFileBytes(dir.File("whole.bmp"));
    WriteFileBytes(dir.File("half.bmp"), bmp.substr(0, bmp.size() / 2));
    ExpectRefused(LoadWithin(dir.File("half.bmp")), dir.File("half.bmp"), "壊れているか途中で切れている");

    WriteFileBytes(dir.File("garbage.jpg"), std::string(5000, 'G'));
    ExpectRefused(LoadWithin(dir.File("garbage.jpg")), dir.File("garbage.jpg"), "壊れている");
    WriteFileBytes(dir.File("empty.jpg"), "");
    ExpectRefused(LoadWithin(dir.File("empty.jpg")), dir.File("empty.jpg"), "壊れている");
    WriteFileBytes(dir.File("empty.bmp"), "");
    ExpectRefused(LoadWithin(dir.File("empty.bmp")), dir.File("empty.bmp"), "壊れている");
    // The whole files still load.
    EXPECT_EQ(LoadPicture(dir.File("whole.jpg")).status, PictureStatus::Ok);
    EXPECT_EQ(LoadPicture(dir.File("whole.bmp")).status, PictureStatus::Ok);
}

TEST(TilePicture, RepeatsThePictureFromTheCornerAndCutsTheLastCopies) {
    QImage picture(40, 30, QImage::Format_RGB888);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) picture.setPixelColor(x, y, QColor(x * 6, y * 8, 100 + x + y));
    QImage target = BlankPicture();
    ASSERT_EQ(target.size(), QSize(kBlankWidth, kBlankHeight));
    TilePicture(picture, target);
    int wrong = 0;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            if (target.pixelColor(x, y) != picture.pixelColor(x % 40, y % 30)) ++wrong;
    EXPECT_EQ(wrong, 0);

    QImage blank = BlankPicture();
    TilePicture(QImage(), blank);
    EXPECT_EQ(blank, BlankPicture());
    EXPECT_EQ(blank.pixelColor(457, 609), QColor(Qt::white));
    EXPECT_EQ(blank.format(), QImage::Format_RGB888);
}

}  // namespace
}  // namespace sw::render
