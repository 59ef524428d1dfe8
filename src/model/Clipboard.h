// The editor's own clipboard (one key, one key's format, or all keys of an entry), its
// one-level undo, and the five edit command states, as plain operations on the workspace.
//
// After every operation here the window sets the menus and tool buttons from the five
// command states of EditorState (PasteEnabled → N7 and ToolButton10, FormatPasteEnabled →
// N5, EntryPasteEnabled → N11 and ToolButton13, DeselectEnabled → N9, UndoEnabled →
// Undo1), then answers the returned Refresh in this order: ShowEntry, ShowFace,
// ShowKey(p) for each position, ShowCurrentKey.
#pragma once

#include "model/Refresh.h"
#include "model/Workspace.h"

namespace sw::model {

// What a formatting or text command changes, recorded for undo. The font dialog may
// combine several of the four font kinds with |; every other command records one kind.
enum ChangeKind : unsigned {
    kChangeBackColor = 1u << 0,
    kChangeFontColor = 1u << 1,
    kChangeFontName = 1u << 2,
    kChangeFontSize = 1u << 3,
    kChangeFontStyle = 1u << 4,
    kChangeText = 1u << 5,
    kChangeAlignment = 1u << 6,
    kChangeLayout = 1u << 7,
};
using ChangeKinds = unsigned;

// The events after which the edit command states are set.
enum class EditEvent {
    Reset,           // start, "新規作成", a loaded file: all off
    KeyCopied,       // KeyCopy, KeyCut: paste and deselect on
    FormatCopied,    // FormatCopy: format paste and deselect on
    EntryCopied,     // EntryCopy, EntryCut: entry paste and deselect on
    Pasted,          // KeyPaste, FormatPaste, EntryPaste: undo on, the rest unchanged
    ChangeRecorded,  // RecordKeyChange, RecordEntryKeys: only undo on
    FaceRecorded,    // RecordFace: undo on, the rest unchanged
    Undone,          // UndoLastChange: undo off, the rest unchanged
    Deselected,      // Deselect: all off
};

// The command-state table: the five edit command states as they are after event.
void UpdateEditCommandStates(EditorState& editor, EditEvent event);

// True when CurrentKeyPos - KeyOffset names a key index 1..30.
bool HasCurrentKey(const EditorState& editor);

// Key index CurrentKeyPos - KeyOffset of face CurrentFace of entry CurrentEntry.
// Only while HasCurrentKey.
KeyLabel& CurrentKey(Workspace& ws);

// The grid position at which key index keyIndex of (entry, face) is on screen now, or 0
// when that key is not shown (another entry or face, or a key the current model hides).
int ShownPosition(const Workspace& ws, int entry, int face, int keyIndex);

// Copies the current key to the clipboard (KeyCut: as a cut, whose source is cleared by
// the first paste). Changes nothing on screen: the window only applies the command states.
Refresh KeyCopy(Workspace& ws);
Refresh KeyCut(Workspace& ws);

// Pastes the key clipboard into the current key; a cut also clears its source key, once.
// Does nothing unless the paste state is on. The window shows the returned positions
// (the current key and, when it is on screen, the cleared source).
Refresh KeyPaste(Workspace& ws);

// Copies the format (all but the two lines) of the current key. Nothing to show.
Refresh FormatCopy(Workspace& ws);

// Pastes the copied format into the current key; its two lines stay. Does nothing unless
// the format paste state is on. The window shows the current position.
Refresh FormatPaste(Workspace& ws);

// Copies all 4 × 30 key labels of the current entry (EntryCut: as a cut). Backgrounds,
// name and key model are not copied. The window runs ShowCurrentKey.
Refresh EntryCopy(Workspace& ws);
Refresh EntryCut(Workspace& ws);

// Replaces all 4 × 30 key labels of the current entry with the entry clipboard; a cut
// also clears the keys of its source entry, once. Backgrounds, name and key model stay.
// Does nothing unless the entry paste state is on. The window runs ShowEntry and
// ShowFace, then puts the focus into edtName.
Refresh EntryPaste(Workspace& ws);

// Undoes the recorded paste or key change. Does nothing unless the undo state is on.
// The window shows what the Refresh names (restored keys that are on screen, or the
// entry and face after an entry paste is undone).
Refresh UndoLastChange(Workspace& ws);

// Forgets the clipboard, its source and the undo record; all five states off. The
// buffers keep their contents. Nothing to show.
Refresh Deselect(Workspace& ws);

// Records the values the given kinds of change are about to overwrite in the current
// key (on face `face`, 0 = CurrentFace), before the command stores its new values:
// empties every clipboard and makes this the undo record. Callers record only when the
// value really changes. The command that calls it shows the key.
void RecordKeyChange(Workspace& ws, ChangeKinds kinds, int face = 0);

// Records face `face` of entry `entry` as it stands, before a face copy writes over it or
// the face is cleared: the whole face comes back with 元に戻す. It replaces the earlier
// undo record (a misclick that wipes a face matters more than the last key change), but,
// unlike a recorded key change, it leaves the clipboard and the paste commands as they are.
void RecordFace(Workspace& ws, int entry, int face);

// Records all 4 × 30 keys of the current entry before a command rewrites many of them at
// once (key texts read from CSV): empties every clipboard, as a recorded change does, and
// makes this the undo record, which puts every key of the entry back.
void RecordEntryKeys(Workspace& ws);

}  // namespace sw::model
