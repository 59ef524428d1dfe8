// Typing key texts in place: opening an editor, moving from key to key, what is stored
// when an editor is left, Japanese from the input method, and the window-wide keys.
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <functional>

#include "editor/EditorWindow.h"
#include "model/LabelSetFile.h"

namespace sw::editor {
namespace {

using sw::test::Sjis;

class KeyEditing : public sw::test::EditorWindow {};

void Commit(QWidget* target, const QString& preedit, const QString& commit) {
    QInputMethodEvent composing(preedit, {});
    QApplication::sendEvent(target, &composing);
    QInputMethodEvent done;
    done.setCommitString(commit);
    QApplication::sendEvent(target, &done);
}

TEST_F(KeyEditing, TypingAKeyAndEnterStoresItMovesOnAndUndoBringsTheOldTextBack) {
    Key(3).Line1 = "OLD";
    w->ShowFace();
    OpenEditor(9);
    ASSERT_TRUE(e().KeyEditorOpen);
    EXPECT_TRUE(w->keyMemo(9)->hasFocus());
    EXPECT_TRUE(e().MemoFocused);
    EXPECT_TRUE(w->keyPanel(9)->isHidden());
    EXPECT_EQ(w->keyMemo(9)->toPlainText(), "OLD");

    Press(Qt::Key_A, Qt::ControlModifier);  // the editor's own select-all
    Type("ABC");
    Press(Qt::Key_Return);
    EXPECT_EQ(Key(3).Line1, "ABC");
    EXPECT_EQ(Key(3).Line2, "");
    EXPECT_EQ(Caption(9), "ABC");
    EXPECT_FALSE(w->keyPanel(9)->isHidden());
    EXPECT_EQ(e().CurrentKeyPos, 10);
    EXPECT_TRUE(w->keyMemo(10)->hasFocus());
    EXPECT_EQ(VisibleEditors(), 1);
    EXPECT_EQ(w->keyMemo(10)->toPlainText(), "");  // Enter put no line break anywhere
    EXPECT_EQ(w->pnlADial()->text(), "04");
    EXPECT_TRUE(w->action("Undo1")->isEnabled());

    Trigger("Undo1");
    EXPECT_EQ(Key(3).Line1, "OLD");
    EXPECT_EQ(Caption(9), "OLD");
    EXPECT_FALSE(w->action("Undo1")->isEnabled());
}

TEST_F(KeyEditing, BytesThatCannotBeShownStayWithTheTypingAroundThem) {
    // From a file: 0x80 and 0xFF are no CP932 characters, nor is 0x81 before a blank.
    Key(1).Line1 = "A\x80" "B\xFF";
    Key(1).Line2 = "x\x81 y";
    w->ShowFace();
    ASSERT_EQ(Caption(7), QStringLiteral("A\uFFFDB\uFFFD\nx\uFFFD y"));
    auto stored = [&] {
        auto set = std::make_unique<sw::model::LabelSet>();
        EXPECT_TRUE(sw::model::SaveLabelSetFile(cwd.File("keys.stw"), ws->labelSet).ok);
        EXPECT_TRUE(sw::model::LoadLabelSetFile(cwd.File("keys.stw"), *set).ok);
        const sw::model::KeyLabel& key = set->Entries[1].Faces[1].Keys[1];
        return key.Line1 + "|" + key.Line2;
    };

    // Typed at the end of the first line, then Enter: the typing and every byte are kept.
    OpenEditor(7);
    Press(Qt::Key_End);
    Type("Z");
    Press(Qt::Key_Return);
    EXPECT_EQ(stored(), "A\x80" "B\xFF" "Z|x\x81 y");
    EXPECT_EQ(Caption(7), QStringLiteral("A\uFFFDB\uFFFDZ\nx\uFFFD y"));

    // One of them deleted, another deleted and brought back by the editor's own undo,
    // and the two lines joined: the rest keep their places.
    OpenEditor(7);
    Press(Qt::Key_Home);
    Type("0");
    Press(Qt::Key_Right);
    Press(Qt::Key_Delete);  // 0x80
    Press(Qt::Key_Right);
    Press(Qt::Key_Delete);  // 0xFF ...
    Press(Qt::Key_Z, Qt::ControlModifier);  // ... back
    Press(Qt::Key_End);
    Press(Qt::Key_Delete);  // the line break
    Press(Qt::Key_Return);
    // (The narrow key wraps the joined line where it likes; the bytes come in order.)
    std::string joined = stored();
    joined.erase(joined.find('|'), 1);
    EXPECT_EQ(joined, "0AB\xFF" "Zx\x81 y");

    // 元に戻す brings the two lines back as they were, bytes and all.
    Trigger("Undo1");
    EXPECT_EQ(stored(), "A\x80" "B\xFF" "Z|x\x81 y");
}

TEST_F(KeyEditing, NothingMeetsAByteThatCannotBeShownToBecomeAnotherCharacter) {
    // 0x81 before a blank shows as U+FFFD; before "a" or after the blank is gone it would
    // begin a character of two bytes. That change is refused with a reason; others go in.
    struct Case {
        const char* what;
        std::function<void()> edit;
        const char* stored;
        bool refused;
    };
    auto afterTheByte = [&] {
        Press(Qt::Key_Home);
        Press(Qt::Key_Right);
        Press(Qt::Key_Right);
    };
    const Case cases[] = {
        {"a letter typed right after it", [&] { afterTheByte(); Type("a"); }, "x\x81 y", true},
        {"the blank after it deleted", [&] { afterTheByte(); Press(Qt::Key_Delete); }, "x\x81 y", true},
        {"the blank deleted from behind",
         [&] { afterTheByte(); Press(Qt::Key_Right); Press(Qt::Key_Backspace); }, "x\x81 y", true},
        {"a digit typed right after it", [&] { afterTheByte(); Type("1"); }, "x\x81" "1 y", false},
        {"a letter typed elsewhere", [&] { Press(Qt::Key_End); Type("z"); }, "x\x81 yz", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Key(1).Line1 = "x\x81 y";
        w->ShowFace();
        OpenEditor(7);
        QToolTip::hideText();
        const int refusedBefore = w->keyMemo(7)->refusedCount();
        c.edit();
        EXPECT_EQ(w->keyMemo(7)->refusedCount() > refusedBefore, c.refused);
        EXPECT_EQ(QToolTip::isVisible() && QToolTip::text() == KeyMemo::UnshownByteRefusal(), c.refused);
        Press(Qt::Key_Return);
        auto set = std::make_unique<sw::model::LabelSet>();
        ASSERT_TRUE(sw::model::SaveLabelSetFile(cwd.File("keys.stw"), ws->labelSet).ok);
        ASSERT_TRUE(sw::model::LoadLabelSetFile(cwd.File("keys.stw"), *set).ok);
        EXPECT_EQ(set->Entries[1].Faces[1].Keys[1].Line1, c.stored);
    }
}

TEST_F(KeyEditing, TheEditorWrapsFromTheLastUsedPositionToTheFirstAndBack) {
    Click(Radio(11));  // 30 keys
    w->SelectKey(30);
    w->OpenKeyEditor();
    Press(Qt::Key_Tab);
    EXPECT_EQ(e().CurrentKeyPos, 1);
    EXPECT_TRUE(w->keyMemo(1)->hasFocus());
    Press(Qt::Key_Up);
    EXPECT_EQ(e().CurrentKeyPos, 30);
    Press(Qt::Key_Down);
    EXPECT_EQ(e().CurrentKeyPos, 1);
    EXPECT_EQ(VisibleEditors(), 1);

    Click(Radio(12));  // 18 keys: the model change closes the editor
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(VisibleEditors(), 0);
    w->OpenKeyEditor();
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(e().CurrentKeyPos, 24);
    EXPECT_TRUE(w->keyMemo(24)->hasFocus());
    EXPECT_EQ(w->pnlADial()->text(), "18");
    EXPECT_EQ(w->keyPanel(24)->look(), PanelLook::Selected);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Normal);
    Press(Qt::Key_Tab);
    EXPECT_EQ(e().CurrentKeyPos, 7);
}

TEST_F(KeyEditing, AThirdLineIsRefusedAndAnEmptyFirstLineGivesWay) {
    w->OpenKeyEditor();  // position 07
    QApplication::clipboard()->setText(QStringLiteral("A\nB\nC"));
    Press(Qt::Key_V, Qt::ControlModifier);  // the editor's own paste, refused: three lines
    EXPECT_EQ(w->keyMemo(7)->toPlainText(), "");
    QApplication::clipboard()->setText(QStringLiteral("A\nB"));
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(1).Line1, "A");
    EXPECT_EQ(Key(1).Line2, "B");

