// Printing the calibration sheet: the print dialog, then one page.
#include "print/CalibrationPrint.h"

#include <QPainter>

#include "dialogs/Dialogs.h"
#include "dialogs/WaitCursor.h"
#include "print/PrintJob.h"
#include "render/CalibrationSheet.h"

namespace sw::render {

bool PrintCalibrationSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                           const CalibrationOptions& sheet) {
    target.SetUpA4Landscape();
    // One sheet is all a check needs; more copies are the user's choice in the dialog.
    target.Printer().setCopyCount(1);
    if (!dialogs.ChoosePrint(parent, target.Printer())) return false;
    if (!SetUpA4AfterDialog(parent, target, dialogs)) return false;
    if (!AgreeToCutSheet(parent, target, dialogs, CalibrationInkMm(sheet.sayu, sheet.jyoge))) return false;
    QString error;
    bool printed = false;
    {
        sw::app::WaitCursor wait;
        printed = target.PrintPage(
            QString::fromUtf8(kPrintJobTitle),
            [sheet](QPainter& canvas, int resolution) {
                return RenderCalibrationSheet(canvas, resolution, sheet);
            },
            error);
    }
    if (!printed) {
        if (error.isEmpty()) error = QStringLiteral("テスト印刷ができませんでした。");
        dialogs.Message(parent, sw::app::MessageKind::Error, error, sw::app::Buttons::Ok);
    }
    return printed;
}

}  // namespace sw::render
