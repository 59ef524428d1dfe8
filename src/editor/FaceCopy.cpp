// The face copy and clear buttons under the face area: 印刷面１にコピー … 印刷面４にコピー and
// この印刷面を消去. Neither asks: each records the face it overwrites, which 元に戻す brings
// back; neither touches the clipboard.
#include <QPushButton>

#include "editor/TfrmMain.h"
#include "model/FaceOps.h"

namespace sw::editor {

void TfrmMain::BindFaceCopy() {
    for (int n = 1; n <= sw::model::kFaceCount; ++n) {
        connect(m_btnCopy[static_cast<size_t>(n)], &QPushButton::clicked, this, [this, n] {
            if (EntryNumberStands()) btnCopy1Click(n);
        });
    }
    auto* clear = findChild<QPushButton*>(QStringLiteral("btnDelete"));
    connect(clear, &QPushButton::clicked, this, [this] {
        if (EntryNumberStands()) btnDeleteClick();
    });
}

void TfrmMain::btnCopy1Click(int targetFace) {
    // The target is never the face shown, so nothing on screen changes but 元に戻す.
    PerformRefresh(sw::model::CopyFaceTo(m_ws, targetFace));
}

void TfrmMain::btnDeleteClick() {
    sw::model::EditorState& e = m_ws.editor;
    // What is being typed belongs to the face about to be cleared.
    if (e.KeyEditorOpen) CloseKeyEditor();
    SetPanelLook(e.CurrentKeyPos, PanelLook::Normal);
    PerformRefresh(sw::model::ClearFace(m_ws));
}

}  // namespace sw::editor
