// Face copy and clear on the current entry.
#include "model/FaceOps.h"

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
    PrintFace& to = entry.Faces[targetFace];
    to.PictureFile = from.PictureFile;
    to.PictureLayout = from.PictureLayout;
    to.BackgroundMode = from.BackgroundMode;
    to.BackgroundColor = from.BackgroundColor;
    for (int k = 1; k <= kKeyCount; ++k) {
        const std::uint8_t ownLayout = to.Keys[k].Layout;
        to.Keys[k] = from.Keys[k];
        to.Keys[k].Layout = ownLayout;
    }
    return {};
}

Refresh ClearFace(Workspace& ws) {
    EditorState& e = ws.editor;
    if (e.CurrentFace < 1 || e.CurrentFace > kFaceCount) return {};
    PrintFace& face = ws.labelSet.Entries[e.CurrentEntry].Faces[e.CurrentFace];
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
