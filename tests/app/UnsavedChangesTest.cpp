// Unsaved changes as the user meets them: the "＊" in the title, "変更を保存しますか？" before
// 新規作成, 開く and 終了, and the file name and long names the title and files keep.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "mgmt/TfrmNaisen.h"
#include "model/IniFile.h"
#include "model/LabelSetFile.h"
#include "support/ScriptedDialogs.h"

namespace sw::app {
namespace {

using sw::test::OnModal;
using sw::test::ReadFileBytes;
using sw::test::WriteFileBytes;

class UnsavedChanges : public sw::test::ProgramFixture {
protected:
    void Trigger(const char* action) { w().action(QString::fromLatin1(action))->trigger(); }
    // A click as the user makes it, then whatever the click left to do.
    void Click(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QCoreApplication::processEvents();
    }
    // The user switches entry 01 between 18 and 30 keys: a change of the label set.
    void ChangeModel() {
        auto* thirty = w().findChild<QRadioButton*>("RadioButton11");
        Click(thirty->isChecked() ? w().findChild<QRadioButton*>("RadioButton12") : thirty);
    }
    std::unique_ptr<sw::model::LabelSet> Read(const std::string& path) {
        auto set = std::make_unique<sw::model::LabelSet>();
        EXPECT_TRUE(sw::model::LoadLabelSetFile(path, *set).ok) << path;
        return set;
    }
};

TEST_F(UnsavedChanges, TheTitleMarksAChangeUntilSaveOrOpen) {
    // Selecting keys and switching faces change nothing.
    Click(w().keyPanel(9));
    Click(w().keyPanel(7));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
    EXPECT_FALSE(program->commands().DocumentModified());

    ChangeModel();
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２"));
    dialogs.files = {Path("a.stw")};
    Trigger("SaveAs1");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜a.stw＞"));

    // Bold on the selected key: a change again, and 開く asks before it reads.
    Click(w().toolButton(22));
    ASSERT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２＜a.stw＞"));
    dialogs.messages.clear();
    dialogs.replies = {Reply::No};
    dialogs.files = {Path("a.stw")};
    Trigger("Open1");
    ASSERT_EQ(Messages(), (QStringList{"変更を保存しますか？", "読込が終了しました。"}));
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜a.stw＞"));
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 0);  // as saved, without the bold key
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[1].Keys[1].FontStyle, 0);
    EXPECT_FALSE(program->commands().DocumentModified());

    // Cancelled, 開く does not even ask for a file.
    ChangeModel();  // back to 18 keys
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    dialogs.replies = {Reply::Cancel};
    Trigger("Open1");
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２＜a.stw＞"));
}

TEST_F(UnsavedChanges, TheMarkGoesWhenUndoOrTheUserBringsTheSavedDocumentBack) {
    const QString saved = QStringLiteral("Stripwise２＜a.stw＞");
    const QString marked = QStringLiteral("＊") + saved;
    dialogs.files = {Path("a.stw")};
    Trigger("SaveAs1");
    ASSERT_EQ(w().windowTitle(), saved);
    auto goTo = [&](const char* entry) {
        w().edtNaisen()->setText(QString::fromLatin1(entry));
        ASSERT_TRUE(w().ApplyEntryNumber());
    };

    // Bold, then Ctrl+U; この印刷面を消去, then Ctrl+Z.
    Click(w().toolButton(22));
    ASSERT_EQ(w().windowTitle(), marked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(w().windowTitle(), saved);
    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "K1";
    program->commands().DocumentModified();
    dialogs.files = {Path("a.stw")};
    dialogs.replies = {Reply::Ok};
    Trigger("SaveAs1");
    Click(w().findChild<QPushButton*>("btnDelete"));
    ASSERT_EQ(w().windowTitle(), marked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(w().windowTitle(), saved);

    // Changes on two entries: undoing one, or the user taking one back, leaves the mark.
    Click(w().toolButton(22));  // entry 01
    goTo("2");
    ChangeModel();
    Click(w().toolButton(22));  // entry 02
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(w().windowTitle(), marked);
    goTo("1");
    Click(w().toolButton(22));  // bold off again on entry 01
    EXPECT_EQ(w().windowTitle(), marked);
    goTo("2");
    ChangeModel();
    EXPECT_EQ(w().windowTitle(), saved);

    // Back as saved, 新規作成 asks its own question and the file holds what is shown.
    dialogs.messages.clear();
    dialogs.replies = {Reply::Cancel};
    Trigger("New1");
    EXPECT_EQ(Messages(), QStringList{"新規作成しますか？"});
    EXPECT_TRUE(*Read(cwd.File("a.stw")) == ws->labelSet);
}

TEST_F(UnsavedChanges, NewOnAModifiedDocumentAsksToSaveInsteadOfItsOwnQuestion) {
    ChangeModel();
    dialogs.replies = {Reply::Cancel};
    Trigger("New1");
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 0);

    // はい with the save dialog cancelled: nothing is saved and nothing reset.
    dialogs.messages.clear();
    dialogs.replies = {Reply::Yes};
    dialogs.files = {std::nullopt};
    Trigger("New1");
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::SaveLabelSet});
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 0);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２"));

    // はい and a file: saved, then reset without "新規作成しますか？".
    dialogs.messages.clear();
    dialogs.replies = {Reply::Yes};
    dialogs.files = {Path("kept")};
    Trigger("New1");
    EXPECT_EQ(Messages(), (QStringList{"変更を保存しますか？", "保存が終了しました。"}));
    EXPECT_EQ(Read(cwd.File("kept.stw"))->Entries[1].ButtonModel, 0);
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 1);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));

    // いいえ lets the changes go.
    ChangeModel();
    dialogs.messages.clear();
    dialogs.replies = {Reply::No};
    Trigger("New1");
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 1);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
    // Unmodified, it asks its own question again.
    dialogs.messages.clear();
    dialogs.replies = {Reply::Cancel};
    Trigger("New1");
    EXPECT_EQ(Messages(), QStringList{"新規作成しますか？"});
}

