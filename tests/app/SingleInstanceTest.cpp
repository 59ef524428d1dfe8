// The single-instance rule with two real processes of the program.
#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QProcess>

#include "app/SingleInstance.h"
#include "editor/WindowFixture.h"
#include "support/TempDir.h"

namespace sw::app {
namespace {

using sw::test::TempDir;

class TwoStarts : public ::testing::Test {
protected:
    TempDir runtime;
    TempDir firstDir;
    TempDir secondDir;
    QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");

    void SetUp() override { qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path())); }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", oldRuntime); }

    void Start(QProcess& process, const std::string& dir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(dir));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(SW_PROGRAM), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Waits until a program listens on the slot.
    static bool Listening(int slot) {
        for (int i = 0; i < 300; ++i) {
            QLocalSocket probe;
            probe.connectToServer(InstanceSocketName(slot));
            if (probe.waitForConnected(100)) return true;
            QTest::qWait(100);
        }
        return false;
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

}  // namespace
}  // namespace sw::app
