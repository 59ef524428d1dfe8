// Face copy and clear on the current entry.
#include "model/FaceOps.h"

#include "model/Clipboard.h"

namespace sw::model {

namespace {
constexpr int kClearedFacePosition = 7;
}

Refresh CopyFaceTo(Workspace& ws, int targetFace) {
    const EditorState& e = ws.editor;
    if (targetFace < 1 || targetFace > kFaceCount || targetFace == e.CurrentFace ||
        e.CurrentFace < 1 || e.CurrentFace > kFaceCount)
        return {};
    ManagementEntry& entry = ws.labelSet.Entries[e.CurrentEntry];
    const PrintFace& from = entry.Faces[e.CurrentFace];
    PrintFace copy = entry.Faces[targetFace];
    copy.PictureFile = from.PictureFile;
    copy.PictureLayout = from.PictureLayout;
    copy.BackgroundMode = from.BackgroundMode;
    copy.BackgroundColor = from.BackgroundColor;
    for (int k = 1; k <= kKeyCount; ++k) {
        const std::uint8_t ownLayout = copy.Keys[k].Layout;
        copy.Keys[k] = from.Keys[k];
        copy.Keys[k].Layout = ownLayout;
    }
    // A copy that changes nothing keeps the undo record as it is.
    if (copy == entry.Faces[targetFace]) return {};
    RecordFace(ws, e.CurrentEntry, targetFace);
    entry.Faces[targetFace] = std::move(copy);
    return {};
}

Refresh ClearFace(Workspace& ws) {
    EditorState& e = ws.editor;
    if (e.CurrentFace < 1 || e.CurrentFace > kFaceCount) return {};
    PrintFace& face = ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
    if (!(face == PrintFace{})) RecordFace(ws, e.CurrentEntry, e.CurrentFace);
    face = PrintFace{};
    e.CurrentKeyPos = kClearedFacePosition;
    Refresh refresh;
    refresh.entry = true;
    refresh.face = true;
    refresh.currentKey = true;
    return refresh;
}

OneBased<bool, kFaceCount> CopyButtonsEnabled(int currentFace) {
    OneBased<bool, kFaceCount> enabled;
    for (int n = 1; n <= kFaceCount; ++n) enabled[n] = n != currentFace;
    return enabled;
}

}  // namespace sw::model
