// Printing and the preview window: page layout from the printer, zoom, copies, outlines.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QRadioButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "editor/WindowFixture.h"
#include "model/IniFile.h"
#include "dialogs/EntryChoiceTab.h"
#include "print/CalibrationPrint.h"
#include "print/FakePrinter.h"
#include "print/PrintJob.h"
#include "print/TfrmPreview.h"
#include "support/ScriptedDialogs.h"

namespace sw::render {
namespace {

using sw::test::FakePrinter;
using sw::model::PrintChoice;
using sw::model::PrintScope;
using sw::test::RenderedEntryPage;
using sw::test::RenderedPage;
using sw::test::ScriptedDialogs;
using sw::test::WorkingDir;

TEST(PreviewLayout, A600DpiPrinterOnA96DpiScreen) {
    const PrinterGeometry printer{600, {7016, 4960}, {100, 100}, {6816, 4760}};
    PreviewPage page = LayOutPreview(printer, 96, 100);
    EXPECT_EQ(page.paper, QSize(1123, 794));
    EXPECT_EQ(page.printable, QRect(16, 16, 1091, 762));
    page = LayOutPreview(printer, 96, 150);
    EXPECT_EQ(page.printable.topLeft(), QPoint(24, 24));
    EXPECT_EQ(page.paper, QSize(1684, 1190));
    page = LayOutPreview(printer, 96, 50);
    EXPECT_EQ(page.paper, QSize(561, 397));
    EXPECT_EQ(page.printable.topLeft(), QPoint(8, 8));
}

TEST(PreviewLayout, RoundsHalvesToEvenAndRendersAtTheZoomedResolution) {
    // At 192 dpi on a 96-dpi screen every length halves exactly.
    const PrinterGeometry printer{192, {5, 3}, {1, 3}, {7, 9}};
    PreviewPage page = LayOutPreview(printer, 96, 100);
    EXPECT_EQ(page.paper, QSize(2, 2));                 // 2.5 -> 2, 1.5 -> 2
    EXPECT_EQ(page.printable, QRect(0, 2, 4, 4));       // 0.5 -> 0, 1.5 -> 2, 3.5 -> 4, 4.5 -> 4
    EXPECT_EQ(PreviewResolution(96, 125), 120);
    EXPECT_EQ(PreviewResolution(96, 75), 72);
    EXPECT_EQ(PreviewResolution(97, 50), 49);  // 48.5, halves away from zero as MulDiv does
    EXPECT_EQ(LayOutPreview(PrinterGeometry{}, 96, 100).paper, QSize());  // no printer, no page
}

class Preview : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    FakePrinter printer;
    std::unique_ptr<TfrmPreview> preview;

    void SetUp() override {
        ws->settings.ProgramDir = cwd.path() + "/";
        ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "A";
        preview = std::make_unique<TfrmPreview>(*ws, printer, dialogs);
    }
    void Show() { ASSERT_TRUE(sw::test::ShowActive(preview.get())); }
    QToolButton* Zoom(int n) { return preview->findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(n)); }
    QString Caption() { return preview->findChild<QLabel*>("Label1")->text(); }
    QWidget* Named(const char* name) { return preview->findChild<QWidget*>(QString::fromLatin1(name)); }
};

