// The single-instance rule with two real processes of the program.
#include <gtest/gtest.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <QWidget>
#include <QApplication>
#include <QDialog>

#include <QAction>
#include <QThread>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/WindowActivation.h"
#include "editor/TfrmMain.h"
#include "model/LabelSetFile.h"
#include "editor/WindowFixture.h"
#include "print/FakePrinter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace sw::app {
namespace {

using sw::test::TempDir;

class TwoStarts : public ::testing::Test {
protected:
    TempDir runtime;
    TempDir config;
    TempDir firstDir;
    TempDir secondDir;
    QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");

    QByteArray oldDisplay = qgetenv("DISPLAY");
    QByteArray oldWayland = qgetenv("WAYLAND_DISPLAY");

    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
        qputenv("DISPLAY", ":5");
        qunsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("DISPLAY", oldDisplay);
        if (!oldWayland.isEmpty()) qputenv("WAYLAND_DISPLAY", oldWayland);
    }
    // A label set of one named entry.
    QString WriteSet(const std::string& path) {
        auto set = std::make_unique<sw::model::LabelSet>();
        set->Entries[1].Name = "Head office";
        sw::test::WriteFileBytes(path, sw::model::WriteLabelSet(*set));
        return QString::fromStdString(path);
    }

    void Start(QProcess& process, const std::string& dir, const QStringList& args = {},
               const QString& display = QStringLiteral(":5")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path()));
        env.remove("WAYLAND_DISPLAY");
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(dir));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(SW_PROGRAM), args);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Waits until a program listens on the slot (of display :5 unless told).
    static bool Listening(int slot, const char* display = ":5") {
        const QByteArray old = qgetenv("DISPLAY");
        qputenv("DISPLAY", display);
        const QString name = InstanceSocketName(slot);
        qputenv("DISPLAY", old);
        for (int i = 0; i < 300; ++i) {
            QLocalSocket probe;
            probe.connectToServer(name);
            if (probe.waitForConnected(100)) return true;
            QTest::qWait(100);
        }
        return false;
    }
    // The title of the program listening on the slot of display :5, once it shows `wanted`.
    static QString TitleOf(int slot, const QString& wanted) {
        QString title;
        for (int i = 0; i < 100 && title != wanted; ++i) {
            QLocalSocket socket;
            socket.connectToServer(InstanceSocketName(slot));
            if (socket.waitForConnected(1000)) {
                socket.write("TITLE\n");
                while (!socket.canReadLine() && socket.waitForReadyRead(1000)) {
                }
                title = QString::fromUtf8(socket.readLine().trimmed());
            }
            if (title != wanted) QTest::qWait(100);
        }
        return title;
    }
    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(10000);
    }
};

TEST_F(TwoStarts, ASecondStartGivesWayToAnInstanceWithThePlainTitle) {
    QProcess first;
    Start(first, firstDir.path());
    ASSERT_TRUE(Listening(0));
    QProcess second;
    Start(second, secondDir.path());
    EXPECT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    // The second start read and wrote nothing.
    EXPECT_EQ(sw::test::ListFolder(secondDir.path()), "");
    Stop(first);
}

TEST_F(TwoStarts, AnInstanceWithAnotherTitleDoesNotStopASecondStart) {
    sw::test::WriteFileBytes(firstDir.path() + "/Stripwise2.ini", "[Main]\r\nCaption=Office\r\n");
    QProcess first;
    Start(first, firstDir.path());
    ASSERT_TRUE(Listening(0));
    QProcess second;
    Start(second, secondDir.path());
    ASSERT_TRUE(Listening(1));  // the second runs, and answers later starts itself
    EXPECT_EQ(second.state(), QProcess::Running);
    // A third start finds the second, which shows the plain title.
    QProcess third;
    Start(third, secondDir.path());
    EXPECT_TRUE(third.waitForFinished(30000));
    EXPECT_EQ(third.exitCode(), 0);
    Stop(second);
    Stop(first);
}

