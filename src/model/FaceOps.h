// Copying a print face onto another face of the same entry, clearing a face, and which
// face copy buttons may be used. Both record the face they overwrite as the one level of
// undo (元に戻す brings it back whole) and leave the clipboard and the paste states alone.
#pragma once

#include "model/OneBased.h"
#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

// btnCopy1..4: face n of the current entry := the face shown: its background fields and,
// for all 30 key indices whatever the key model, every key field but Layout (each target
// key keeps its own vertical layout). Nothing to show: the target is never the face shown
// (a copy onto the face shown does nothing). The target as it was becomes the undo record,
// unless the copy changes nothing.
Refresh CopyFaceTo(Workspace& ws, int targetFace);

// btnDelete: the face shown back to its reset background and reset keys; position 07
// becomes the current position in both key models. The face as it was becomes the undo
// record, unless it was empty already. Before calling, the window closes an
// open key editor and gives the panel of CurrentKeyPos the normal look; afterwards it runs
// ShowEntry, ShowFace and ShowCurrentKey as returned.
Refresh ClearFace(Workspace& ws);

// Enabled state of btnCopy1..btnCopy4 (index 1..4) while face currentFace is shown:
// every button but the one of the face shown. Applied at every face switch and reset.
OneBased<bool, kFaceCount> CopyButtonsEnabled(int currentFace);

}  // namespace sw::model