TEST_F(UnsavedChanges, ANameBeingTypedCountsAndAFailedSaveKeepsTheWindowOpen) {
    w().edtName()->setFocus();
    sw::test::TypeText(w().edtName(), QStringLiteral("受付"));
    // The close box: キャンセル keeps the window.
    dialogs.replies = {Reply::Cancel};
    EXPECT_FALSE(w().close());
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_TRUE(w().isVisible());

    // はい, but the save fails (a folder that is a file): the window stays open.
    const std::string folder = cwd.File("plain");
    WriteFileBytes(folder, "x");
    dialogs.messages.clear();
    dialogs.replies = {Reply::Yes};
    dialogs.files = {QString::fromStdString(folder + "/a.stw")};
    w().findChild<QPushButton*>("Button6")->click();  // 終了
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, MessageKind::Error);
    EXPECT_TRUE(w().isVisible());
    EXPECT_EQ(ReadFileBytes(folder), "x");

    // いいえ ends the program without "終了してもよろしいですか？".
    dialogs.messages.clear();
    dialogs.replies = {Reply::No};
    Trigger("Exit1");
    EXPECT_EQ(Messages(), QStringList{"変更を保存しますか？"});
    EXPECT_FALSE(w().isVisible());
}

TEST_F(UnsavedChanges, TheTitleNamesWhatFollowsTheLastSlash) {
    dialogs.files = {Path("C:\\data\\a:b.stw")};
    Trigger("SaveAs1");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜C:\\data\\a:b.stw＞"));
}

TEST_F(UnsavedChanges, AnEmptyCaptionGivesAnEmptyTitleBase) {
    program.reset();
    sw::model::WriteIniString(cwd.File("Stripwise2.ini"), "Main", "Caption", "");
    program = std::make_unique<Program>(*ws, dialogs, printer);
    ASSERT_TRUE(sw::test::ShowActive(&w()));
    EXPECT_EQ(w().windowTitle(), QString());
    dialogs.files = {Path("office.stw")};
    Trigger("SaveAs1");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＜office.stw＞"));
    ChangeModel();
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊＜office.stw＞"));
}

TEST_F(UnsavedChanges, NamesLongerThanALineEditsDefaultLimitSurviveRegistrationAndSave) {
    // 40,000 characters: longer than the 32,767 a line edit keeps unless told otherwise.
    auto set = std::make_unique<sw::model::LabelSet>();
    set->Entries[1].Name = std::string(40000, 'a');
    set->Entries[9].Name = std::string(39999, 'b') + sw::test::Sjis("終");
    WriteFileBytes(cwd.File("long.stw"), sw::model::WriteLabelSet(*set));
    dialogs.files = {Path("long.stw")};
    Trigger("Open1");
    EXPECT_EQ(w().edtName()->text().size(), 40000);

    bool reached = false;
    OnModal<sw::mgmt::TfrmNaisen>([](sw::mgmt::TfrmNaisen* d) {
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);  // 登録完了
    }, &reached);
    Click(w().findChild<QPushButton*>("Button2"));  // 管理番号一覧登録
    ASSERT_TRUE(reached);
    EXPECT_TRUE(ws->labelSet == *set);
    // Registering without a change is no change.
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜long.stw＞"));

    dialogs.files = {Path("again.stw")};
    Trigger("SaveAs1");
    EXPECT_EQ(ReadFileBytes(cwd.File("again.stw")), ReadFileBytes(cwd.File("long.stw")));
}

}  // namespace
}  // namespace sw::app