TEST_F(TwoStarts, AFileNamedAtStartOpensAndASecondStartHandsItsFileOver) {
    const QString title = QStringLiteral("Stripwise２");
    QProcess first;
    Start(first, firstDir.path(), {WriteSet(firstDir.File("first.stw"))});
    ASSERT_TRUE(Listening(0));
    EXPECT_EQ(TitleOf(0, title + QStringLiteral("＜first.stw＞")), title + QStringLiteral("＜first.stw＞"));
    // Settings went to the configuration folder, not to the start folder.
    EXPECT_EQ(sw::test::ListFolder(firstDir.path()), "first.stw\n");
    Stop(first);

    QProcess plain;
    Start(plain, firstDir.path());
    ASSERT_TRUE(Listening(0));
    ASSERT_EQ(TitleOf(0, title), title);
    QProcess second;
    // A name relative to the second start's own folder.
    WriteSet(secondDir.File("second.stw"));
    Start(second, secondDir.path(), {QStringLiteral("second.stw")});
    EXPECT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(TitleOf(0, title + QStringLiteral("＜second.stw＞")), title + QStringLiteral("＜second.stw＞"));
    // Now that it shows a file, a further start with that file, by any name, brings it
    // forward and ends; one with another file opens a window of its own.
    ASSERT_EQ(::symlink(secondDir.File("second.stw").c_str(), firstDir.File("link.stw").c_str()), 0);
    QProcess again;
    Start(again, firstDir.path(), {QStringLiteral("link.stw")});
    EXPECT_TRUE(again.waitForFinished(30000));
    EXPECT_EQ(again.exitCode(), 0);
    QProcess third;
    Start(third, firstDir.path(), {QStringLiteral("first.stw")});
    ASSERT_TRUE(Listening(1));
    EXPECT_EQ(third.state(), QProcess::Running);

    // A window of this test: a file the other program shows, dropped or opened here, brings
    // that window forward and leaves this one as it is.
    sw::test::WorkingDir cwd;
    auto ws = std::make_unique<sw::model::Workspace>();
    sw::test::ScriptedDialogs dialogs;
    sw::test::FakePrinter printer;
    Program here(*ws, dialogs, printer);
    here.commands().bringForwardWindowShowing = [](const QString& path) {
        return BringForwardWindowShowing(path, {}, {});
    };
    here.commands().OpenLabelSetFile(QString::fromStdString(firstDir.File("link.stw")), false);
    dialogs.files = {QString::fromStdString(firstDir.File("first.stw"))};
    here.main().action(QStringLiteral("Open1"))->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(here.main().windowTitle(), title);
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "");
    Stop(third);
    Stop(plain);
}

TEST_F(TwoStarts, EachDisplayHasAnInstanceOfItsOwn) {
    QProcess first;
    Start(first, firstDir.path(), {}, QStringLiteral(":5"));
    ASSERT_TRUE(Listening(0, ":5"));
    QProcess second;
    Start(second, secondDir.path(), {}, QStringLiteral(":6"));
    ASSERT_TRUE(Listening(0, ":6"));
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(second);
    Stop(first);
}