TEST_F(Preview, ShowsThePaperAtRealSizeAndZoomsInStepsBetweenItsLimits) {
    ASSERT_EQ(preview->ScreenDpi(), 96);
    Show();
    EXPECT_EQ(preview->ZoomPercent(), 100);
    EXPECT_EQ(Caption(), "x100%");
    EXPECT_EQ(Named("Panel2")->size(), QSize(1123, 794));
    EXPECT_EQ(Named("PaintBox1")->geometry(), QRect(16, 16, 1091, 762));
    EXPECT_GT(printer.setUps, 0);

    Zoom(1)->click();
    EXPECT_EQ(Caption(), "x125%");
    Zoom(1)->click();
    EXPECT_EQ(Caption(), "x150%");
    EXPECT_EQ(Named("PaintBox1")->pos(), QPoint(24, 24));
    EXPECT_FALSE(Zoom(1)->isEnabled());
    EXPECT_TRUE(Zoom(2)->isEnabled());
    preview->SpeedButton1Click();
    EXPECT_EQ(preview->ZoomPercent(), 150);
    for (int i = 0; i < 4; ++i) Zoom(2)->click();
    EXPECT_EQ(preview->ZoomPercent(), 50);
    EXPECT_EQ(Caption(), "x50%");
    EXPECT_FALSE(Zoom(2)->isEnabled());
    EXPECT_TRUE(Zoom(1)->isEnabled());
    preview->SpeedButton2Click();
    preview->SetZoom(175);
    preview->SetZoom(0);
    EXPECT_EQ(preview->ZoomPercent(), 50);
}

TEST_F(Preview, ComesBackAt100PercentAfterItWasClosed) {
    Show();
    preview->SetZoom(125);
    preview->move(30, 40);
    preview->findChild<QPushButton*>("btnClose")->click();
    EXPECT_FALSE(preview->isVisible());
    const std::string ini = cwd.File("Stripwise2.ini");
    EXPECT_EQ(sw::model::ReadIniInt(ini, "Preview", "Top", 0), preview->pos().y());
    EXPECT_EQ(sw::model::ReadIniInt(ini, "Preview", "Width", 0), preview->width());
    EXPECT_EQ(sw::model::ReadIniString(ini, "Preview", "Caption", ""), sw::test::Sjis("印刷プレビュー"));
    Show();
    EXPECT_EQ(preview->ZoomPercent(), 100);
    EXPECT_EQ(Caption(), "x100%");
}

TEST_F(Preview, TakesItsPlaceSizeAndCaptionFromTheSettings) {
    const std::string ini = cwd.File("Stripwise2.ini");
    sw::model::WriteIniInt(ini, "Preview", "Top", 11);
    sw::model::WriteIniInt(ini, "Preview", "Left", 22);
    sw::model::WriteIniInt(ini, "Preview", "Height", 500);
    sw::model::WriteIniInt(ini, "Preview", "Width", 700);
    sw::model::WriteIniString(ini, "Preview", "Caption", sw::test::Sjis("シート"));
    TfrmPreview other(*ws, printer, dialogs);
    EXPECT_EQ(other.pos(), QPoint(22, 11));
    EXPECT_EQ(other.size(), QSize(700, 500));
    EXPECT_EQ(other.windowTitle(), QStringLiteral("シート"));
    EXPECT_EQ(preview->size(), QSize(774, 600));  // created before: the defaults
}

TEST_F(Preview, ThreeCopiesAreThreeJobsWithoutOutlinesWhileThePreviewShowsThem) {
    Show();
    // The preview draws the key button outlines.
    const int resolution = PreviewResolution(96, 100);
    const QSize box = Named("PaintBox1")->size();
    const QImage withOutlines = RenderedPage(*ws, box, resolution, true);
    const QImage without = RenderedPage(*ws, box, resolution, false);
    ASSERT_NE(withOutlines, without);
    EXPECT_EQ(preview->PaintedPage().convertToFormat(QImage::Format_RGB32), withOutlines);

    dialogs.prints = {3};
    printer.printer.setCopyCount(3);
    preview->findChild<QPushButton*>("btnPrint")->click();
    ASSERT_EQ(printer.jobs.size(), 3u);
    const QImage paper = RenderedPage(*ws, printer.PageSize(), printer.pageResolution, false);
    for (const auto& job : printer.jobs) {
        EXPECT_EQ(job.title, QStringLiteral("Stripwise２"));
        EXPECT_EQ(job.page, paper);  // never the outlines on paper
    }
    EXPECT_EQ(printer.printer.copyCount(), 1);
    EXPECT_TRUE(preview->DrawButtonOutlines());
    EXPECT_EQ(preview->PaintedPage().convertToFormat(QImage::Format_RGB32), withOutlines);
}