    QApplication::clipboard()->setText(QStringLiteral("\n受付"));
    Press(Qt::Key_V, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("한"));  // CP932 cannot hold it
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->keyMemo(8)->toPlainText(), QStringLiteral("\n受付"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(2).Line1, Sjis("受付"));
    EXPECT_EQ(Key(2).Line2, "");
}

TEST_F(KeyEditing, LeavingAnEditorUnchangedRecordsNothing) {
    Key(2).Line1 = "SAME";
    w->ShowFace();
    w->RunEditCommand(TfrmMain::EditCommand::KeyCopy);
    OpenEditor(8);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Up);
    w->fontNameBox()->setFocus();
    EXPECT_TRUE(e().KeyEditorOpen);  // still shown, no longer focused
    EXPECT_FALSE(e().MemoFocused);
    EXPECT_EQ(Key(2).Line1, "SAME");
    EXPECT_TRUE(e().PasteEnabled);
    EXPECT_EQ(e().KeyCopyMode, 1);
    EXPECT_FALSE(e().UndoEnabled);
    EXPECT_TRUE(w->action("N7")->isEnabled());
}

TEST_F(KeyEditing, SelectingAnotherKeyOrEntryClosesTheEditorWithItsText) {
    OpenEditor(7);
    Type("AB");
    Click(w->captionLabel(8));
    EXPECT_EQ(Key(1).Line1, "AB");
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(VisibleEditors(), 0);
    EXPECT_EQ(e().CurrentKeyPos, 8);

    OpenEditor(8);
    Type("CD");
    w->fontNameBox()->setFocus();  // the editor stays shown, its text is stored
    EXPECT_TRUE(e().KeyEditorOpen);
    EXPECT_EQ(Key(2).Line1, "CD");
    ws->labelSet.Entries[3].ButtonModel = sw::model::kModel30;
    w->edtNaisen()->setText("3");
    ASSERT_TRUE(w->ApplyEntryNumber());
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(VisibleEditors(), 0);
    EXPECT_EQ(e().CurrentKeyPos, 1);
}