TEST_F(TwoStarts, ASocketFolderThatIsNotPrivateIsNotUsedAndTheProgramStillRuns) {
    const QString runtimeDir = QString::fromStdString(runtime.path());
    EXPECT_TRUE(IsPrivateFolder(runtimeDir, ::getuid()));
    EXPECT_FALSE(IsPrivateFolder(runtimeDir, ::getuid() + 1));  // someone else's
    TempDir open;
    ::chmod(open.path().c_str(), 0755);
    EXPECT_FALSE(IsPrivateFolder(QString::fromStdString(open.path()), ::getuid()));
    ASSERT_EQ(::symlink(runtime.path().c_str(), open.File("link").c_str()), 0);
    EXPECT_FALSE(IsPrivateFolder(QString::fromStdString(open.File("link")), ::getuid()));

    // A folder of another user: the program runs, without a socket there.
    TempDir foreign;
    const bool root = ::getuid() == 0;
    if (root) ASSERT_EQ(::chown(foreign.path().c_str(), 65534, 65534), 0);
    else ::chmod(foreign.path().c_str(), 0755);  // not ours to change: open to others instead
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(foreign.path()));
    EXPECT_EQ(InstanceSocketName(0), QString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess program;
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(foreign.path()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(firstDir.path()));
    program.start(QStringLiteral(SW_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    EXPECT_FALSE(program.waitForFinished(3000));  // still running
    EXPECT_EQ(sw::test::ListFolder(foreign.path()), "");
    EXPECT_NE(program.readAllStandardError().indexOf("not private"), -1);
    Stop(program);
}

// The running program, as later starts (or anyone else of the user) reach it: its window and
// the server answering for it, in a socket folder of the test's own.
class InstanceLimits : public ::testing::Test {
protected:
    TempDir runtime;
    QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QWidget window;
    InstanceServer server{&window};

    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
        window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", oldRuntime); }
};

TEST_F(InstanceLimits, IdleOrOverlongConnectionsAreCutOffAndDoNotBlockLaterStarts) {
    ASSERT_TRUE(server.Listen());

    // Connections that say nothing take every place for a moment ...
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < kInstanceConnections + 3; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(server.socketName());
        ASSERT_TRUE(idle.back()->waitForConnected(1000));
    }
    QTest::qWait(200);
    EXPECT_EQ(server.connections(), kInstanceConnections);
    // ... and are closed after the deadline; a start then gets its answer again.
    QTest::qWait(kInstanceDeadlineMs + 300);
    EXPECT_EQ(server.connections(), 0);

    // A question longer than any start asks is not read to its end.
    QLocalSocket flood;
    flood.connectToServer(server.socketName());
    ASSERT_TRUE(flood.waitForConnected(1000));
    flood.write(QByteArray(kInstanceMessageBytes * 4, 'x'));
    flood.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }, 1500));

    // A start's question is answered as ever.
    QLocalSocket start;
    start.connectToServer(server.socketName());
    ASSERT_TRUE(start.waitForConnected(1000));
    start.write("TITLE\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return start.canReadLine(); }, 1500));
    EXPECT_EQ(QString::fromUtf8(start.readLine().trimmed()), QString::fromUtf8(kApplicationTitle));
}

// A start while the running program shows a dialog: the window comes back with its dialog in
// front, and a file handed over then is left to the new start rather than opened behind it.
TEST_F(InstanceLimits, TheRaisedWindowBringsItsOpenDialogAndDoesNotOpenAFileBehindIt) {
    QStringList opened;
    server.SetFileOpener([&](const QString& file) { opened << file; });
    ASSERT_TRUE(server.Listen());
    window.show();
    QDialog dialog(&window);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.show();
    // Another program's window is in front (here: a window of this process the dialog does not
    // block), and the main window is minimised.
    QWidget other;
    other.show();
    other.activateWindow();
    window.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }, 3000));

    auto ask = [&](const QByteArray& question) {
        QLocalSocket start;
        start.connectToServer(server.socketName());
        if (!start.waitForConnected(1000)) return QByteArray("no connection");
        start.write(question + '\n');
        if (!QTest::qWaitFor([&] { return start.canReadLine(); }, 1500)) return QByteArray("no answer");
        return start.readLine().trimmed();
    };
    EXPECT_EQ(ask("RAISE"), "OK");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }, 3000));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(dialog.isVisible());

    EXPECT_EQ(ask("OPEN /tmp/elsewhere.stw"), "BUSY");
    QTest::qWait(100);
    EXPECT_TRUE(opened.isEmpty());
    dialog.close();
    EXPECT_EQ(ask("OPEN /tmp/elsewhere.stw"), "OK");
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == QStringList{"/tmp/elsewhere.stw"}; }, 1500));
}

