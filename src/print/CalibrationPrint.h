// Printing the calibration sheet from the fine-adjustment dialog.
#pragma once

#include <cstdint>

class QWidget;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

class PrintTarget;

// A4 landscape, the print dialog (starting from one copy), then one job with the calibration
// sheet of `buttonModel` moved by `sayu`/`jyoge`, through the same page path as the sheet's
// own print, so the printable area's corner is the origin. Nothing is printed when the dialog
// is cancelled; failures are shown as messages. True when the page was sent.
bool PrintCalibrationSheet(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                           std::int32_t buttonModel, int sayu, int jyoge);

}  // namespace sw::render
