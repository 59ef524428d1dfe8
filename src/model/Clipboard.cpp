// The editor's clipboard, format copy, one-level undo and edit command states.
#include "model/Clipboard.h"

#include "model/DocumentOps.h"

namespace sw::model {

namespace {

// Values of UndoCutPaste.
constexpr int kNotFirstCutPaste = 0;
constexpr int kFirstCutPasteKeptSource = 1;
constexpr int kFirstCutPasteClearedSource = 2;

bool ValidKeyIndex(int keyIndex) { return keyIndex >= 1 && keyIndex <= kKeyCount; }
bool ValidEntry(int entry) { return entry >= 1 && entry <= kEntryCount; }
bool ValidFace(int face) { return face >= 1 && face <= kFaceCount; }

KeyLabel& KeyAt(Workspace& ws, int entry, int face, int keyIndex) {
    return ws.labelSet.Entries[entry].Faces[face].Keys[keyIndex];
}

int CopySourceKeyIndex(const EditorState& e) {
    return e.CopySourceKeyPos - e.CopySourceKeyOffset;
}
int UndoKeyIndex(const EditorState& e) { return e.UndoKeyPos - e.UndoKeyOffset; }

bool CopySourceKeyValid(const EditorState& e) {
    return ValidEntry(e.CopySourceEntry) && ValidFace(e.CopySourceFace) &&
           ValidKeyIndex(CopySourceKeyIndex(e));
}
bool UndoKeyValid(const EditorState& e) {
    return ValidEntry(e.UndoEntry) && ValidFace(e.UndoFace) && ValidKeyIndex(UndoKeyIndex(e));
}

// The seven fields of a key besides its two lines.
void CopyFormat(KeyLabel& to, const KeyLabel& from) {
    to.Alignment = from.Alignment;
    to.Layout = from.Layout;
    to.BackColor = from.BackColor;
    to.FontColor = from.FontColor;
    to.FontName = from.FontName;
    to.FontStyle = from.FontStyle;
    to.FontSize = from.FontSize;
}

void ShowIfOnScreen(const Workspace& ws, Refresh& refresh, int entry, int face, int keyIndex) {
    if (int position = ShownPosition(ws, entry, face, keyIndex)) refresh.Key(position);
}

void CopyEntryKeys(FaceKeyBuffer& to, const ManagementEntry& from) {
    for (int f = 1; f <= kFaceCount; ++f)
        for (int k = 1; k <= kKeyCount; ++k) to[f][k] = from.Faces[f].Keys[k];
}

void PasteEntryKeys(ManagementEntry& to, const FaceKeyBuffer& from) {
    for (int f = 1; f <= kFaceCount; ++f)
        for (int k = 1; k <= kKeyCount; ++k) to.Faces[f].Keys[k] = from[f][k];
}

bool EntryKeysEqual(const ManagementEntry& entry, const FaceKeyBuffer& buffer) {
    for (int f = 1; f <= kFaceCount; ++f)
        for (int k = 1; k <= kKeyCount; ++k)
            if (!(entry.Faces[f].Keys[k] == buffer[f][k])) return false;
    return true;
}

Refresh KeyCopyAs(Workspace& ws, int mode) {
    EditorState& e = ws.editor;
    if (!HasCurrentKey(e)) return {};
    ClearUndoFlags(e);
    e.KeyCopyMode = mode;
    e.CopySourceEntry = e.CurrentEntry;
    e.CopySourceFace = e.CurrentFace;
    e.CopySourceKeyPos = e.CurrentKeyPos;
    e.CopySourceKeyOffset = e.KeyOffset;
    e.CopyBuffer[e.CurrentFace][1] = CurrentKey(ws);
    UpdateEditCommandStates(e, EditEvent::KeyCopied);
    return {};
}

Refresh EntryCopyAs(Workspace& ws, int mode) {
    EditorState& e = ws.editor;
    ClearUndoFlags(e);
    e.EntryCopyMode = mode;
    e.CopySourceEntry = e.CurrentEntry;
    CopyEntryKeys(e.CopyBuffer, ws.labelSet.Entries[e.CurrentEntry]);
    UpdateEditCommandStates(e, EditEvent::EntryCopied);
    Refresh refresh;
    refresh.currentKey = true;
    return refresh;
}

}  // namespace

void UpdateEditCommandStates(EditorState& editor, EditEvent event) {
    const EditorState& e = editor;
    switch (event) {
    case EditEvent::Reset:
    case EditEvent::Deselected:
        SetEditCommandStates(editor, false, false, false, false, false);
        break;
    case EditEvent::KeyCopied:
        SetEditCommandStates(editor, true, false, false, true, false);
        break;
    case EditEvent::FormatCopied:
        SetEditCommandStates(editor, false, true, false, true, false);
        break;
    case EditEvent::EntryCopied:
        SetEditCommandStates(editor, false, false, true, true, false);
        break;
    case EditEvent::Pasted:
    case EditEvent::FaceRecorded:
        SetEditCommandStates(editor, e.PasteEnabled, e.FormatPasteEnabled, e.EntryPasteEnabled,
                             e.DeselectEnabled, true);
        break;
    case EditEvent::ChangeRecorded:
        SetEditCommandStates(editor, false, false, false, false, true);
        break;
    case EditEvent::Undone:
        SetEditCommandStates(editor, e.PasteEnabled, e.FormatPasteEnabled, e.EntryPasteEnabled,
                             e.DeselectEnabled, false);
        break;
    }
}

bool HasCurrentKey(const EditorState& editor) {
    return ValidEntry(editor.CurrentEntry) && ValidFace(editor.CurrentFace) &&
           ValidKeyIndex(editor.CurrentKeyIndex());
}

KeyLabel& CurrentKey(Workspace& ws) {
    const EditorState& e = ws.editor;
    return KeyAt(ws, e.CurrentEntry, e.CurrentFace, e.CurrentKeyIndex());
}

int ShownPosition(const Workspace& ws, int entry, int face, int keyIndex) {
    const EditorState& e = ws.editor;
    if (entry != e.CurrentEntry || face != e.CurrentFace) return 0;
    int position = keyIndex + e.KeyOffset;
    if (position < e.FirstKeyPos || position > e.LastKeyPos) return 0;
    return position;
}

Refresh KeyCopy(Workspace& ws) { return KeyCopyAs(ws, 1); }
Refresh KeyCut(Workspace& ws) { return KeyCopyAs(ws, 2); }

Refresh KeyPaste(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!e.PasteEnabled || e.KeyCopyMode == 0 || !HasCurrentKey(e) || !ValidFace(e.CopySourceFace))
        return {};
    Refresh refresh;
    e.FaceRecorded = 0;
    e.UndoEntry = e.CurrentEntry;
    e.UndoFace = e.CurrentFace;
    e.UndoKeyPos = e.CurrentKeyPos;
    e.UndoKeyOffset = e.KeyOffset;
    e.UndoBuffer[e.CurrentFace][1] = CurrentKey(ws);
    const KeyLabel& clip = e.CopyBuffer[e.CopySourceFace][1];
    CurrentKey(ws) = clip;

