// The printed page lands where the companion tool draws it: the drawing starts at the corner of
// the printer's printable area on the landscape page, and a failed drawing sends nothing.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QTransform>
#include <pwd.h>
#include <regex>
#include <unistd.h>

#include "model/LabelSetFile.h"
#include "print/EntryPrint.h"
#include "print/CalibrationPrint.h"
#include "print/PrintJob.h"
#include "support/RecordingDevice.h"
#include "support/RunTool.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using namespace sw::model;
using sw::test::RunProgram;
using sw::test::TempDir;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Entry 1 with 30 keys: position 25 of face 1 red, position 6 of face 4 blue.
std::unique_ptr<Workspace> MarkedWorkspace() {
    auto ws = std::make_unique<Workspace>();
    ManagementEntry& e = ws->labelSet.Entries[1];
    e.ButtonModel = kModel30;
    const int offset = KeyRangeFor(kModel30).KeyOffset;
    e.Faces[1].Keys[25 - offset].BackColor = 0x000000FF;
    e.Faces[4].Keys[6 - offset].BackColor = 0x00FF0000;
    ws->editor.CurrentEntry = 1;
    ws->editor.KeyOffset = offset;
    return ws;
}

// The bounding box of the pixels near a colour.
QRect BoxOf(const QImage& image, QColor colour) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (std::abs(qRed(line[x]) - colour.red()) < 40 && std::abs(qGreen(line[x]) - colour.green()) < 40 &&
                std::abs(qBlue(line[x]) - colour.blue()) < 40)
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

void ExpectSameCorners(const QRect& printed, const QRect& tool) {
    ASSERT_FALSE(tool.isEmpty());
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_LE(std::abs(printed.left() - tool.left()), 1) << "printed " << printed.left() << " tool " << tool.left();
    EXPECT_LE(std::abs(printed.top() - tool.top()), 1) << "printed " << printed.top() << " tool " << tool.top();
    EXPECT_LE(std::abs(printed.right() - tool.right()), 1);
    EXPECT_LE(std::abs(printed.bottom() - tool.bottom()), 1);
}

class PrintOrigin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QImageReader::setAllocationLimit(512); }

    void SetUp() override {
        ws = MarkedWorkspace();
        WriteLabelSetFile(ws->labelSet);
    }
    void WriteLabelSetFile(const LabelSet& set) { sw::test::WriteFileBytes(dir.File("in.stw"), WriteLabelSet(set)); }

    // The tool's 600-dpi PNG of entry 1 with the given printer margins.
    QImage ToolPage(const QString& margins) {
        QStringList args{QStringLiteral("render"), Q(dir.File("in.stw")), QStringLiteral("--dpi"),
                         QStringLiteral("600"), QStringLiteral("-o"), Q(dir.File("tool.png"))};
        if (!margins.isEmpty()) args << QStringLiteral("--margins") << margins;
        auto run = RunProgram(QStringLiteral(SW_SHEET_TOOL), args, Q(dir.path()));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return QImage(Q(dir.File("tool.png")));
    }

    // A PDF file as a 600-dpi picture, through poppler's rasteriser.
    QImage Rasterise(const std::string& pdf) {
        auto run = RunProgram(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-png"),
                               QStringLiteral("-singlefile"), Q(pdf), Q(dir.File("printed"))});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return QImage(Q(dir.File("printed.png")));
    }

    // Prints entry 1 through QPrinter into a PDF file; `portraitMargins` stand for the
    // margins a printer reports for its portrait sheet (in mm), as a CUPS queue does.
    bool PrintToPdf(QtPrintTarget& target, const std::string& pdf, const QMarginsF& portraitMargins,
                    QString& error) {
        QPrinter& printer = target.Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(pdf));
        printer.setResolution(600);
        target.SetUpA4Landscape();
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(),
                                          QPageLayout::Millimeter, portraitMargins));
        return target.PrintPage(QStringLiteral("Stripwise２"),
                                [this](QPainter& canvas, int resolution) {
                                    return RenderCurrentSheet(canvas, resolution, *ws, false);
                                },
                                error);
    }

    TempDir dir;
    std::unique_ptr<Workspace> ws;
};