TEST_F(KeyEditing, AFaceSwitchStoresTheTypedTextOnTheFaceThatWasShown) {
    w->OpenKeyEditor();
    Type(QStringLiteral("面一"));
    w->tabPage()->setCurrentIndex(1);  // the editor still has the focus as the face changes
    EXPECT_EQ(Key(1, 1).Line1, Sjis("面一"));
    EXPECT_EQ(Key(1, 2).Line1, "");
    EXPECT_EQ(Caption(7), "");
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(VisibleEditors(), 0);

    w->OpenKeyEditor();
    Type(QStringLiteral("面二"));
    auto* bar = w->tabPage()->findChild<QTabBar*>();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(e().CurrentFace, 3);
    EXPECT_EQ(Key(1, 2).Line1, Sjis("面二"));
    EXPECT_EQ(Key(1, 3).Line1, "");
    Trigger("Undo1");  // the record belongs to face 2
    EXPECT_EQ(Key(1, 2).Line1, "");
    EXPECT_EQ(Key(1, 1).Line1, Sjis("面一"));
}

TEST_F(KeyEditing, CtrlKeysInAnEditorWorkOnItsTextAndCtrlShiftCDoesNothing) {
    Key(1).Line1 = Sjis("営業部");
    w->ShowFace();
    w->OpenKeyEditor();
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("営業部"));
    EXPECT_EQ(e().KeyCopyMode, 0);
    EXPECT_FALSE(e().PasteEnabled);

    w->edtName()->setFocus();
    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(e().KeyCopyMode, 0);
    EXPECT_FALSE(w->action("N7")->isEnabled());
    Press(Qt::Key_C, Qt::ControlModifier);  // outside the editors: the key
    EXPECT_EQ(e().KeyCopyMode, 1);
    EXPECT_EQ(e().CopyBuffer[1][1].Line1, Sjis("営業部"));
}