    // A cut moves its key once. Pasting it back onto its own key keeps the key, and a
    // source that no longer holds what was cut (a face copy wrote over it) is not wiped.
    e.UndoCutPaste = kNotFirstCutPaste;
    if (e.KeyCopyMode == 2 && !e.CutPasted && CopySourceKeyValid(e)) {
        e.UndoCutPaste = kFirstCutPasteKeptSource;
        const int sourceKey = CopySourceKeyIndex(e);
        const bool ontoItself = e.CopySourceEntry == e.CurrentEntry &&
                                e.CopySourceFace == e.CurrentFace &&
                                sourceKey == e.CurrentKeyIndex();
        KeyLabel& source = KeyAt(ws, e.CopySourceEntry, e.CopySourceFace, sourceKey);
        if (!ontoItself && source == clip) {
            source = KeyLabel{};
            e.UndoCutPaste = kFirstCutPasteClearedSource;
            ShowIfOnScreen(ws, refresh, e.CopySourceEntry, e.CopySourceFace, sourceKey);
        }
        e.CutPasted = 1;
    }
    UpdateEditCommandStates(e, EditEvent::Pasted);
    refresh.Key(e.CurrentKeyPos);
    return refresh;
}

Refresh FormatCopy(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!HasCurrentKey(e)) return {};
    ClearUndoFlags(e);
    e.FormatCopied = 1;
    e.CopySourceFace = e.CurrentFace;
    CopyFormat(e.CopyBuffer[e.CurrentFace][1], CurrentKey(ws));
    UpdateEditCommandStates(e, EditEvent::FormatCopied);
    return {};
}