bool HavePdfToPpm() { return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(); }

TEST_F(PrintOrigin, APrinterWithoutMarginsPrintsWhereTheToolDraws) {
    if (!HavePdfToPpm()) GTEST_SKIP() << "pdftoppm is not installed";
    QtPrintTarget target;
    QString error;
    ASSERT_TRUE(PrintToPdf(target, dir.File("p.pdf"), QMarginsF(), error)) << error.toStdString();
    EXPECT_EQ(target.Geometry().printingOffset, QPoint(0, 0));
    const QImage printed = Rasterise(dir.File("p.pdf"));
    const QImage tool = ToolPage(QString());
    // Qt's A4 is 842 × 595 points, the tool's 297 × 210 mm: the pages differ by a dot or two
    // at their right and bottom edges, never at the origin.
    ASSERT_LE(std::abs(printed.width() - tool.width()), 3);
    ASSERT_LE(std::abs(printed.height() - tool.height()), 3);
    ExpectSameCorners(BoxOf(printed, Qt::red), BoxOf(tool, Qt::red));
    ExpectSameCorners(BoxOf(printed, Qt::blue), BoxOf(tool, Qt::blue));
    // Position 25 of face 1 as the sheet's layout puts it at 600 dpi: no default margin.
    EXPECT_EQ(BoxOf(tool, Qt::red).topLeft(), QPoint(504, 1335));
}

TEST_F(PrintOrigin, PortraitPrinterMarginsAreTurnedForTheLandscapePage) {
    if (!HavePdfToPpm()) GTEST_SKIP() << "pdftoppm is not installed";
    QtPrintTarget target;
    QString error;
    // The printer cannot print 6.35 mm at the portrait sides and 12.7 mm at top and bottom:
    // on the landscape page that is 12.7 mm at the left and 6.35 mm at the top.
    ASSERT_TRUE(PrintToPdf(target, dir.File("m.pdf"), QMarginsF(6.35, 12.7, 6.35, 12.7), error))
        << error.toStdString();
    EXPECT_EQ(target.PrintableMarginsMm(), QMarginsF(12.7, 6.35, 12.7, 6.35));
    const PrinterGeometry geometry = target.Geometry();
    EXPECT_EQ(geometry.printingOffset, QPoint(300, 150));
    EXPECT_EQ(geometry.printableSize, geometry.physicalPage - QSize(600, 300));

    const QImage printed = Rasterise(dir.File("m.pdf"));
    const QImage tool = ToolPage(QStringLiteral("12.7,6.35"));
    // Qt's A4 is 842 × 595 points, the tool's 297 × 210 mm: the pages differ by a dot or two
    // at their right and bottom edges, never at the origin.
    ASSERT_LE(std::abs(printed.width() - tool.width()), 3);
    ASSERT_LE(std::abs(printed.height() - tool.height()), 3);
    ExpectSameCorners(BoxOf(printed, Qt::red), BoxOf(tool, Qt::red));
    ExpectSameCorners(BoxOf(printed, Qt::blue), BoxOf(tool, Qt::blue));
    EXPECT_EQ(BoxOf(tool, Qt::red).topLeft(), QPoint(504 + 300, 1335 + 150));
}

TEST_F(PrintOrigin, AFailedDrawingLeavesNoOutputAndSendsNoJob) {
    QtPrintTarget target;
    QPrinter& printer = target.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Q(dir.File("failed.pdf")));
    target.SetUpA4Landscape();
    QString error;
    RenderResult drawn;
    const bool printed = target.PrintPage(
        QStringLiteral("Stripwise２"),
        [this](QPainter& canvas, int resolution) {
            // The header and faces are drawn, then the drawing fails.
            RenderResult result = RenderCurrentSheet(canvas, resolution, *ws, false);
            result.ok = false;
            result.message = QStringLiteral("描けませんでした");
            return result;
        },
        error, &drawn);
    EXPECT_FALSE(printed);
    EXPECT_EQ(error, QStringLiteral("描けませんでした"));
    EXPECT_FALSE(drawn.ok);
    EXPECT_FALSE(sw::test::FileExists(dir.File("failed.pdf")));
}

