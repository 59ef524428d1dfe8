// Reset values and key ranges of the label set, and the editor's copy buffers.
#include "model/LabelSet.h"

#include "model/EditorState.h"

namespace sw::model {

const Bytes kDefaultFontName = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

KeyRange KeyRangeFor(std::int32_t buttonModel) {
    if (buttonModel == kModel30) return {0, 1, 30};
    return {6, 7, 24};
}

bool PositionPrinted(std::int32_t buttonModel, int position) {
    if (position < 1 || position > kKeyCount) return false;
    if (buttonModel == kModel30) return true;
    if (buttonModel == kModel18) return position >= 7 && position <= 24;
    return false;
}

void ResetDocument(LabelSet& set) {
    for (ManagementEntry& entry : set.Entries) entry = ManagementEntry{};
}

KeyLabel ZeroKeyLabel() {
    KeyLabel key;
    key.Alignment = 0;
    key.Layout = 0;
    key.BackColor = 0;
    key.FontColor = 0;
    key.FontName.clear();
    key.FontStyle = 0;
    key.FontSize = 0;
    return key;
}

EditorState::EditorState() {
    // Until the first "新規作成" the buffers hold zeroes, not reset values.
    for (auto& face : CopyBuffer)
        for (KeyLabel& key : face) key = ZeroKeyLabel();
    UndoBuffer = CopyBuffer;
}

void EditorState::ApplyKeyRange(const KeyRange& range) {
    KeyOffset = range.KeyOffset;
    FirstKeyPos = range.FirstKeyPos;
    LastKeyPos = range.LastKeyPos;
}

void ClearUndoFlags(EditorState& state) {
    state.KeyCopyMode = 0;
    state.EntryCopyMode = 0;
    state.FormatCopied = 0;
    state.ChangedBackColor = 0;
    state.ChangedFontColor = 0;
    state.ChangedFontName = 0;
    state.ChangedFontSize = 0;
    state.ChangedFontStyle = 0;
    state.ChangedText = 0;
    state.ChangedAlignment = 0;
    state.ChangedLayout = 0;
    state.EntryKeysRecorded = 0;
    state.FaceRecorded = 0;
    state.CutPasted = 0;
    state.UndoCutPaste = 0;
}

void ResetCopyBuffers(EditorState& state) {
    state.CopySourceEntry = state.CurrentEntry;
    for (auto& face : state.CopyBuffer)
        for (KeyLabel& key : face) key = KeyLabel{};
    state.UndoBuffer = state.CopyBuffer;
    ClearUndoFlags(state);
}

}  // namespace sw::model
