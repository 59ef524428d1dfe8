// The printer seam over QPrinter, the print command and the preview page geometry.
#include "print/PrintJob.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <cmath>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "model/Cp932.h"
#include "render/SheetRenderer.h"

namespace sw::render {

const char* const kPrintJobTitle = "Stripwise２";

namespace {
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }
}  // namespace

QtPrintTarget::QtPrintTarget() : m_printer(QPrinter::HighResolution) {}

void QtPrintTarget::SetUpA4Landscape() {
    // The printer's own margins stay: they are where it cannot print.
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_printer.setPageOrientation(QPageLayout::Landscape);
}

PrinterGeometry QtPrintTarget::Geometry() {
    PrinterGeometry g;
    g.resolution = m_printer.resolution();
    const QRect paper = m_printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = m_printer.pageRect(QPrinter::DevicePixel).toRect();
    g.physicalPage = paper.size();
    g.printingOffset = page.topLeft() - paper.topLeft();
    g.printableSize = page.size();
    return g;
}

bool QtPrintTarget::PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                              RenderResult* drawn) {
    m_printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&m_printer)) {
        error = QStringLiteral("印刷を開始できませんでした。プリンタの設定を確かめてください。");
        return false;
    }
    RenderResult result = draw(painter, m_printer.resolution());
    if (drawn != nullptr) *drawn = result;
    if (!result.ok) {
        // A page the renderer could not finish is not sent.
        m_printer.abort();
        if (painter.isActive()) painter.end();
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
    // The main print sends one job; a copy count chosen in the dialog stays with the printer.
    if (!dialogs.ChoosePrint(parent, target.Printer())) return;
    QString error;
    RenderResult drawn;
    {
        sw::app::WaitCursor wait;
        target.PrintPage(QString::fromUtf8(kPrintJobTitle),
                         [&ws](QPainter& canvas, int resolution) {
                             return RenderCurrentSheet(canvas, resolution, ws, false);
                         },
                         error, &drawn);
    }
    if (!error.isEmpty())
        dialogs.Message(parent, sw::app::MessageKind::Error, error, sw::app::Buttons::Ok);
    ReportMissingPictures(parent, dialogs, drawn);
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
