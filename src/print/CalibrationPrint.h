// Printing the calibration sheet from the fine-adjustment dialog.
#pragma once

#include "render/CalibrationSheet.h"

class QWidget;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

class PrintTarget;

// A4 landscape, the print dialog (starting from one copy), A4 landscape again on the chosen
// printer, then one job with the calibration sheet `sheet`, through the same page path as the
// sheet's own print, so the printable area's corner is the origin. Nothing is printed when the
// dialog is cancelled, on a printer without A4, or when the sheet does not fit the printable
// area and the user does not want it cut; failures are shown as messages. True when the page
// was sent.
bool PrintCalibrationSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                           const CalibrationOptions& sheet);

}  // namespace sw::render