TEST_F(Preview, EveryPrintDialogStartsFromOneCopy) {
    Show();
    dialogs.prints = {3, 2};
    printer.printer.setCopyCount(3);  // left over from an earlier print
    preview->findChild<QPushButton*>("btnPrint")->click();
    printer.printer.setCopyCount(2);
    preview->findChild<QPushButton*>("btnPrint")->click();
    EXPECT_EQ(printer.jobs.size(), 5u);
    EXPECT_EQ(dialogs.printCopiesShown, (std::vector<int>{1, 1}));
}

TEST_F(Preview, ACancelledPrintDialogPrintsNothingAndKeepsTheOutlines) {
    Show();
    const int setUps = printer.setUps;
    dialogs.prints = {std::nullopt};
    preview->btnPrintClick();
    EXPECT_EQ(dialogs.printRequests, 1);
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_TRUE(preview->DrawButtonOutlines());
    EXPECT_EQ(printer.setUps, setUps);  // the page keeps the set-up it was laid out with
}

// The messages of one kind the program showed.
std::vector<sw::test::ShownMessage> Shown(const ScriptedDialogs& dialogs, sw::app::MessageKind kind) {
    std::vector<sw::test::ShownMessage> shown;
    for (const auto& message : dialogs.messages)
        if (message.kind == kind) shown.push_back(message);
    return shown;
}

// Two faces name files that are no pictures: the preview shows the whole sheet with both faces
// marked, and tells each file once per showing however often it repaints.
TEST_F(Preview, APictureThatCannotBeReadIsReportedOnceNotAtEveryRepaint) {
    sw::test::WriteFileBytes(cwd.File("bad.jpg"), "no picture here");
    sw::test::WriteFileBytes(cwd.File("worse.bmp"), "BM nor here");
    const QImage unmarked = RenderedPage(*ws, QSize(1091, 762), PreviewResolution(96, 100), true);
    ws->labelSet.Entries[1].Faces[2].PictureFile = cwd.File("bad.jpg");
    ws->labelSet.Entries[1].Faces[3].PictureFile = cwd.File("worse.bmp");
    Show();
    for (int i = 0; i < 3; ++i) {
        Named("PaintBox1")->repaint();
        QTest::qWait(10);
    }
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("bad.jpg")));
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("worse.bmp")));
    const QImage shown = preview->PaintedPage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, RenderedPage(*ws, Named("PaintBox1")->size(), PreviewResolution(96, 100), true));
    EXPECT_NE(shown, unmarked);
    EXPECT_EQ(shown.pixelColor(50, 450), unmarked.pixelColor(50, 450));  // face 1's key area

    // Shown again: told again, once.
    preview->findChild<QPushButton*>("btnClose")->click();
    dialogs.messages.clear();
    Show();
    for (int i = 0; i < 2; ++i) {
        Named("PaintBox1")->repaint();
        QTest::qWait(10);
    }
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

