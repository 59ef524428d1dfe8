// Writes the seed corpora of the fuzz targets into DIR/<target>/. Every seed is small: the
// targets run with inputs capped at a few kilobytes (see scripts/fuzz).
#include <QBuffer>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// jpeglib.h needs FILE from <cstdio> first.
#include <jpeglib.h>

#include "model/Cp932.h"
#include "model/KeyXlsx.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryFile.h"

using namespace sw::model;

namespace {

void Write(const std::filesystem::path& dir, const std::string& name, const std::string& data) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << data;
}

std::string FirstLines(const std::string& text, int count) {
    size_t cut = 0;
    for (int line = 0; line < count && cut < text.size(); ++line) cut = text.find('\n', cut) + 1;
    return text.substr(0, cut);
}

// ---- Label sets: the head of a file, cut at different places ----

void LabelSetSeeds(const std::filesystem::path& root) {
    ManagementEntry entry;
    entry.Name = EncodeCp932(QString::fromUtf8("本社①")).bytes;
    entry.ButtonModel = 0;
    entry.Faces[1].PictureFile = "/tmp/a.jpg";
    entry.Faces[1].PictureLayout = 1;
    entry.Faces[1].BackgroundMode = 1;
    entry.Faces[1].BackgroundColor = 0xFF00FF80;  // above the signed range
    KeyLabel& key = entry.Faces[1].Keys[1];
    key.Alignment = kAlignLeft;
    key.Layout = kLayoutBottom;
    key.Line1 = "ABC";
    key.Line2 = EncodeCp932(QString::fromUtf8("内線２０１")).bytes;
    key.FontColor = 255;
    key.FontStyle = 11;
    key.FontSize = 12;
    entry.Faces[1].Keys[2].Alignment = kAlignRight;
    entry.Faces[1].Keys[2].Layout = kLayoutTop;
    const std::string populated = WriteLabelSetEntry(entry);
    const std::string reset = WriteLabelSetEntry(ManagementEntry{});

    for (const auto& dir : {root / "fuzz_labelset", root / "fuzz_labelset_roundtrip"}) {
        Write(dir, "name.stw", FirstLines(populated, 1));
        Write(dir, "face-head.stw", FirstLines(populated, 6));
        Write(dir, "one-key.stw", FirstLines(populated, 6 + kLinesPerKey));
        Write(dir, "two-keys.stw", FirstLines(populated, 6 + 2 * kLinesPerKey));
        Write(dir, "reset-keys.stw", FirstLines(reset, 6 + 4 * kLinesPerKey));
        // Cut in the middle of a line, without its line end.
        std::string cut = FirstLines(populated, 6 + kLinesPerKey + 3);
        Write(dir, "mid-line.stw", cut.substr(0, cut.size() - 3));
        // LF-only lines, blank lines before a number, a number with text after it.
        std::string lf;
        for (char c : FirstLines(populated, 6 + 2 * kLinesPerKey))
            if (c != '\r') lf += c;
        Write(dir, "lf-only.stw", lf);
        Write(dir, "blanks.stw", "name\r\n\r\n \t 1 trailing\r\npic\r\n+0\r\n-1\r\n  16777215\r\n");
        // A value that is no number stops the reader.
        Write(dir, "not-a-number.stw", "name\r\nx1\r\n");
        Write(dir, "too-large.stw", "name\r\n1\r\n\r\n0\r\n0\r\n2147483648\r\n");
        // As much of the whole entry as fits in 4 KB.
        std::string head = populated.substr(0, 4000);
        Write(dir, "entry-head.stw", head.substr(0, head.rfind('\n') + 1));
    }
}

// ---- JPEG files through libjpeg: progressive, restart markers, CMYK, grey, arithmetic ----

struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

enum class JpegKind { Progressive, ProgressiveGrey, Restart, RestartRows, Cmyk, Ycck, Grey, Arithmetic, Full444 };

