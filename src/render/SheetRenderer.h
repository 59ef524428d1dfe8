// The printed sheet of one management number: header, cross mark and the four print faces,
// drawn at any resolution onto any QPainter (printer page, preview, image, PDF).
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>

#include "model/LabelSet.h"
#include "render/RenderContext.h"

class QPainter;
class QFontMetrics;

namespace sw::render {

// How a sheet is drawn, besides what the label set holds.
struct SheetOptions {
    int sayu = 0;                 // fine adjustment in tenths of a mm, + moves right
    int jyoge = 0;                // fine adjustment in tenths of a mm, + moves up
    bool buttonOutlines = false;  // the key button outlines, as the preview shows them
    int keyOffset = -1;           // position p shows key p − keyOffset; -1: the entry's model
};

// Draws the sheet of management number `entry` (1..50) of a label set it only reads: header,
// cross mark and the four faces. The canvas origin is the top-left corner of the printable
// area; resolution is in dots per inch and must be positive.
//
// A face whose picture file is gone is drawn white and listed in the result's `pictures`. A
// face whose picture file cannot be read is drawn white with the broken-picture mark (its box
// outlined and crossed, the file's name in it) and its keys over the mark; it is listed in
// `broken` with the message naming the file, and every other face is drawn as usual. Telling
// the user is the caller's (preview, print job, companion tool).
//
// The render library has no widgets: callers show the hourglass cursor around this call and
// restore it on every path.
RenderResult RenderSheet(QPainter& canvas, int resolution, const sw::model::LabelSet& labelSet,
                         int entry, const SheetOptions& options);

// The Windows font names of label-set files drawn with the IPA fonts of this system:
// "ＭＳ ゴシック" → IPAGothic, "ＭＳ Ｐゴシック" → IPAPGothic, "ＭＳ 明朝" → IPAMincho,
// "ＭＳ Ｐ明朝" → IPAPMincho. The names stored in the document never change. Called once at
// start by the program and by the companion tool.
void InstallFontSubstitutions();

// ---- Pieces of the sheet, shared with the companion tool's fit check ----

// Fine adjustment beyond a metre moves the sheet off any page either way; it is held there
// so that absurd settings cannot overflow a coordinate.
constexpr int kMaxAdjustmentTenths = 10000;

// Where the sheet puts ink, in millimetres from the top-left corner of the printable area,
// with a fine adjustment: from the header's left edge and the top of the cross mark to the
// cross mark's right end and the bottom of the lower faces' boxes (8.8 to 267.0 mm across and
// 19.9 to 190.9 mm down without adjustment). The white strips the faces lay over the page add
// no ink.
QRectF SheetInkMm(int sayu, int jyoge);

// The background box of face f (1..4), in millimetres from the printable area's corner.
QRectF FaceBoxMm(int face, int sayu, int jyoge);

// Sets OriginX/OriginY to the page items' origin, or to face f's (1..4).
void SetPageOrigin(RenderContext& ctx, int sayu, int jyoge);
void SetFaceOrigin(RenderContext& ctx, int face, int sayu, int jyoge);

// The cell of grid position 1..30 of the face at the context's origin, in dots: the area a
// key's background colour fills (left and top edge in, right and bottom edge out).
QRect KeyCellRect(const RenderContext& ctx, int position);

// True when the key model shows grid position 1..30 (0: all, 1: 07–24, others: none).
bool PositionShown(std::int32_t buttonModel, int position);

// The font of a key label at the context's resolution (size clamped as the drawing does).
QFont KeyFont(const sw::model::KeyLabel& key, const RenderContext& ctx);

// Where the lines of a key go in the cell of grid position 1..30 of the face at the context's
// origin, measured with fm (the key's font on the drawing device).
struct KeyLinePlacement {
    bool drawn = false;  // an empty line is not drawn
    QString text;        // what is drawn
    QPoint topLeft;      // where the text's top-left corner goes
    int width = 0;       // TW
    int height = 0;      // TH
    QRect band;          // the cell's width and the line's band (whole cell or half), dots
};
struct KeyTextPlacement {
    KeyLinePlacement lines[2];
};
KeyTextPlacement PlaceKeyText(const RenderContext& ctx, int position,
                              const sw::model::KeyLabel& key, const QFontMetrics& fm);

// How far each drawn line of a key spills out of its cell, in dots: sideways (both sides
// together) and up or down (both together). Nothing spills from a key that fits.
struct KeyLineSpill {
    int wide = 0;
    int tall = 0;
};
struct KeyTextSpill {
    KeyLineSpill lines[2];
    bool Any() const;
};
KeyTextSpill MeasureKeySpill(const KeyTextPlacement& placement);

// The fit rule: a key at grid position 1..30 of face 1..4, measured as a 600-dpi printer
// would draw it with no fine adjustment. The companion tool's check reports what spills; the
// main window marks such keys.
constexpr int kFitCheckDpi = 600;
KeyTextSpill CheckKeyFit(const sw::model::KeyLabel& key, int face, int position);

}  // namespace sw::render