// The window that shows a file answers for it by device and inode, whatever the name, and
// comes forward with the asking start's token; the others say no and stay where they are.
TEST_F(InstanceLimits, TheWindowShowingAFileComesForwardWithTheStartsToken) {
    TempDir files;
    sw::test::WriteFileBytes(files.File("shown.stw"), "shown");
    sw::test::WriteFileBytes(files.File("other.stw"), "other");
    const sw::model::FileIdentity shown = sw::model::IdentifyFile(files.File("shown.stw"), "shown");
    server.SetShownFile([&] { return shown; });
    std::vector<QByteArray> tokens;
    server.activate = [&](QWidget* window, const QByteArray& token) {
        EXPECT_EQ(window, &this->window);
        tokens.push_back(token);
    };
    QStringList opened;
    server.SetFileOpener([&](const QString& file) { opened << file; });
    ASSERT_TRUE(server.Listen());
    window.setGeometry(120, 80, 300, 200);
    window.show();

    auto ask = [&](const QByteArray& question) {
        QLocalSocket socket;
        socket.connectToServer(server.socketName());
        if (!socket.waitForConnected(1000)) return QByteArray("no connection");
        socket.write(question + '\n');
        if (!QTest::qWaitFor([&] { return socket.canReadLine(); }, 1500)) return QByteArray("no answer");
        return socket.readLine().trimmed();
    };
    auto key = [](const std::string& path) {
        const auto k = sw::model::FileKeyOf(path);
        return QByteArray::number(static_cast<qulonglong>(k->device)) + ':' +
               QByteArray::number(static_cast<qulonglong>(k->inode));
    };
    EXPECT_EQ(ask("SHOWS " + QByteArray("launch%20one_TIME42") + ' ' + key(files.File("other.stw"))), "NO");
    EXPECT_TRUE(tokens.empty());
    EXPECT_EQ(ask("SHOWS launch%20one_TIME42 " + key(files.File("shown.stw"))), "YES");
    // Replaced under its name by another program's save: still the file this window shows.
    ASSERT_EQ(::rename(files.File("other.stw").c_str(), files.File("shown.stw").c_str()), 0);
    EXPECT_EQ(ask("SHOWS - " + key(files.File("shown.stw"))), "YES");
    EXPECT_EQ(ask("RAISE startup%5Fid"), "OK");
    EXPECT_EQ(ask("OPEN x%2Fy /tmp/a b.stw"), "OK");
    EXPECT_EQ(tokens, (std::vector<QByteArray>{"launch one_TIME42", "", "startup_id", "x/y"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == QStringList{"/tmp/a b.stw"}; }, 1500));
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(ask("WHERE"), QStringLiteral("%1 %2 %3 %4 %5")
                                .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                                .arg(window.geometry().y() - frame.y()).toUtf8());
    EXPECT_EQ(ask("SHOWS nonsense"), "no answer");  // cut off
}

// A start hands its activation token on in what it asks: first whether a window shows its
// file, then to the program with the plain title.
TEST_F(InstanceLimits, AStartCarriesItsActivationTokenInEveryRequest) {
    TempDir files;
    sw::test::WriteFileBytes(files.File("a.stw"), "a");
    QList<QByteArray> heard;
    // A running program of its own thread, answering as one that shows another file.
    std::unique_ptr<QThread> running(QThread::create([&heard, name = InstanceSocketName(0)] {
        QLocalServer server;
        if (!server.listen(name)) return;
        for (int connection = 0; connection < 2; ++connection) {
            if (!server.waitForNewConnection(5000)) return;
            QLocalSocket* socket = server.nextPendingConnection();
            while (socket->waitForReadyRead(1000) || socket->canReadLine()) {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    heard << line;
                    socket->write(line == "TITLE" ? QByteArray(kApplicationTitle) + '\n'
                                                  : line.startsWith("SHOWS") ? "NO\n" : "OK\n");
                    socket->waitForBytesWritten(1000);
                }
                if (heard.last().startsWith("SHOWS") || heard.last().startsWith("OPEN")) break;
            }
            delete socket;
        }
    }));
    running->start();
    QTest::qWait(200);
    EXPECT_TRUE(HandToRunningInstance(QString::fromStdString(files.File("a.stw")), "launch one_TIME42"));
    running->wait();
    const auto key = sw::model::FileKeyOf(files.File("a.stw"));
    EXPECT_EQ(heard, (QList<QByteArray>{"SHOWS launch%20one_TIME42 " + QByteArray::number(static_cast<qulonglong>(key->device)) +
                                            ':' + QByteArray::number(static_cast<qulonglong>(key->inode)),
                                        "TITLE",
                                        "OPEN launch%20one_TIME42 " + QByteArray::fromStdString(files.File("a.stw"))}));
}

