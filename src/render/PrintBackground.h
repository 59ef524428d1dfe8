// The background of a print face on the sheet: picture stretched or tiled, single colour or none.
#pragma once

#include <QImage>
#include <QRect>

#include "model/LabelSet.h"
#include "render/RenderContext.h"

class QPainter;

namespace sw::render {

// Size of the staged single-colour background.
constexpr int kSolidWidth = 458;
constexpr int kSolidHeight = 277;

// The box the background of the face at the context's origin is drawn into, in dots: top-left
// (SheetX(OriginX + 6.5), SheetY(OriginY − 3.65)), 116 × 67 mm. Drawing may pass its right
// and bottom edges.
QRect FaceBackgroundBox(const RenderContext& ctx);

enum class BackgroundStatus { Drawn, PictureMissing, PictureBroken };

// Stages the face's background (colour, picture or blank) and draws it into the box. A
// picture file that no longer exists is drawn white (PictureMissing); a file that cannot be
// read leaves the box white (PictureBroken, with a message naming it). The face is only read.
BackgroundStatus DrawFaceBackground(QPainter& canvas, const RenderContext& ctx,
                                    const sw::model::PrintFace& face, QString& message);

// The mark of a face whose picture file cannot be read: the background box outlined and
// crossed from corner to corner, and the file's name (what follows the last "/", "\" or ":"
// of the stored path) written at the top of the box. Drawn over the white key area and under
// the keys. Lines are one point wide.
constexpr int kBrokenMarkHalfPoints = 2;
constexpr double kBrokenMarkTextMm = 2.5;
void DrawBrokenPictureMark(QPainter& canvas, const RenderContext& ctx, const sw::model::Bytes& cp932Path);

// The file name part of a picture path stored in the document.
QString PictureFileName(const sw::model::Bytes& cp932Path);

struct PreparedBackground {
    bool ok = true;
    bool missing = false;  // the file is gone: the picture is the blank
    QImage picture;        // the staged picture, 24-bit
    QString message;       // when !ok
};

// The face's picture: in stretch layout the file's picture at its own size, in tile layout
// the picture repeated over the blank. Without a picture, or when the file is missing, the
// blank.
PreparedBackground PreparePrintBackground(const sw::model::PrintFace& face);

// A 458 × 277 picture in the face's BackgroundColor.
QImage PrepareSolidPrintBackground(const sw::model::PrintFace& face);

// Stretches the whole bitmap over (x, y, w, h). Declines (returns false, draws nothing) when
// that would magnify the picture five times or more beyond its size at 96 dpi in either
// direction.
bool DrawPictureStretched(QPainter& canvas, int x, int y, int w, int h, const QImage& bitmap,
                          int resolution);

// Covers (x, y, w, h) with whole copies of the bitmap at its size at 96 dpi, from the
// top-left corner; the last column and row may pass the box by up to one copy. A copy is at
// least one dot wide and high, so this always finishes.
void DrawPictureTiled(QPainter& canvas, int x, int y, int w, int h, const QImage& bitmap,
                      int resolution);

}  // namespace sw::render
