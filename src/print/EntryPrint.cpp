// Several management numbers in one print job, and the pages of a job on a printer.
#include "print/EntryPrint.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"

namespace sw::render {

namespace {
void AddPictures(RenderResult& all, const RenderResult& page) {
    all.pictures.insert(all.pictures.end(), page.pictures.begin(), page.pictures.end());
}
}  // namespace

bool PrintPagesOn(PageSink& sink, int count, const PrintTarget::IndexedPageDrawer& draw, QString& error,
                  RenderResult* drawn) {
    if (count <= 0) {
        error = QStringLiteral("印刷するページがありません。");
        return false;
    }
    const int resolution = sink.Resolution();
    const QMarginsF margins = LandscapeMargins(sink.PortraitMarginsMm());
    // Every page is drawn once without the printer first: a page that fails sends nothing of
    // the job (a started job cannot be taken back).
    RenderResult all;
    for (int page = 0; page < count; ++page) {
        QImage scratch(1, 1, QImage::Format_RGB32);
        QPainter trial(&scratch);
        const RenderResult result = draw(trial, resolution, page);
        if (!result.ok) {
            if (drawn != nullptr) *drawn = result;
            error = result.message;
            return false;
        }
        AddPictures(all, result);
    }
    QPainter painter;
    if (!painter.begin(&sink.Device())) {
        error = QStringLiteral("印刷を開始できませんでした。プリンタの設定を確かめてください。");
        return false;
    }
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !sink.NewPage()) {
            painter.end();
            error = QStringLiteral("次のページを始められませんでした。");
            return false;
        }
        // The painter keeps its state from page to page: each page starts again from the
        // paper's corner.
        painter.resetTransform();
        painter.translate(DotsFromMm(resolution, margins.left()), DotsFromMm(resolution, margins.top()));
        const RenderResult result = draw(painter, resolution, page);
        if (!result.ok) {
            // Only a picture file changed since the first drawing gets here. A file output is
            // taken back; a printer job cannot be.
            painter.end();
            sink.Discard();
            if (drawn != nullptr) *drawn = result;
            error = result.message;
            return false;
        }
    }
    if (drawn != nullptr) *drawn = all;
    if (!painter.end()) {
        error = QStringLiteral("印刷を終了できませんでした。");
        return false;
    }
    return true;
}

namespace {

// The pages of a QPrinter job.
class PrinterSink : public PageSink {
public:
    explicit PrinterSink(QtPrintTarget& target) : m_target(target) {}
    QPaintDevice& Device() override { return m_target.Printer(); }
    int Resolution() override { return m_target.Printer().resolution(); }
    QMarginsF PortraitMarginsMm() override { return m_target.PortraitMarginsMm(); }
    bool NewPage() override { return m_target.Printer().newPage(); }
    void Discard() override {
        QPrinter& printer = m_target.Printer();
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
    }

private:
    QtPrintTarget& m_target;
};

}  // namespace

bool QtPrintTarget::PrintPages(const QString& title, int count, const IndexedPageDrawer& draw,
                               QString& error, RenderResult* drawn) {
    m_printer.setDocName(title);
    m_printer.setFullPage(true);
    PrinterSink sink(*this);
    return PrintPagesOn(sink, count, draw, error, drawn);
}

SheetOptions EntrySheetOptions(const sw::model::Workspace& ws, int entry, bool buttonOutlines) {
    SheetOptions options = CurrentSheetOptions(ws, buttonOutlines);
    if (entry != ws.editor.CurrentEntry) options.keyOffset = -1;
    return options;
}

RenderResult RenderEntrySheet(QPainter& canvas, int resolution, const sw::model::Workspace& ws, int entry,
                              bool buttonOutlines) {
    return RenderSheet(canvas, resolution, ws.labelSet, entry, EntrySheetOptions(ws, entry, buttonOutlines));
}

void PrintChosenEntries(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                        const sw::model::Workspace& ws, int shown, bool jobPerCopy) {
    target.Printer().setCopyCount(1);
    sw::model::PrintChoice choice;
    choice.current = shown;
    const int usedCount = static_cast<int>(sw::model::UsedEntries(ws.labelSet).size());
    const std::optional<int> copies = dialogs.ChoosePrintEntries(parent, target.Printer(), choice, usedCount);
    if (!copies) return;
    const sw::model::EntriesToPrintResult chosen = sw::model::EntriesToPrint(ws.labelSet, choice);
    if (chosen.entries.empty()) {
        dialogs.Message(parent, sw::app::MessageKind::Warning, chosen.refusal, sw::app::Buttons::Ok);
        return;
    }
    if (!SetUpA4AfterDialog(parent, target, dialogs)) return;
    if (!AgreeToCutSheet(parent, target, dialogs, SheetInkMm(ws.settings.Sayu, ws.settings.Jyoge))) return;
    const std::vector<int>& entries = chosen.entries;
    PrintTarget::IndexedPageDrawer drawPage = [&ws, &entries](QPainter& canvas, int resolution, int page) {
        return RenderEntrySheet(canvas, resolution, ws, entries[static_cast<size_t>(page)], false);
    };
    // Asked once for the whole job and all its copies.
    if (!AgreeToMarkedFaces(parent, dialogs, entries, drawPage)) return;
    QString error;
    RenderResult drawn;
    {
        sw::app::WaitCursor wait;
        // The preview makes each copy a job of its own; the printer itself makes one of each.
        int jobs = 1;
        if (jobPerCopy) {
            jobs = *copies;
            target.Printer().setCopyCount(1);
        }
        for (int job = 0; job < jobs && error.isEmpty(); ++job)
            target.PrintPages(QString::fromUtf8(kPrintJobTitle), static_cast<int>(entries.size()), drawPage,
                              error, &drawn);
    }
    if (!error.isEmpty())
        dialogs.Message(parent, sw::app::MessageKind::Error, error, sw::app::Buttons::Ok);
    ReportMissingPictures(parent, dialogs, drawn);
}

}  // namespace sw::render
