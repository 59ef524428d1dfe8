// Loading background pictures: bitmaps and JPEGs of every colour kind, and the files that must
// be refused at once with a message naming them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

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

// Phone photos: the Exif orientation turns or mirrors the picture upright as it loads, in
// either byte order. Red is the stored picture's top-left quadrant, blue its top-right one.
TEST(LoadPicture, JpegsAreTurnedUprightAsTheirExifOrientationSays) {
    enum Corner { TL, TR, BL, BR };
    struct Case {
        int orientation;
        Corner red;
        Corner blue;
    };
    const Case cases[] = {{1, TL, TR}, {2, TR, TL}, {3, BR, BL}, {4, BL, BR},
                          {5, TL, BL}, {6, TR, BR}, {7, BR, TR}, {8, BL, TL}};
    TempDir dir;
    // 40 rows: the last band of rows placed is a short one.
    ASSERT_TRUE(WriteJpeg(dir.File("plain.jpg"), Quadrants(64, 40), JpegKind::Rgb));
    const std::string plain = ReadFileBytes(dir.File("plain.jpg"));
    for (bool bigEndian : {false, true}) {
        for (const Case& c : cases) {
            const std::string name = "o" + std::to_string(c.orientation) + (bigEndian ? "m" : "i") + ".jpg";
            WriteFileBytes(dir.File(name),
                           sw::test::WithApp1(plain, sw::test::ExifOrientationPayload(c.orientation, bigEndian)));
            PictureLoad load = LoadPicture(dir.File(name));
            ASSERT_EQ(load.status, PictureStatus::Ok) << name << load.message.toStdString();
            const QSize size = c.orientation >= 5 ? QSize(40, 64) : QSize(64, 40);
            ASSERT_EQ(load.image.size(), size) << name;
            auto at = [&](Corner corner) {
                const int x = corner == TL || corner == BL ? 4 : size.width() - 5;
                const int y = corner == TL || corner == TR ? 4 : size.height() - 5;
                return load.image.pixelColor(x, y);
            };
            EXPECT_TRUE(Near(at(c.red), kRedQ)) << name;
            EXPECT_TRUE(Near(at(c.blue), kBlueQ)) << name;
        }
    }
}

// An Exif segment that lies (offsets past its end, an endless count, a directory at the
// header, a wrong type or value, cut short) or is not Exif at all leaves the picture as
// stored; a later Exif segment still counts.
TEST(LoadPicture, AHostileExifSegmentLeavesThePictureAsStored) {
    TempDir dir;
    ASSERT_TRUE(WriteJpeg(dir.File("plain.jpg"), Quadrants(64, 32), JpegKind::Rgb));
    const std::string plain = ReadFileBytes(dir.File("plain.jpg"));
    const std::string good = sw::test::ExifOrientationPayload(6, false);
    auto patched = [&](size_t at, const std::string& bytes) {
        std::string payload = good;
        payload.replace(at, bytes.size(), bytes);
        return payload;
    };
    // Offsets in the payload: 6 "II", 10 first directory, 14 count, 16 first entry,
    // 28 orientation entry (type at 30, count at 32, value at 36).
    const std::vector<std::string> hostile = {
        patched(10, std::string("\xF0\xFF\xFF\xFF", 4)),  // directory far past the end
        patched(10, std::string("\xFF\xFF\xFF\x7F", 4)),
        patched(14, std::string("\xFF\xFF", 2)).replace(28, 2, "\x13\x01"),  // more entries than
                                                                           // there is room, none read
        patched(10, std::string("\x00\x00\x00\x00", 4)),  // the directory is the header itself
        patched(30, std::string("\x04\x00", 2)),            // LONG instead of SHORT
        patched(32, std::string("\x00\x00\x00\x00", 4)),  // no value
        patched(36, std::string("\x09\x00", 2)),            // no such orientation
        patched(36, std::string("\x00\x00", 2)),
        patched(6, "IM"),                                   // no byte order
        patched(8, std::string("\x2B\x00", 2)),             // not a TIFF header
        good.substr(0, 33),                                 // cut inside the entry
        good.substr(0, 12),
        std::string("Exif\0\0", 6),
        std::string("Exif", 4),
        "http://ns.adobe.com/xap/1.0/" + good.substr(6),    // XMP, not Exif
    };
    for (size_t i = 0; i < hostile.size(); ++i) {
        const std::string name = "hostile" + std::to_string(i) + ".jpg";
        WriteFileBytes(dir.File(name), sw::test::WithApp1(plain, hostile[i]));
        PictureLoad load = LoadPicture(dir.File(name));
        ASSERT_EQ(load.status, PictureStatus::Ok) << i << load.message.toStdString();
        EXPECT_EQ(load.image.size(), QSize(64, 32)) << i;
        EXPECT_TRUE(Near(load.image.pixelColor(4, 4), kRedQ)) << i;
    }
    // An XMP segment first, the Exif one after it: the Exif one is read.
    WriteFileBytes(dir.File("xmp-then-exif.jpg"),
                   sw::test::WithApp1(sw::test::WithApp1(plain, good), hostile.back()));
    PictureLoad load = LoadPicture(dir.File("xmp-then-exif.jpg"));
    ASSERT_EQ(load.status, PictureStatus::Ok) << load.message.toStdString();
    EXPECT_EQ(load.image.size(), QSize(32, 64));
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

// Inputs the fuzzer found: each loads within the pixel bound or is refused with a message.
TEST(LoadPicture, FuzzerFindingsLoadWithinBoundsOrAreRefused) {
    const std::string dir = std::string(SW_SOURCE_DIR) + "/tests/render/fuzz-regressions";
    int checked = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        PictureLoad load = LoadWithin(item.path().string());
        if (load.status == PictureStatus::Ok) {
            EXPECT_LE(static_cast<qint64>(load.image.width()) * load.image.height(), kMaxPicturePixels);
            EXPECT_EQ(load.image.format(), QImage::Format_RGB888);
        } else {
            EXPECT_EQ(load.status, PictureStatus::Error);
            EXPECT_FALSE(load.message.isEmpty());
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
    // A bitmap header cut short is refused, not decoded into a huge picture of a few bytes.
    EXPECT_EQ(LoadWithin(dir + "/short-header-huge.bmp").status, PictureStatus::Error);
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