Refresh FormatPaste(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!e.FormatPasteEnabled || e.FormatCopied == 0 || !HasCurrentKey(e) ||
        !ValidFace(e.CopySourceFace))
        return {};
    e.FaceRecorded = 0;
    e.UndoEntry = e.CurrentEntry;
    e.UndoFace = e.CurrentFace;
    e.UndoKeyPos = e.CurrentKeyPos;
    e.UndoKeyOffset = e.KeyOffset;
    e.UndoBuffer[e.CurrentFace][1] = CurrentKey(ws);
    CopyFormat(CurrentKey(ws), e.CopyBuffer[e.CopySourceFace][1]);
    UpdateEditCommandStates(e, EditEvent::Pasted);
    Refresh refresh;
    refresh.Key(e.CurrentKeyPos);
    return refresh;
}

Refresh EntryCopy(Workspace& ws) { return EntryCopyAs(ws, 1); }
Refresh EntryCut(Workspace& ws) { return EntryCopyAs(ws, 2); }

Refresh EntryPaste(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!e.EntryPasteEnabled || e.EntryCopyMode == 0 || !ValidEntry(e.CurrentEntry)) return {};
    ManagementEntry& target = ws.labelSet.Entries[e.CurrentEntry];
    e.FaceRecorded = 0;
    e.UndoEntry = e.CurrentEntry;
    CopyEntryKeys(e.UndoBuffer, target);
    PasteEntryKeys(target, e.CopyBuffer);

    // As with a key: the source entry is cleared once, never when pasted onto itself,
    // and not when its keys were changed since the cut.
    e.UndoCutPaste = kNotFirstCutPaste;
    if (e.EntryCopyMode == 2 && !e.CutPasted && ValidEntry(e.CopySourceEntry)) {
        e.UndoCutPaste = kFirstCutPasteKeptSource;
        ManagementEntry& source = ws.labelSet.Entries[e.CopySourceEntry];
        if (e.CopySourceEntry != e.CurrentEntry && EntryKeysEqual(source, e.CopyBuffer)) {
            for (PrintFace& face : source.Faces)
                for (KeyLabel& key : face.Keys) key = KeyLabel{};
            e.UndoCutPaste = kFirstCutPasteClearedSource;
        }
        e.CutPasted = 1;
    }
    UpdateEditCommandStates(e, EditEvent::Pasted);
    Refresh refresh;
    refresh.entry = true;
    refresh.face = true;
    return refresh;
}

