// Picture files read within bounds and strictly: a file too large for any picture within the
// pixel bound, a JPEG with megabytes between its markers or more than a hundred scans, an
// RLE bitmap whose data ends early, an 8-bit bitmap with indices past its palette.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QElapsedTimer>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "RenderTestSupport.h"
#include "render/Pictures.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using sw::test::TempDir;

void Put16(std::string& s, unsigned v) { s += static_cast<char>(v & 0xFF), s += static_cast<char>(v >> 8 & 0xFF); }
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 4 × 2 bitmap of 8 bits a pixel: `colours` palette entries, then `pixels` as given
// (compression 1 = RLE8, 0 = rows of four bytes, bottom row first).
std::string Bitmap8(unsigned colours, std::uint32_t compression, const std::string& pixels) {
    std::string info;
    Put32(info, 40);
    Put32(info, 4);
    Put32(info, 2);
    Put16(info, 1);
    Put16(info, 8);
    Put32(info, compression);
    Put32(info, static_cast<std::uint32_t>(pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, colours);
    Put32(info, 0);
    std::string palette;
    for (unsigned c = 0; c < colours; ++c) Put32(palette, c == 0 ? 0xFFFFFF : 0x0000FF * c);
    std::string file = "BM";
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + palette.size());
    Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    return file + info + palette + pixels;
}

PictureLoad LoadBytes(const TempDir& dir, const std::string& name, const std::string& bytes) {
    sw::test::WriteFileBytes(dir.File(name), bytes);
    return LoadPictureFile(QString::fromStdString(dir.File(name)));
}

TEST(StrictBitmaps, RleDataEndingEarlyAndIndicesPastThePaletteAreRefused) {
    TempDir dir;
    const std::string whole("\x04\x01\x00\x00\x04\x02\x00\x01", 8);  // two runs, end of line, end
    const PictureLoad ok = LoadBytes(dir, "ok.bmp", Bitmap8(3, 1, whole));
    ASSERT_EQ(ok.status, PictureStatus::Ok) << ok.message.toStdString();
    EXPECT_EQ(ok.image.size(), QSize(4, 2));

    const PictureLoad cut = LoadBytes(dir, "cut.bmp", Bitmap8(3, 1, std::string("\x04\x01\x00\x00\x04\x02", 6)));
    EXPECT_EQ(cut.status, PictureStatus::Error);
    EXPECT_TRUE(cut.message.contains(QStringLiteral("途中で終わっています"))) << cut.message.toStdString();
    const PictureLoad early = LoadBytes(dir, "early.bmp", Bitmap8(3, 1, std::string("\x04\x01\x00\x01", 4)));
    EXPECT_EQ(early.status, PictureStatus::Error);

    const std::string rows("\x00\x01\x01\x00\x01\x01\x00\x00", 8);
    EXPECT_EQ(LoadBytes(dir, "two.bmp", Bitmap8(2, 0, rows)).status, PictureStatus::Ok);
    const std::string pastPalette("\x00\x01\x05\x00\x01\x01\x00\x00", 8);  // index 5 of 2 colours
    const PictureLoad short8 = LoadBytes(dir, "short.bmp", Bitmap8(2, 0, pastPalette));
    EXPECT_EQ(short8.status, PictureStatus::Error);
    EXPECT_TRUE(short8.message.contains(QStringLiteral("パレット"))) << short8.message.toStdString();
}

TEST(BoundedDecoding, AHugeFileIsRefusedWithoutBeingRead) {
    TempDir dir;
    const std::string path = dir.File("holes.jpg");
    sw::test::WriteFileBytes(path, std::string("\xFF\xD8", 2));
    ASSERT_EQ(::truncate(path.c_str(), 2LL * 1024 * 1024 * 1024), 0);  // sparse: nothing on disk
    QElapsedTimer timer;
    timer.start();
    const PictureLoad load = LoadPictureFile(QString::fromStdString(path));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(load.status, PictureStatus::Error);
    EXPECT_TRUE(load.message.contains(QStringLiteral("大きすぎる"))) << load.message.toStdString();
}

// A greyscale progressive JPEG of 127 scans: the DC, then each AC coefficient alone in a
// first pass and a refinement.
bool WriteManyScanJpeg(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = 16;
    cinfo.image_height = 16;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    std::vector<jpeg_scan_info> scans;
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k) scans.push_back({1, {0}, k, k, 0, 1});
    for (int k = 1; k <= 63; ++k) scans.push_back({1, {0}, k, k, 1, 0});
    cinfo.scan_info = scans.data();
    cinfo.num_scans = static_cast<int>(scans.size());
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(16);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < 16; ++x) row[x] = static_cast<JSAMPLE>(x * 16 + cinfo.next_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
    return true;
}

TEST(BoundedDecoding, JpegScansAndBytesBetweenMarkersAreBounded) {
    TempDir dir;
    ASSERT_TRUE(WriteManyScanJpeg(dir.File("scans.jpg")));
    const PictureLoad scans = LoadPictureFile(QString::fromStdString(dir.File("scans.jpg")));
    EXPECT_EQ(scans.status, PictureStatus::Error);
    EXPECT_TRUE(scans.message.contains(QStringLiteral("scans"))) << scans.message.toStdString();

    ASSERT_TRUE(sw::test::WriteJpeg(dir.File("plain.jpg"), sw::test::Quadrants(32, 32), sw::test::JpegKind::Rgb));
    const std::string plain = sw::test::ReadFileBytes(dir.File("plain.jpg"));
    // A few stray bytes after the start marker are let through; 100 000 are not.
    const std::string few = plain.substr(0, 2) + std::string(100, '\0') + plain.substr(2);
    EXPECT_EQ(LoadBytes(dir, "few.jpg", few).status, PictureStatus::Ok);
    const std::string many = plain.substr(0, 2) + std::string(100000, '\0') + plain.substr(2);
    const PictureLoad junk = LoadBytes(dir, "many.jpg", many);
    EXPECT_EQ(junk.status, PictureStatus::Error);
    EXPECT_TRUE(junk.message.contains(QStringLiteral("outside the picture data"))) << junk.message.toStdString();
}

}  // namespace
}  // namespace sw::render