// A 16 x 12 picture (32 x 24 with restart markers, so that there are intervals to mark)
// with edges and gradients, so that every scan carries coefficients. Empty if this libjpeg
// cannot write the kind.
std::string Jpeg(JpegKind kind) {
    const bool restarts = kind == JpegKind::Restart || kind == JpegKind::RestartRows;
    const int width = restarts ? 32 : 16;
    const int height = restarts ? 24 : 12;
    jpeg_compress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    const bool grey = kind == JpegKind::Grey || kind == JpegKind::ProgressiveGrey;
    const bool cmyk = kind == JpegKind::Cmyk || kind == JpegKind::Ycck;
    cinfo.input_components = grey ? 1 : cmyk ? 4 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    switch (kind) {
        case JpegKind::Progressive:
        case JpegKind::ProgressiveGrey: jpeg_simple_progression(&cinfo); break;
        case JpegKind::Restart: cinfo.restart_interval = 1; break;
        case JpegKind::RestartRows: cinfo.restart_in_rows = 1; break;
        case JpegKind::Ycck: jpeg_set_colorspace(&cinfo, JCS_YCCK); break;
        case JpegKind::Arithmetic: cinfo.arith_code = TRUE; break;
        case JpegKind::Full444:
            cinfo.comp_info[0].h_samp_factor = 1;
            cinfo.comp_info[0].v_samp_factor = 1;
            cinfo.optimize_coding = TRUE;
            break;
        default: break;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < cinfo.input_components; ++c)
                row[static_cast<size_t>(x * cinfo.input_components + c)] = static_cast<JSAMPLE>(
                    (x % 16 >= 8) == (y % 12 >= 6) ? 20 + 60 * c + 8 * x : 230 - 15 * y - 30 * c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

// ---- Windows bitmaps written by hand: palettes, RLE, bit fields, other headers ----

void Put16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::int64_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct BitmapSpec {
    int headerSize = 40;  // 12 (OS/2 core), 40, 108 or 124
    int width = 8;
    int height = 4;       // negative: rows top down
    int bitsPerPixel = 8;
    int compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    int paletteSize = 0;
    std::vector<std::uint32_t> masks;  // bit fields after a 40-byte header, or in a V4/V5 one
    std::string pixels;   // as stored: padded rows, or the RLE stream
};

std::string Bitmap(const BitmapSpec& s) {
    const int paletteEntry = s.headerSize == 12 ? 3 : 4;
    const int masksAfter = s.headerSize == 40 ? static_cast<int>(s.masks.size()) * 4 : 0;
    const int offset = 14 + s.headerSize + masksAfter + s.paletteSize * paletteEntry;
    std::string out = "BM";
    Put32(out, offset + static_cast<std::int64_t>(s.pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, s.headerSize);
    if (s.headerSize == 12) {
        Put16(out, s.width);
        Put16(out, s.height);
        Put16(out, 1);
        Put16(out, s.bitsPerPixel);
    } else {
        Put32(out, s.width);
        Put32(out, s.height);
        Put16(out, 1);
        Put16(out, s.bitsPerPixel);
        Put32(out, s.compression);
        Put32(out, static_cast<std::int64_t>(s.pixels.size()));
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, s.paletteSize);
        Put32(out, 0);
        if (s.headerSize > 40) {
            for (size_t i = 0; i < 4; ++i) Put32(out, i < s.masks.size() ? s.masks[i] : 0);
            out += "BGRs";                                           // colour space: sRGB
            out.append(static_cast<size_t>(s.headerSize - 60), '\0');  // end points, gamma, ...
        }
        if (s.headerSize == 40)
            for (std::uint32_t mask : s.masks) Put32(out, mask);
    }
    for (int i = 0; i < s.paletteSize; ++i) {
        out += static_cast<char>(i * 37);
        out += static_cast<char>(255 - i * 11);
        out += static_cast<char>(i * 73);
        if (paletteEntry == 4) out += '\0';
    }
    return out + s.pixels;
}

// Rows of the given bit depth, each padded to four bytes, filled with a pattern.
std::string Rows(int width, int height, int bitsPerPixel) {
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    std::string pixels;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < stride; ++i) pixels += static_cast<char>((y * 29 + i * 13) & 0xFF);
    return pixels;
}

void PictureSeeds(const std::filesystem::path& root) {
    const auto dir = root / "fuzz_picture";
    // The first byte picks the decoder (odd = bitmap, even = JPEG).
    auto jpeg = [&](const std::string& name, const std::string& bytes) {
        if (!bytes.empty()) Write(dir, name, std::string(1, '\0') + bytes);
    };
    auto bitmap = [&](const std::string& name, const std::string& bytes) {
        Write(dir, name, std::string(1, '\1') + bytes);
    };
    for (auto [name, format, kind] : {std::tuple{"small.bmp", "BMP", '\1'},
                                      std::tuple{"small.jpg", "JPG", '\0'}}) {
        QImage image(7, 5, QImage::Format_RGB888);
        image.fill(QColor(200, 30, 90));
        image.setPixelColor(3, 2, Qt::white);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        Write(dir, name, std::string(1, kind) + bytes.toStdString());
    }

    const std::string progressive = Jpeg(JpegKind::Progressive);
    jpeg("progressive.jpg", progressive);
    jpeg("progressive-cut.jpg", progressive.substr(0, progressive.size() / 2));
    jpeg("progressive-grey.jpg", Jpeg(JpegKind::ProgressiveGrey));
    jpeg("restart.jpg", Jpeg(JpegKind::Restart));
    jpeg("restart-rows.jpg", Jpeg(JpegKind::RestartRows));
    jpeg("cmyk.jpg", Jpeg(JpegKind::Cmyk));
    jpeg("ycck.jpg", Jpeg(JpegKind::Ycck));
    jpeg("grey.jpg", Jpeg(JpegKind::Grey));
    jpeg("arithmetic.jpg", Jpeg(JpegKind::Arithmetic));
    jpeg("full-444.jpg", Jpeg(JpegKind::Full444));

    // Phone photos: an APP1 Exif segment right after the start marker, whose first image
    // directory turns the picture (6: a quarter to the right, little-endian; 8: a quarter to the
    // left, big-endian), so that the orientation reader and every turned placement are reached.
    auto exif = [](int orientation, bool bigEndian) {
        std::string tiff = bigEndian ? "MM" : "II";
        auto put = [&](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                tiff += static_cast<char>((value >> (8 * (bigEndian ? bytes - 1 - i : i))) & 0xFF);
        };
        put(42, 2);
        put(8, 4);
        put(1, 2);
        put(0x0112, 2);
        put(3, 2);
        put(1, 4);
        put(static_cast<std::uint32_t>(orientation), 2);
        put(0, 2);
        put(0, 4);
        const std::string payload = std::string("Exif\0\0", 6) + tiff;
        std::string segment = "\xFF\xE1";
        segment += static_cast<char>((payload.size() + 2) >> 8);
        segment += static_cast<char>((payload.size() + 2) & 0xFF);
        return segment + payload;
    };
    const std::string plain = Jpeg(JpegKind::Full444);
    if (!plain.empty()) {
        jpeg("exif-6.jpg", plain.substr(0, 2) + exif(6, false) + plain.substr(2));
        jpeg("exif-8-big-endian.jpg", plain.substr(0, 2) + exif(8, true) + plain.substr(2));
    }

    // RLE8, 8 x 4: a run, an absolute run, a delta, end of line and end of bitmap.
    BitmapSpec rle8;
    rle8.compression = 1;
    rle8.paletteSize = 4;
    rle8.pixels = std::string("\x04\x01\x00\x04\x02\x03\x02\x03\x00\x00", 10) +
                  std::string("\x08\x02\x00\x00", 4) +
                  std::string("\x00\x02\x02\x00\x06\x03\x00\x00", 8) +
                  std::string("\x08\x01\x00\x01", 4);
    bitmap("rle8.bmp", Bitmap(rle8));
    // RLE4, 8 x 4: runs of two alternating colours, an absolute run, a delta down a row.
    BitmapSpec rle4 = rle8;
    rle4.compression = 2;
    rle4.bitsPerPixel = 4;
    rle4.paletteSize = 16;
    rle4.pixels = std::string("\x08\x12\x00\x00", 4) +
                  std::string("\x00\x04\x34\x56\x04\x77\x00\x00", 8) +
                  std::string("\x00\x02\x00\x01\x08\xab\x00\x01", 8);
    bitmap("rle4.bmp", Bitmap(rle4));

    for (int bits : {1, 4, 8}) {
        BitmapSpec palette;
        palette.bitsPerPixel = bits;
        palette.paletteSize = 1 << bits;
        palette.pixels = Rows(palette.width, palette.height, bits);
        bitmap("palette-" + std::to_string(bits) + ".bmp", Bitmap(palette));
    }
    BitmapSpec rgb565;
    rgb565.bitsPerPixel = 16;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = Rows(rgb565.width, rgb565.height, 16);
    bitmap("bitfields-565.bmp", Bitmap(rgb565));
    BitmapSpec rgb555 = rgb565;
    rgb555.compression = 0;
    rgb555.masks.clear();
    bitmap("rgb555.bmp", Bitmap(rgb555));
    BitmapSpec topDown;
    topDown.bitsPerPixel = 24;
    topDown.height = -4;
    topDown.pixels = Rows(8, 4, 24);
    bitmap("top-down.bmp", Bitmap(topDown));
    BitmapSpec core;
    core.headerSize = 12;
    core.paletteSize = 256;
    core.pixels = Rows(8, 4, 8);
    bitmap("os2-core.bmp", Bitmap(core));
    BitmapSpec v5;
    v5.headerSize = 124;
    v5.bitsPerPixel = 32;
    v5.compression = 3;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v5.pixels = Rows(8, 4, 32);
    bitmap("v5-alpha.bmp", Bitmap(v5));
    BitmapSpec v4 = v5;
    v4.headerSize = 108;
    v4.compression = 0;
    bitmap("v4-32.bmp", Bitmap(v4));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::filesystem::path root(argv[1]);

    LabelSetSeeds(root);

    // Settings files.
    Write(root / "fuzz_ini", "main.ini",
          "[Main]\r\nTop=10\r\nLeft=20\r\nCaption=Stripwise\x82\x51\r\n\r\n[Settei]\r\nSayu=-5\r\n"
          "Jyoge=15\r\n[Preview]\r\nHeight=600\r\nWidth=774\r\nCaption=x\r\n");
    Write(root / "fuzz_ini", "odd.ini", "; c\n[main]\nTOP = 1\n[Main]\nTop=2\nno equals\n[");

    // CP932 text.
    Write(root / "fuzz_cp932", "ext.txt", EncodeCp932(QString::fromUtf8("①㈱髙﨑～－ｱｲ\\~")).bytes);
    Write(root / "fuzz_cp932", "bad.txt", "\x81\xff\x80\xa0\xfd\x82");

    // Key texts in CSV.
    Write(root / "fuzz_keycsv", "utf8.csv",
          "\xEF\xBB\xBF" "entry,face,key,line1,line2\r\n01,1,07,\"a,\"\"b\"\"\",c\r\n02,4,30,,d\r\n");
    Write(root / "fuzz_keycsv", "cp932.csv", "1,2,8," + EncodeCp932(QString::fromUtf8("営業")).bytes + ",\n1,1\n");
    Write(root / "fuzz_keycsv", "tabs.txt", "entry\tface\tkey\tline1\tline2\r\n1\t1\t1\t\"a\tb\"\t0120\r\n");
    const QString unicodeText = QStringLiteral("1\t1\t2\t内線\t=1+1\r\n");
    std::string utf16 = "\xFF\xFE";
    for (QChar c : unicodeText)
        utf16 += {static_cast<char>(c.unicode() & 0xFF), static_cast<char>(c.unicode() >> 8)};
    Write(root / "fuzz_keycsv", "utf16.txt", utf16);

    // Key lists as workbooks: one as we write it, the fewest keys.
    {
        auto set = std::make_unique<LabelSet>();
        set->Entries[1].Faces[1].Keys[1].Line1 = "007";
        set->Entries[1].Faces[1].Keys[2].Line2 = EncodeCp932(QString::fromUtf8("内線")).bytes;
        Write(root / "fuzz_keyxlsx", "keys.xlsx", WriteKeyXlsx(*set, {1}, KeyListScope::OnlyUsed).data);
    }

    // Recovery copies and save journals (a short document: the whole one is too long).
    {
        FramedFile journal;
        journal.fields = {{"path", HexBytes("/tmp/office.stw")}, {"inode", "1234"}};
        journal.body = "\r\n1\r\n\r\n0\r\n";
        Write(root / "fuzz_recovery", "journal", WriteFramed("stripwise2 save journal 1", journal));
        FramedFile copy = journal;
        copy.fields = {{"file", HexBytes("/tmp/office.stw")}, {"device", "2049"}, {"inode", "1234"},
                       {"filehash", std::string(64, 'a')}, {"saved", "1700000000"}};
        Write(root / "fuzz_recovery", "copy", WriteFramed("stripwise2 recovery copy 1", copy));
    }

    PictureSeeds(root);
    return 0;
}