Refresh UndoLastChange(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!e.UndoEnabled) return {};
    Refresh refresh;

    // A face copy or clear: the clipboard flags still name the clipboard, not this record.
    if (e.FaceRecorded) {
        e.FaceRecorded = 0;
        if (ValidEntry(e.UndoEntry) && ValidFace(e.UndoFace)) {
            ws.labelSet.Entries[e.UndoEntry].Faces[e.UndoFace] = e.UndoFaceContent;
            if (e.UndoEntry == e.CurrentEntry && e.UndoFace == e.CurrentFace) {
                refresh.entry = true;
                refresh.face = true;
                refresh.currentKey = true;
            }
        }
        UpdateEditCommandStates(e, EditEvent::Undone);
        return refresh;
    }

    // Recorded alone: every other flag was cleared with it.
    if (e.EntryKeysRecorded && ValidEntry(e.UndoEntry)) {
        PasteEntryKeys(ws.labelSet.Entries[e.UndoEntry], e.UndoBuffer);
        refresh.face = e.UndoEntry == e.CurrentEntry;
    }

    if (e.KeyCopyMode != 0) {
        if (UndoKeyValid(e)) {
            KeyAt(ws, e.UndoEntry, e.UndoFace, UndoKeyIndex(e)) = e.UndoBuffer[e.UndoFace][1];
            ShowIfOnScreen(ws, refresh, e.UndoEntry, e.UndoFace, UndoKeyIndex(e));
        }
        if (e.KeyCopyMode == 2 && e.UndoCutPaste == kFirstCutPasteClearedSource &&
            CopySourceKeyValid(e)) {
            KeyAt(ws, e.CopySourceEntry, e.CopySourceFace, CopySourceKeyIndex(e)) =
                e.CopyBuffer[e.CopySourceFace][1];
            ShowIfOnScreen(ws, refresh, e.CopySourceEntry, e.CopySourceFace,
                           CopySourceKeyIndex(e));
        }
    }

    if (e.EntryCopyMode != 0 && ValidEntry(e.UndoEntry)) {
        PasteEntryKeys(ws.labelSet.Entries[e.UndoEntry], e.UndoBuffer);
        bool shown = e.UndoEntry == e.CurrentEntry;
        refresh.entry = refresh.entry || shown;
        if (e.EntryCopyMode == 2 && e.UndoCutPaste == kFirstCutPasteClearedSource &&
            ValidEntry(e.CopySourceEntry)) {
            PasteEntryKeys(ws.labelSet.Entries[e.CopySourceEntry], e.CopyBuffer);
            shown = shown || e.CopySourceEntry == e.CurrentEntry;
        }
        refresh.face = refresh.face || shown;
    }

    // The first paste of a cut undone: the cut is where it came from again, and the next
    // paste moves it.
    if ((e.KeyCopyMode == 2 || e.EntryCopyMode == 2) && e.UndoCutPaste != kNotFirstCutPaste) {
        e.CutPasted = 0;
        e.UndoCutPaste = kNotFirstCutPaste;
    }

    const bool fieldChange = e.FormatCopied || e.ChangedBackColor || e.ChangedFontColor ||
                             e.ChangedFontName || e.ChangedFontSize || e.ChangedFontStyle ||
                             e.ChangedText || e.ChangedAlignment || e.ChangedLayout;
    if (fieldChange && UndoKeyValid(e)) {
        KeyLabel& key = KeyAt(ws, e.UndoEntry, e.UndoFace, UndoKeyIndex(e));
        const KeyLabel& before = e.CopyBuffer[e.UndoFace][1];
        if (e.FormatCopied) key = e.UndoBuffer[e.UndoFace][1];
        if (e.ChangedBackColor) key.BackColor = before.BackColor;
        if (e.ChangedFontName || e.ChangedFontSize || e.ChangedFontStyle || e.ChangedFontColor) {
            if (e.ChangedFontName) key.FontName = before.FontName;
            if (e.ChangedFontSize) key.FontSize = before.FontSize;
            if (e.ChangedFontStyle) key.FontStyle = before.FontStyle;
            if (e.ChangedFontColor) key.FontColor = before.FontColor;
            // Showing the key in the other font may have re-flowed its lines.
            key.Line1 = before.Line1;
            key.Line2 = before.Line2;
        }
        if (e.ChangedText) {
            key.Line1 = before.Line1;
            key.Line2 = before.Line2;
        }
        if (e.ChangedAlignment) key.Alignment = before.Alignment;
        if (e.ChangedLayout) key.Layout = before.Layout;
        ShowIfOnScreen(ws, refresh, e.UndoEntry, e.UndoFace, UndoKeyIndex(e));
    }

    UpdateEditCommandStates(e, EditEvent::Undone);
    return refresh;
}

