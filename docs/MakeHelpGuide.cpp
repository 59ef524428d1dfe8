// makehelpguide: turns the Markdown user guide and its pictures into the A4 help PDF.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>

#include "PdfOutline.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kResolution = 600;  // dots per inch of the PDF's drawing
const char* const kBodyFamily = "IPAPGothic";
const char* const kFixedFamily = "IPAGothic";
constexpr double kBodyPoints = 10.0;
const QColor kHeadingColor(0x1f, 0x3a, 0x5f);
const QColor kRuleColor(0x9a, 0xa8, 0xb8);
const QColor kShadeColor(0xee, 0xf1, 0xf5);

// Lengths on the PDF's painter are dots; lengths in text formats (margins, padding, picture
// sizes) are pixels of a 96-dpi screen, which the layout scales to the device itself.
double Dots(double mm) { return mm * kResolution / 25.4; }
double Px(double mm) { return mm * 96 / 25.4; }

void Fail(const QString& message) {
    std::fprintf(stderr, "makehelpguide: %s\n", message.toLocal8Bit().constData());
}

// A paragraph in italics right below a picture is its caption: centred, smaller and grey,
// upright (the Japanese fonts have no italics of their own).
void StyleCaption(QTextBlock block) {
    if (!block.isValid() || block.text().trimmed().isEmpty()) return;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().charFormat().fontItalic()) return;
    }
    QTextCursor cursor(block);
    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(Qt::AlignHCenter);
    blockFormat.setTopMargin(Px(1));
    blockFormat.setBottomMargin(Px(4));
    cursor.mergeBlockFormat(blockFormat);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat charFormat;
    charFormat.setFontItalic(false);
    charFormat.setFontPointSize(kBodyPoints - 1);
    charFormat.setForeground(QColor(0x55, 0x5f, 0x6b));
    cursor.mergeCharFormat(charFormat);
}

// Every picture the guide names is loaded from beside the guide, so that a missing or
// unreadable one stops the build instead of leaving an empty frame in the PDF. Each is
// drawn at its size on a 96-dpi screen, narrowed to the text width when wider.
bool EmbedImages(QTextDocument& doc, const QDir& baseDir, double textWidth, QString& error) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        bool onlyImages = true;
        bool anyImage = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat()) {
                if (!fragment.text().trimmed().isEmpty()) onlyImages = false;
                continue;
            }
            anyImage = true;
            QTextImageFormat imageFormat = format.toImageFormat();
            const QString name = imageFormat.name();
            const QString path = baseDir.filePath(name);
            QImage image(path);
            if (image.isNull()) {
                error = QStringLiteral("the picture %1 (%2) cannot be read").arg(name, path);
                return false;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
            double width = image.width();
            double height = image.height();
            if (width > textWidth) {
                height *= textWidth / width;
                width = textWidth;
            }
            imageFormat.setWidth(width);
            imageFormat.setHeight(height);
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(imageFormat);
        }
        if (anyImage && onlyImages) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setAlignment(Qt::AlignHCenter);
            format.setTopMargin(Px(2));
            format.setBottomMargin(Px(1));
            format.setLineHeight(100, QTextBlockFormat::SingleHeight);
            cursor.setBlockFormat(format);
            StyleCaption(block.next());
        }
    }
    return true;
}

void StyleBlock(QTextBlock block, const QTextCharFormat& charFormat,
                const QTextBlockFormat& blockFormat) {
    QTextCursor cursor(block);
    cursor.mergeBlockFormat(blockFormat);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(charFormat);
}

// Inline code keeps the line's size and takes the fixed-pitch face of the same family,
// so that it sits on the same baseline as the text around it.
void UseFixedFamilyForInlineCode(QTextDocument& doc, QTextBlock block) {
    std::vector<std::pair<int, int>> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().fontFixedPitch())
            spans.emplace_back(fragment.position(), fragment.length());
    }
    QTextCharFormat fixed;
    fixed.setFontFamilies({QString::fromLatin1(kFixedFamily)});
    for (auto [position, length] : spans) {
        QTextCursor cursor(&doc);
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(fixed);
    }
}

