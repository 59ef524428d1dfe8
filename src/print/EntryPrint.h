// Printing several management numbers in one job: one sheet each, in number order.
#pragma once

#include "model/PrintChoice.h"
#include "model/Workspace.h"
#include "print/PrintJob.h"

class QPainter;
class QWidget;

namespace sw::app {
class Dialogs;
}

namespace sw::render {

// The options entry `entry` is drawn with: the fine adjustment, and the key offset the editor
// stands on for the current entry, the entry's own key model for any other.
SheetOptions EntrySheetOptions(const sw::model::Workspace& ws, int entry, bool buttonOutlines);

// The sheet of `entry`, drawn from the workspace without changing it.
RenderResult RenderEntrySheet(QPainter& canvas, int resolution, const sw::model::Workspace& ws, int entry,
                              bool buttonOutlines);

// The print dialog with the choice of management numbers (`shown` counted as the current one,
// and preselected), then the chosen sheets without button outlines, in number order. The main
// window sends one job and leaves a copy count to the printer (`jobPerCopy` false); the
// preview sends each copy as a job of its own. Every print dialog starts from one copy.
// Nothing to print, a refused range and a failed job are shown as messages and send nothing.
void PrintChosenEntries(QWidget* parent, PrintTarget& target, sw::app::Dialogs& dialogs,
                        const sw::model::Workspace& ws, int shown, bool jobPerCopy);

}  // namespace sw::render