// Printing a page with a marked face asks once for all copies, naming the file and why; no
// (the default) prints nothing, yes prints the marked page.
TEST_F(Preview, PrintingAMarkedFaceAsksOnceForAllCopies) {
    sw::test::WriteFileBytes(cwd.File("bad.jpg"), "no picture here");
    ws->labelSet.Entries[1].Faces[3].PictureFile = cwd.File("bad.jpg");
    Show();
    QTest::qWait(10);
    dialogs.messages.clear();

    dialogs.prints = {2};
    dialogs.replies = {sw::app::Reply::No};
    preview->findChild<QPushButton*>("btnPrint")->click();
    EXPECT_TRUE(printer.jobs.empty());
    auto asked = Shown(dialogs, sw::app::MessageKind::Confirmation);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, sw::app::Buttons::YesNoDefaultNo);
    EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("印刷面３の背景画像を読み込めません。"))) << asked[0].text.toStdString();
    EXPECT_TRUE(asked[0].text.endsWith(QStringLiteral("この面に×印を付けて印刷しますか？")));
    EXPECT_TRUE(Shown(dialogs, sw::app::MessageKind::Error).empty());
    EXPECT_TRUE(preview->DrawButtonOutlines());

    dialogs.messages.clear();
    dialogs.prints = {2};
    dialogs.replies = {sw::app::Reply::Yes};
    preview->findChild<QPushButton*>("btnPrint")->click();
    EXPECT_EQ(Shown(dialogs, sw::app::MessageKind::Confirmation).size(), 1u);
    ASSERT_EQ(printer.jobs.size(), 2u);
    const QImage marked = RenderedPage(*ws, printer.PageSize(), printer.pageResolution, false);
    for (const auto& job : printer.jobs) EXPECT_EQ(job.page, marked);
}

TEST(PrintSheet, OneJobOfOnePageWithoutOutlinesOrNothingWhenCancelled) {
    WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "A";
    ScriptedDialogs dialogs;
    FakePrinter printer;
    dialogs.prints = {std::nullopt, 3};
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(printer.setUps, 1);
    PrintSheet(nullptr, printer, dialogs, *ws);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].title, QStringLiteral("Stripwise２"));
    EXPECT_EQ(printer.jobs[0].page, RenderedPage(*ws, printer.PageSize(), printer.pageResolution, false));
    EXPECT_TRUE(dialogs.messages.empty());

    printer.refuseJobs = true;
    dialogs.prints = {1};
    PrintSheet(nullptr, printer, dialogs, *ws);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
}

// The main print with a face whose picture cannot be read: without the user's yes nothing
// reaches the printer; with it, one job of the marked page.
TEST(PrintSheet, AMarkedFaceIsPrintedOnlyWhenTheUserSaysYes) {
    WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "A";
    sw::test::WriteFileBytes(cwd.File("bad.jpg"), "no picture here");
    sw::test::WriteFileBytes(cwd.File("bad2.jpg"), "nor here");
    ws->labelSet.Entries[1].Faces[1].PictureFile = cwd.File("bad.jpg");
    ws->labelSet.Entries[1].Faces[4].PictureFile = cwd.File("bad2.jpg");
    ScriptedDialogs dialogs;
    FakePrinter printer;
    dialogs.prints = {1, 1};
    PrintSheet(nullptr, printer, dialogs, *ws);  // the question's default: no
    EXPECT_TRUE(printer.jobs.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Confirmation);
    const QString& text = dialogs.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("印刷面１、印刷面４の背景画像を読み込めません。"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(cwd.File("bad.jpg"))));
    EXPECT_TRUE(text.contains(QString::fromStdString(cwd.File("bad2.jpg"))));
    EXPECT_TRUE(text.endsWith(QStringLiteral("これらの面に×印を付けて印刷しますか？")));

    dialogs.replies = {sw::app::Reply::Yes};
    PrintSheet(nullptr, printer, dialogs, *ws);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].page, RenderedPage(*ws, printer.PageSize(), printer.pageResolution, false));
    EXPECT_EQ(dialogs.messages.size(), 2u);  // the question only, no error
}

// Entries 3, 7 and 12 have a name or key text, each in a key colour of its own.
void UseEntries3And7And12(sw::model::Workspace& ws) {
    ws.labelSet.Entries[3].Name = "Sales";
    ws.labelSet.Entries[3].Faces[1].Keys[1].BackColor = 0x000000FF;
    ws.labelSet.Entries[7].Faces[2].Keys[5].Line1 = "201";
    ws.labelSet.Entries[7].Faces[2].Keys[5].BackColor = 0x0000FF00;
    ws.labelSet.Entries[12].ButtonModel = sw::model::kModel30;
    ws.labelSet.Entries[12].Faces[3].Keys[30].Line1 = "1200";
    ws.labelSet.Entries[12].Faces[3].Keys[30].BackColor = 0x00FF0000;
}

