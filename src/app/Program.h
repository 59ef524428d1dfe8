// The program's windows put together: the main window with its command table, then the
// preview window, created once and kept hidden until the preview command shows it.
#pragma once

#include <functional>
#include <memory>
#include <string>

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
class RecoveryKeeper;
class TerminationSignals;

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

    // Keeps a recovery copy of the window in `folder` (app/Recovery.h): in step with the
    // screen, written on SIGTERM, SIGHUP and SIGINT and when the session manager asks, gone
    // when the window closes after its changes were settled. After a signal, `end` ends the
    // program (by default the event loop, with 128 + the signal's number).
    void KeepRecoveryCopies(const std::string& folder, std::function<void(int)> end = {});
    // The copies left by windows that ended without saving, offered one by one.
    void OfferRecoveredCopies();
    RecoveryKeeper* recovery() { return m_recovery.get(); }

private:
    sw::model::Workspace& m_ws;
    Dialogs& m_dialogs;
    std::unique_ptr<sw::editor::TfrmMain> m_main;
    std::unique_ptr<Commands> m_commands;
    sw::render::TfrmPreview* m_preview = nullptr;  // a child of the main window
    std::unique_ptr<RecoveryKeeper> m_recovery;
    std::unique_ptr<TerminationSignals> m_signals;
};

}  // namespace sw::app
