// The change list of a key import: every key whose text changes, the rows that are not
// taken, OK to apply and キャンセル to change nothing.
#pragma once

#include "dialogs/Dialogs.h"

namespace sw::app {

class KeyChangeDialog {
public:
    // True when the user chose OK.
    static bool Run(QWidget* parent, const KeyChangeReview& review);
};

}  // namespace sw::app