TEST_F(Preview, NextAndPreviousPageThroughTheUsedEntriesWithoutMovingTheEditor) {
    ws->labelSet = sw::model::LabelSet();
    UseEntries3And7And12(*ws);
    ws->editor.CurrentEntry = 10;  // unused: it joins the set in its place
    Show();
    auto* prev = preview->findChild<QPushButton*>("btnPrev");
    auto* next = preview->findChild<QPushButton*>("btnNext");
    auto entryText = [this] { return preview->findChild<QLabel*>("lblEntry")->text(); };
    EXPECT_EQ(preview->PagedEntries(), (std::vector<int>{3, 7, 10, 12}));
    EXPECT_EQ(entryText(), QStringLiteral("管理番号 10 (3/4)"));
    const QSize box = Named("PaintBox1")->size();
    const int resolution = PreviewResolution(96, 100);
    auto shownWithOutlines = [&](int entry) {
        QImage page(box, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter canvas(&page);
        RenderEntrySheet(canvas, resolution, *ws, entry, true);
        return page;
    };

    next->click();
    EXPECT_EQ(preview->ShownEntry(), 12);
    EXPECT_EQ(entryText(), QStringLiteral("管理番号 12 (4/4)"));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(prev->isEnabled());
    EXPECT_EQ(preview->PaintedPage().convertToFormat(QImage::Format_RGB32), shownWithOutlines(12));
    next->click();  // at the end nothing moves
    EXPECT_EQ(preview->ShownEntry(), 12);

    for (int i = 0; i < 3; ++i) prev->click();
    EXPECT_EQ(preview->ShownEntry(), 3);
    EXPECT_EQ(entryText(), QStringLiteral("管理番号 03 (1/4)"));
    EXPECT_FALSE(prev->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_EQ(preview->PaintedPage().convertToFormat(QImage::Format_RGB32), shownWithOutlines(3));
    EXPECT_NE(shownWithOutlines(3), shownWithOutlines(12));
    next->click();
    EXPECT_EQ(preview->ShownEntry(), 7);
    EXPECT_EQ(ws->editor.CurrentEntry, 10);

    // Printing from here counts the shown entry as the current one.
    dialogs.prints = {1};
    preview->findChild<QPushButton*>("btnPrint")->click();
    ASSERT_EQ(dialogs.printChoicesShown.size(), 1u);
    EXPECT_EQ(dialogs.printChoicesShown[0].current, 7);
    EXPECT_EQ(dialogs.printChoicesShown[0].scope, PrintScope::Current);
    EXPECT_EQ(dialogs.printUsedCounts[0], 3);
    ASSERT_EQ(printer.jobs.size(), 1u);
    ASSERT_EQ(printer.jobs[0].pages.size(), 1u);
    EXPECT_EQ(printer.jobs[0].page, RenderedEntryPage(*ws, 7, printer.PageSize(), printer.pageResolution));

    // Closed and shown again, it starts from the editor's entry.
    preview->findChild<QPushButton*>("btnClose")->click();
    Show();
    EXPECT_EQ(preview->ShownEntry(), 10);
    EXPECT_EQ(ws->editor.CurrentEntry, 10);
}

TEST_F(Preview, TwoCopiesOfAllUsedEntriesAreTwoJobsOfThreePages) {
    UseEntries3And7And12(*ws);  // entry 1 has a key text too
    Show();
    dialogs.prints = {2};
    dialogs.printChoices = {PrintChoice{PrintScope::AllUsed, 0, 1, 50}};
    preview->btnPrintClick();
    ASSERT_EQ(printer.jobs.size(), 2u);
    for (const auto& job : printer.jobs) {
        ASSERT_EQ(job.pages.size(), 4u);
        EXPECT_EQ(job.pages[1], RenderedEntryPage(*ws, 3, printer.PageSize(), printer.pageResolution));
        EXPECT_EQ(job.pages[3], RenderedEntryPage(*ws, 12, printer.PageSize(), printer.pageResolution));
    }
    EXPECT_TRUE(preview->DrawButtonOutlines());
}

TEST(PrintSheet, AllUsedEntriesAreOneJobInNumberOrderAndAnEmptyChoicePrintsNothing) {
    WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    UseEntries3And7And12(*ws);
    ws->editor.CurrentEntry = 7;
    ScriptedDialogs dialogs;
    FakePrinter printer;
    dialogs.prints = {1, 1, 1};
    dialogs.printChoices = {PrintChoice{PrintScope::AllUsed, 0, 1, 50}, PrintChoice{PrintScope::Range, 0, 11, 13},
                            PrintChoice{PrintScope::Range, 0, 13, 11}};
    PrintSheet(nullptr, printer, dialogs, *ws);
    ASSERT_EQ(printer.jobs.size(), 1u);
    ASSERT_EQ(printer.jobs[0].pages.size(), 3u);
    const int pages[] = {3, 7, 12};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(printer.jobs[0].pages[i],
                  RenderedEntryPage(*ws, pages[i], printer.PageSize(), printer.pageResolution))
            << "page " << i;
    EXPECT_NE(printer.jobs[0].pages[0], printer.jobs[0].pages[1]);
    EXPECT_EQ(dialogs.printChoicesShown[0].current, 7);

    // A range takes every number in it, used or not.
    PrintSheet(nullptr, printer, dialogs, *ws);
    ASSERT_EQ(printer.jobs.size(), 2u);
    ASSERT_EQ(printer.jobs[1].pages.size(), 3u);
    EXPECT_EQ(printer.jobs[1].pages[1], RenderedEntryPage(*ws, 12, printer.PageSize(), printer.pageResolution));
    EXPECT_TRUE(dialogs.messages.empty());

    // A range backwards is refused with a message.
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_EQ(printer.jobs.size(), 2u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("何も印刷しませんでした")));

    // Nothing in use: said so, and no job.
    ws->labelSet = sw::model::LabelSet();
    dialogs.prints = {1};
    dialogs.printChoices = {PrintChoice{PrintScope::AllUsed, 0, 1, 50}};
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_EQ(printer.jobs.size(), 2u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, sw::app::MessageKind::Warning);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("名称またはキーの文字がある管理番号がない")));
}

