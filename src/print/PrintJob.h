// Printing the sheet: the printer behind a small seam (its geometry and one-page jobs), the
// A4 landscape set-up, the main window's print command and the preview page layout.
#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QPoint>
#include <QPrinter>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

#include "model/Workspace.h"
#include "render/RenderContext.h"
#include "render/SheetRenderer.h"

class QPainter;
class QWidget;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

// Title of every print job.
extern const char* const kPrintJobTitle;  // "Stripwise２"

// The printer as the preview lays its page out, in device dots.
struct PrinterGeometry {
    int resolution = 0;      // dots per inch, vertical
    QSize physicalPage;      // the whole sheet of paper
    QPoint printingOffset;   // where the printable area begins on the paper
    QSize printableSize;     // the printable area
};

// What printing needs of a printer. The program prints through QPrinter; tests give a
// printer of their own.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // The printer the print dialog works on.
    virtual QPrinter& Printer() = 0;
    // Paper A4, landscape.
    virtual void SetUpA4Landscape() = 0;
    // False when the printer offers no paper the size of A4: the sheet cannot be printed there.
    virtual bool TakesA4() = 0;
    virtual PrinterGeometry Geometry() = 0;
    // One job of one page titled `title`; `draw` paints the page at the printer's
    // resolution, its origin at the top-left corner of the printable area. Returns false with
    // a message when the job could not be printed (nothing half-drawn is sent). `drawn` gets
    // what the drawing reported, for the pictures it found gone.
    using PageDrawer = std::function<RenderResult(QPainter&, int resolution)>;
    virtual bool PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                           RenderResult* drawn = nullptr) = 0;
    // One job of `count` pages titled `title`; `draw` paints page `page` (0 first) as for
    // PrintPage. Every page is drawn before anything is sent: the job reaches the printer only
    // when all of them drew. `drawn` gets the pictures found gone on every page, or what the
    // failing page reported.
    using IndexedPageDrawer = std::function<RenderResult(QPainter&, int resolution, int page)>;
    virtual bool PrintPages(const QString& title, int count, const IndexedPageDrawer& draw,
                            QString& error, RenderResult* drawn = nullptr) = 0;
};

// What the pages of a job are drawn on: the printer, or in tests a stand-in that reports a
// printer's margins as the printer does.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual QPaintDevice& Device() = 0;
    virtual int Resolution() = 0;
    // Where the printer cannot print on the portrait sheet (left, top, right, bottom, mm), as a
    // printer describes its paper (a PPD's ImageableArea) whatever the page's orientation.
    virtual QMarginsF PortraitMarginsMm() = 0;
    virtual bool NewPage() = 0;
    // After a page failed on the device: takes back what can be (a file being written).
    virtual void Discard() {}
};

// `count` pages on the landscape page of `sink`, each drawn with its origin at the top-left
// corner of the printable area. Every page is drawn once off the device first: a page that fails
// sends nothing of the job. False with a message when the job could not be printed; `drawn` as
// for PrintTarget::PrintPages.
bool PrintPagesOn(PageSink& sink, int count, const PrintTarget::IndexedPageDrawer& draw, QString& error,
                  RenderResult* drawn = nullptr);

// True when a printer offering these paper sizes can print on A4: one of them is A4 (by name or
// within half a millimetre of 210 × 297 mm), or the printer takes custom sizes from `smallest` to
// `largest` and A4 lies between them. A printer that lists no sizes takes what it is sent.
bool PageSizesOfferA4(const QList<QPageSize>& sizes, bool customSizes, const QPageSize& smallest,
                      const QPageSize& largest);

// The printable area of a printer's landscape A4 page, in millimetres.
QSizeF PrintableSizeMm(const PrinterGeometry& printer);

// The margins of a landscape page from a printer's margins given for the portrait sheet (left,
// top, right, bottom): the landscape page is the portrait one turned a quarter to the left, so
// its left edge is the portrait bottom edge and its top edge the portrait left edge.
QMarginsF LandscapeMargins(const QMarginsF& portrait);

// QPrinter over the whole page: the drawing's origin is the top-left corner of the printable
// area of the landscape page, taken from the printer's own margins (never Qt's default page
// margins). A job is drawn off the printer first and reaches it only when every page drew.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget();
    QPrinter& Printer() override { return m_printer; }
    void SetUpA4Landscape() override;
    bool TakesA4() override;
    PrinterGeometry Geometry() override;
    bool PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                   RenderResult* drawn = nullptr) override;
    bool PrintPages(const QString& title, int count, const IndexedPageDrawer& draw, QString& error,
                    RenderResult* drawn = nullptr) override;

    // Where the printer cannot print on the landscape page, in millimetres.
    QMarginsF PrintableMarginsMm();
    // The same for the portrait sheet, as the printer gives it.
    QMarginsF PortraitMarginsMm();

private:
    QPrinter m_printer;
};

// The options the program draws the current entry with: the fine adjustment of the settings
// and the key offset the editor stands on.
sw::render::SheetOptions CurrentSheetOptions(const sw::model::Workspace& ws, bool buttonOutlines);

// The sheet of the current entry, drawn from the workspace without changing it.
RenderResult RenderCurrentSheet(QPainter& canvas, int resolution, const sw::model::Workspace& ws,
                                bool buttonOutlines);

// Tells the user about the pictures a render found gone, each file once per run (the dialogs
// remember which were named).
void ReportMissingPictures(QWidget* parent, sw::app::Dialogs& dialogs, const RenderResult& result);

// A face's number as the program writes it in messages: "１" to "４".
QString FaceNumber(int face);

// Before a print job of one page for each management number in `entries`: draws every page
// once off the printer, and when a face would carry the mark of a picture file that cannot be
// read, asks once, naming each face (with its management number when there are several) and
// why, whether to print the pages so ("…この面に×印を付けて印刷しますか？", いいえ by default).
// Returns false when the user declines: then no job may be started. Otherwise `draw` is
// changed to fail (so that nothing reaches the printer) should a face be marked that the user
// was not asked about.
bool AgreeToMarkedFaces(QWidget* parent, sw::app::Dialogs& dialogs, const std::vector<int>& entries,
                        PrintTarget::IndexedPageDrawer& draw);

// After a print dialog, which leaves the chosen printer's own default paper on the printer
// (Letter on many queues): A4 landscape again. A printer without A4 paper is told so
// ("…A4 の用紙がありません…") and false returned: then nothing may be printed.
bool SetUpA4AfterDialog(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs);

// Before a job whose sheets put ink on `inkMm` (from the printable area's corner): when that
// passes the chosen printer's printable area, asks 「印刷できる範囲に収まりません（右 4.2 mm、
// 下 1.1 mm）。このまま印刷しますか？」 (いいえ by default). False when nothing may be printed.
bool AgreeToCutSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs, const QRectF& inkMm);

// The main window's print command: A4 landscape, the print dialog with the choice of
// management numbers (the current one unless the user chooses otherwise), then one job with a
// page for each, without button outlines; pages with a broken picture only when the user
// agrees. Failures are shown as messages.
void PrintSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                sw::model::Workspace& ws);

// The preview's paper and printable area in screen pixels at a zoom.
struct PreviewPage {
    QSize paper;      // Panel2
    QRect printable;  // PaintBox1 inside Panel2
};
PreviewPage LayOutPreview(const PrinterGeometry& printer, int screenDpi, int zoomPercent);

// The resolution the preview renders at: MulDiv(screen dpi, zoom, 100).
int PreviewResolution(int screenDpi, int zoomPercent);

}  // namespace sw::render
