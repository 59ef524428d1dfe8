// One running program per user: a second start asks the running one for its main window's
// title and, while that title is exactly "Stripwise２", raises it and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace sw::app {

// The title a running instance must show for a second start to give way to it.
extern const char* const kApplicationTitle;  // "Stripwise２"

// How many programs of one user can listen at the same time.
constexpr int kInstanceSlots = 8;

// Local socket of listening slot 0..kInstanceSlots-1 of this user (in XDG_RUNTIME_DIR when
// it is set, else in the temporary folder).
QString InstanceSocketName(int slot);

// Asks every listening instance of this user for its title; raises the first whose title
// is exactly "Stripwise２" and returns true. False when there is none: this start goes on.
bool RaiseRunningInstance(int timeoutMs = 1500);

// Answers the questions of later starts for the given window: its title, and raising it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QWidget* window, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens on the first free slot; false when every slot is taken (the program still runs).
    bool Listen();
    QString socketName() const;

private:
    void Answer();

    QWidget* m_window;
    QLocalServer* m_server;
};

}  // namespace sw::app
