// Whether a sheet fits a printer's printable area, and how much of it is lost on which side.
#pragma once

#include <QRectF>
#include <QString>

namespace sw::render {

// What lies beyond each edge of the printable area, in tenths of a millimetre, rounded up (less
// than a hundredth of a millimetre does not count).
struct SheetCut {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Any() const { return left > 0 || top > 0 || right > 0 || bottom > 0; }
    bool operator==(const SheetCut&) const = default;
};

// `inkMm` as SheetInkMm gives it, against a printable area of `printableMm` (its corner is the
// origin of both).
SheetCut CutOff(const QRectF& inkMm, const QSizeF& printableMm);

// True when nothing of `inkMm` lies on the area.
bool NothingOn(const QRectF& inkMm, const QRectF& areaMm);

// The sides that lose something, in the order left, right, top, bottom:
// "右 4.2 mm、下 1.1 mm"; empty when nothing is lost.
QString CutText(const SheetCut& cut);

// 「印刷できる範囲に収まりません（右 4.2 mm、下 1.1 mm）。」 without the question.
QString DoesNotFitText(const SheetCut& cut);

}  // namespace sw::render
