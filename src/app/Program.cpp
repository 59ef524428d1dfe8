// Creation order of the program's windows.
#include "app/Program.h"

#include "app/Commands.h"
#include "editor/TfrmMain.h"

namespace sw::app {

Program::Program(sw::model::Workspace& ws, Dialogs& dialogs)
    : m_main(std::make_unique<sw::editor::TfrmMain>(ws, dialogs)),
      m_commands(std::make_unique<Commands>(*m_main, dialogs)) {}

Program::~Program() {
    m_commands.reset();
    m_main.reset();
}

}  // namespace sw::app
