// Drawn in code: strip outlines, tool icons and the program icon.
#include "render/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sw::render {

namespace {

// Panel1 coordinates of the key panels; the strip drawing sits at (5, 5) in Panel1.
constexpr int kPanelLeft = 39;
constexpr int kColumnStep = 66;
constexpr int kPanelWidth = 67;
constexpr int kPanelHeight = 27;
constexpr int kRowTops[5] = {207, 162, 117, 72, 26};  // rows 1 (bottom) .. 5 (top)
constexpr int kImageOffset = 5;

const QColor kButtonFill(0xF5, 0xF5, 0xF5);
const QColor kButtonOutline(0x3B, 0x3B, 0x3B);
const QColor kFrame(0x3B, 0x3B, 0x3B);

}  // namespace

QImage StripDrawing(bool thirtyKeys) {
    QImage art(460, 271, QImage::Format_RGB32);
    art.fill(Qt::white);
    {
        QPainter p(&art);
        // No antialiasing: every pixel is either white (transparent) or a drawing colour.
        p.setRenderHint(QPainter::Antialiasing, false);
        const int firstRow = thirtyKeys ? 1 : 2;
        const int lastRow = thirtyKeys ? 5 : 4;
        const int left = kPanelLeft - kImageOffset;
        const int right = left + 5 * kColumnStep + kPanelWidth;
        // The frame reaches from above the top row to below the number labels of the
        // bottom row (a label sits 32 pixels below its panel and is 12 high).
        const int top = kRowTops[lastRow - 1] - kImageOffset;
        const int bottom = kRowTops[firstRow - 1] - kImageOffset + 32 + 12;
        p.setPen(QPen(kFrame, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRect(left - 12, top - 11, right - left + 23, bottom - top + 20), 9, 9);
        p.drawRoundedRect(QRect(left - 9, top - 8, right - left + 17, bottom - top + 14), 7, 7);
        p.setPen(QPen(kButtonOutline, 1));
        p.setBrush(kButtonFill);
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = 1; column <= 6; ++column) {
                int x = left + (column - 1) * kColumnStep;
                int y = kRowTops[row - 1] - kImageOffset;
                // The key cap shows round the panel laid on it, clear of the number label
                // below it (32 pixels under the panel top) and of the cap of the row below.
                p.drawRoundedRect(QRect(x - 2, y - 1, kPanelWidth + 3, kPanelHeight + 2), 4, 4);
            }
        }
    }
    QImage withAlpha = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < withAlpha.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(withAlpha.scanLine(y));
        for (int x = 0; x < withAlpha.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == 0x00FFFFFF) line[x] = 0;
    }
    return withAlpha;
}

namespace {

const QColor kInk(0x30, 0x30, 0x30);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x2A, 0x5C, 0xAA);
const QColor kRed(0xD0, 0x20, 0x20);
const QColor kYellow(0xF2, 0xC8, 0x4B);
const QColor kGrey(0x90, 0x90, 0x90);

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    const qreal fold = 3.5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

// The colour of a mark beside a glyph (the size arrows): blue on a light tool bar, a light
// blue where the glyphs are light, so that it stands out as well as they do.
QColor AccentFor(const QColor& ink) {
    return ink.lightnessF() < 0.5 ? kBlue : QColor(0x8A, 0xB4, 0xF8);
}

void Letter(QPainter& p, const QString& text, QRectF box, bool bold, bool italic,
            const QColor& color) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(static_cast<int>(box.height()));
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(f);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

void Printer(QPainter& p, QRectF r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 3, r.top(), r.width() - 6, 6));
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(r.left(), r.top() + 5, r.width(), r.height() - 8), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 3, r.bottom() - 4, r.width() - 6, 4));
    p.setPen(QPen(QColor(0x40, 0xC0, 0x40), 1));
    p.drawPoint(QPointF(r.right() - 2, r.top() + 7));
}

void Magnifier(QPainter& p, QPointF centre, qreal radius, const QColor& rim) {
    p.setPen(QPen(rim, 1.6));
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(rim, 2.6, Qt::SolidLine, Qt::RoundCap));
    QPointF from = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(from, from + QPointF(radius * 0.8, radius * 0.8));
}

