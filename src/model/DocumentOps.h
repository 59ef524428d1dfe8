// Reset and replacement of the whole document, as plain operations on the workspace.
// The main window calls these and then refreshes what is on screen.
#pragma once

#include "model/Workspace.h"

namespace sw::model {

// The editor's position before a reset or a load: entry 1, no grid laid out, the 18-key
// range, position 1 until the grid is laid out again.
void PrepareEditorForReset(EditorState& editor);

// Every entry, face and key to its reset value; entry 1, face 1; the undo flags cleared
// and the five edit command states off; the key range of entry 1 (18 keys) with its
// first position selected. The copy buffers themselves are kept.
void ResetLabelSet(Workspace& ws);

// "新規作成" once confirmed: prepare, reset the label set, reset the copy buffers.
void NewLabelSetReset(Workspace& ws);

// A label set read completely from a file replaces the document: the editor is prepared
// and reset as for "新規作成" except that the copy buffers are kept, then it stands on
// entry 1 with the first position of entry 1's key model selected.
void ReplaceLabelSet(Workspace& ws, LabelSet&& loaded);

// Sets the five edit command states at once.
void SetEditCommandStates(EditorState& editor, bool paste, bool formatPaste, bool entryPaste,
                          bool deselect, bool undo);

}  // namespace sw::model