// Through the real print path: pages with a face marked for a broken picture are written only
// after the user's yes (asked once for the job, naming each marked face by its management
// number), and a picture that breaks between the question and the job (a face the user was not
// asked about) stops the job before anything is written.
TEST_F(PrintOrigin, AMarkedPageIsPrintedOnlyAsAgreed) {
    sw::test::WriteFileBytes(dir.File("bad.jpg"), "not a picture");
    ws->labelSet.Entries[1].Faces[2].PictureFile = dir.File("bad.jpg");
    ws->labelSet.Entries[2].Faces[3].PictureFile = dir.File("bad.jpg");
    const std::vector<int> entries{1, 2};
    sw::test::ScriptedDialogs dialogs;
    auto print = [&](const std::string& pdf, QString& error) {
        QtPrintTarget target;
        target.Printer().setOutputFormat(QPrinter::PdfFormat);
        target.Printer().setOutputFileName(Q(pdf));
        target.Printer().setResolution(150);
        target.SetUpA4Landscape();
        PrintTarget::IndexedPageDrawer draw = [&](QPainter& canvas, int resolution, int page) {
            return RenderEntrySheet(canvas, resolution, *ws, entries[static_cast<size_t>(page)], false);
        };
        if (!AgreeToMarkedFaces(nullptr, dialogs, entries, draw)) return false;
        // Between the question and the job another face's picture breaks.
        if (pdf.find("late") != std::string::npos) {
            sw::test::WriteFileBytes(dir.File("late.bmp"), "BM broken");
            ws->labelSet.Entries[2].Faces[4].PictureFile = dir.File("late.bmp");
        }
        return target.PrintPages(QStringLiteral("Stripwise２"), 2, draw, error);
    };
    QString error;
    EXPECT_FALSE(print(dir.File("no.pdf"), error));  // the default answer
    EXPECT_FALSE(sw::test::FileExists(dir.File("no.pdf")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        QStringLiteral("管理番号01の印刷面２、管理番号02の印刷面３の背景画像を読み込めません。")))
        << dialogs.messages[0].text.toStdString();

    dialogs.replies = {sw::app::Reply::Yes};
    EXPECT_TRUE(print(dir.File("yes.pdf"), error)) << error.toStdString();
    EXPECT_TRUE(sw::test::FileExists(dir.File("yes.pdf")));

    dialogs.replies = {sw::app::Reply::Yes};
    EXPECT_FALSE(print(dir.File("late.pdf"), error));
    EXPECT_FALSE(sw::test::FileExists(dir.File("late.pdf")));
    EXPECT_TRUE(error.contains(Q(dir.File("late.bmp")))) << error.toStdString();
}

// Entries 3, 7 and 12 are in use, each with one key in a colour of its own; the rest is empty.
std::unique_ptr<Workspace> ThreeUsedEntries() {
    auto ws = std::make_unique<Workspace>();
    ws->labelSet.Entries[3].Name = "Sales";
    ws->labelSet.Entries[3].Faces[1].Keys[1].BackColor = 0x000000FF;
    ws->labelSet.Entries[7].Faces[2].Keys[5].Line1 = "201";
    ws->labelSet.Entries[7].Faces[2].Keys[5].BackColor = 0x0000FF00;
    ws->labelSet.Entries[12].Faces[4].Keys[9].Line1 = "1200";
    ws->labelSet.Entries[12].Faces[4].Keys[9].BackColor = 0x00FF0000;
    ws->editor.CurrentEntry = 7;
    return ws;
}

