// What the main window does with the editor position after the registration and the
// selection dialogs: plain rules over the workspace, no widgets.
#pragma once

#include <QString>

#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

// Before the registration dialog opens: the grid counts as laid out for the current
// entry's model, so that only a change of that model lays it out again.
void BeginRegistration(sw::model::Workspace& ws);

// After the registration dialog closed, however it closed. The header and the face are
// always shown again (entry and face). When the current entry's model changed, the key
// range follows the new model and its first position is selected; `currentKey` is then
// set, and the main window gives the position it showed as selected the normal look
// before ShowCurrentKey.
sw::model::Refresh FinishRegistration(sw::model::Workspace& ws);

// After the selection dialog: with ChosenEntry 0 nothing changes and the refresh is empty.
// Otherwise the chosen entry becomes current on the same face, with the key range of its
// model and its first position selected (07 under 18 keys, 01 under 30 keys), and the
// main window gives its old selected position the normal look, then shows entry, face and
// current key.
sw::model::Refresh ApplyChosenEntry(sw::model::Workspace& ws);

// The entry number the main window's number field names: its text read as an integer
// (blanks around it and a sign allowed), 0 when it is no number from 1 to 50.
int EntryNumberOfField(const QString& text);

// "(" + number as two digits + ") " + name (its first 512 bytes): the selection list's item
// of an entry.
QString SelectionItemText(int entry, const sw::model::Bytes& name);

}  // namespace sw::model
