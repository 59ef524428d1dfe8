// The single-instance rule over local sockets in a folder private to the user. Questions,
// one a line, TOKEN being the asking start's activation token (percent-encoded, "-" for none):
// "TITLE" is answered with the main window's title; "RAISE TOKEN" brings it forward;
// "OPEN TOKEN path" brings it forward and opens the file; "SHOWS TOKEN device:inode" brings
// it forward and answers "YES" when it shows that file, else "NO"; "WHERE" tells its frame
// "x y width height" and the height of its title bar.
#include "app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "app/WindowActivation.h"
#include "model/ScreenFit.h"

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

// A token as one word of a message: percent-encoded, "-" when there is none.
QByteArray TokenWord(const QByteArray& token) {
    if (token.isEmpty() || token.size() > kMaxActivationTokenBytes) return "-";
    return token.toPercentEncoding({}, "-");
}

QByteArray TokenOf(const QByteArray& word) {
    return word == "-" ? QByteArray() : QByteArray::fromPercentEncoding(word);
}

// Connects to every listening program of this user on this display but the one at
// `ownSocket`, in slot order, until `ask` returns true. False when none did.
bool AskEachRunning(const QString& ownSocket, int timeoutMs, const std::function<bool(QLocalSocket&)>& ask) {
    for (int slot = 0; slot < kInstanceSlots; ++slot) {
        const QString name = InstanceSocketName(slot);
        if (name.isEmpty()) return false;
        if (name == ownSocket) continue;
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(timeoutMs)) continue;
        if (ask(socket)) return true;
    }
    return false;
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

bool BringForwardWindowShowing(const QString& file, const QByteArray& token, const QString& ownSocket,
                               int timeoutMs) {
    const std::optional<sw::model::FileKey> key =
        sw::model::FileKeyOf(QFile::encodeName(QDir(file).absolutePath()).toStdString());
    if (!key) return false;
    const QByteArray question =
        "SHOWS " + TokenWord(token) + ' ' + QByteArray::number(static_cast<qulonglong>(key->device)) + ':' +
        QByteArray::number(static_cast<qulonglong>(key->inode));
    return AskEachRunning(ownSocket, timeoutMs,
                          [&](QLocalSocket& socket) { return Ask(socket, question, timeoutMs) == "YES"; });
}

bool HandToRunningInstance(const QString& file, const QByteArray& token, int timeoutMs) {
    if (!file.isEmpty() && BringForwardWindowShowing(file, token, {}, timeoutMs)) return true;
    QByteArray request = "RAISE " + TokenWord(token);
    if (!file.isEmpty()) {
        request = "OPEN " + TokenWord(token) + ' ' + QDir(file).absolutePath().toUtf8();
        // A name the running program would not take opens in a window of this start.
        if (request.size() >= kInstanceMessageBytes || request.contains('\n')) return false;
    }
    return AskEachRunning({}, timeoutMs, [&](QLocalSocket& socket) {
        const QByteArray title = Ask(socket, "TITLE", timeoutMs);
        if (QString::fromUtf8(title) != QString::fromUtf8(kApplicationTitle)) return false;
        return Ask(socket, request, timeoutMs) == "OK";
    });
}

std::vector<RunningWindow> RunningWindows(const QString& ownSocket, int timeoutMs) {
    std::vector<RunningWindow> windows;
    AskEachRunning(ownSocket, timeoutMs, [&](QLocalSocket& socket) {
        const QList<QByteArray> numbers = Ask(socket, "WHERE", timeoutMs).split(' ');
        if (numbers.size() != 5) return false;
        int values[5] = {};
        for (int i = 0; i < 5; ++i) {
            bool ok = false;
            values[i] = numbers[i].toInt(&ok);
            if (!ok) return false;
        }
        windows.push_back({QRect(values[0], values[1], values[2], values[3]), values[4]});
        return false;  // on to the next
    });
    return windows;
}

