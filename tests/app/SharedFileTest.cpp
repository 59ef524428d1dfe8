// A label-set file shared with other windows and programs: a save never overwrites their
// change unasked, the window tells of it when it comes to the front, and text being typed
// stays in the document it was typed in, whatever replaces that document.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/Commands.h"
#include "app/ProgramFixture.h"
#include "app/SingleInstance.h"
#include "editor/TfrmMain.h"
#include "model/LabelSetFile.h"
#include "model/Settings.h"
#include "support/TempDir.h"

namespace sw::app {
namespace {

using sw::test::ReadFileBytes;

class SharedFile : public sw::test::ProgramFixture {
protected:
    // What another window or program writes: a label set whose entry 1 is named `name`.
    void WriteAsAnotherProgram(const std::string& file, const char* name) {
        auto set = std::make_unique<sw::model::LabelSet>();
        set->Entries[1].Name = name;
        ASSERT_TRUE(sw::model::SaveLabelSetFile(cwd.File(file), *set).ok);
    }
    std::unique_ptr<sw::model::LabelSet> Read(const std::string& file) {
        auto set = std::make_unique<sw::model::LabelSet>();
        EXPECT_TRUE(sw::model::LoadLabelSetFile(cwd.File(file), *set).ok) << file;
        return set;
    }
    void Open(const std::string& file) {
        dialogs.files = {Path(file)};
        w().action("Open1")->trigger();
        dialogs.messages.clear();
    }
    // The user switches to another program and back.
    void LeaveAndComeBack() {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }, 3000));
        other.hide();
        w().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
        QTest::qWait(50);  // the look at the disk follows the activation
    }
    bool BarShown() { return w().FileChangedBarShown(); }
    QPushButton* BarButton(const char* name) { return w().fileChangedBar()->findChild<QPushButton*>(name); }
};

TEST_F(SharedFile, SavingOverAFileChangedByAnotherProgramAsksAndEnterKeepsTheirChange) {
    WriteAsAnotherProgram("shared.stw", "mine");
    Open("shared.stw");
    // A sync tool writing the same bytes anew changes nothing: the plain question.
    WriteAsAnotherProgram("shared.stw", "mine");
    dialogs.files = {Path("shared.stw")};
    dialogs.replies = {Reply::Cancel};
    w().action("SaveAs1")->trigger();
    EXPECT_EQ(Messages(), QStringList{"既にファイルが存在します。上書きしますか？"});
    dialogs.messages.clear();

    WriteAsAnotherProgram("shared.stw", "theirs");  // saved elsewhere since: a new file there
    const std::string theirs = ReadFileBytes(cwd.File("shared.stw"));

    dialogs.files = {Path("shared.stw")};
    w().action("SaveAs1")->trigger();  // no answer scripted: the default button
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("「shared.stw」は開いた後にほかのウィンドウまたはプログラムで変更されています。"
                             "上書きすると、その変更は失われます。上書きしますか？"));
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OkCancelDefaultCancel);
    EXPECT_EQ(ReadFileBytes(cwd.File("shared.stw")), theirs);

    // Another file that exists: the plain question.
    WriteAsAnotherProgram("other.stw", "other");
    dialogs.messages.clear();
    dialogs.files = {Path("other.stw")};
    dialogs.replies = {Reply::Cancel};
    w().action("SaveAs1")->trigger();
    EXPECT_EQ(Messages(), QStringList{"既にファイルが存在します。上書きしますか？"});

    // OK overwrites their change.
    dialogs.messages.clear();
    dialogs.files = {Path("shared.stw")};
    dialogs.replies = {Reply::Ok};
    w().action("SaveAs1")->trigger();
    EXPECT_EQ(Messages().value(1), QStringLiteral("保存が終了しました。"));
    EXPECT_EQ(Read("shared.stw")->Entries[1].Name, "mine");
}

TEST_F(SharedFile, TheWindowComingToTheFrontTellsOfAChangeOnDiskInABarOncePerChange) {
    WriteAsAnotherProgram("shared.stw", "mine");
    Open("shared.stw");
    WriteAsAnotherProgram("shared.stw", "mine");  // the same bytes anew: nothing to tell
    LeaveAndComeBack();
    EXPECT_FALSE(BarShown());

    WriteAsAnotherProgram("shared.stw", "theirs");
    const int heightBefore = w().height();
    LeaveAndComeBack();
    ASSERT_TRUE(BarShown());
    EXPECT_EQ(w().fileChangedBar()->findChild<QLabel*>("lblFileChanged")->text(),
              QStringLiteral("「shared.stw」はほかのウィンドウまたはプログラムで変更されています。"));
    EXPECT_TRUE(dialogs.messages.empty());  // nothing modal
    // Above the key area, which keeps its whole size: the window grows instead.
    const QRect bar = w().fileChangedBar()->geometry();
    EXPECT_LE(bar.bottom(), w().tabPage()->geometry().top());
    EXPECT_LE(bar.bottom(), w().edtNaisen()->mapTo(w().centralWidget(), QPoint()).y());
    EXPECT_EQ(w().height(), heightBefore + sw::editor::kFileChangedBarHeight);

    // 閉じる: the window as it was, and no bar again for the same change ...
    BarButton("btnCloseBar")->click();
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(w().height(), heightBefore);
    EXPECT_GE(w().edtNaisen()->mapTo(w().centralWidget(), QPoint()).y(), 25);
    LeaveAndComeBack();
    EXPECT_FALSE(BarShown());
    // ... but for the next one.
    WriteAsAnotherProgram("shared.stw", "theirs, later");
    LeaveAndComeBack();
    ASSERT_TRUE(BarShown());

    // 読み込み直す asks about the user's own unsaved change first; いいえ reads theirs.
    ws->labelSet.Entries[2].Name = "unsaved";
    dialogs.replies = {Reply::No};
    BarButton("btnReload")->click();
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "theirs, later");
    EXPECT_EQ(w().edtName()->text(), QStringLiteral("theirs, later"));
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜shared.stw＞"));
}

