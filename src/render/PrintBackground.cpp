// The background of a print face on the sheet: picture stretched or tiled, single colour or none.
#include "render/PrintBackground.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "model/Cp932.h"
#include "render/Pictures.h"

namespace sw::render {
namespace {

// Up to this many copies are drawn one by one; more (a picture of a few pixels) are laid as
// one texture fill of the same copies, which the PDF writer stores once.
constexpr qint64 kMaxSeparateTiles = 256;
constexpr qint64 kMaxTexturePixels = 1 << 20;

int ClampToInt(qint64 v) {
    return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

// round(pixels × resolution / 96), halves to even, at least 1.
qint64 TileDots(qint64 pixels, int resolution) {
    const qint64 product = pixels * resolution;
    qint64 q = product / 96;
    const qint64 twiceRest = 2 * (product % 96);
    if (twiceRest > 96 || (twiceRest == 96 && (q & 1) != 0)) ++q;
    return std::max<qint64>(q, 1);
}

}  // namespace

QRect FaceBackgroundBox(const RenderContext& ctx) {
    return QRect(SheetX(ctx, ctx.OriginX + 6.5), SheetY(ctx, ctx.OriginY - 3.65), DotsFromMm(ctx, 116),
                 DotsFromMm(ctx, 67));
}

BackgroundStatus DrawFaceBackground(QPainter& canvas, const RenderContext& ctx,
                                    const sw::model::PrintFace& face, QString& message) {
    const QRect box = FaceBackgroundBox(ctx);
    // A single colour, the blank and a missing picture's white cover the whole box, stretched
    // or tiled alike (a colour tile of 121.2 × 73.3 mm is cut at the box): a filled rectangle
    // gives the same dots as the stretched picture and keeps a PDF small and exact.
    if (face.BackgroundMode == 1) {
        canvas.fillRect(box, QColorFromColorRef(face.BackgroundColor));
        return BackgroundStatus::Drawn;
    }
    if (face.PictureFile.empty()) {
        canvas.fillRect(box, Qt::white);
        return BackgroundStatus::Drawn;
    }
    PreparedBackground prepared = PreparePrintBackground(face);
    if (!prepared.ok) {
        // White, as paper is, under the mark the sheet puts on this face.
        canvas.fillRect(box, Qt::white);
        message = prepared.message;
        return BackgroundStatus::PictureBroken;
    }
    if (prepared.missing) {
        canvas.fillRect(box, Qt::white);
        return BackgroundStatus::PictureMissing;
    }
    // The background stays inside its face: tiles that pass the box are cut at its edges,
    // never drawn over the gap between faces or into the page margin.
    canvas.save();
    canvas.setClipRect(box, Qt::IntersectClip);
    if (face.PictureLayout != 0 ||
        !DrawPictureStretched(canvas, box.x(), box.y(), box.width(), box.height(), prepared.picture,
                              ctx.Resolution))
        DrawPictureTiled(canvas, box.x(), box.y(), box.width(), box.height(), prepared.picture,
                         ctx.Resolution);
    canvas.restore();
    return BackgroundStatus::Drawn;
}

QString PictureFileName(const sw::model::Bytes& cp932Path) {
    const QString path = sw::model::DecodeCp932(cp932Path);
    qsizetype cut = -1;
    for (QChar separator : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

void DrawBrokenPictureMark(QPainter& canvas, const RenderContext& ctx, const sw::model::Bytes& cp932Path) {
    const QRect box = FaceBackgroundBox(ctx);
    if (box.isEmpty()) return;
    canvas.save();
    canvas.setClipRect(box, Qt::IntersectClip);
    const int line = PenHalfPointsWidth(ctx.Resolution, kBrokenMarkHalfPoints);
    // The outline lies inside the box, a line's width along each edge.
    canvas.fillRect(QRect(box.left(), box.top(), box.width(), line), Qt::black);
    canvas.fillRect(QRect(box.left(), box.bottom() - line + 1, box.width(), line), Qt::black);
    canvas.fillRect(QRect(box.left(), box.top(), line, box.height()), Qt::black);
    canvas.fillRect(QRect(box.right() - line + 1, box.top(), line, box.height()), Qt::black);
    QPen pen(Qt::black);
    pen.setWidth(line);
    pen.setCapStyle(Qt::FlatCap);
    canvas.setPen(pen);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawLine(QLineF(box.left(), box.top(), box.left() + box.width(), box.top() + box.height()));
    canvas.drawLine(QLineF(box.left(), box.top() + box.height(), box.left() + box.width(), box.top()));

    // The file's name, centred in the margin above the keys, on white so that it stays
    // readable where a line of the cross passes.
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(std::max(1, DotsFromMm(ctx, kBrokenMarkTextMm)));
    canvas.setFont(font);
    const QFontMetrics fm = canvas.fontMetrics();
    const int room = std::max(0, box.width() - 2 * DotsFromMm(ctx, 8));
    const QString name = fm.elidedText(PictureFileName(cp932Path), Qt::ElideMiddle, room);
    if (!name.isEmpty()) {
        const int width = fm.horizontalAdvance(name);
        const int pad = DotsFromMm(ctx, 0.5);
        const QPoint topLeft(box.left() + (box.width() - width) / 2, box.top() + line + pad);
        canvas.fillRect(QRect(topLeft.x() - pad, topLeft.y() - pad, width + 2 * pad, fm.height() + 2 * pad),
                        Qt::white);
        canvas.drawText(QPoint(topLeft.x(), topLeft.y() + fm.ascent()), name);
    }
    canvas.restore();
}

PreparedBackground PreparePrintBackground(const sw::model::PrintFace& face) {
    PreparedBackground prepared;
    prepared.picture = BlankPicture();
    if (face.PictureFile.empty()) return prepared;
    PictureLoad load = LoadPicture(face.PictureFile);
    switch (load.status) {
        case PictureStatus::Missing:
            // The face prints as if it had none; the path stays for when the file is back.
            prepared.missing = true;
            return prepared;
        case PictureStatus::Error:
            prepared.ok = false;
            prepared.picture = QImage();
            prepared.message = load.message;
            return prepared;
        case PictureStatus::Ok:
            break;
    }
    if (face.PictureLayout == 0)
        prepared.picture = std::move(load.image);
    else
        TilePicture(load.image, prepared.picture);
    return prepared;
}

QImage PrepareSolidPrintBackground(const sw::model::PrintFace& face) {
    QImage solid(kSolidWidth, kSolidHeight, QImage::Format_RGB888);
    solid.fill(QColorFromColorRef(face.BackgroundColor));
    return solid;
}

bool DrawPictureStretched(QPainter& canvas, int x, int y, int w, int h, const QImage& bitmap,
                          int resolution) {
    if (bitmap.width() <= 0 || bitmap.height() <= 0 || resolution <= 0) return false;
    const double magnifyX = static_cast<double>(w) / bitmap.width() * 96.0 / resolution;
    const double magnifyY = static_cast<double>(h) / bitmap.height() * 96.0 / resolution;
    if (magnifyX >= 5 || magnifyY >= 5) return false;
    canvas.drawImage(QRect(x, y, w, h), bitmap);
    return true;
}

void DrawPictureTiled(QPainter& canvas, int x, int y, int w, int h, const QImage& bitmap,
                      int resolution) {
    if (bitmap.isNull() || w <= 0 || h <= 0 || resolution <= 0) return;
    const qint64 tileW = TileDots(bitmap.width(), resolution);
    const qint64 tileH = TileDots(bitmap.height(), resolution);
    const qint64 columns = (w + tileW - 1) / tileW;
    const qint64 rows = (h + tileH - 1) / tileH;

    if (columns * rows > kMaxSeparateTiles && tileW * tileH <= kMaxTexturePixels) {
        const QImage tile = bitmap.scaled(static_cast<int>(tileW), static_cast<int>(tileH),
                                          Qt::IgnoreAspectRatio, Qt::FastTransformation);
        canvas.save();
        canvas.setBrushOrigin(x, y);
        canvas.fillRect(QRect(x, y, ClampToInt(columns * tileW), ClampToInt(rows * tileH)),
                        QBrush(tile));
        canvas.restore();
        return;
    }
    for (qint64 row = 0; row < rows; ++row)
        for (qint64 column = 0; column < columns; ++column)
            canvas.drawImage(QRect(ClampToInt(x + column * tileW), ClampToInt(y + row * tileH),
                                   ClampToInt(tileW), ClampToInt(tileH)),
                             bitmap);
}

}  // namespace sw::render