void PlaceBesideRunningWindows(QWidget* window, const QString& ownSocket) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    const std::vector<RunningWindow> others = RunningWindows(ownSocket);
    if (others.empty()) return;
    std::vector<sw::model::ScreenRect> places;
    int titleBar = 0;
    for (const RunningWindow& other : others) {
        places.push_back({other.frame.x(), other.frame.y(), other.frame.width(), other.frame.height()});
        titleBar = std::max(titleBar, other.titleBar);
    }
    // Without a window manager there is no title bar to show; a step of the style's own
    // still keeps the window from hiding the other.
    if (titleBar <= 0) titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const sw::model::ScreenRect place =
        sw::model::CascadeFrom({window->x(), window->y(), window->width(), window->height() + titleBar}, places,
                               titleBar, {area.x(), area.y(), area.width(), area.height()});
    window->move(place.left, place.top);
}

InstanceServer::InstanceServer(QWidget* window, QObject* parent)
    : QObject(parent), activate(ActivateWindow), m_window(window), m_server(new QLocalServer(this)) {
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

bool InstanceServer::Shows(const sw::model::FileKey& key) const {
    if (!m_shown) return false;
    const sw::model::FileIdentity shown = m_shown();
    // The file its name leads to now: a file replaced under that name since it was opened
    // (by another program's save) is still the file the window shows.
    return shown.known() && sw::model::FileKeyOf(shown.path) == key;
}

QByteArray InstanceServer::Reply(const QByteArray& question) {
    // The words after the question's own; `count` of them, the last taking the rest of the line.
    auto words = [&question](qsizetype count) {
        const qsizetype space = question.indexOf(' ');
        const QByteArray rest = space < 0 ? QByteArray() : question.mid(space + 1);
        QList<QByteArray> list;
        qsizetype from = 0;
        while (list.size() + 1 < count) {
            const qsizetype next = rest.indexOf(' ', from);
            if (next < 0) break;
            list << rest.mid(from, next - from);
            from = next + 1;
        }
        list << rest.mid(from);
        return list;
    };
    const QByteArray verb = question.left(question.indexOf(' ') < 0 ? question.size() : question.indexOf(' '));
    if (question == "TITLE") return m_window->windowTitle().toUtf8();
    if (question == "WHERE") {
        const QRect frame = m_window->frameGeometry();
        return QByteArray::number(frame.x()) + ' ' + QByteArray::number(frame.y()) + ' ' +
               QByteArray::number(frame.width()) + ' ' + QByteArray::number(frame.height()) + ' ' +
               QByteArray::number(m_window->geometry().y() - frame.y());
    }
    if (verb == "RAISE") {
        activate(m_window, question == "RAISE" ? QByteArray() : TokenOf(words(1).value(0)));
        return "OK";
    }
    if (verb == "SHOWS") {
        const QList<QByteArray> w = words(2);
        const QList<QByteArray> key = w.value(1).split(':');
        bool deviceOk = false;
        bool inodeOk = false;
        const qulonglong device = key.value(0).toULongLong(&deviceOk);
        const qulonglong inode = key.value(1).toULongLong(&inodeOk);
        if (w.size() != 2 || key.size() != 2 || !deviceOk || !inodeOk) return {};
        if (!Shows({static_cast<dev_t>(device), static_cast<ino_t>(inode)})) return "NO";
        activate(m_window, TokenOf(w[0]));
        return "YES";
    }
    if (verb == "OPEN" && m_opener) {
        // "OPEN token path"; a start of an earlier version sends "OPEN path" (a path begins
        // with "/", a token word never does).
        QList<QByteArray> w = words(2);
        if (question.mid(5).startsWith('/')) w = {"-", question.mid(5)};
        if (w.size() != 2 || w[1].isEmpty()) return {};
        activate(m_window, TokenOf(w[0]));
        // Not while a dialog is open: the start that asked opens the file itself.
        if (QApplication::activeModalWidget()) return "BUSY";
        const QString file = QString::fromUtf8(w[1]);
        QTimer::singleShot(0, this, [this, file] { m_opener(file); });
        return "OK";
    }
    return {};
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
            const QByteArray reply = Reply(line.chopped(1));
            if (reply.isEmpty()) return cutOff();
            socket->write(reply + '\n');
            socket->flush();
        }
        // A question longer than any this program asks is not waited for.
        if (socket->bytesAvailable() > kInstanceMessageBytes) cutOff();
    };
    connect(socket, &QLocalSocket::readyRead, this, answer);
    answer();  // a question may have come with the connection
}

}  // namespace sw::app
