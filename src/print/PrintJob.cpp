// The printer seam over QPrinter, the print command and the preview page geometry.
#include "print/PrintJob.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QFile>
#include <QImage>
#include <cmath>

#include "dialogs/Dialogs.h"
#include "model/Cp932.h"
#include "print/EntryPrint.h"
#include "render/SheetRenderer.h"

namespace sw::render {

const char* const kPrintJobTitle = "Stripwise２";

namespace {
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

double MmPer(QPageLayout::Unit unit) {
    switch (unit) {
        case QPageLayout::Millimeter: return 1.0;
        case QPageLayout::Point: return 25.4 / 72.0;
        case QPageLayout::Inch: return 25.4;
        case QPageLayout::Pica: return 25.4 / 6.0;
        case QPageLayout::Didot: return 0.375;
        case QPageLayout::Cicero: return 4.5;
    }
    return 1.0;
}
}  // namespace

QMarginsF LandscapeMargins(const QMarginsF& portrait) {
    return QMarginsF(portrait.bottom(), portrait.left(), portrait.top(), portrait.right());
}

QtPrintTarget::QtPrintTarget() : m_printer(QPrinter::HighResolution) {}

void QtPrintTarget::SetUpA4Landscape() {
    // The whole sheet is the page: Qt's default margins would move the drawing; the printer's
    // own margins are applied by PrintableMarginsMm.
    m_printer.setFullPage(true);
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_printer.setPageOrientation(QPageLayout::Landscape);
}

QMarginsF QtPrintTarget::PrintableMarginsMm() {
    // The printer reports its margins for the portrait sheet whatever the orientation; they
    // are read in portrait and turned here.
    const QPageLayout::Orientation orientation = m_printer.pageLayout().orientation();
    if (orientation != QPageLayout::Portrait) m_printer.setPageOrientation(QPageLayout::Portrait);
    const QPageLayout portrait = m_printer.pageLayout();
    if (orientation != QPageLayout::Portrait) m_printer.setPageOrientation(orientation);
    const QMarginsF margins = portrait.minimumMargins() * MmPer(portrait.units());
    return orientation == QPageLayout::Portrait ? margins : LandscapeMargins(margins);
}

PrinterGeometry QtPrintTarget::Geometry() {
    PrinterGeometry g;
    g.resolution = m_printer.resolution();
    const QMarginsF margins = PrintableMarginsMm();
    const QRect paper = m_printer.paperRect(QPrinter::DevicePixel).toRect();
    g.physicalPage = paper.size();
    g.printingOffset = QPoint(DotsFromMm(g.resolution, margins.left()), DotsFromMm(g.resolution, margins.top()));
    g.printableSize = QSize(paper.width() - g.printingOffset.x() - DotsFromMm(g.resolution, margins.right()),
                            paper.height() - g.printingOffset.y() - DotsFromMm(g.resolution, margins.bottom()));
    return g;
}

bool QtPrintTarget::PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                              RenderResult* drawn) {
    m_printer.setDocName(title);
    m_printer.setFullPage(true);
    const int resolution = m_printer.resolution();
    const QMarginsF margins = PrintableMarginsMm();
    // The page is drawn once without the printer first: a drawing that fails sends nothing,
    // not even an empty job (QPrinter::abort does not take back a started job: the end of
    // the painting still submits it, or leaves the PDF file written). The drawing is the
    // same both times: pictures come from the picture cache.
    {
        QImage scratch(1, 1, QImage::Format_RGB32);
        QPainter trial(&scratch);
        const RenderResult result = draw(trial, resolution);
        if (!result.ok) {
            if (drawn != nullptr) *drawn = result;
            error = result.message;
            return false;
        }
    }
    QPainter painter;
    if (!painter.begin(&m_printer)) {
        error = QStringLiteral("印刷を開始できませんでした。プリンタの設定を確かめてください。");
        return false;
    }
    painter.translate(DotsFromMm(resolution, margins.left()), DotsFromMm(resolution, margins.top()));
    const RenderResult result = draw(painter, resolution);
    if (drawn != nullptr) *drawn = result;
    if (!result.ok) {
        // Only a picture file changed between the two drawings gets here. A file output is
        // taken back; a printer job cannot be.
        painter.end();
        if (m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
            QFile::remove(m_printer.outputFileName());
        error = result.message;
        return false;
    }
    if (!painter.end()) {
        error = QStringLiteral("印刷を終了できませんでした。");
        return false;
    }
    return true;
}

void PrintSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                sw::model::Workspace& ws) {
    target.SetUpA4Landscape();
    // One job; a copy count chosen in the dialog is the printer's to make.
    PrintChosenEntries(parent, target, dialogs, ws, ws.editor.CurrentEntry, false);
}

sw::render::SheetOptions CurrentSheetOptions(const sw::model::Workspace& ws, bool buttonOutlines) {
    sw::render::SheetOptions options;
    options.sayu = ws.settings.Sayu;
    options.jyoge = ws.settings.Jyoge;
    options.buttonOutlines = buttonOutlines;
    options.keyOffset = ws.editor.KeyOffset;
    return options;
}

RenderResult RenderCurrentSheet(QPainter& canvas, int resolution, const sw::model::Workspace& ws,
                                bool buttonOutlines) {
    return RenderSheet(canvas, resolution, ws.labelSet, ws.editor.CurrentEntry,
                       CurrentSheetOptions(ws, buttonOutlines));
}

void ReportMissingPictures(QWidget* parent, sw::app::Dialogs& dialogs, const RenderResult& result) {
    for (const sw::render::PictureProblem& picture : result.pictures)
        if (picture.missing) dialogs.ReportMissingPicture(parent, sw::model::DecodeCp932(picture.path));
}

PreviewPage LayOutPreview(const PrinterGeometry& printer, int screenDpi, int zoomPercent) {
    PreviewPage page;
    if (printer.resolution <= 0) return page;
    const double s = static_cast<double>(screenDpi) / printer.resolution * zoomPercent / 100.0;
    page.paper = QSize(RoundHalfEven(printer.physicalPage.width() * s),
                       RoundHalfEven(printer.physicalPage.height() * s));
    page.printable = QRect(RoundHalfEven(printer.printingOffset.x() * s),
                           RoundHalfEven(printer.printingOffset.y() * s),
                           RoundHalfEven(printer.printableSize.width() * s),
                           RoundHalfEven(printer.printableSize.height() * s));
    return page;
}

int PreviewResolution(int screenDpi, int zoomPercent) { return MulDiv(screenDpi, zoomPercent, 100); }

}  // namespace sw::render