// Headings, body text and code blocks get the guide's fonts and spacing; a chapter
// (second-level heading) starts on a new page.
void StyleText(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat;
        QTextCharFormat charFormat;
        const int level = block.blockFormat().headingLevel();
        const bool code = block.blockFormat().hasProperty(QTextFormat::BlockCodeFence) ||
                          block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
        if (level > 0) {
            static const double kPoints[] = {22, 16, 12.5, 11};
            charFormat.setFontPointSize(kPoints[std::min(level, 4) - 1]);
            charFormat.setFontWeight(QFont::Bold);
            charFormat.setForeground(kHeadingColor);
            charFormat.setFontFamilies({QString::fromLatin1(kBodyFamily)});
            blockFormat.setTopMargin(Px(level == 1 ? 0 : level == 2 ? 2 : 5));
            blockFormat.setBottomMargin(Px(level <= 2 ? 4 : 2));
            if (level == 2) blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            blockFormat.setLineHeight(120, QTextBlockFormat::ProportionalHeight);
        } else if (code) {
            charFormat.setFontFamilies({QString::fromLatin1(kFixedFamily)});
            charFormat.setFontFixedPitch(true);
            charFormat.setFontPointSize(kBodyPoints - 0.5);
            blockFormat.setBackground(kShadeColor);
            blockFormat.setIndent(1);
            auto isCode = [](QTextBlock other) {
                return other.isValid() &&
                       other.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
            };
            blockFormat.setTopMargin(isCode(block.previous()) ? 0 : Px(1));
            blockFormat.setBottomMargin(isCode(block.next()) ? 0 : Px(2.5));
            blockFormat.setLineHeight(100, QTextBlockFormat::SingleHeight);
        } else {
            blockFormat.setLineHeight(145, QTextBlockFormat::ProportionalHeight);
            blockFormat.setBottomMargin(Px(1.8));
        }
        StyleBlock(block, charFormat, blockFormat);
        if (!code) UseFixedFamilyForInlineCode(doc, block);
    }
}

// Markdown tables get thin ruled cells and a shaded heading row.
void StyleTables(QTextDocument& doc) {
    std::vector<QTextTable*> tables;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        if (QTextTable* table = cursor.currentTable()) {
            if (std::find(tables.begin(), tables.end(), table) == tables.end())
                tables.push_back(table);
        }
    }
    for (QTextTable* table : tables) {
        QTextTableFormat format = table->format();
        format.setBorder(1);
        format.setBorderBrush(kRuleColor);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(Px(1));
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setTopMargin(Px(1));
        format.setBottomMargin(Px(3));
        format.setHeaderRowCount(1);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat cellFormat = cell.format();
            cellFormat.setBackground(kShadeColor);
            cell.setFormat(cellFormat);
        }
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCell cell = table->cellAt(row, column);
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    QTextBlock block = it.currentBlock();
                    if (!block.isValid()) continue;
                    QTextBlockFormat blockFormat;
                    blockFormat.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
                    blockFormat.setBottomMargin(0);
                    QTextCursor(block).mergeBlockFormat(blockFormat);
                }
            }
        }
    }
}

bool IsPictureBlock(const QTextBlock& block) {
    bool picture = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().charFormat().isImageFormat()) return false;
        picture = true;
    }
    return picture;
}

// The page on which a block's first line (or its table) is drawn: a line that does not fit
// is pushed to the next page inside its block, below the block's own top.
int PageOf(QAbstractTextDocumentLayout* layout, const QTextBlock& block, double pageHeight) {
    double top = layout->blockBoundingRect(block).top();
    if (QTextTable* table = QTextCursor(block).currentTable()) {
        top = layout->frameBoundingRect(table).top();
    } else if (block.layout() && block.layout()->lineCount() > 0) {
        top = block.layout()->position().y() + block.layout()->lineAt(0).y();
    }
    return int((top + 1) / pageHeight);
}