// A printer whose printable area is 262.8 × 189.8 mm (17.1 mm left and right, 10.1 mm top
// and bottom): the sheet's ink, 267.0 × 190.9 mm from the corner, is cut 4.2 mm at the right
// and 1.1 mm at the bottom.
constexpr PrinterGeometry kNarrowPrinter{600, {7016, 4960}, {404, 239}, {6208, 4483}};

TEST_F(Preview, ASheetThatDoesNotFitIsMarkedWhereItIsCut) {
    Show();
    auto* cut = preview->findChild<QLabel*>("lblCut");
    ASSERT_NE(cut, nullptr);
    EXPECT_FALSE(cut->isVisible());
    const QImage fits = preview->PaintedPage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(fits.pixelColor(fits.width() - 1, 300), QColor(Qt::red));
    preview->findChild<QPushButton*>("btnClose")->click();

    printer.geometry = kNarrowPrinter;
    Show();
    EXPECT_TRUE(cut->isVisible());
    EXPECT_EQ(cut->text(), QStringLiteral("印刷できる範囲に収まりません（右 4.2 mm、下 1.1 mm）。赤い線の外側は印刷されません。"));
    const QImage page = preview->PaintedPage().convertToFormat(QImage::Format_RGB32);
    // The right and the bottom edge of the printable area are marked, the others not.
    EXPECT_EQ(page.pixelColor(page.width() - 1, 300), QColor(Qt::red));
    EXPECT_EQ(page.pixelColor(500, page.height() - 1), QColor(Qt::red));
    EXPECT_NE(page.pixelColor(0, 300), QColor(Qt::red));
    EXPECT_NE(page.pixelColor(500, 0), QColor(Qt::red));

    // Moved 4.2 mm left and 1.1 mm up by the fine adjustment, it fits again.
    preview->findChild<QPushButton*>("btnClose")->click();
    ws->settings.Sayu = -42;
    ws->settings.Jyoge = 11;
    Show();
    EXPECT_FALSE(cut->isVisible());
}

