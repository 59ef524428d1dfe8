// The companion tool's render and check commands, run as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>

#include <QImage>
#include <QImageReader>
#include <memory>
#include <regex>

#include "model/Cp932.h"
#include "model/LabelSetFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

namespace sw::tools {
namespace {

using namespace sw::model;
using sw::test::FileExists;
using sw::test::ReadFileBytes;
using sw::test::RunProgram;
using sw::test::TempDir;
using sw::test::WriteFileBytes;

const QString kTool = QStringLiteral(SW_SHEET_TOOL);
const QColor kRed(Qt::red);

QString Q(const std::string& s) { return QString::fromStdString(s); }
Bytes Cp932(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

// Entry 1: 30 keys, position 25 of face 1 red; entries 5 and 9 are used too.
std::unique_ptr<LabelSet> SampleSet() {
    auto set = std::make_unique<LabelSet>();
    ManagementEntry& e = set->Entries[1];
    e.Name = Cp932("本社");
    e.ButtonModel = kModel30;
    e.Faces[1].Keys[25].BackColor = 0x000000FF;
    e.Faces[1].Keys[25].Line1 = Cp932("受付");
    set->Entries[5].Name = Cp932("支店");
    set->Entries[9].Faces[2].Keys[3].Line2 = "9";
    set->Entries[10].Faces[1].Keys[25].Line1 = "hidden";  // key 25 is not shown with 18 keys
    return set;
}

std::string Write(const TempDir& dir, const std::string& name, const LabelSet& set) {
    WriteFileBytes(dir.File(name), WriteLabelSet(set));
    return dir.File(name);
}

int CountPages(const std::string& pdf) {
    static const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page),
                                          std::sregex_iterator()));
}

// A page at 600 dpi is 139 MB as an image, beyond QImage's default reading limit.
class SheetToolRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QImageReader::setAllocationLimit(512); }
};