// The top of line i of a block in the document: the block's box starts where its text
// layout is placed (inside its table cell, for a block in a table), its lines below that.
double LineTop(QAbstractTextDocumentLayout* layout, const QTextBlock& block, int i) {
    return layout->blockBoundingRect(block).top() + block.layout()->lineAt(i).y();
}

int LinePage(QAbstractTextDocumentLayout* layout, const QTextBlock& block, int i,
             double pageHeight) {
    return int((LineTop(layout, block, i) + 1) / pageHeight);
}

// A paragraph that would be split across two pages goes to the next page whole (the layout
// draws every line of a block it draws, so the lines of a split one would be in the PDF
// twice, once hidden), and a heading or a picture that would end a page while what follows
// it starts the next one goes with it. One move at a time, since each moves all after it.
void KeepTogether(QTextDocument& doc, double pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (int round = 0; round < 200; ++round) {
        bool moved = false;
        for (QTextBlock block = doc.begin(); block.isValid() && !moved; block = block.next()) {
            const QTextBlockFormat format = block.blockFormat();
            if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
            if (block.layout()->lineCount() == 0) continue;
            const int lastLine = block.layout()->lineCount() - 1;
            const bool split = LinePage(layout, block, lastLine, pageHeight) >
                               LinePage(layout, block, 0, pageHeight);
            if (QTextTable* table = QTextCursor(block).currentTable()) {
                // A table with a row split across two pages starts the next page instead (the
                // guide's tables are shorter than a page).
                QTextTableFormat format = table->format();
                if (!split || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
                    continue;
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                table->setFormat(format);
                moved = true;
                continue;
            }
            const int page = PageOf(layout, block, pageHeight);
            bool move = split;
            if (!move && (format.headingLevel() > 0 || IsPictureBlock(block)) &&
                block.next().isValid())
                move = PageOf(layout, block.next(), pageHeight) > page;
            if (move) {
                QTextBlockFormat breakBefore;
                breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).mergeBlockFormat(breakBefore);
                moved = true;
            }
        }
        if (!moved) return;
    }
}

// The contents: a table with one row per chapter, the chapter's title and its page.
struct Contents {
    QTextTable* table = nullptr;
    std::vector<QTextBlock> chapters;
};

int PageOfTop(double top, double pageHeight) { return int((top + 1) / pageHeight); }

// A table of contents of the chapters right after the title, its page numbers filled in
// once the document is laid out. The chapters start on new pages, so the numbers the
// contents hold cannot move the chapters they point to.
Contents InsertContents(QTextDocument& doc) {
    Contents contents;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 2) contents.chapters.push_back(block);
    }
    const std::vector<QTextBlock>& chapters = contents.chapters;
    if (chapters.empty() || !chapters.front().previous().isValid()) return {};
    // Insert after the block before the first chapter: a heading, then one table row per
    // chapter.
    QTextCursor cursor(chapters.front().previous());
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat headingBlock;
    headingBlock.setTopMargin(Px(6));
    headingBlock.setBottomMargin(Px(3));
    QTextCharFormat headingChar;
    headingChar.setFontFamilies({QString::fromLatin1(kBodyFamily)});
    headingChar.setFontPointSize(13);
    headingChar.setFontWeight(QFont::Bold);
    headingChar.setForeground(kHeadingColor);
    cursor.insertBlock(headingBlock, headingChar);
    cursor.insertText(QStringLiteral("目次"));
    QTextTableFormat tableFormat;
    tableFormat.setBorder(0);
    tableFormat.setCellSpacing(0);
    tableFormat.setCellPadding(Px(1));
    tableFormat.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tableFormat.setColumnWidthConstraints(
        {QTextLength(QTextLength::PercentageLength, 90), QTextLength(QTextLength::PercentageLength, 10)});
    contents.table = cursor.insertTable(int(chapters.size()), 2, tableFormat);
    QTextCharFormat entryChar;
    entryChar.setFontFamilies({QString::fromLatin1(kBodyFamily)});
    entryChar.setFontPointSize(11);
    for (int row = 0; row < int(chapters.size()); ++row) {
        QTextCursor left = contents.table->cellAt(row, 0).firstCursorPosition();
        left.insertText(chapters[row].text(), entryChar);
        QTextCursor right = contents.table->cellAt(row, 1).firstCursorPosition();
        QTextBlockFormat rightBlock;
        rightBlock.setAlignment(Qt::AlignRight);
        right.setBlockFormat(rightBlock);
    }
    return contents;
}

