// The calibration sheet: the four face boxes and the key cells of a key model exactly where
// the printed sheet puts them, with millimetre rulers, printed on plain paper and laid over
// the label paper to read how far the print position is off.
#pragma once

#include <QString>
#include <cstdint>

#include "render/RenderContext.h"

class QPainter;

namespace sw::render {

// The instruction at the top of the sheet.
extern const char* const kCalibrationInstruction;  // "ラベル用紙に重ねて、ずれを 0.1mm 単位で読み取ってください"

// The fine adjustment as the sheet states it, e.g. "左右 +0.3mm / 上下 −0.2mm" (+ is right and
// up); values beyond what the sheet can move are shown as the limit the drawing holds them at.
QString AdjustmentText(int sayu, int jyoge);

// Draws the calibration sheet of `buttonModel` (kModel30 or kModel18; any other model draws
// the boxes without cells, as the printed sheet draws no keys for it) moved by the fine
// adjustment `sayu`/`jyoge` (tenths of a millimetre, + right and up) as the printed sheet is.
// Every face box (the area a face background fills) and every key cell the model shows is
// outlined by a thin line on the inside of its edges, so that the outline's outer edge is the
// printed edge. Along the top and the left edge inside each face box a ruler has a tick every
// millimetre, a longer one every 5 mm and a number every 10 mm, counted from the box corner.
// The instruction and the adjustment stand in the header area above the faces.
// The canvas origin is the top-left corner of the printable area; resolution must be positive.
RenderResult RenderCalibrationSheet(QPainter& canvas, int resolution, std::int32_t buttonModel,
                                    int sayu, int jyoge);

}  // namespace sw::render