// Every way the document is replaced, with a key being typed into.
// HandedOverWhileNaming: the name is being typed while the window is in the background (the
// user double-clicked a file in the file manager).
enum class Replacement { OpenMenu, OpenTool, NewMenu, NewTool, RecentFile, Dropped, HandedOver, Reloaded,
                         HandedOverWhileNaming };

class TypedText : public SharedFile, public ::testing::WithParamInterface<Replacement> {
protected:
    void Drop(const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = w().rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w(), &drop);
    }
    // A later start hands the file over through the window's instance socket.
    void HandOver(const QString& file) {
        sw::test::TempDir runtime;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
        InstanceServer server(&w());
        server.SetFileOpener([this](const QString& path) { program->commands().OpenLabelSetFile(path, false); });
        ASSERT_TRUE(server.Listen());
        QLocalSocket start;
        start.connectToServer(server.socketName());
        ASSERT_TRUE(start.waitForConnected(1000));
        start.write("OPEN - " + file.toUtf8() + '\n');
        EXPECT_TRUE(QTest::qWaitFor([&] { return start.canReadLine(); }, 2000));
        EXPECT_EQ(start.readLine().trimmed(), "OK");
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }
};

std::string PathName(const ::testing::TestParamInfo<Replacement>& info) {
    const char* names[] = {"OpenMenu",   "OpenTool",   "NewMenu",  "NewTool",
                           "RecentFile", "Dropped",    "HandedOver", "Reloaded", "HandedOverWhileNaming"};
    return names[static_cast<int>(info.param)];
}

TEST_P(TypedText, StaysInItsOwnDocumentWhenAnotherReplacesIt) {
    WriteAsAnotherProgram("next.stw", "next");
    WriteAsAnotherProgram("first.stw", "first");
    Open("first.stw");
    if (GetParam() == Replacement::Reloaded) {
        WriteAsAnotherProgram("first.stw", "next");
        LeaveAndComeBack();
        ASSERT_TRUE(BarShown());
    }
    if (GetParam() == Replacement::RecentFile) {
        ASSERT_TRUE(sw::model::WriteRecentFiles(ws->settings.WritePath(), {cwd.File("next.stw")}));
        program->commands().ShowRecentFiles();
    }
    const bool naming = GetParam() == Replacement::HandedOverWhileNaming;
    QWidget fileManager;
    if (naming) {
        w().edtName()->setFocus();
        QTest::keyClick(w().edtName(), Qt::Key_End);
        sw::test::TypeText(w().edtName(), QStringLiteral(" desk"));
        fileManager.show();
        fileManager.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &fileManager; }, 3000));
        ASSERT_EQ(ws->labelSet.Entries[1].Name, "first");
    } else {
        // Typing into key 1 (position 07); the editor still holds the text.
        w().OpenKeyEditor();
        sw::test::TypeText(w().keyMemo(7), QStringLiteral("TYPED"));
        ASSERT_TRUE(w().keyMemo(7)->hasFocus());
        ASSERT_EQ(ws->labelSet.Entries[1].Faces[1].Keys[1].Line1, "");
    }

    // 変更を保存しますか？ はい, to a file of its own.
    dialogs.files = {Path("typed.stw"), Path("next.stw")};
    switch (GetParam()) {
    case Replacement::OpenMenu: w().action("Open1")->trigger(); break;
    case Replacement::OpenTool: w().toolButton(2)->click(); break;
    case Replacement::NewMenu: w().action("New1")->trigger(); break;
    case Replacement::NewTool: w().toolButton(1)->click(); break;
    case Replacement::RecentFile: w().action("Recent1")->trigger(); break;
    case Replacement::Dropped: Drop(Path("next.stw")); break;
    case Replacement::HandedOver:
    case Replacement::HandedOverWhileNaming: HandOver(Path("next.stw")); break;
    case Replacement::Reloaded: BarButton("btnReload")->click(); break;
    }
    QTest::qWait(50);  // a drop and a hand-over open once their own event is through
    ASSERT_EQ(Messages().value(0), QStringLiteral("変更を保存しますか？"));
    EXPECT_EQ(Read("typed.stw")->Entries[1].Faces[1].Keys[1].Line1, naming ? "" : "TYPED");
    EXPECT_EQ(Read("typed.stw")->Entries[1].Name, naming ? "first desk" : "first");
    // The new document shows no trace of it, on screen or on disk.
    const bool emptied = GetParam() == Replacement::NewMenu || GetParam() == Replacement::NewTool;
    EXPECT_EQ(ws->labelSet.Entries[1].Name, emptied ? "" : "next");
    EXPECT_EQ(w().edtName()->text(), QString::fromStdString(ws->labelSet.Entries[1].Name));
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[1].Keys[1].Line1, "");
    EXPECT_FALSE(ws->editor.KeyEditorOpen);
    EXPECT_EQ(w().captionLabel(7)->text(), "");
    EXPECT_EQ(Read("next.stw")->Entries[1].Faces[1].Keys[1].Line1, "");
    EXPECT_FALSE(program->commands().DocumentModified());
}

INSTANTIATE_TEST_SUITE_P(EveryPath, TypedText,
                         ::testing::Values(Replacement::OpenMenu, Replacement::OpenTool, Replacement::NewMenu,
                                           Replacement::NewTool, Replacement::RecentFile, Replacement::Dropped,
                                           Replacement::HandedOver, Replacement::Reloaded,
                                           Replacement::HandedOverWhileNaming),
                         PathName);

}  // namespace
}  // namespace sw::app