// The page (0-based) on which a chapter starts.
int ChapterPage(QTextDocument& doc, const QTextBlock& chapter, double pageHeight) {
    return PageOfTop(doc.documentLayout()->blockBoundingRect(chapter).top(), pageHeight);
}

void FillContentsPages(QTextDocument& doc, const Contents& contents, double pageHeight) {
    QTextCharFormat entryChar;
    entryChar.setFontFamilies({QString::fromLatin1(kBodyFamily)});
    entryChar.setFontPointSize(11);
    for (int row = 0; row < int(contents.chapters.size()); ++row) {
        const int page = ChapterPage(doc, contents.chapters[row], pageHeight) + 1;
        contents.table->cellAt(row, 1).firstCursorPosition().insertText(QString::number(page),
                                                                       entryChar);
    }
}

// A bookmark for every chapter, and each line of the contents (title and page number)
// made a link to its chapter's page. `toPoints` maps a point of the document's layout
// (dots, pages one under the other) on page `page` to the PDF's points.
template <typename ToPoints>
void ContentsLinks(QTextDocument& doc, const Contents& contents, double pageHeight,
                   ToPoints toPoints, std::vector<guide::PdfBookmark>& bookmarks,
                   std::vector<guide::PdfPageLink>& links) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    if (!contents.table) return;
    const QRectF tableBox = layout->frameBoundingRect(contents.table);
    for (int row = 0; row < int(contents.chapters.size()); ++row) {
        const int target = ChapterPage(doc, contents.chapters[row], pageHeight);
        bookmarks.push_back({contents.chapters[row].text(), target});
        const QRectF title =
            layout->blockBoundingRect(contents.table->cellAt(row, 0).firstCursorPosition().block());
        const QRectF number =
            layout->blockBoundingRect(contents.table->cellAt(row, 1).firstCursorPosition().block());
        const double top = std::min(title.top(), number.top());
        const double bottom = std::max(title.bottom(), number.bottom());
        const int page = PageOfTop(top, pageHeight);
        const QPointF a = toPoints(QPointF(tableBox.left(), top - page * pageHeight));
        const QPointF b = toPoints(QPointF(tableBox.right(), bottom - page * pageHeight));
        links.push_back({page, QRectF(a, b).normalized(), target});
    }
}