TEST_F(KeyEditing, EscapeAbandonsNothingAndNoEnterBreaksALine) {
    w->OpenKeyEditor();
    Type("AB");
    Press(Qt::Key_Escape);
    Press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Key(1).Line1, "AB");
    EXPECT_EQ(e().CurrentKeyPos, 8);
    Type("CD");
    Press(Qt::Key_Return, Qt::ControlModifier);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Key(2).Line1, "CD");
    EXPECT_EQ(Key(2).Line2, "");
    EXPECT_EQ(e().CurrentKeyPos, 9);
}

TEST_F(KeyEditing, JapaneseFromTheInputMethodGoesIntoKeysAndTheName) {
    w->OpenKeyEditor();
    Commit(w->keyMemo(7), QStringLiteral("えいぎょう"), QStringLiteral("営業"));
    Commit(w->keyMemo(7), QString(), QStringLiteral("한"));
    EXPECT_EQ(w->keyMemo(7)->toPlainText(), QStringLiteral("営業"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(1).Line1, Sjis("営業"));

    w->edtName()->setFocus();
    Commit(w->edtName(), QStringLiteral("ほんしゃ"), QStringLiteral("本社"));
    Commit(w->edtName(), QString(), QStringLiteral("한"));
    w->edtNaisen()->setFocus();
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("本社"));
}

TEST_F(KeyEditing, EnterUpAndDownMoveTheFocusOutsideTheEditors) {
    w->edtNaisen()->setFocus();
    Press(Qt::Key_Down);
    EXPECT_TRUE(w->edtName()->hasFocus());
    Press(Qt::Key_Up);
    EXPECT_TRUE(w->edtNaisen()->hasFocus());
    Press(Qt::Key_Return);
    EXPECT_TRUE(w->edtName()->hasFocus());

    // A box left by an arrow keeps its text and the key its size.
    w->fontSizeBox()->setFocus();
    Press(Qt::Key_Down);
    EXPECT_FALSE(w->fontSizeBox()->hasFocus());
    EXPECT_EQ(w->fontSizeBox()->currentText(), "9");
    EXPECT_EQ(Key(1).FontSize, 9);
    EXPECT_FALSE(e().UndoEnabled);
}

TEST_F(KeyEditing, AnotherWindowInBetweenLeavesTheEditorAsItWas) {
    w->OpenKeyEditor();
    Type("AB");
    QWidget other;
    ASSERT_TRUE(sw::test::ShowActive(&other));
    other.hide();
    ASSERT_TRUE(sw::test::ShowActive(w.get()));
    Type("C");  // the caret is where it was
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(1).Line1, "ABC");
}

TEST_F(KeyEditing, AnEditorKeepsTheKeysFirstLineInViewWhileTheSecondIsTyped) {
    Key(2).FontSize = 11;
    Key(2).FontStyle = sw::model::kStyleBold;
    w->ShowFace();
    OpenEditor(8);
    KeyMemo* memo = w->keyMemo(8);
    Type(QStringLiteral("東京本社営業"));  // wraps onto a second line that shows only in part
    ASSERT_GT(memo->cursorRect().top(), memo->fontMetrics().height() / 2);
    EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
    Type(QStringLiteral("第一部長室"));  // a third line is refused
    EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
    EXPECT_GT(memo->refusedCount(), 0);
}

}  // namespace
}  // namespace sw::editor
