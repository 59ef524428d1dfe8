// The printer seam over QPrinter, the print command and the preview page geometry.
#include "print/PrintJob.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QImage>
#include <cmath>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "model/Cp932.h"
#include "print/EntryPrint.h"
#include "render/SheetFit.h"
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

bool PageSizesOfferA4(const QList<QPageSize>& sizes, bool customSizes, const QPageSize& smallest,
                      const QPageSize& largest) {
    if (sizes.isEmpty()) return true;
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.5; };
    for (const QPageSize& size : sizes) {
        if (size.id() == QPageSize::A4) return true;
        const QSizeF mm = size.size(QPageSize::Millimeter);
        if ((near(mm.width(), a4.width()) && near(mm.height(), a4.height())) ||
            (near(mm.width(), a4.height()) && near(mm.height(), a4.width())))
            return true;
    }
    if (!customSizes || !smallest.isValid() || !largest.isValid()) return false;
    const QSizeF low = smallest.size(QPageSize::Millimeter);
    const QSizeF high = largest.size(QPageSize::Millimeter);
    auto within = [&](double w, double h) {
        return w >= low.width() - 0.5 && h >= low.height() - 0.5 && w <= high.width() + 0.5 && h <= high.height() + 0.5;
    };
    return within(a4.width(), a4.height()) || within(a4.height(), a4.width());
}

QSizeF PrintableSizeMm(const PrinterGeometry& printer) {
    if (printer.resolution <= 0) return {};
    return QSizeF(printer.printableSize.width() * 25.4 / printer.resolution,
                  printer.printableSize.height() * 25.4 / printer.resolution);
}

QtPrintTarget::QtPrintTarget() : m_printer(QPrinter::HighResolution) {}

bool QtPrintTarget::TakesA4() {
    // A file takes any paper; a queue says which it has.
    if (m_printer.outputFormat() == QPrinter::PdfFormat) return true;
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    if (info.isNull()) return true;
    return PageSizesOfferA4(info.supportedPageSizes(), info.supportsCustomPageSizes(),
                            info.minimumPhysicalPageSize(), info.maximumPhysicalPageSize());
}

void QtPrintTarget::SetUpA4Landscape() {
    // The whole sheet is the page: Qt's default margins would move the drawing; the printer's
    // own margins are applied by PrintableMarginsMm.
    m_printer.setFullPage(true);
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_printer.setPageOrientation(QPageLayout::Landscape);
}

QMarginsF QtPrintTarget::PortraitMarginsMm() {
    // The printer reports its margins for the portrait sheet whatever the orientation; they
    // are read in portrait.
    const QPageLayout::Orientation orientation = m_printer.pageLayout().orientation();
    if (orientation != QPageLayout::Portrait) m_printer.setPageOrientation(QPageLayout::Portrait);
    const QPageLayout portrait = m_printer.pageLayout();
    if (orientation != QPageLayout::Portrait) m_printer.setPageOrientation(orientation);
    return portrait.minimumMargins() * MmPer(portrait.units());
}

QMarginsF QtPrintTarget::PrintableMarginsMm() {
    const QMarginsF margins = PortraitMarginsMm();
    return m_printer.pageLayout().orientation() == QPageLayout::Portrait ? margins : LandscapeMargins(margins);
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
    return PrintPages(
        title, 1, [&draw](QPainter& canvas, int resolution, int) { return draw(canvas, resolution); }, error,
        drawn);
}

QString FaceNumber(int face) {
    static const char* const kDigits[] = {"０", "１", "２", "３", "４"};
    return face >= 1 && face <= 4 ? QString::fromUtf8(kDigits[face]) : QString::number(face);
}

namespace {

// The first marked face the user was not asked about, or nullptr.
const PictureProblem* Unasked(const std::vector<PictureProblem>& marked,
                              const std::vector<PictureProblem>& agreed) {
    for (const PictureProblem& picture : marked) {
        bool asked = false;
        for (const PictureProblem& a : agreed) asked = asked || (a.face == picture.face && a.path == picture.path);
        if (!asked) return &picture;
    }
    return nullptr;
}

}  // namespace