TEST_F(SheetToolRender, APngAt600DpiHasTheSheetsDotsAsPixels) {
    TempDir dir;
    const std::string in = Write(dir, "in.stw", *SampleSet());
    auto run = RunProgram(kTool, {"render", Q(in), "--dpi", "600", "-o", Q(dir.File("s.png"))},
                          Q(dir.path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QImage png(Q(dir.File("s.png")));
    ASSERT_EQ(png.size(), QSize(7016, 4961));
    EXPECT_EQ(png.pixelColor(504, 1335), kRed);
    EXPECT_EQ(png.pixelColor(912, 1501), kRed);
    EXPECT_NE(png.pixelColor(913, 1400), kRed);
    EXPECT_NE(png.pixelColor(503, 1400), kRed);
    EXPECT_EQ(png.pixelColor(6150, 589), QColor(Qt::black));  // the cross mark
    EXPECT_EQ(png.pixelColor(700, 1505), QColor(Qt::white));  // no outlines when printing

    auto outlined = RunProgram(kTool, {"render", Q(in), "--outlines", "-o", Q(dir.File("o.png"))});
    ASSERT_EQ(outlined.exitCode, 0) << outlined.err;
    QImage o(Q(dir.File("o.png")));
    EXPECT_EQ(o.size(), QSize(3508, 2480));  // 300 dpi by default
    EXPECT_EQ(o.pixelColor(350, 752), QColor(Qt::black));  // bar under position 25: y 1505 / 2
}

TEST_F(SheetToolRender, FineAdjustmentComesFromTheSettingsFileUnlessGiven) {
    TempDir dir;
    const std::string in = Write(dir, "in.stw", *SampleSet());
    WriteFileBytes(dir.File("Stripwise2.ini"), "[Settei]\r\nSayu=10\r\nJyoge=10\r\n");
    auto shifted = RunProgram(kTool, {"render", Q(in), "--dpi", "600", "-o", "s.png"}, Q(dir.path()));
    ASSERT_EQ(shifted.exitCode, 0) << shifted.err;
    QImage s(Q(dir.File("s.png")));
    EXPECT_EQ(s.pixelColor(528, 1311), kRed);
    EXPECT_NE(s.pixelColor(527, 1400), kRed);

    auto given = RunProgram(kTool, {"render", Q(in), "--dpi", "600", "--sayu", "0", "--jyoge", "-10",
                                    "-o", "g.png"},
                            Q(dir.path()));
    ASSERT_EQ(given.exitCode, 0) << given.err;
    QImage g(Q(dir.File("g.png")));
    EXPECT_EQ(g.pixelColor(504, 1358), kRed);  // 1 mm down
    EXPECT_NE(g.pixelColor(504, 1357), kRed);
}

TEST_F(SheetToolRender, AllWritesOnePdfPagePerUsedEntry) {
    TempDir dir;
    const std::string in = Write(dir, "in.stw", *SampleSet());
    auto run = RunProgram(kTool, {"render", Q(in), "--all", "--dpi", "300", "-o", Q(dir.File("all.pdf"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string pdf = ReadFileBytes(dir.File("all.pdf"));
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(CountPages(pdf), 3);  // entries 1, 5 and 9
    EXPECT_NE(pdf.find("/MediaBox [0 0 842"), std::string::npos);  // A4 landscape

    auto one = RunProgram(kTool, {"render", Q(in), "--entry", "5", "-o", Q(dir.File("one.pdf"))});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(CountPages(ReadFileBytes(dir.File("one.pdf"))), 1);

    auto none = RunProgram(kTool, {"render", Q(Write(dir, "empty.stw", LabelSet())), "--all", "-o",
                                   Q(dir.File("none.pdf"))});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_FALSE(FileExists(dir.File("none.pdf")));
}

// Colours, the blank and a missing picture's white are filled rectangles in a PDF; only a real
// picture is stored as an image, so a sheet of text and colours stays small.
TEST_F(SheetToolRender, PdfStoresOnlyRealPicturesAsImages) {
    TempDir dir;
    auto set = SampleSet();
    auto& faces = set->Entries[1].Faces;
    faces[1].BackgroundMode = 1;
    faces[1].BackgroundColor = 0x00336699;
    faces[2].BackgroundMode = 1;
    faces[2].BackgroundColor = 0x00996633;
    faces[2].PictureLayout = 1;
    faces[3].PictureFile = dir.File("gone.bmp");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(Q(dir.File("p.bmp")), "BMP"));
    set->Entries[5].Faces[4].PictureFile = dir.File("p.bmp");
    auto run = RunProgram(kTool, {"render", Q(Write(dir, "in.stw", *set)), "--all", "--dpi", "300", "-o",
                                  Q(dir.File("all.pdf"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string pdf = ReadFileBytes(dir.File("all.pdf"));
    static const std::regex image("/Subtype\\s*/Image");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), image), std::sregex_iterator()), 1);
    EXPECT_EQ(CountPages(pdf), 3);
}

TEST_F(SheetToolRender, PicturesPrintWhiteWhenMissingAndStopTheRenderWhenBroken) {
    TempDir dir;
    auto set = SampleSet();
    set->Entries[1].Faces[1].PictureFile = dir.File("gone.bmp");
    const std::string in = Write(dir, "in.stw", *set);
    const std::string before = ReadFileBytes(in);
    auto run = RunProgram(kTool, {"render", Q(in), "--dpi", "96", "-o", Q(dir.File("w.png"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QImage(Q(dir.File("w.png"))).pixelColor(57, 200), QColor(Qt::white));
    EXPECT_EQ(ReadFileBytes(in), before);

    WriteFileBytes(dir.File("bad.jpg"), "not a jpeg at all");
    set->Entries[1].Faces[1].PictureFile = dir.File("bad.jpg");
    const std::string broken = Write(dir, "broken.stw", *set);
    auto failed = RunProgram(kTool, {"render", Q(broken), "-o", Q(dir.File("b.png"))});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find(dir.File("bad.jpg")), std::string::npos) << failed.err;
    EXPECT_FALSE(FileExists(dir.File("b.png")));

    // The last face broken, every entry to a PDF: still stopped, its message said once.
    set->Entries[1].Faces[1].PictureFile.clear();
    set->Entries[1].Faces[4].PictureFile = dir.File("bad.jpg");
    auto all = RunProgram(kTool, {"render", Q(Write(dir, "last.stw", *set)), "--all", "-o", Q(dir.File("b.pdf"))});
    EXPECT_EQ(all.exitCode, 1);
    EXPECT_EQ(std::count(all.err.begin(), all.err.end(), '\n'), 1) << all.err;
    EXPECT_NE(all.err.find(dir.File("bad.jpg")), std::string::npos) << all.err;
    EXPECT_FALSE(FileExists(dir.File("b.pdf")));
}

// "--name=value" means the same as "--name value", negative values included, and a missing
// picture is named once on standard error while the page is still written.
TEST_F(SheetToolRender, OptionsTakeTheirValueAfterAnEqualsSignAndMissingPicturesAreNamed) {
    TempDir dir;
    auto set = SampleSet();
    set->Entries[1].Faces[1].PictureFile = dir.File("gone.bmp");
    set->Entries[1].Faces[2].PictureFile = dir.File("gone.bmp");
    const std::string in = Write(dir, "in.stw", *set);
    const std::string before = ReadFileBytes(in);
    auto run = RunProgram(kTool, {"render", Q(in), "--dpi=600", "--sayu=0", "--jyoge=-10",
                                  "--entry=1", "-o", Q(dir.File("g.png"))},
                          Q(dir.path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QImage g(Q(dir.File("g.png")));
    EXPECT_EQ(g.size(), QSize(7016, 4961));
    EXPECT_EQ(g.pixelColor(504, 1358), kRed);  // 1 mm down
    EXPECT_NE(g.pixelColor(504, 1357), kRed);
    EXPECT_EQ(run.err, "背景画像「" + dir.File("gone.bmp") + "」が見つかりません。白で表示・印刷します。\n");
    EXPECT_EQ(ReadFileBytes(in), before);

    auto wrong = RunProgram(kTool, {"render", Q(in), "--dpi=abc", "-o", Q(dir.File("x.png"))});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("--dpi needs a whole number, not 'abc'"), std::string::npos) << wrong.err;
    EXPECT_EQ(RunProgram(kTool, {"render", Q(in), "--all=yes", "-o", Q(dir.File("x.pdf"))}).exitCode, 2);
    EXPECT_FALSE(FileExists(dir.File("x.png")));
}

TEST_F(SheetToolRender, UsageMistakesExitTwo) {
    TempDir dir;
    const QString in = Q(Write(dir, "in.stw", *SampleSet()));
    const QString png = Q(dir.File("x.png"));
    for (const QStringList& args :
         {QStringList{"render", in}, QStringList{"render", in, "-o", Q(dir.File("x.gif"))},
          QStringList{"render", in, "--all", "-o", png}, QStringList{"render", in, "--entry", "51", "-o", png},
          QStringList{"render", in, "--entry", "2", "--all", "-o", Q(dir.File("x.pdf"))},
          QStringList{"render", in, "--dpi", "0", "-o", png}, QStringList{"render", in, "--sayu", "x", "-o", png},
          QStringList{"check"}, QStringList{"check", in, in}}) {
        auto run = RunProgram(kTool, args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(FileExists(dir.File("x.png")));
    auto help = RunProgram(kTool, {"render", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--outlines"), std::string::npos);
}

// The bounding box of the pixels of one colour inside `area`.
QRect BoxIn(const QImage& image, const QRect& area, const QColor& colour) {
    const QImage rgb = image.copy(area).convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    }
    return box.translated(area.topLeft());
}

// The box a calibration sheet outlines around a printed face box: the first black dot met from
// outside on each side, 3.5 mm in from the corner, where no comb or ruler tick stands.
QRect OutlineAround(const QImage& image, const QRect& near) {
    const int along = static_cast<int>(3.5 * 600 / 25.4);
    const int from = 47;  // 2 mm
    auto firstBlack = [&](QPoint p, QPoint step) {
        for (int i = 0; i < 2 * from && image.pixelColor(p) != QColor(Qt::black); ++i) p += step;
        return p;
    };
    return QRect(QPoint(firstBlack({near.left() - from, near.top() + along}, {1, 0}).x(),
                        firstBlack({near.left() + along, near.top() - from}, {0, 1}).y()),
                 QPoint(firstBlack({near.right() + from, near.top() + along}, {-1, 0}).x(),
                        firstBlack({near.left() + along, near.bottom() + from}, {0, -1}).y()));
}

TEST_F(SheetToolRender, CalibrateDrawsFaceOneWhereRenderPrintsItWithTheSettingsAdjustment) {
    TempDir dir;
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].ButtonModel = kModel30;
    set->Entries[1].Faces[1].BackgroundMode = 1;
    set->Entries[1].Faces[1].BackgroundColor = 0x000000FF;
    const std::string in = Write(dir, "in.stw", *set);
    WriteFileBytes(dir.File("Stripwise2.ini"), "[Settei]\r\nSayu=10\r\nJyoge=-5\r\n");
    auto printed = RunProgram(kTool, {"render", Q(in), "--dpi", "600", "--margins", "5,3", "-o", "r.png"},
                              Q(dir.path()));
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    auto calibration = RunProgram(kTool, {"calibrate", "--dpi", "600", "--margins", "5,3", "-o", "c.png"},
                                  Q(dir.path()));
    ASSERT_EQ(calibration.exitCode, 0) << calibration.err;
    const QImage r(Q(dir.File("r.png")));
    const QImage c(Q(dir.File("c.png")));
    ASSERT_EQ(c.size(), QSize(7016, 4961));
    // Face 1 and nothing else: below the header, above face 2.
    const QRect area(200, 1150, 3100, 1800);
    const QRect red = BoxIn(r, area, kRed);
    ASSERT_FALSE(red.isEmpty());
    const QRect box = OutlineAround(c, red);
    EXPECT_LE((red.topLeft() - box.topLeft()).manhattanLength(), 2) << box.left() << "," << box.top();
    EXPECT_LE((red.bottomRight() - box.bottomRight()).manhattanLength(), 2);
    // 15.05 mm + 5 mm margin + 1 mm adjustment from the left edge.
    EXPECT_NEAR(box.left(), 21.05 * 600 / 25.4, 1.0);

    // 18 keys: the same boxes, fewer cells; a PDF of one A4 landscape page.
    auto eighteen = RunProgram(kTool, {"calibrate", "--model=18", "--sayu", "10", "--jyoge", "-5",
                                       "--dpi", "600", "--margins", "5,3", "-o", Q(dir.File("e.png"))});
    ASSERT_EQ(eighteen.exitCode, 0) << eighteen.err;
    const QImage e(Q(dir.File("e.png")));
    EXPECT_EQ(OutlineAround(e, red), box);
    EXPECT_NE(e, c);
    auto pdf = RunProgram(kTool, {"calibrate", "--model", "18", "-o", Q(dir.File("c.pdf"))});
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
    const std::string bytes = ReadFileBytes(dir.File("c.pdf"));
    EXPECT_EQ(CountPages(bytes), 1);
    EXPECT_NE(bytes.find("/MediaBox [0 0 842"), std::string::npos);
}

// An adjustment that moves the sheet off the page: partly, and it is said which side loses how
// much; wholly, and nothing is written.
TEST_F(SheetToolRender, CalibrateSaysWhenTheSheetRunsOffTheA4Page) {
    TempDir dir;
    // 45 mm to the right: the combs right of faces 3 and 4 end at 300.8 mm.
    auto partly = RunProgram(kTool, {"calibrate", "--dpi", "30", "--sayu", "450", "--jyoge", "0", "-o", Q(dir.File("p.png"))});
    EXPECT_EQ(partly.exitCode, 0) << partly.err;
    EXPECT_NE(partly.err.find("右 3.9 mm"), std::string::npos) << partly.err;
    EXPECT_TRUE(FileExists(dir.File("p.png")));
    for (const QStringList& off : {QStringList{"--sayu", "3000", "--jyoge", "0"}, QStringList{"--sayu", "0", "--jyoge", "-2000"},
                                   QStringList{"--sayu", "-2600", "--jyoge", "0", "--margins", "3,0"}}) {
        auto run = RunProgram(kTool, QStringList{"calibrate"} + off + QStringList{"-o", Q(dir.File("n.png"))});
        EXPECT_EQ(run.exitCode, 1) << off.join(' ').toStdString();
        EXPECT_NE(run.err.find("nothing of the sheet lands on the A4 page"), std::string::npos) << run.err;
        EXPECT_FALSE(FileExists(dir.File("n.png")));
    }
}

TEST_F(SheetToolRender, CalibrateRefusesBadOptionsAndWritesNothing) {
    TempDir dir;
    const QString png = Q(dir.File("x.png"));
    for (const QStringList& args :
         {QStringList{"calibrate"}, QStringList{"calibrate", "--model", "24", "-o", png},
          QStringList{"calibrate", "--dpi", "0", "-o", png}, QStringList{"calibrate", "--sayu", "x", "-o", png},
          QStringList{"calibrate", "--margins", "5", "-o", png}, QStringList{"calibrate", "-o", Q(dir.File("x.gif"))},
          QStringList{"calibrate", "in.stw", "-o", png}, QStringList{"calibrate", "--entry", "2", "-o", png}}) {
        auto run = RunProgram(kTool, args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(FileExists(dir.File("x.png")));
    auto nowhere = RunProgram(kTool, {"calibrate", "--sayu", "0", "--jyoge", "0", "-o", Q(dir.File("gone/x.png"))});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_FALSE(nowhere.err.empty());
    auto help = RunProgram(kTool, {"calibrate", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--model K"), std::string::npos);
    EXPECT_NE(RunProgram(kTool, {"--help"}).out.find("stripwise2-sheet calibrate"), std::string::npos);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST(SheetToolCheck, ReportsTextThatDoesNotFitMissingPicturesAndFonts) {
    TempDir dir;
    auto clean = SampleSet();
    auto run = RunProgram(kTool, {"check", Q(Write(dir, "clean.stw", *clean))});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");

    auto set = SampleSet();
    PrintFace& face = set->Entries[1].Faces[2];
    face.Keys[5].Line1 = Cp932("とても長い名前の部署です");  // 12 characters of 9 points: 38 mm
    face.Keys[6].Line1 = "Big";
    face.Keys[6].FontSize = 24;                            // 8.5 mm in a 7.1 mm cell
    face.Keys[7].Line1 = "a";
    face.Keys[7].FontName = "NoSuchFontAnywhere";
    face.Keys[8].Line1 = "b";
    face.Keys[8].FontName = "NoSuchFontAnywhere";
    face.Keys[9].Line1 = "c";
    face.Keys[9].FontName = Cp932("ＭＳ 明朝");             // substituted: fine
    set->Entries[5].Faces[3].PictureFile = dir.File("gone.jpg");
    WriteFileBytes(dir.File("bad.bmp"), "BM broken");
    set->Entries[5].Faces[4].PictureFile = dir.File("bad.bmp");
    set->Entries[10].Faces[1].Keys[25].Line1 = std::string(200, 'W');  // not shown: not checked

    run = RunProgram(kTool, {"check", Q(Write(dir, "bad.stw", *set))});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("01 印刷面2 キー05: 1行目が横に 2[0-9]\\.[0-9]mm はみ出しています")))
        << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("01 印刷面2 キー06: 1行目が縦に [0-9]\\.[0-9]mm はみ出しています")))
        << lines[1];
    EXPECT_EQ(lines[2], "05 印刷面3: 背景画像「" + dir.File("gone.jpg") + "」がありません（白で印刷されます）");
    EXPECT_EQ(lines[3].rfind("05 印刷面4: 背景画像「" + dir.File("bad.bmp") + "」は壊れている", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "01 印刷面2 キー07: フォント「NoSuchFontAnywhere」がこのコンピューターにありません"
                        "（ほか 1 か所でも使われています）");
}

}  // namespace
}  // namespace sw::tools
