// The single-instance rule over local sockets in a folder private to the user: "TITLE" is
// answered with the main window's title, "RAISE" restores and raises it, "OPEN path"
// raises it and opens the file.
#include "app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
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

bool IsPrivateFolder(const QString& path, uid_t uid) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 0777) == 0700;
}

QString InstanceFolder() {
    const uid_t uid = ::getuid();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) return IsPrivateFolder(runtime, uid) ? runtime : QString();
    // Made by us with no access for anyone else, or found so; a folder of that name that
    // someone else made (or opened up) is not used.
    const QString folder = QStringLiteral("%1/stripwise2-%2").arg(QDir::tempPath()).arg(uid);
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return IsPrivateFolder(folder, uid) ? folder : QString();
}

QString DisplayTag() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) return QStringLiteral("none");
    // ":0", "localhost:10.0", "wayland-0", or a path: letters, digits, "." and "-" kept.
    QString tag;
    for (QChar c : display.left(64))
        tag += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('.') || c == QLatin1Char('-')
                   ? c
                   : QLatin1Char('_');
    return tag;
}

QString InstanceSocketName(int slot) {
    const QString folder = InstanceFolder();
    if (folder.isEmpty()) return {};
    return QStringLiteral("%1/stripwise2-%2-%3-%4").arg(folder).arg(::getuid()).arg(DisplayTag()).arg(slot);
}

bool HandToRunningInstance(const QString& file, int timeoutMs) {
    QByteArray request = "RAISE";
    if (!file.isEmpty()) {
        request = "OPEN " + QDir(file).absolutePath().toUtf8();
        // A name the running program would not take opens in a window of this start.
        if (request.size() >= kInstanceMessageBytes || request.contains('\n')) return false;
    }
    for (int slot = 0; slot < kInstanceSlots; ++slot) {
        const QString name = InstanceSocketName(slot);
        if (name.isEmpty()) return false;
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(timeoutMs)) continue;
        const QByteArray title = Ask(socket, "TITLE", timeoutMs);
        if (QString::fromUtf8(title) != QString::fromUtf8(kApplicationTitle)) continue;
        return Ask(socket, request, timeoutMs) == "OK";
    }
    return false;
}

InstanceServer::InstanceServer(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(kInstanceConnections);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::Answer);
}

InstanceServer::~InstanceServer() { m_server->close(); }

bool InstanceServer::Listen() {
    for (int slot = 0; slot < kInstanceSlots; ++slot) {
        const QString name = InstanceSocketName(slot);
        if (name.isEmpty()) return false;
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

void InstanceServer::Raise() {
    if (m_window->isMinimized()) m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
    // A dialog the window shows comes to the front with it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != m_window) {
        modal->raise();
        modal->activateWindow();
    }
}

void InstanceServer::Answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections >= kInstanceConnections) {
            // Busy with others: this one is cut off at once (its start runs on its own).
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Serve(socket);
    }
}

void InstanceServer::Serve(QLocalSocket* socket) {
    ++m_connections;
    connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QPointer<QLocalSocket> guard(socket);
    auto cutOff = [guard] {
        if (!guard) return;
        guard->abort();
        guard->deleteLater();
    };
    // A start asks within moments; a connection that lingers is closed.
    QTimer::singleShot(kInstanceDeadlineMs, socket, cutOff);
    auto answer = [this, socket, cutOff] {
        while (socket->canReadLine()) {
            const QByteArray line = socket->readLine(kInstanceMessageBytes + 1);
            if (!line.endsWith('\n')) return cutOff();
            const QByteArray question = line.chopped(1);
            if (question == "TITLE") {
                socket->write(m_window->windowTitle().toUtf8() + '\n');
            } else if (question == "RAISE") {
                Raise();
                socket->write("OK\n");
            } else if (question.startsWith("OPEN ") && m_opener) {
                Raise();
                // Not while a dialog is open: the start that asked opens the file itself.
                if (QApplication::activeModalWidget()) {
                    socket->write("BUSY\n");
                } else {
                    const QString file = QString::fromUtf8(question.mid(5));
                    socket->write("OK\n");
                    QTimer::singleShot(0, this, [this, file] { m_opener(file); });
                }
            } else {
                return cutOff();
            }
            socket->flush();
        }
        // A question longer than any this program asks is not waited for.
        if (socket->bytesAvailable() > kInstanceMessageBytes) cutOff();
    };
    connect(socket, &QLocalSocket::readyRead, this, answer);
    answer();  // a question may have come with the connection
}

}  // namespace sw::app
