// The single-instance rule over local sockets: "TITLE" is answered with the main window's
// title, "RAISE" restores and raises it.
#include "app/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace sw::app {

const char* const kApplicationTitle = "Stripwise２";

namespace {

QByteArray Ask(QLocalSocket& socket, const QByteArray& question, int timeoutMs) {
    socket.write(question + '\n');
    // Nothing may be left to write by now, so the result says nothing.
    socket.waitForBytesWritten(timeoutMs);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return {};
    }
    return socket.readLine().chopped(1);
}

}  // namespace

QString InstanceSocketName(int slot) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
    return QStringLiteral("%1/stripwise2-%2-%3").arg(folder).arg(::getuid()).arg(slot);
}

bool RaiseRunningInstance(int timeoutMs) {
    for (int slot = 0; slot < kInstanceSlots; ++slot) {
        QLocalSocket socket;
        socket.connectToServer(InstanceSocketName(slot));
        if (!socket.waitForConnected(timeoutMs)) continue;
        const QByteArray title = Ask(socket, "TITLE", timeoutMs);
        if (QString::fromUtf8(title) != QString::fromUtf8(kApplicationTitle)) continue;
        Ask(socket, "RAISE", timeoutMs);
        return true;
    }
    return false;
}

InstanceServer::InstanceServer(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::Answer);
}

InstanceServer::~InstanceServer() { m_server->close(); }

bool InstanceServer::Listen() {
    for (int slot = 0; slot < kInstanceSlots; ++slot) {
        const QString name = InstanceSocketName(slot);
        // A slot whose socket answers belongs to a running program; one that does not is
        // left over from a program that ended without cleaning up.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200)) continue;
        QLocalServer::removeServer(name);
        if (m_server->listen(name)) return true;
    }
    return false;
}

QString InstanceServer::socketName() const { return m_server->fullServerName(); }

void InstanceServer::Answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto answer = [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray question = socket->readLine().trimmed();
                if (question == "TITLE") {
                    socket->write(m_window->windowTitle().toUtf8() + '\n');
                } else if (question == "RAISE") {
                    if (m_window->isMinimized()) m_window->showNormal();
                    m_window->raise();
                    m_window->activateWindow();
                    socket->write("OK\n");
                }
                socket->flush();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, answer);
        answer();  // a question may have come with the connection
    }
}

}  // namespace sw::app
