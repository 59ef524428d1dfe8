// The window's recovery copy kept in step with the screen, its writing when the program is
// told to end (SIGTERM, SIGHUP, SIGINT, the session manager), and the offer of copies left by
// windows that ended without saving.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/FileIdentity.h"
#include "model/LabelSet.h"
#include "model/RecoveryCopy.h"

class QSocketNotifier;
class QWidget;

namespace sw::editor {
class TfrmMain;
}

namespace sw::app {

class Commands;
class Dialogs;
class UnsavedChanges;

class RecoveryKeeper : public QObject {
public:
    // How long the copy may be behind the screen, at most, while there is input: the first
    // input after a copy starts the clock, and later input does not put it off.
    static constexpr int kIntervalMs = 1000;

    enum class Occasion {
        Screen,  // the periodic copy: a failure is told once, in a message
        Ending,  // the program is told to end: flushed to the disk, failures only on stderr
    };

    RecoveryKeeper(sw::editor::TfrmMain& window, UnsavedChanges& changes, Dialogs& dialogs, std::string folder,
                   QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // Brings the copy in step with the screen now: written when the screen holds anything
    // that is in no file, removed when not. True when the copy holds what is shown.
    bool Update(Occasion occasion);
    // The program ends on a signal or for the session: the copy stays for the next start,
    // whatever becomes of the window meanwhile.
    void KeepForNextStart() { m_keep = true; }
    bool keptForNextStart() const { return m_keep; }
    // The window is closing after its changes were settled (saved, or let go): its copy goes.
    void WindowClosing();
    // The event loop has ended: unless the window was closed, the copy is brought up to date.
    void ProgramEnding();
    // A copy found at the start, whose document is now the one shown, becomes this window's.
    void Adopt(sw::model::RecoveryCopy copy);

    const sw::model::RecoveryCopy& copy() const { return m_copy; }
    const std::string& folder() const { return m_copy.folder(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Forget();

    sw::editor::TfrmMain& m_window;
    UnsavedChanges& m_changes;
    Dialogs& m_dialogs;
    sw::model::RecoveryCopy m_copy;
    QTimer m_timer;
    std::unique_ptr<sw::model::LabelSet> m_written;  // what the copy holds
    sw::model::FileIdentity m_writtenFile;
    bool m_keep = false;
    bool m_closed = false;
    bool m_failureTold = false;
};

// SIGTERM, SIGHUP and SIGINT, each handed to `handler` from the event loop: the signal
// handler itself only writes the signal's number into a pipe that the loop watches. The
// signals' default actions come back when this object goes.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void(int)> handler, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    QSocketNotifier* m_notifier = nullptr;
    std::function<void(int)> m_handler;
};

// At the start: each copy left by a window that has gone, newest first, is offered with
// 「保存されていない変更が見つかりました（NAME、DATE）。復元しますか？」. はい opens it in the
// window (and it becomes the window's copy); いいえ removes it and the next is offered. Copies
// after the one restored stay for a later start.
void OfferRecoveredCopies(Commands& commands, RecoveryKeeper& keeper, Dialogs& dialogs, QWidget* parent);

}  // namespace sw::app