bool WritePdf(QTextDocument& doc, const Contents& contents, const QString& title,
              const QString& outPath, QString& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::vector<guide::PdfBookmark> bookmarks;
    std::vector<guide::PdfPageLink> links;
    double pageHeightPoints = 0;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Stripwise 2 makehelpguide"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter));
        const QRect paintRect = writer.pageLayout().paintRectPixels(kResolution);
        const double footer = Dots(9);
        // Whole dots: the layout keeps positions in 1/64 dot, and a page boundary it cannot
        // hold exactly would leave a line pushed to the next page touching this one.
        const double bodyHeight = std::floor(paintRect.height() - footer);
        doc.documentLayout()->setPaintDevice(&writer);
        doc.setDocumentMargin(0);
        doc.setPageSize(QSizeF(paintRect.width(), bodyHeight));
        KeepTogether(doc, bodyHeight);
        FillContentsPages(doc, contents, bodyHeight);
        const int pages = doc.pageCount();
        // The painter's origin is the top-left of the area inside the margins, in whole dots;
        // the PDF counts points from the bottom-left of the page.
        pageHeightPoints = writer.pageLayout().fullRect(QPageLayout::Point).height();
        const double pointsPerDot = 72.0 / kResolution;
        auto toPoints = [&](QPointF dots) {
            return QPointF((paintRect.left() + dots.x()) * pointsPerDot,
                           pageHeightPoints - (paintRect.top() + dots.y()) * pointsPerDot);
        };
        ContentsLinks(doc, contents, bodyHeight, toPoints, bookmarks, links);

        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("cannot start the PDF");
            return false;
        }
        QFont footerFont(QString::fromLatin1(kBodyFamily));
        footerFont.setPointSizeF(8.5);
        for (int page = 0; page < pages; ++page) {
            if (page > 0) writer.newPage();
            painter.save();
            painter.setClipRect(QRectF(0, 0, paintRect.width(), bodyHeight));
            painter.translate(0, -page * bodyHeight);
            QAbstractTextDocumentLayout::PaintContext context;
            // The layout draws every block that meets this rectangle; the painter's clip hides
            // what lies outside the page, but the PDF would still carry it. So the rectangle
            // starts below the spacing the last block of the page above may reach into this
            // one and ends half a dot above a block pushed to the next page: each text and
            // picture is in the PDF once.
            const double inset = Dots(2);
            context.clip = QRectF(0, page * bodyHeight + inset, paintRect.width(),
                                  bodyHeight - inset - 0.5);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
            if (page == 0) continue;  // the title page carries no footer
            painter.setPen(QPen(kRuleColor, Dots(0.2)));
            const double ruleY = bodyHeight + Dots(3);
            painter.drawLine(QPointF(0, ruleY), QPointF(paintRect.width(), ruleY));
            painter.setFont(footerFont);
            painter.setPen(Qt::black);
            const QRectF footerBox(0, ruleY + Dots(1), paintRect.width(), footer - Dots(4));
            painter.drawText(footerBox, Qt::AlignLeft | Qt::AlignTop, title);
            painter.drawText(footerBox, Qt::AlignRight | Qt::AlignTop,
                             QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
        }
        painter.end();
    }
    QByteArray pdf = buffer.data();
    if (!guide::AddOutlineAndLinks(pdf, bookmarks, links, pageHeightPoints, error)) return false;
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() ||
        !out.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString());
        return false;
    }
    return true;
}

}  // namespace

// The build has no session: Qt's remark about a missing runtime folder is noise there.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: makehelpguide GUIDE.md OUT.pdf\n");
        return 2;
    }
    const QString guidePath = args[1];
    const QString outPath = args[2];
    for (const char* family : {kBodyFamily, kFixedFamily}) {
        if (!QFontDatabase::families().contains(QString::fromLatin1(family))) {
            Fail(QStringLiteral("the font %1 is not installed (Debian: fonts-ipafont-gothic)")
                     .arg(QString::fromLatin1(family)));
            return 1;
        }
    }
    QFile guideFile(guidePath);
    if (!guideFile.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1: %2").arg(guidePath, guideFile.errorString()));
        return 1;
    }
    const QString markdown = QString::fromUtf8(guideFile.readAll());

    QTextDocument doc;
    QFont body(QString::fromLatin1(kBodyFamily));
    body.setPointSizeF(kBodyPoints);
    doc.setDefaultFont(body);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    doc.setIndentWidth(Px(7));

    QString title;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) {
            title = block.text();
            break;
        }
    }
    if (title.isEmpty()) {
        Fail(QStringLiteral("%1 has no title (a first-level heading)").arg(guidePath));
        return 1;
    }

    const QPageLayout pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                 QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter);
    const double textWidth = pageLayout.paintRectPixels(96).width();
    QString error;
    StyleText(doc);
    StyleTables(doc);
    if (!EmbedImages(doc, QFileInfo(guidePath).absoluteDir(), textWidth, error)) {
        Fail(QStringLiteral("%1: %2").arg(guidePath, error));
        return 1;
    }
    const Contents contents = InsertContents(doc);
    if (!WritePdf(doc, contents, title, outPath, error)) {
        Fail(error);
        return 1;
    }
    return 0;
}
