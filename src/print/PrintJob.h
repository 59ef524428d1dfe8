// Printing the sheet: the printer behind a small seam (its geometry and one-page jobs), the
// A4 landscape set-up, the main window's print command and the preview page layout.
#pragma once

#include <QMarginsF>
#include <QPoint>
#include <QPrinter>
#include <QRect>
#include <QSize>
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

// The margins of a landscape page from a printer's margins given for the portrait sheet (left,
// top, right, bottom): the landscape page is the portrait one turned a quarter to the left, so
// its left edge is the portrait bottom edge and its top edge the portrait left edge.
QMarginsF LandscapeMargins(const QMarginsF& portrait);

// QPrinter over the whole page: the drawing's origin is the top-left corner of the printable
// area of the landscape page, taken from the printer's own margins (never Qt's default page
// margins). A page is recorded first and reaches the printer only when its drawing succeeded.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget();
    QPrinter& Printer() override { return m_printer; }
    void SetUpA4Landscape() override;
    PrinterGeometry Geometry() override;
    bool PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                   RenderResult* drawn = nullptr) override;
    bool PrintPages(const QString& title, int count, const IndexedPageDrawer& draw, QString& error,
                    RenderResult* drawn = nullptr) override;

    // Where the printer cannot print on the landscape page, in millimetres.
    QMarginsF PrintableMarginsMm();

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

// Before a print job of one page for each management number in `entries`: draws every page
// once off the printer, and when a face would carry the mark of a picture file that cannot be
// read, asks once, naming each face (with its management number when there are several) and
// why, whether to print the pages so ("…この面に×印を付けて印刷しますか？", いいえ by default).
// Returns false when the user declines: then no job may be started. Otherwise `draw` is
// changed to fail (so that nothing reaches the printer) should a face be marked that the user
// was not asked about.
bool AgreeToMarkedFaces(QWidget* parent, sw::app::Dialogs& dialogs, const std::vector<int>& entries,
                        PrintTarget::IndexedPageDrawer& draw);

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