// Before a job the chosen printer's printable area is checked: a sheet that would be cut is
// printed only when the user says so (いいえ is the default).
TEST(PrintSheet, ASheetThatDoesNotFitIsPrintedOnlyWhenTheUserSaysYes) {
    WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "A";
    ScriptedDialogs dialogs;
    FakePrinter printer;
    printer.geometry = kNarrowPrinter;
    dialogs.prints = {1, 1};
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_TRUE(printer.jobs.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Confirmation);
    EXPECT_EQ(dialogs.messages[0].buttons, sw::app::Buttons::YesNoDefaultNo);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("印刷できる範囲に収まりません（右 4.2 mm、下 1.1 mm）。このまま印刷しますか？"));
    dialogs.replies = {sw::app::Reply::Yes};
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_EQ(printer.jobs.size(), 1u);

    // テスト印刷 is asked the same; its sheet reaches less far (the combs end at 255.8 mm).
    dialogs.messages.clear();
    dialogs.prints = {1};
    printer.geometry.printableSize = QSize(6000, 4483);  // 254.0 mm wide
    EXPECT_FALSE(PrintCalibrationSheet(nullptr, printer, dialogs, {sw::model::kModel30, 1, 0, 0}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("印刷できる範囲に収まりません（右 1.9 mm、下 2.2 mm）。このまま印刷しますか？"));
    EXPECT_EQ(printer.jobs.size(), 1u);
}

TEST(PrintSheet, APrinterWithoutA4IsToldAndPrintsNothing) {
    WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    FakePrinter printer;
    printer.takesA4 = false;
    printer.printer.setPrinterName(QStringLiteral("Letter only"));
    dialogs.prints = {1, 1};
    PrintSheet(nullptr, printer, dialogs, *ws);
    EXPECT_FALSE(PrintCalibrationSheet(nullptr, printer, dialogs, {sw::model::kModel30, 1, 0, 0}));
    EXPECT_TRUE(printer.jobs.empty());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.kind, sw::app::MessageKind::Error);
        EXPECT_TRUE(message.text.contains(QStringLiteral("A4 の用紙"))) << message.text.toStdString();
    }
}

