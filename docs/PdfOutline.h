// Bookmarks and in-document links added to a finished PDF, as an incremental update.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <vector>

namespace guide {

// A bookmark of the PDF's outline: its title and the page (0-based) it opens.
struct PdfBookmark {
    QString title;
    int page = 0;
};

// A clickable area on a page (0-based) that opens another page. The rectangle is in PDF
// user space: points from the bottom-left corner of the page.
struct PdfPageLink {
    int page = 0;
    QRectF rect;
    int targetPage = 0;
};

// Appends to `pdf` (a complete file with one classic cross-reference table, as Qt's PDF
// writer makes it) an outline holding the bookmarks in order and link annotations for the
// areas, and makes the viewer open with the outline shown. The original bytes stay as they
// are: viewers read the update that follows them. `pageHeight` is the height of the pages
// in points, where a bookmark or link puts the top of its page. On a file it cannot read
// the function returns false with `error` set, and `pdf` is unchanged.
bool AddOutlineAndLinks(QByteArray& pdf, const std::vector<PdfBookmark>& bookmarks,
                        const std::vector<PdfPageLink>& links, double pageHeight,
                        QString& error);

}  // namespace guide
