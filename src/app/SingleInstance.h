// One window per file, and one running program per user and display: a later start with a
// file first asks every running program whether its window shows that file; the one that
// does comes forward and the start ends. Otherwise a running program whose main window's
// title is exactly "Stripwise２" is raised (and opens the file, if one was named) and the
// start ends. Every request carries the start's activation token.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "model/FileIdentity.h"

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace sw::app {

// The title a running instance must show for a second start to give way to it.
extern const char* const kApplicationTitle;  // "Stripwise２"

// How many programs of one user can listen on one display at the same time.
constexpr int kInstanceSlots = 8;
// What a running program accepts from later starts: so many connections at a time, each
// for so long and with questions of at most so many bytes; anything else is cut off.
constexpr int kInstanceConnections = 4;
constexpr int kInstanceDeadlineMs = 2000;
constexpr int kInstanceMessageBytes = 4096;

// True when `path` is a folder (not a link) of user `uid` that no one else may enter
// (mode 0700).
bool IsPrivateFolder(const QString& path, uid_t uid);

// The folder of this user's sockets: XDG_RUNTIME_DIR, or without it a folder
// stripwise2-UID in the temporary folder, made private when it is made. Empty when that
// folder is not private to this user: the program then runs without the single-instance
// rule rather than talk through a folder someone else controls.
QString InstanceFolder();

// The display this program shows on ($WAYLAND_DISPLAY, else $DISPLAY), fit for a file name.
QString DisplayTag();

// Local socket of listening slot 0..kInstanceSlots-1 of this user on this display; empty
// without a private folder.
QString InstanceSocketName(int slot);

// A later start: when `file` is not empty and a running program's window shows it, that
// window comes forward. Otherwise every listening instance of this user on this display is
// asked for its title; the first whose title is exactly "Stripwise２" is raised (with any
// dialog it shows) and, when `file` is not empty, opens it. `token` is this start's
// activation token, handed on to the window that comes forward. True when one did: this
// start ends. False when there is none, or it shows a dialog and cannot open the file now:
// this start goes on.
bool HandToRunningInstance(const QString& file, const QByteArray& token = {}, int timeoutMs = 1500);

// Asks every running program but the one listening at `ownSocket` whether its window shows
// `file` (the file its name leads to now, by device and inode); the one that does comes
// forward with `token`. True when one did.
bool BringForwardWindowShowing(const QString& file, const QByteArray& token, const QString& ownSocket,
                               int timeoutMs = 1500);

// The main window of another running program: its place on the screen (frame included) and
// the height of its title bar (0 where no window manager draws one).
struct RunningWindow {
    QRect frame;
    int titleBar = 0;
};
std::vector<RunningWindow> RunningWindows(const QString& ownSocket, int timeoutMs = 1500);

// A window about to be shown for the first time is moved off the places of the other
// running programs' windows, by a title bar to the right and down, so that it does not open
// exactly over one of them (all read the same place from the settings file). Only where a
// program places its own windows (X11).
void PlaceBesideRunningWindows(QWidget* window, const QString& ownSocket);

// Answers the questions of later starts and other windows for the given window: its title,
// whether it shows a file, where it is, raising it, and opening a file in it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QWidget* window, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Where a file handed over by a later start goes (after the answer has been sent).
    void SetFileOpener(std::function<void(const QString&)> opener) { m_opener = std::move(opener); }
    // The file the window shows (none by default).
    void SetShownFile(std::function<sw::model::FileIdentity()> shown) { m_shown = std::move(shown); }
    // How the window is brought forward with the token of the start that asked.
    std::function<void(QWidget*, const QByteArray&)> activate;

    // Listens on the first free slot; false when every slot is taken or there is no
    // private folder (the program still runs).
    bool Listen();
    QString socketName() const;
    // Connections being answered now.
    int connections() const { return m_connections; }

private:
    void Answer();
    void Serve(QLocalSocket* socket);
    // The reply to one question; empty: the connection is cut off.
    QByteArray Reply(const QByteArray& question);
    bool Shows(const sw::model::FileKey& key) const;

    QWidget* m_window;
    QLocalServer* m_server;
    std::function<void(const QString&)> m_opener;
    std::function<sw::model::FileIdentity()> m_shown;
    int m_connections = 0;
};

}  // namespace sw::app
