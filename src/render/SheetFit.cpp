// How much of a sheet lies beyond a printer's printable area.
#include "render/SheetFit.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace sw::render {
namespace {

// Up to the next tenth: what is lost is never said to be less than it is. Less than a
// hundredth of a millimetre is the rounding of a dot, not a loss.
int Tenths(double mm) {
    if (!(mm > 0.01)) return 0;  // also NaN
    return static_cast<int>(std::ceil(std::min(mm, 1e6) * 10 - 1e-6));
}

QString Millimetres(int tenths) { return QStringLiteral("%1.%2 mm").arg(tenths / 10).arg(tenths % 10); }

}  // namespace

SheetCut CutOff(const QRectF& inkMm, const QSizeF& printableMm) {
    SheetCut cut;
    cut.left = Tenths(-inkMm.left());
    cut.top = Tenths(-inkMm.top());
    cut.right = Tenths(inkMm.right() - printableMm.width());
    cut.bottom = Tenths(inkMm.bottom() - printableMm.height());
    return cut;
}

bool NothingOn(const QRectF& inkMm, const QRectF& areaMm) {
    return inkMm.right() <= areaMm.left() || inkMm.left() >= areaMm.right() || inkMm.bottom() <= areaMm.top() ||
           inkMm.top() >= areaMm.bottom();
}

QString CutText(const SheetCut& cut) {
    QStringList sides;
    if (cut.left > 0) sides << QStringLiteral("左 ") + Millimetres(cut.left);
    if (cut.right > 0) sides << QStringLiteral("右 ") + Millimetres(cut.right);
    if (cut.top > 0) sides << QStringLiteral("上 ") + Millimetres(cut.top);
    if (cut.bottom > 0) sides << QStringLiteral("下 ") + Millimetres(cut.bottom);
    return sides.join(QStringLiteral("、"));
}

QString DoesNotFitText(const SheetCut& cut) {
    return QStringLiteral("印刷できる範囲に収まりません（%1）。").arg(CutText(cut));
}

}  // namespace sw::render