bool AgreeToMarkedFaces(QWidget* parent, sw::app::Dialogs& dialogs, const std::vector<int>& entries,
                        PrintTarget::IndexedPageDrawer& draw) {
    // Which faces are marked does not depend on the resolution; the pictures come from the
    // picture cache, so this costs little besides the drawing of tiny pages.
    std::vector<std::vector<PictureProblem>> marked(entries.size());
    QStringList faces;
    QStringList reasons;
    {
        sw::app::WaitCursor wait;
        QImage scratch(1, 1, QImage::Format_RGB32);
        for (size_t page = 0; page < entries.size(); ++page) {
            QPainter trial(&scratch);
            marked[page] = draw(trial, 72, static_cast<int>(page)).broken;
            for (const PictureProblem& picture : marked[page]) {
                const QString face = QStringLiteral("印刷面") + FaceNumber(picture.face);
                faces << (entries.size() == 1
                              ? face
                              : QStringLiteral("管理番号%1の").arg(entries[page], 2, 10, QLatin1Char('0')) + face);
                if (!reasons.contains(picture.message)) reasons << picture.message;
            }
        }
    }
    if (!faces.isEmpty()) {
        // A whole set of sheets may name the same file on many faces: the first few are named.
        constexpr int kNamedFaces = 8;
        QString named = faces.mid(0, kNamedFaces).join(QStringLiteral("、"));
        if (faces.size() > kNamedFaces) named += QStringLiteral("ほか %1 面").arg(faces.size() - kNamedFaces);
        const QString question =
            QStringLiteral("%1の背景画像を読み込めません。\n%2\n\n%3に×印を付けて印刷しますか？")
                .arg(named, reasons.join(QLatin1Char('\n')),
                     faces.size() == 1 ? QStringLiteral("この面") : QStringLiteral("これらの面"));
        if (dialogs.Message(parent, sw::app::MessageKind::Confirmation, question,
                            sw::app::Buttons::YesNoDefaultNo) != sw::app::Reply::Yes)
            return false;
    }
    // A file that breaks between the question and the job would put a mark on a page the
    // user was not asked about: then the drawing fails and nothing is sent.
    draw = [inner = std::move(draw), marked](QPainter& canvas, int resolution, int page) {
        RenderResult result = inner(canvas, resolution, page);
        const std::vector<PictureProblem> none;
        const std::vector<PictureProblem>& agreed =
            page >= 0 && page < static_cast<int>(marked.size()) ? marked[static_cast<size_t>(page)] : none;
        if (const PictureProblem* unasked = result.ok ? Unasked(result.broken, agreed) : nullptr) {
            result.ok = false;
            result.message = unasked->message;
        }
        return result;
    };
    return true;
}

bool SetUpA4AfterDialog(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs) {
    target.SetUpA4Landscape();
    if (target.TakesA4()) return true;
    const QString name = target.Printer().printerName();
    dialogs.Message(parent, sw::app::MessageKind::Error,
                    QStringLiteral("プリンタ「%1」には A4 の用紙がないため、印刷できません。"
                                   "A4 の用紙に印刷できるプリンタを選んでください。")
                        .arg(name),
                    sw::app::Buttons::Ok);
    return false;
}

bool AgreeToCutSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs, const QRectF& inkMm) {
    const SheetCut cut = CutOff(inkMm, PrintableSizeMm(target.Geometry()));
    if (!cut.Any()) return true;
    return dialogs.Message(parent, sw::app::MessageKind::Confirmation,
                           DoesNotFitText(cut) + QStringLiteral("このまま印刷しますか？"),
                           sw::app::Buttons::YesNoDefaultNo) == sw::app::Reply::Yes;
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
