// The fit rule's findings for one key, in millimetres.
#include "render/KeyFitText.h"

#include <QStringList>

#include "render/SheetRenderer.h"

namespace sw::render {

namespace {

// Dots at the check resolution as millimetres, rounded up to a tenth: a spill is never
// shown as 0.0mm.
QString SpillMm(int dots) {
    const qint64 tenths = (qint64{dots} * 254 + kFitCheckDpi - 1) / kFitCheckDpi;
    return QStringLiteral("%1.%2mm").arg(tenths / 10).arg(tenths % 10);
}

}  // namespace

QString KeyFitRefusal(const sw::model::KeyLabel& key, int face, int position) {
    const KeyTextSpill spill = CheckKeyFit(key, face, position);
    QStringList parts;
    for (int i = 0; i < 2; ++i) {
        const KeyLineSpill& line = spill.lines[i];
        if (line.wide > 0)
            parts << QStringLiteral("%1行目が横に %2 はみ出します").arg(i + 1).arg(SpillMm(line.wide));
        if (line.tall > 0)
            parts << QStringLiteral("%1行目が縦に %2 はみ出します").arg(i + 1).arg(SpillMm(line.tall));
    }
    if (parts.isEmpty()) return {};
    return parts.join(QStringLiteral("、")) + QStringLiteral("（キーに収まりません）");
}

}  // namespace sw::render
