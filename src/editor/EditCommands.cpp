// The key, format and entry clipboard and the undo of the last change, on screen.
#include "editor/TfrmMain.h"
#include "model/Clipboard.h"

namespace sw::editor {

void TfrmMain::RunEditCommand(EditCommand command) {
    namespace m = sw::model;
    sw::model::Refresh refresh;
    switch (command) {
        case EditCommand::KeyCut: refresh = m::KeyCut(m_ws); break;
        case EditCommand::KeyCopy: refresh = m::KeyCopy(m_ws); break;
        case EditCommand::KeyPaste: refresh = m::KeyPaste(m_ws); break;
        case EditCommand::FormatCopy: refresh = m::FormatCopy(m_ws); break;
        case EditCommand::FormatPaste: refresh = m::FormatPaste(m_ws); break;
        case EditCommand::EntryCut: refresh = m::EntryCut(m_ws); break;
        case EditCommand::EntryCopy: refresh = m::EntryCopy(m_ws); break;
        case EditCommand::EntryPaste: refresh = m::EntryPaste(m_ws); break;
        case EditCommand::Undo: refresh = m::UndoLastChange(m_ws); break;
        case EditCommand::Deselect: refresh = m::Deselect(m_ws); break;
    }
    // Shows what changed, then sets the menu items and tool buttons of the five states.
    PerformRefresh(refresh);
    // A pasted entry is followed by its name field, ready for a new name.
    if (command == EditCommand::EntryPaste && !refresh.Empty()) FocusName();
}

}  // namespace sw::editor
