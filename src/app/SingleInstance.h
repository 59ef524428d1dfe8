// One running program per user and display: a second start asks the running one for its
// main window's title and, while that title is exactly "Stripwise２", raises it (handing
// it the file to open, if one was named) and ends.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QString>
#include <functional>

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

// Asks every listening instance of this user on this display for its title; the first
// whose title is exactly "Stripwise２" is raised (with any dialog it shows) and, when
// `file` is not empty, opens it. True when one did: this start ends. False when there is
// none, or it shows a dialog and cannot open the file now: this start goes on.
bool HandToRunningInstance(const QString& file, int timeoutMs = 1500);
inline bool RaiseRunningInstance(int timeoutMs = 1500) { return HandToRunningInstance({}, timeoutMs); }

// Answers the questions of later starts for the given window: its title, raising it, and
// opening a file in it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QWidget* window, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Where a file handed over by a later start goes (after the answer has been sent).
    void SetFileOpener(std::function<void(const QString&)> opener) { m_opener = std::move(opener); }

    // Listens on the first free slot; false when every slot is taken or there is no
    // private folder (the program still runs).
    bool Listen();
    QString socketName() const;
    // Connections being answered now.
    int connections() const { return m_connections; }

private:
    void Answer();
    void Serve(QLocalSocket* socket);
    void Raise();

    QWidget* m_window;
    QLocalServer* m_server;
    std::function<void(const QString&)> m_opener;
    int m_connections = 0;
};

}  // namespace sw::app