void Scissors(QPainter& p, QPointF origin, qreal scale, const QColor& ink) {
    p.save();
    p.translate(origin);
    p.scale(scale, scale);
    p.setPen(QPen(ink, 1.3));
    p.drawLine(QPointF(4, 1), QPointF(10, 10));
    p.drawLine(QPointF(12, 1), QPointF(6, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRed, 1.4));
    p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
    p.restore();
}

void Clipboard(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xC8, 0x96, 0x5A));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
    p.setBrush(kGrey);
    p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
}

void AlignLines(QPainter& p, int which, const QColor& ink) {
    p.setPen(QPen(ink, 1.2));
    const qreal widths[5] = {12, 8, 12, 8, 12};
    for (int i = 0; i < 5; ++i) {
        qreal w = widths[i];
        qreal x = which == 0 ? 2 : which == 1 ? 8 - w / 2 : 14 - w;
        qreal y = 3.5 + i * 2.5;
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
    }
}

void LayoutBox(QPainter& p, int which) {
    p.setPen(QPen(kGrey, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    qreal y = which == 0 ? 3.5 : which == 1 ? 6.5 : 9.5;
    p.drawRect(QRectF(3.5, y, 9, 3));
}

// Strokes drawn straight on the tool bar (lines, letters, blades) are in `ink`; outlines of
// filled shapes (pages, printer, box) keep their own dark colour, which their fill carries.
QPixmap DrawIcon(int number, const QColor& ink) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    switch (number) {
        case 1:  // 新規作成
            Page(p, QRectF(3.5, 1.5, 9, 13));
            break;
        case 2: {  // 開く
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(0xE0, 0xB0, 0x40));
            p.drawRect(QRectF(1.5, 4.5, 11, 9));
            p.drawRect(QRectF(1.5, 3, 4.5, 1.5));
            QPainterPath flap;
            flap.moveTo(3.5, 7.5);
            flap.lineTo(15, 7.5);
            flap.lineTo(12.5, 13.5);
            flap.lineTo(1.5, 13.5);
            flap.closeSubpath();
            p.setBrush(kYellow);
            p.drawPath(flap);
            break;
        }
        case 3:  // 保存
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(kGrey);
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
            break;
        case 4:  // 印刷
            Printer(p, QRectF(1.5, 2.5, 13, 12));
            break;
        case 5:  // 印刷プレビュー
            Page(p, QRectF(1.5, 1.5, 9, 12));
            Magnifier(p, QPointF(9.5, 8.5), 3.2, kInk);
            break;
        case 6:  // 印刷微調整
            Printer(p, QRectF(1.5, 1.5, 10, 9));
            p.setPen(QPen(kRed, 1.3));
            p.drawLine(QPointF(8, 13.5), QPointF(15, 13.5));
            p.drawLine(QPointF(13, 11.5), QPointF(15, 13.5));
            p.drawLine(QPointF(13, 15.5), QPointF(15, 13.5));
            p.drawLine(QPointF(13.5, 6), QPointF(13.5, 12));
            p.drawLine(QPointF(11.5, 8), QPointF(13.5, 6));
            p.drawLine(QPointF(15.5, 8), QPointF(13.5, 6));
            break;
        case 9:  // 切り取り
            Scissors(p, QPointF(0, 0), 1.0, ink);
            break;
        case 8:  // コピー
            Page(p, QRectF(1.5, 1.5, 8, 10));
            Page(p, QRectF(6.5, 4.5, 8, 10));
            break;
        case 10:  // 張り付け
            Clipboard(p);
            Page(p, QRectF(6.5, 5.5, 8, 9.5));
            break;
        case 11:  // 全切り取り
            Page(p, QRectF(7.5, 1.5, 7, 8));
            Page(p, QRectF(5.5, 3.5, 7, 8));
            Scissors(p, QPointF(0, 4), 0.75, ink);
            break;
        case 12:  // 全コピー
            Page(p, QRectF(1.5, 1.5, 7, 8));
            Page(p, QRectF(4.5, 3.5, 7, 8));
            Page(p, QRectF(7.5, 5.5, 7, 9));
            break;
        case 13:  // 全張り付け
            Clipboard(p);
            Page(p, QRectF(5.5, 4.5, 7, 8));
            Page(p, QRectF(7.5, 6.5, 7, 8.5));
            break;
        case 15: AlignLines(p, 0, ink); break;   // 左揃
        case 16: AlignLines(p, 1, ink); break;   // 中央揃
        case 17: AlignLines(p, 2, ink); break;   // 右揃
        case 18: LayoutBox(p, 0); break;    // 上揃
        case 19: LayoutBox(p, 1); break;    // 中揃
        case 20: LayoutBox(p, 2); break;    // 下揃
        case 22: Letter(p, QStringLiteral("B"), QRectF(0, 0, 16, 15), true, false, ink); break;
        case 23: Letter(p, QStringLiteral("I"), QRectF(0, 0, 16, 15), false, true, ink); break;
        case 24:
            Letter(p, QStringLiteral("U"), QRectF(0, -1, 16, 13), false, false, ink);
            p.setPen(QPen(ink, 1.2));
            p.drawLine(QPointF(3.5, 14), QPointF(12.5, 14));
            break;
        case 25:  // 背景色
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(0xFF, 0xF0, 0xA0));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 2, 2);
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawRect(QRectF(1, 13, 14, 3));
            break;
        case 26:  // フォントの色
            Letter(p, QStringLiteral("A"), QRectF(0, -1, 16, 13), true, false, ink);
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawRect(QRectF(1, 13, 14, 3));
            break;
        case 27: {  // 画像の挿入
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(0xCC, 0xE6, 0xFF));
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x40, 0x99, 0x40));
            QPainterPath hills;
            hills.moveTo(2, 13);
            hills.lineTo(6, 7);
            hills.lineTo(9, 10.5);
            hills.lineTo(11, 8.5);
            hills.lineTo(14, 13);
            hills.closeSubpath();
            p.drawPath(hills);
            p.setBrush(kRed);
            p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
            break;
        }
        case 28:  // フォントサイズ拡大
        case 29: {  // フォントサイズ縮小
            Letter(p, QStringLiteral("A"), QRectF(-1, 2, 12, 13), true, false, ink);
            p.setPen(Qt::NoPen);
            p.setBrush(AccentFor(ink));
            QPolygonF tri;
            if (number == 28)
                tri << QPointF(10.5, 7) << QPointF(15.5, 7) << QPointF(13, 2.5);
            else
                tri << QPointF(10.5, 3) << QPointF(15.5, 3) << QPointF(13, 7.5);
            p.drawPolygon(tri);
            break;
        }
        default:
            return QPixmap();
    }
    return pm;
}

