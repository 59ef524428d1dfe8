// The key clipboard and undo from the Edit menu, the tool buttons and Ctrl keys: which
// controls are enabled after each command, and what each stores and shows.
#include <QLineEdit>
#include <QToolButton>

#include "editor/EditorWindow.h"

namespace sw::editor {
namespace {

using sw::test::Sjis;

class EditCommands : public sw::test::EditorWindow {
protected:
    // The controls of the five states, as "paste/format paste/entry paste/deselect/undo",
    // each control 1 when enabled.
    std::string Enabled() {
        auto on = [](bool enabled) { return enabled ? std::string("1") : std::string("0"); };
        auto menu = [&](const char* name) { return on(w->action(QString::fromLatin1(name))->isEnabled()); };
        auto tool = [&](int number) { return on(w->toolButton(number)->isEnabled()); };
        return menu("N7") + tool(10) + "/" + menu("N5") + "/" + menu("N11") + tool(13) + "/" +
               menu("N9") + "/" + menu("Undo1");
    }
};

TEST_F(EditCommands, MenuItemsAndToolButtonsFollowTheCommandStates) {
    Key(1).Line1 = "K1";
    w->ShowFace();
    EXPECT_EQ(Enabled(), "00/0/00/0/0");
    Trigger("Copy1");
    EXPECT_EQ(Enabled(), "11/0/00/1/0");
    w->SelectKey(8);
    w->toolButton(10)->click();  // 張り付け
    EXPECT_EQ(Key(2).Line1, "K1");
    EXPECT_EQ(Enabled(), "11/0/00/1/1");
    Trigger("Undo1");
    EXPECT_EQ(Key(2).Line1, "");
    EXPECT_EQ(Enabled(), "11/0/00/1/0");
    Trigger("N6");  // 書式コピー
    EXPECT_EQ(Enabled(), "00/1/00/1/0");
    w->toolButton(12)->click();  // 全コピー
    EXPECT_EQ(Enabled(), "00/0/11/1/0");
    Trigger("N9");  // 選択解除
    EXPECT_EQ(Enabled(), "00/0/00/0/0");
    Trigger("Cut1");
    w->toolButton(22)->click();  // a recorded change empties the clipboard
    EXPECT_EQ(Enabled(), "00/0/00/0/1");
    for (const char* always : {"Cut1", "Copy1", "N6", "N10", "N8"})
        EXPECT_TRUE(w->action(QString::fromLatin1(always))->isEnabled()) << always;
    for (int always : {8, 9, 11, 12}) EXPECT_TRUE(w->toolButton(always)->isEnabled()) << always;
}

TEST_F(EditCommands, CtrlKeysCopyCutPasteAndUndoOnlyWhileTheyMayRun) {
    Key(1).Line1 = "K1";
    Key(2).Line1 = "K2";
    w->ShowFace();
    w->edtName()->setFocus();
    w->edtName()->setText(QStringLiteral("本社"));
    Press(Qt::Key_V, Qt::ControlModifier);  // nothing copied yet
    Press(Qt::Key_U, Qt::ControlModifier);  // nothing to undo
    EXPECT_EQ(Key(1).Line1, "K1");
    EXPECT_EQ(w->edtName()->text(), QStringLiteral("本社"));

    Press(Qt::Key_X, Qt::ControlModifier);  // cut key 1
    w->SelectKey(9);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Key(3).Line1, "K1");
    EXPECT_EQ(Key(1).Line1, "");  // the cut moved it
    EXPECT_EQ(Caption(7), "");
    EXPECT_EQ(Caption(9), "K1");
    Press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Key(3).Line1, "");
    EXPECT_EQ(Key(1).Line1, "K1");
    EXPECT_EQ(Caption(7), "K1");
    EXPECT_FALSE(e().UndoEnabled);
}

TEST_F(EditCommands, ToolButtonsAndTheEditMenuStoreWhatTheOpenEditorHolds) {
    w->OpenKeyEditor();
    Type(QStringLiteral("受付"));
    w->toolButton(8)->click();  // コピー: the prologue closes the editor first
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(Key(1).Line1, Sjis("受付"));
    EXPECT_EQ(e().CopyBuffer[1][1].Line1, Sjis("受付"));

    OpenEditor(8);
    Type(QStringLiteral("総務"));
    Trigger("Copy1");  // the menu copies the key as it is typed, not as it was
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(Key(2).Line1, Sjis("総務"));
    w->SelectKey(9);
    Trigger("N7");
    EXPECT_EQ(Key(3).Line1, Sjis("総務"));

    // A wrong Ｎｏ stops a tool button before anything happens; the menu still runs.
    w->edtNaisen()->setText("99");
    w->toolButton(12)->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Ｎｏが誤っています。"));
    EXPECT_FALSE(e().EntryPasteEnabled);
    Trigger("N8");
    EXPECT_TRUE(e().EntryPasteEnabled);
}

TEST_F(EditCommands, AnEntryPasteShowsTheKeysAndGoesToTheNameField) {
    for (int k = 1; k <= 30; ++k) Key(k, 2).Line1 = "E1K" + std::to_string(k);
    Trigger("N8");  // 全コピー of entry 01
    w->edtNaisen()->setText("2");
    ASSERT_TRUE(w->ApplyEntryNumber());
    w->tabPage()->setCurrentIndex(1);
    w->toolButton(13)->click();  // 全張り付け
    EXPECT_EQ(Key(30, 2, 2).Line1, "E1K30");  // also the keys 18 keys do not show
    EXPECT_EQ(Caption(7), "E1K1");
    EXPECT_EQ(Caption(24), "E1K18");
    EXPECT_TRUE(w->edtName()->hasFocus());
    Trigger("Undo1");
    EXPECT_EQ(Key(1, 2, 2).Line1, "");
    EXPECT_EQ(Caption(7), "");
}

}  // namespace
}  // namespace sw::editor