TEST(PrintDialogEntryPage, OffersTheThreeChoicesAndReadsWhatTheUserPicked) {
    PrintChoice start;
    start.current = 7;
    sw::app::EntryChoiceTab tab(start, 3);
    EXPECT_EQ(tab.windowTitle(), QStringLiteral("管理番号"));
    auto* current = tab.findChild<QRadioButton*>("rbCurrentEntry");
    auto* used = tab.findChild<QRadioButton*>("rbUsedEntries");
    ASSERT_TRUE(current && used);
    EXPECT_TRUE(current->isChecked());
    EXPECT_EQ(current->text(), QStringLiteral("現在の管理番号（07）"));
    EXPECT_TRUE(used->text().contains(QStringLiteral("3 件")));
    EXPECT_EQ(tab.Choice(), start);
    // The range ends are written as management numbers are everywhere: 01 to 50.
    auto* from = tab.findChild<QSpinBox*>("spnEntryFrom");
    auto* to = tab.findChild<QSpinBox*>("spnEntryTo");
    ASSERT_TRUE(from && to);
    EXPECT_EQ(from->text(), QStringLiteral("01"));
    EXPECT_EQ(to->text(), QStringLiteral("50"));
    auto* fromText = from->findChild<QLineEdit*>();
    ASSERT_NE(fromText, nullptr);
    fromText->selectAll();
    QTest::keyClicks(fromText, "7");
    from->interpretText();
    EXPECT_EQ(from->value(), 7);
    EXPECT_EQ(from->text(), QStringLiteral("07"));
    used->click();
    EXPECT_EQ(tab.Choice().scope, PrintScope::AllUsed);
    // Typing a range end chooses the range.
    tab.findChild<QSpinBox*>("spnEntryFrom")->setValue(5);
    tab.findChild<QSpinBox*>("spnEntryTo")->setValue(9);
    EXPECT_EQ(tab.Choice(), (PrintChoice{PrintScope::Range, 7, 5, 9}));
}

TEST(PrintDialogEntryPage, TheRealPrintDialogOpensOnTheEntryPageAndReturnsTheChoice) {
    WorkingDir cwd;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(cwd.File("out.pdf")));
    bool pageInFront = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        auto* tab = dialog->findChild<QWidget*>(QStringLiteral("EntryChoiceTab"));
        for (QTabWidget* tabs : dialog->findChildren<QTabWidget*>())
            if (tab != nullptr && tabs->currentWidget() == tab && tab->isVisible()) pageInFront = true;
        if (tab != nullptr) tab->findChild<QRadioButton*>("rbUsedEntries")->click();
        dialog->accept();
    });
    sw::app::QtDialogs dialogs;
    PrintChoice choice;
    choice.current = 12;
    const std::optional<int> copies = dialogs.ChoosePrintEntries(nullptr, printer, choice, 4);
    ASSERT_TRUE(copies.has_value());
    EXPECT_EQ(*copies, 1);
    EXPECT_TRUE(pageInFront);
    EXPECT_EQ(choice.scope, PrintScope::AllUsed);
    EXPECT_EQ(choice.current, 12);
}

// Both print dialogs (シートの印刷 and テスト印刷) print whole sheets: the dialog's own range of
// pages is not offered, whether its options part is open or not.
TEST(PrintDialogEntryPage, NeitherRealPrintDialogOffersARangeOfPages) {
    WorkingDir cwd;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(cwd.File("out.pdf")));
    const QStringList rangeParts{"printAll", "printRange", "from", "to", "pagesRadioButton", "pagesLineEdit",
                                 "printCurrentPage", "printSelection", "pageSetCombo"};
    int found = 0;
    QStringList offered;
    auto inspect = [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text().endsWith(QStringLiteral(">>"))) button->click();  // open the options
        for (QWidget* part : dialog->findChildren<QWidget*>()) {
            if (!rangeParts.contains(part->objectName()) || part->objectName().startsWith(QStringLiteral("spn")))
                continue;
            ++found;
            if (part->isVisible() && part->isEnabled()) offered << part->objectName();
        }
        dialog->accept();
    };
    sw::app::QtDialogs dialogs;
    QTimer::singleShot(0, inspect);
    ASSERT_TRUE(dialogs.ChoosePrint(nullptr, printer).has_value());
    EXPECT_GT(found, 0);
    EXPECT_TRUE(offered.isEmpty()) << offered.join(QLatin1Char(' ')).toStdString();

    found = 0;
    PrintChoice choice;
    QTimer::singleShot(0, inspect);
    ASSERT_TRUE(dialogs.ChoosePrintEntries(nullptr, printer, choice, 2).has_value());
    EXPECT_GT(found, 0);
    EXPECT_TRUE(offered.isEmpty()) << offered.join(QLatin1Char(' ')).toStdString();
}

}  // namespace
}  // namespace sw::render