// The number of pages of a PDF file, as poppler reads it.
int PdfPageCount(const std::string& pdf, const QString& cwd) {
    auto run = RunProgram(QStringLiteral("pdfinfo"), {Q(pdf)}, cwd);
    if (run.exitCode != 0) return -1;
    for (const QString& line : Q(run.out).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

class ManyEntries : public PrintOrigin {
protected:
    void SetUp() override {
        if (!HavePdfToPpm()) GTEST_SKIP() << "poppler's tools are not installed";
        ws = ThreeUsedEntries();
        QPrinter& printer = target.Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(dir.File("sheets.pdf")));
        printer.setResolution(150);
    }
    // Page `page` (1 first) of the printed file at 30 dpi.
    QImage PrintedPage(int page) {
        const QString n = QString::number(page);
        auto run = RunProgram(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), QStringLiteral("-f"),
                               n, QStringLiteral("-l"), n, QStringLiteral("-singlefile"), Q(dir.File("sheets.pdf")),
                               Q(dir.File("page"))});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return QImage(Q(dir.File("page.png")));
    }
    QtPrintTarget target;
    sw::test::ScriptedDialogs dialogs;
};

TEST_F(ManyEntries, AllUsedEntriesPrintAsOneFileWithAPageEachInNumberOrder) {
    dialogs.prints = {1};
    dialogs.printChoices = {sw::model::PrintChoice{sw::model::PrintScope::AllUsed, 0, 1, 50}};
    PrintSheet(nullptr, target, dialogs, *ws);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(PdfPageCount(dir.File("sheets.pdf"), Q(dir.path())), 3);
    // Page 1 is entry 3 (red key), page 2 entry 7 (green), page 3 entry 12 (blue).
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int page = 1; page <= 3; ++page) {
        const QImage image = PrintedPage(page);
        ASSERT_FALSE(image.isNull());
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(BoxOf(image, colours[c]).isEmpty(), c != page - 1) << "page " << page << " colour " << c;
    }
    EXPECT_EQ(ws->editor.CurrentEntry, 7);
}

