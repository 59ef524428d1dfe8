// The program's windows put together: the main window with its command table, then the
// preview window, created once and kept hidden until the preview command shows it.
#pragma once

#include <memory>

#include "model/Workspace.h"

namespace sw::editor {
class TfrmMain;
}
namespace sw::render {
class PrintTarget;
class TfrmPreview;
}

namespace sw::app {

class Commands;
class Dialogs;

// Qt's own texts (the buttons and labels of the file, colour and print dialogs) in Japanese,
// like the rest of the program, whatever the desktop's language. False when Qt's Japanese
// translation is not installed: those texts then stay in English.
bool InstallJapaneseQtTexts();

class Program {
public:
    Program(sw::model::Workspace& ws, Dialogs& dialogs, sw::render::PrintTarget& printer);
    ~Program();

    sw::editor::TfrmMain& main() { return *m_main; }
    Commands& commands() { return *m_commands; }
    sw::render::TfrmPreview& preview() { return *m_preview; }

private:
    sw::model::Workspace& m_ws;
    std::unique_ptr<sw::editor::TfrmMain> m_main;
    std::unique_ptr<Commands> m_commands;
    sw::render::TfrmPreview* m_preview = nullptr;  // a child of the main window
};

}  // namespace sw::app
