// Reset and replacement of the whole document.
#include "model/DocumentOps.h"

namespace sw::model {

void PrepareEditorForReset(EditorState& editor) {
    editor.CurrentEntry = 1;
    editor.ShownModel = -1;
    editor.CurrentKeyPos = 1;
    editor.KeyEditorOpen = 0;
    editor.ApplyKeyRange(KeyRangeFor(kModel18));
}

namespace {
void StandOnEntryOne(Workspace& ws) {
    EditorState& e = ws.editor;
    e.CurrentEntry = 1;
    e.CurrentFace = 1;
    e.EditFace = 1;
    e.ApplyKeyRange(KeyRangeFor(ws.labelSet.Entries[1].ButtonModel));
    e.CurrentKeyPos = e.FirstKeyPos;
    ClearUndoFlags(e);
    SetEditCommandStates(e, false, false, false, false, false);
}
}  // namespace

void ResetLabelSet(Workspace& ws) {
    ResetDocument(ws.labelSet);
    StandOnEntryOne(ws);
}

void NewLabelSetReset(Workspace& ws) {
    PrepareEditorForReset(ws.editor);
    ResetLabelSet(ws);
    ResetCopyBuffers(ws.editor);
}

void ReplaceLabelSet(Workspace& ws, LabelSet&& loaded) {
    PrepareEditorForReset(ws.editor);
    ws.labelSet = std::move(loaded);
    StandOnEntryOne(ws);
}

void SetEditCommandStates(EditorState& editor, bool paste, bool formatPaste, bool entryPaste,
                          bool deselect, bool undo) {
    editor.PasteEnabled = paste;
    editor.FormatPasteEnabled = formatPaste;
    editor.EntryPasteEnabled = entryPaste;
    editor.DeselectEnabled = deselect;
    editor.UndoEnabled = undo;
}

}  // namespace sw::model