TEST_F(ManyEntries, ARangePrintsEveryNumberInItAndNothingInUsePrintsNothing) {
    dialogs.prints = {1, 1};
    dialogs.printChoices = {sw::model::PrintChoice{sw::model::PrintScope::Range, 0, 6, 9},
                            sw::model::PrintChoice{sw::model::PrintScope::AllUsed, 0, 1, 50}};
    PrintSheet(nullptr, target, dialogs, *ws);
    ASSERT_EQ(PdfPageCount(dir.File("sheets.pdf"), Q(dir.path())), 4);
    EXPECT_FALSE(BoxOf(PrintedPage(2), Qt::green).isEmpty());  // entry 7
    EXPECT_TRUE(BoxOf(PrintedPage(1), Qt::green).isEmpty());

    ws->labelSet = LabelSet();
    target.Printer().setOutputFileName(Q(dir.File("empty.pdf")));
    PrintSheet(nullptr, target, dialogs, *ws);
    EXPECT_FALSE(sw::test::FileExists(dir.File("empty.pdf")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ManyEntries, AFailingPageLeavesNoOutputOfTheWholeJob) {
    QString error;
    RenderResult drawn;
    const std::vector<int> entries{3, 7, 12};
    const bool printed = target.PrintPages(
        QStringLiteral("Stripwise２"), 3,
        [&](QPainter& canvas, int resolution, int page) {
            RenderResult result = RenderEntrySheet(canvas, resolution, *ws, entries[static_cast<size_t>(page)], false);
            if (page == 2) {
                result.ok = false;
                result.message = QStringLiteral("三枚目が描けませんでした");
            }
            return result;
        },
        error, &drawn);
    EXPECT_FALSE(printed);
    EXPECT_EQ(error, QStringLiteral("三枚目が描けませんでした"));
    EXPECT_FALSE(sw::test::FileExists(dir.File("sheets.pdf")));
}

// A real CUPS queue that writes PDF files, where one is installed: the job goes through and
// its margins are taken from the queue, turned for the landscape page.
TEST_F(PrintOrigin, ACupsPdfQueuePrintsTheSheet) {
    QPrinterInfo queue;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        if (info.printerName().contains(QStringLiteral("PDF"), Qt::CaseInsensitive)) queue = info;
    if (queue.isNull()) GTEST_SKIP() << "no CUPS PDF queue is installed";
    QtPrintTarget target;
    target.Printer().setPrinterName(queue.printerName());
    target.SetUpA4Landscape();
    const QMarginsF turned = target.PrintableMarginsMm();
    target.Printer().setPageOrientation(QPageLayout::Portrait);
    const QMarginsF portrait = target.Printer().pageLayout().minimumMargins() *
                               (target.Printer().pageLayout().units() == QPageLayout::Point ? 25.4 / 72 : 1.0);
    target.Printer().setPageOrientation(QPageLayout::Landscape);
    EXPECT_NEAR(turned.left(), portrait.bottom(), 0.01);
    EXPECT_NEAR(turned.top(), portrait.left(), 0.01);
    QString error;
    EXPECT_TRUE(target.PrintPage(QStringLiteral("Stripwise２"),
                                 [this](QPainter& canvas, int resolution) {
                                     return RenderCurrentSheet(canvas, resolution, *ws, false);
                                 },
                                 error))
        << error.toStdString();
}

// The print dialog leaves the chosen printer's own default paper on the printer (Letter on many
// queues); the job still goes out on A4 landscape, from the sheet's print and from テスト印刷.
TEST_F(PrintOrigin, ThePaperAPrintDialogLeavesIsReplacedByA4Landscape) {
    sw::test::ScriptedDialogs dialogs;
    dialogs.onPrintDialog = [](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Portrait);
    };
    dialogs.prints = {1, 1};
    auto mediaBox = [](const std::string& pdf) {
        static const std::regex box("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]");
        std::smatch m;
        if (!std::regex_search(pdf, m, box)) return QSize();
        return QSize(static_cast<int>(std::lround(std::stod(m[1].str()))),
                     static_cast<int>(std::lround(std::stod(m[2].str()))));
    };
    for (const char* name : {"sheet.pdf", "calibration.pdf"}) {
        QtPrintTarget target;
        target.Printer().setOutputFormat(QPrinter::PdfFormat);
        target.Printer().setOutputFileName(Q(dir.File(name)));
        target.Printer().setResolution(150);
        if (std::string(name) == "sheet.pdf")
            PrintSheet(nullptr, target, dialogs, *ws);
        else
            EXPECT_TRUE(PrintCalibrationSheet(nullptr, target, dialogs, {kModel30, 1, 0, 0}));
        EXPECT_EQ(mediaBox(sw::test::ReadFileBytes(dir.File(name))), QSize(842, 595)) << name;  // points
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(PrinterPaper, APrinterTakesA4ByNameBySizeOrAsACustomSize) {
    const QPageSize a4(QPageSize::A4), letter(QPageSize::Letter), legal(QPageSize::Legal);
    const QPageSize a4ByAnotherName(QSizeF(210.2, 297.1), QPageSize::Millimeter, QStringLiteral("Plain paper"));
    const QPageSize small(QSizeF(50, 50), QPageSize::Millimeter), large(QSizeF(330, 480), QPageSize::Millimeter);
    EXPECT_TRUE(PageSizesOfferA4({letter, a4}, false, {}, {}));
    EXPECT_TRUE(PageSizesOfferA4({letter, a4ByAnotherName}, false, {}, {}));
    EXPECT_FALSE(PageSizesOfferA4({letter, legal}, false, {}, {}));
    EXPECT_TRUE(PageSizesOfferA4({letter, legal}, true, small, large));
    EXPECT_FALSE(PageSizesOfferA4({letter, legal}, true, small, QPageSize(QSizeF(216, 280), QPageSize::Millimeter)));
    EXPECT_TRUE(PageSizesOfferA4({}, false, {}, {}));  // a queue that names no paper takes what it is sent
}

// Faces in colours of their own on entries 3, 7 and 12, so that each page shows its boxes.
std::unique_ptr<Workspace> ThreeColouredEntries() {
    auto ws = ThreeUsedEntries();
    const ColorRef colours[] = {0x00C08040, 0x004080C0, 0x0040C080, 0x00808000};
    for (int entry : {3, 7, 12})
        for (int face = 1; face <= kFaceCount; ++face) {
            ws->labelSet.Entries[entry].Faces[face].BackgroundMode = 1;
            ws->labelSet.Entries[entry].Faces[face].BackgroundColor = colours[face - 1];
        }
    return ws;
}
QColor FaceColour(int face) {
    const QColor colours[] = {QColor(0x40, 0x80, 0xC0), QColor(0xC0, 0x80, 0x40), QColor(0x80, 0xC0, 0x40),
                              QColor(0x00, 0x80, 0x80)};
    return colours[face - 1];
}

// A printer that reports its margins for the portrait sheet as a PPD's ImageableArea does,
// unequal on every side, and keeps what each page draws.
class StandInPrinter : public PageSink {
public:
    explicit StandInPrinter(const QMarginsF& portrait) : m_portrait(portrait) {}
    QPaintDevice& Device() override { return device; }
    int Resolution() override { return 600; }
    QMarginsF PortraitMarginsMm() override { return m_portrait; }
    bool NewPage() override {
        device.NewPage();
        return true;
    }
    sw::test::RecordingDevice device{QSize(7016, 4960), 600};

private:
    QMarginsF m_portrait;
};

// Every page of a job starts at the printable area's corner of the landscape page: a printer
// that cannot print 5 mm at the left of its portrait sheet, 7.5 mm at the top, 9 mm at the
// right and 14 mm at the bottom prints the landscape page from 14 mm in from the left and 5 mm
// down, on the first page as on the third.
TEST(PrintPosition, FacesLandAtTheSameDotsOnEveryPageWithUnequalMargins) {
    auto ws = ThreeColouredEntries();
    const std::vector<int> entries{3, 7, 12};
    StandInPrinter printer(QMarginsF(5, 7.5, 9, 14));
    QString error;
    ASSERT_TRUE(PrintPagesOn(
        printer, 3,
        [&](QPainter& canvas, int resolution, int page) {
            return RenderEntrySheet(canvas, resolution, *ws, entries[static_cast<size_t>(page)], false);
        },
        error))
        << error.toStdString();
    // At 600 dpi 14 mm are 331 dots and 5 mm 118; face 1's box lies at (356, 1248) of the
    // printable area and face 4's at (3279, 2926), each 2740 × 1583 dots.
    const QSize box(2740, 1583);
    for (int page : {0, 1, 2}) {
        EXPECT_EQ(printer.device.FillsIn(page, FaceColour(1)), std::vector<QRect>{QRect(QPoint(687, 1366), box)})
            << "page " << page + 1;
        EXPECT_EQ(printer.device.FillsIn(page, FaceColour(4)), std::vector<QRect>{QRect(QPoint(3610, 3044), box)})
            << "page " << page + 1;
    }
}

// A CUPS queue of cups-pdf made for a test: Letter by default, and an A4 printable area that
// leaves 4.94 mm at the left of the portrait sheet, 7.76 mm at the top, 8.82 mm at the right
// and 14.11 mm at the bottom; or one that has no A4 paper at all (nor paper of any size the
// user types). Removed again at the end.
class CupsPdfQueue {
public:
    CupsPdfQueue() : m_name(QStringLiteral("StripwiseTest%1").arg(QCoreApplication::applicationPid())) {}
    ~CupsPdfQueue() {
        if (m_made) RunProgram(QStringLiteral("lpadmin"), {QStringLiteral("-x"), m_name});
    }
    // Empty when the queue is there; else why it cannot be.
    QString Make(const TempDir& dir, bool withA4 = true) {
        const QString source = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        if (QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty() || !QFile::exists(source))
            return QStringLiteral("CUPS or cups-pdf is not installed");
        if (RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-r")}).out.find("is running") == std::string::npos)
            return QStringLiteral("no CUPS scheduler is running");
        if (OutputFolder().isEmpty()) return QStringLiteral("cups-pdf writes where this test cannot look");
        QStringList ppd;
        bool inCustomSize = false;
        for (QString line : Q(sw::test::ReadFileBytes(source.toStdString())).split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("*Default")) && line.endsWith(QStringLiteral(": A4")))
                line.replace(QStringLiteral(": A4"), QStringLiteral(": Letter"));
            if (line.startsWith(QStringLiteral("*ImageableArea A4/A4:")))
                line = QStringLiteral("*ImageableArea A4/A4: \"14 40 570 820\"");
            if (!withA4) {
                // No A4 paper, and no custom size to make one of.
                if (line.startsWith(QStringLiteral("*CustomPageSize True"))) inCustomSize = true;
                const bool drop = inCustomSize || line.contains(QStringLiteral(" A4/A4:")) ||
                                  line.startsWith(QStringLiteral("*ParamCustomPageSize")) ||
                                  line.endsWith(QStringLiteral("*CustomPageSize"));
                if (inCustomSize && line.startsWith(QStringLiteral("*End"))) inCustomSize = false;
                if (drop) continue;
            }
            ppd << line;
        }
        if (!ppd.contains(QStringLiteral("*DefaultPageSize: Letter")))
            return QStringLiteral("the cups-pdf PPD is not the one this test knows");
        sw::test::WriteFileBytes(dir.File("queue.ppd"), ppd.join(QLatin1Char('\n')).toStdString());
        const auto made = RunProgram(QStringLiteral("lpadmin"), {QStringLiteral("-p"), m_name, QStringLiteral("-E"),
                                                                 QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                                                                 QStringLiteral("-P"), Q(dir.File("queue.ppd"))});
        if (made.exitCode != 0) return QStringLiteral("lpadmin refused: ") + Q(made.err);
        m_made = true;
        return QPrinterInfo::printerInfo(m_name).isNull() ? QStringLiteral("Qt does not see the new queue") : QString();
    }
    const QString& Name() const { return m_name; }

    // Where cups-pdf writes this user's files (its Out setting).
    static QString OutputFolder() {
        QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
        for (const QString& line : Q(sw::test::ReadFileBytes("/etc/cups/cups-pdf.conf")).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Out "))) out = line.mid(4).trimmed();
        const struct passwd* user = getpwuid(getuid());
        if (user == nullptr) return {};
        out.replace(QStringLiteral("${HOME}"), QString::fromLocal8Bit(user->pw_dir));
        out.replace(QStringLiteral("${USER}"), QString::fromLocal8Bit(user->pw_name));
        return out;
    }

    // The PDF file the queue wrote for the job sent last, once the queue is idle (a minute at
    // most); empty when none came.
    QString WaitForOutput(const QSet<QString>& before) const {
        for (int tries = 0; tries < 600; ++tries) {
            const bool busy = !RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-o"), m_name}).out.empty();
            if (!busy)
                for (const QString& file : QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files))
                    if (!before.contains(file)) return OutputFolder() + QLatin1Char('/') + file;
            QThread::msleep(100);
        }
        return {};
    }
    static QSet<QString> Files() {
        const QStringList files = QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        return QSet<QString>(files.begin(), files.end());
    }

private:
    QString m_name;
    bool m_made = false;
};

// Through CUPS, where it is installed: a queue whose default paper is Letter gets the three
// sheets on A4 landscape, and the faces of pages 1 and 3 where the tool's drawing with the
// queue's margins (turned for the landscape page) puts them.
TEST_F(PrintOrigin, ALetterCupsPdfQueuePrintsTheSheetsOnA4WithTheFacesInPlace) {
    if (!HavePdfToPpm()) GTEST_SKIP() << "poppler's tools are not installed";
    CupsPdfQueue queue;
    if (const QString why = queue.Make(dir); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    ws = ThreeColouredEntries();
    sw::test::ScriptedDialogs dialogs;
    // Choosing the queue in the dialog puts its default paper on the printer.
    dialogs.onPrintDialog = [&queue](QPrinter& printer) { printer.setPrinterName(queue.Name()); };
    dialogs.prints = {1};
    dialogs.printChoices = {sw::model::PrintChoice{sw::model::PrintScope::AllUsed, 0, 1, 50}};
    const QSet<QString> before = CupsPdfQueue::Files();
    QtPrintTarget target;
    PrintSheet(nullptr, target, dialogs, *ws);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
    const QString pdf = queue.WaitForOutput(before);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote nothing";
    const std::unique_ptr<const QString, void (*)(const QString*)> removed(&pdf, [](const QString* f) { QFile::remove(*f); });
    const auto info = RunProgram(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_NE(info.out.find("Pages:           3"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("(A4)"), std::string::npos) << info.out;
    for (int page : {1, 3}) {
        const QString n = QString::number(page);
        auto run = RunProgram(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"), QStringLiteral("-f"), n,
                               QStringLiteral("-l"), n, QStringLiteral("-singlefile"), pdf, Q(dir.File("cups"))});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        // The paper comes out upright, the landscape page on it turned a quarter to the left.
        const QImage printed = QImage(Q(dir.File("cups.png"))).transformed(QTransform().rotate(90));
        // A4 landscape at 150 dpi, give or take the dot poppler rounds up.
        ASSERT_LE(std::abs(printed.width() - 1754), 1) << "page " << page;
        ASSERT_LE(std::abs(printed.height() - 1240), 1) << "page " << page;
        // The landscape page's margins: 14.11 mm at the left, 4.94 mm at the top.
        const double left = 40 * 25.4 / 72, top = 14 * 25.4 / 72;
        auto dots = [](double mm) { return static_cast<int>(std::lround(mm * 150 / 25.4)); };
        const QRect face1 = BoxOf(printed, FaceColour(1));
        const QRect face4 = BoxOf(printed, FaceColour(4));
        EXPECT_LE(std::abs(face1.left() - dots(left + 15.05)), 1) << "page " << page << " " << face1.left();
        EXPECT_LE(std::abs(face1.top() - dots(top + 52.85)), 1) << "page " << page << " " << face1.top();
        EXPECT_LE(std::abs(face4.left() - dots(left + 138.8)), 1) << "page " << page << " " << face4.left();
        EXPECT_LE(std::abs(face4.bottom() + 1 - dots(top + 190.85)), 1) << "page " << page << " " << face4.bottom();
    }
}

// A queue without A4 paper is told so, and nothing reaches it.
TEST_F(PrintOrigin, ACupsQueueWithoutA4PrintsNothing) {
    CupsPdfQueue queue;
    if (const QString why = queue.Make(dir, false); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    sw::test::ScriptedDialogs dialogs;
    dialogs.onPrintDialog = [&queue](QPrinter& printer) { printer.setPrinterName(queue.Name()); };
    dialogs.prints = {1};
    QtPrintTarget target;
    PrintSheet(nullptr, target, dialogs, *ws);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("プリンタ「%1」には A4 の用紙がないため、印刷できません。"
                                                       "A4 の用紙に印刷できるプリンタを選んでください。")
                                            .arg(queue.Name()));
    EXPECT_TRUE(RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"),
                                                      queue.Name()})
                    .out.empty());
}

}  // namespace
}  // namespace sw::render