QImage Greyed(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            int g = 128 + qGray(line[x]) / 3;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    return grey;
}

}  // namespace

QIcon ToolIcon(int number, const QColor& ink) {
    QPixmap pm = DrawIcon(number, ink);
    if (pm.isNull()) return QIcon();
    QIcon icon(pm);
    icon.addPixmap(QPixmap::fromImage(Greyed(pm.toImage())), QIcon::Disabled);
    return icon;
}

QIcon ZoomIcon(bool zoomIn) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, true);
        Magnifier(p, QPointF(6.5, 6.5), 5, kInk);
        p.setPen(QPen(kRed, 1.8));
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
        if (zoomIn) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
    }
    QIcon icon(pm);
    icon.addPixmap(QPixmap::fromImage(Greyed(pm.toImage())), QIcon::Disabled);
    return icon;
}

QIcon ProgramIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xE8, 0xEE, 0xF8));
        p.drawRoundedRect(QRectF(2.5, 1.5, 27, 29), 4, 4);
        p.setBrush(kButtonFill);
        p.setPen(QPen(kButtonOutline, 1));
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 2; ++column)
                p.drawRoundedRect(QRectF(6.5 + column * 10.5, 5.5 + row * 6, 9, 4.5), 1.2, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(8, 6.5, 6, 1.2));
        p.drawRect(QRectF(18.5, 12.5, 6, 1.2));
        p.setBrush(kRed);
        p.drawRect(QRectF(8, 18.5, 6, 1.2));
    }
    return QIcon(pm);
}

}  // namespace sw::render
