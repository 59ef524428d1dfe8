// A printer for tests: a 600-dpi A4 landscape geometry, and jobs kept as images.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <vector>

#include "print/EntryPrint.h"
#include "print/PrintJob.h"
#include "render/SheetRenderer.h"

namespace sw::test {

class FakePrinter : public sw::render::PrintTarget {
public:
    struct Job {
        QString title;
        QImage page;                // the first page
        std::vector<QImage> pages;  // every page, in order
    };

    // The dialog works on a real printer object; nothing is ever printed on it.
    QPrinter printer;
    // A4 landscape at 600 dpi with 100-dot margins.
    sw::render::PrinterGeometry geometry{600, {7016, 4960}, {100, 100}, {6816, 4760}};
    // Pages are drawn at a lower resolution to keep them small.
    int pageResolution = 60;
    bool refuseJobs = false;
    bool takesA4 = true;
    int setUps = 0;
    std::vector<Job> jobs;

    QPrinter& Printer() override { return printer; }
    void SetUpA4Landscape() override { ++setUps; }
    bool TakesA4() override { return takesA4; }
    sw::render::PrinterGeometry Geometry() override { return geometry; }
    bool PrintPage(const QString& title, const PageDrawer& draw, QString& error,
                   sw::render::RenderResult* drawn = nullptr) override {
        if (refuseJobs) {
            error = QStringLiteral("no printer");
            return false;
        }
        QImage page(PageSize(), QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter canvas(&page);
        sw::render::RenderResult result = draw(canvas, pageResolution);
        canvas.end();
        if (drawn != nullptr) *drawn = result;
        if (!result.ok) {
            error = result.message;
            return false;
        }
        jobs.push_back({title, page, {page}});
        return true;
    }
    bool PrintPages(const QString& title, int count, const IndexedPageDrawer& draw, QString& error,
                    sw::render::RenderResult* drawn = nullptr) override {
        if (refuseJobs) {
            error = QStringLiteral("no printer");
            return false;
        }
        Job job{title, {}, {}};
        for (int index = 0; index < count; ++index) {
            QImage page(PageSize(), QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter canvas(&page);
            sw::render::RenderResult result = draw(canvas, pageResolution, index);
            canvas.end();
            if (drawn != nullptr) *drawn = result;
            if (!result.ok) {
                error = result.message;
                return false;
            }
            job.pages.push_back(page);
        }
        if (!job.pages.empty()) job.page = job.pages.front();
        jobs.push_back(job);
        return true;
    }
    QSize PageSize() const {
        return geometry.printableSize * pageResolution / geometry.resolution;
    }
};

// The sheet of the current entry as RenderSheet draws it on a white image.
inline QImage RenderedPage(sw::model::Workspace& ws, QSize size, int resolution, bool outlines) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter canvas(&page);
    sw::render::RenderCurrentSheet(canvas, resolution, ws, outlines);
    return page;
}

// The sheet of any entry as the print job draws it, without outlines.
inline QImage RenderedEntryPage(const sw::model::Workspace& ws, int entry, QSize size, int resolution) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter canvas(&page);
    sw::render::RenderEntrySheet(canvas, resolution, ws, entry, false);
    return page;
}

}  // namespace sw::test