Refresh Deselect(Workspace& ws) {
    EditorState& e = ws.editor;
    e.CopySourceEntry = 0;
    e.CopySourceFace = 0;
    e.CopySourceKeyPos = 0;
    e.CopySourceKeyOffset = 0;
    ClearUndoFlags(e);
    UpdateEditCommandStates(e, EditEvent::Deselected);
    return {};
}

void RecordKeyChange(Workspace& ws, ChangeKinds kinds, int face) {
    EditorState& e = ws.editor;
    if (face == 0) face = e.CurrentFace;
    if (kinds == 0 || !ValidFace(face) || !ValidEntry(e.CurrentEntry) ||
        !ValidKeyIndex(e.CurrentKeyIndex()))
        return;
    ClearUndoFlags(e);
    e.ChangedBackColor = (kinds & kChangeBackColor) ? 1 : 0;
    e.ChangedFontColor = (kinds & kChangeFontColor) ? 1 : 0;
    e.ChangedFontName = (kinds & kChangeFontName) ? 1 : 0;
    e.ChangedFontSize = (kinds & kChangeFontSize) ? 1 : 0;
    e.ChangedFontStyle = (kinds & kChangeFontStyle) ? 1 : 0;
    e.ChangedText = (kinds & kChangeText) ? 1 : 0;
    e.ChangedAlignment = (kinds & kChangeAlignment) ? 1 : 0;
    e.ChangedLayout = (kinds & kChangeLayout) ? 1 : 0;

    e.UndoEntry = e.CurrentEntry;
    e.UndoFace = face;
    e.UndoKeyPos = e.CurrentKeyPos;
    e.UndoKeyOffset = e.KeyOffset;

    const KeyLabel& key = KeyAt(ws, e.CurrentEntry, face, e.CurrentKeyIndex());
    KeyLabel& before = e.CopyBuffer[face][1];
    if (e.ChangedBackColor) before.BackColor = key.BackColor;
    if (e.ChangedFontColor) before.FontColor = key.FontColor;
    if (e.ChangedFontName) before.FontName = key.FontName;
    if (e.ChangedFontSize) before.FontSize = key.FontSize;
    if (e.ChangedFontStyle) before.FontStyle = key.FontStyle;
    if (e.ChangedAlignment) before.Alignment = key.Alignment;
    if (e.ChangedLayout) before.Layout = key.Layout;
    if (kinds & (kChangeText | kChangeFontColor | kChangeFontName | kChangeFontSize |
                 kChangeFontStyle)) {
        before.Line1 = key.Line1;
        before.Line2 = key.Line2;
    }
    UpdateEditCommandStates(e, EditEvent::ChangeRecorded);
}

void RecordFace(Workspace& ws, int entry, int face) {
    EditorState& e = ws.editor;
    if (!ValidEntry(entry) || !ValidFace(face)) return;
    // Only the flags that name an undo record go; those of the clipboard stay.
    e.ChangedBackColor = e.ChangedFontColor = e.ChangedFontName = e.ChangedFontSize = 0;
    e.ChangedFontStyle = e.ChangedText = e.ChangedAlignment = e.ChangedLayout = 0;
    e.EntryKeysRecorded = 0;
    // The paste recorded before is no longer the one undo acts on: a cut stays moved.
    e.UndoCutPaste = kNotFirstCutPaste;
    e.FaceRecorded = 1;
    e.UndoEntry = entry;
    e.UndoFace = face;
    e.UndoFaceContent = ws.labelSet.Entries[entry].Faces[face];
    UpdateEditCommandStates(e, EditEvent::FaceRecorded);
}

void RecordEntryKeys(Workspace& ws) {
    EditorState& e = ws.editor;
    if (!ValidEntry(e.CurrentEntry)) return;
    ClearUndoFlags(e);
    e.EntryKeysRecorded = 1;
    e.UndoEntry = e.CurrentEntry;
    CopyEntryKeys(e.UndoBuffer, ws.labelSet.Entries[e.CurrentEntry]);
    UpdateEditCommandStates(e, EditEvent::ChangeRecorded);
}

}  // namespace sw::model
