// Where the editor stands in the label set, its modes, and its clipboard and undo record.
#pragma once

#include "model/LabelSet.h"

namespace sw::model {

using FaceKeyBuffer = OneBased<OneBased<KeyLabel, kKeyCount>, kFaceCount>;

struct EditorState {
    // Position.
    int CurrentEntry = 1;
    int CurrentFace = 1;
    int EditFace = 1;
    int CurrentKeyPos = 1;
    int KeyOffset = 6;
    int FirstKeyPos = 7;
    int LastKeyPos = 24;
    int ShownModel = -1;  // -1: the grid is laid out for no model yet

    // Modes.
    int KeyEditorOpen = 0;
    int MemoFocused = 0;
    int ChosenEntry = 0;  // result of the selection dialog; 0 = cancelled

    // Clipboard and undo record.
    FaceKeyBuffer CopyBuffer;
    FaceKeyBuffer UndoBuffer;
    int CopySourceEntry = 0;
    int CopySourceFace = 0;
    int CopySourceKeyPos = 0;
    int CopySourceKeyOffset = 0;
    int UndoEntry = 0;
    int UndoFace = 0;
    int UndoKeyPos = 0;
    int UndoKeyOffset = 0;

    // The undo flags.
    int KeyCopyMode = 0;    // 0 none, 1 copy, 2 cut
    int EntryCopyMode = 0;  // 0 none, 1 copy, 2 cut
    int FormatCopied = 0;
    int ChangedBackColor = 0;
    int ChangedFontColor = 0;
    int ChangedFontName = 0;
    int ChangedFontSize = 0;
    int ChangedFontStyle = 0;
    int ChangedText = 0;
    int ChangedAlignment = 0;
    int ChangedLayout = 0;
    // The undo record holds every key of entry UndoEntry in UndoBuffer, taken before a
    // command that rewrote many keys at once (reading key texts from CSV).
    int EntryKeysRecorded = 0;
    // The undo record is a whole face, face UndoFace of entry UndoEntry as it was before a
    // face copy wrote over it or the face was cleared: keys, picture, layout, background
    // mode and colour, in UndoFaceContent. The clipboard stays as it was.
    int FaceRecorded = 0;
    PrintFace UndoFaceContent;

    // A cut moves its source once: the first paste clears the source, later pastes of the
    // same clipboard only copy, so that anything put into the source key (or entry) since
    // is never wiped. CutPasted: the cut on the clipboard has had its first paste.
    // UndoCutPaste: the recorded paste was not that first paste (0), was it and left the
    // source as it was (1: pasted onto itself, or the source had changed), or was it and
    // cleared the source (2).
    int CutPasted = 0;
    int UndoCutPaste = 0;

    // The five edit command states (paste, format paste, entry paste, deselect, undo).
    bool PasteEnabled = false;
    bool FormatPasteEnabled = false;
    bool EntryPasteEnabled = false;
    bool DeselectEnabled = false;
    bool UndoEnabled = false;

    EditorState();

    int CurrentKeyIndex() const { return CurrentKeyPos - KeyOffset; }
    void ApplyKeyRange(const KeyRange& range);
};

// Clears KeyCopyMode .. FaceRecorded.
void ClearUndoFlags(EditorState& state);

// The buffers to KeyLabel reset values, the undo flags cleared, the copy source set to
// the current entry.
void ResetCopyBuffers(EditorState& state);

}  // namespace sw::model