// The token handed over is the one of the platform the windows are on; under Wayland a
// launcher that sets only the startup id (GLib before 2.76) has put the compositor's token there.
TEST(WaylandActivation, AStartHandsOnTheTokenOfItsPlatform) {
    struct Case {
        const char* platform;
        StartTokens tokens;
        QByteArray handedOn;
    };
    const Case cases[] = {
        {"wayland", {"wl-token", "id_TIME5"}, "wl-token"},
        {"wayland", {"", "mutter-token_TIME0"}, "mutter-token_TIME0"},
        {"wayland-egl", {"", "mutter-token_TIME0"}, "mutter-token_TIME0"},
        {"xcb", {"wl-token", "id_TIME5"}, "id_TIME5"},
        {"xcb", {"wl-token", ""}, ""},
        {"offscreen", {"wl-token", ""}, "wl-token"},
        {"wayland", {"", ""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.platform) + " " + c.tokens.xdgActivation.toStdString() + " " +
                     c.tokens.desktopStartup.toStdString());
        EXPECT_EQ(ActivationToken(c.tokens, QString::fromLatin1(c.platform)), c.handedOn);
    }
}

// Under Wayland the window is activated with the start's token where the toolkit reads it
// (XDG_ACTIVATION_TOKEN, taken away when used); what it did not take is not left behind.
TEST(WaylandActivation, TheStartsTokenIsThereForTheActivationOnly) {
    struct Case {
        const char* platform;
        QByteArray token;
        QByteArray own;    // the program's own, from its start ("" none)
        bool taken;        // the toolkit used the token for an activation
        QByteArray during;
        QByteArray after;  // ("" none)
    };
    const Case cases[] = {
        {"wayland", "start-2", "", true, "start-2", ""},
        {"wayland", "start-2", "", false, "start-2", ""},
        {"wayland", "start-2", "start-1", false, "start-2", "start-1"},
        {"wayland-egl", "start-2", "start-1", true, "start-2", ""},
        {"wayland", "", "start-1", false, "start-1", "start-1"},
        {"xcb", "start-2_TIME9", "start-1", false, "start-1", "start-1"},
        {"offscreen", "start-2", "", false, "", ""},
    };
    const QByteArray saved = qgetenv("XDG_ACTIVATION_TOKEN");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.platform) + " " + c.token.toStdString() + " " + c.own.toStdString());
        if (c.own.isEmpty())
            qunsetenv("XDG_ACTIVATION_TOKEN");
        else
            qputenv("XDG_ACTIVATION_TOKEN", c.own);
        int activations = 0;
        ActivateWithToken(QString::fromLatin1(c.platform), c.token, [&] {
            ++activations;
            EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), c.during);
            if (c.taken) qunsetenv("XDG_ACTIVATION_TOKEN");
        });
        EXPECT_EQ(activations, 1);
        EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), c.after);
        EXPECT_EQ(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"), !c.after.isEmpty());
    }
    if (saved.isEmpty())
        qunsetenv("XDG_ACTIVATION_TOKEN");
    else
        qputenv("XDG_ACTIVATION_TOKEN", saved);
}

TEST(StartupId, TheStartsTimeAndTheMessageThatEndsItsStartup) {
    EXPECT_EQ(StartupIdTime("xdg-launch/host/stripwise2-1234-0_TIME98765"), 98765u);
    EXPECT_EQ(StartupIdTime("no time here"), 0u);
    EXPECT_EQ(StartupIdTime("x_TIMEsoon"), 0u);
    EXPECT_EQ(StartupRemoveMessage("plain_TIME1"), QByteArray("remove: ID=plain_TIME1\0", 23));
    EXPECT_EQ(StartupRemoveMessage("a b\"c\\"), QByteArray("remove: ID=\"a b\\\"c\\\\\"\0", 22));
}

}  // namespace
}  // namespace sw::app
