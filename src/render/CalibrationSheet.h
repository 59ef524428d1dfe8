// The calibration sheet: the four face boxes and the key cells of a key model exactly where
// the printed sheet puts them, with a comb at every box edge that reads the offset from the
// label stock's edge to a tenth of a millimetre, printed on plain paper and laid over the stock.
#pragma once

#include <QRectF>
#include <QString>
#include <cstdint>

#include "model/LabelSet.h"
#include "render/RenderContext.h"

class QPainter;

namespace sw::render {

// The instruction at the top of the sheet.
extern const char* const kCalibrationInstruction;
// The sign rule printed under it: 「＋は右へ・上へ」.
extern const char* const kCalibrationSignRule;

// The fine adjustment as the sheet states it, e.g. "左右 +0.3mm / 上下 −0.2mm" (+ is right and
// up); values beyond what the sheet can move are shown as the limit the drawing holds them at.
QString AdjustmentText(int sayu, int jyoge);

// What a comb line is labelled with: the value to type into 印刷設定 (tenths of a millimetre,
// + right and up, as the dialog takes it) when that line meets the stock's edge: the adjustment
// the sheet was printed with plus the line's offset. "+13", "-2", "0".
QString CombLabel(int tenths);

// The comb: lines at −1.0 … +1.0 mm from a box edge in 0.1 mm steps.
constexpr int kCombReach = 10;  // tenths of a millimetre either side

struct CalibrationOptions {
    std::int32_t buttonModel = sw::model::kModel30;  // kModel30 or kModel18; others: no cells
    int entry = 0;  // the management number named in the header; 0 names none
    int sayu = 0;   // the fine adjustment, tenths of a millimetre, + right
    int jyoge = 0;  // + up
};

// Draws the calibration sheet moved by the fine adjustment as the printed sheet is. The
// canvas origin is the top-left corner of the printable area; resolution must be positive.
//
// - Every face box (the area a face background fills) and the key cells the model shows are
//   outlined by a thin line on the inside of their outer edges, so that the outline's outer
//   edge is the printed edge; cells side by side share one line, centred on their common edge.
// - At the middle of each edge of each box a comb of 21 short lines, each on a row (or column)
//   of its own, stands at −1.0 … +1.0 mm from the edge in 0.1 mm steps, labelled inside the
//   box with CombLabel: on the left and right edges the value for 右へ (lines further right
//   read higher), on the top and bottom edges the value for 上へ (lines higher up read higher).
//   The box outline leaves the comb's stretch of the edge free.
// - Along the top and the left edge inside each box, outside the combs, a ruler has a tick
//   every millimetre, a longer one every 5 mm and a number every 10 mm, counted from the box
//   corner, for offsets beyond the combs' reach.
// - The header holds the instruction, the key model ("30ボタン"/"18ボタン"), the management
//   number, the adjustment and the sign rule.
RenderResult RenderCalibrationSheet(QPainter& canvas, int resolution, const CalibrationOptions& options);

// Where the calibration sheet puts ink, in millimetres from the printable area's corner:
// from the header to the combs beyond the right and bottom boxes.
QRectF CalibrationInkMm(int sayu, int jyoge);

}  // namespace sw::render
