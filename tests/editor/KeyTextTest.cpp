// Key text changes only by the user's typing: showing keys, formatting them and saving keep
// every stored byte; the key editor refuses what would push text out or what CP932 cannot
// hold, one character at a time; a key that does not fit is marked and tells its text.
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QToolTip>

#include "editor/EditorWindow.h"
#include "editor/VisualLines.h"
#include "model/LabelSetFile.h"
#include "render/SheetRenderer.h"

namespace sw::editor {
namespace {

using sw::model::KeyLabel;
using sw::test::ReadFileBytes;
using sw::test::Sjis;
using sw::test::Utf;
using sw::test::WriteFileBytes;

const QString kLong = QStringLiteral("東京本社第一営業部第二課長代理補佐室内線");  // wider than two lines

class KeyText : public sw::test::EditorWindow {
protected:
    // Keys are drawn and measured with the fonts the program uses.
    void SetUp() override {
        sw::render::InstallFontSubstitutions();
        EditorWindow::SetUp();
    }
    // Position 07 of the 18-key model shows key 1.
    KeyLabel& Key7() { return Key(1); }
    KeyMemo* Memo7() { return w->keyMemo(7); }
    int Lines(KeyMemo* memo) { return static_cast<int>(EditorVisualLines(*memo).size()); }
    QString Tooltip(int position) {
        return QTextDocumentFragment::fromHtml(w->captionLabel(position)->toolTip()).toPlainText();
    }
    // Types one character (a surrogate pair is one) per key press, as a keyboard does.
    void TypeCharacters(const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                text.mid(i, length), {});
            i += length - 1;
        }
    }
    // An input method composes, then commits.
    void Commit(QWidget* target, const QString& preedit, const QString& commit) {
        QInputMethodEvent composing(preedit, {});
        QApplication::sendEvent(target, &composing);
        QInputMethodEvent done;
        done.setCommitString(commit);
        QApplication::sendEvent(target, &done);
    }
    // Types characters one by one until the editor refuses one; returns what went in.
    QString TypeUntilRefused(KeyMemo* memo, const QString& pattern) {
        const int refusedBefore = memo->refusedCount();
        for (int i = 0; i < 200 && memo->refusedCount() == refusedBefore; ++i)
            Type(pattern.at(i % pattern.size()));
        return memo->toPlainText();
    }
    std::string Load(const std::string& path) {
        dialogs.files.push_back(QString::fromStdString(path));
        commands->LoadLabelSet();
        return path;
    }
    std::string Save(const std::string& name) {
        const std::string path = cwd.File(name);
        dialogs.files.push_back(QString::fromStdString(path));
        commands->SaveLabelSet();
        return path;
    }
};

TEST_F(KeyText, OpeningShowingEveryFaceAndSavingKeepsOddKeysByteForByte) {
    auto set = std::make_unique<sw::model::LabelSet>();
    sw::model::ManagementEntry& entry = set->Entries[1];
    entry.ButtonModel = sw::model::kModel30;
    for (int f = 1; f <= 4; ++f) {
        sw::model::PrintFace& face = entry.Faces[f];
        face.Keys[1].Line2 = "ABC";                                  // a lone second line
        face.Keys[2].Line1 = Sjis("東京本社第一営業部第二課長代理補佐室内線");  // more than two lines
        face.Keys[3].Line1 = Sjis("東京本社第一営業部");                 // wider than the key
        face.Keys[3].Line2 = Sjis("内線一二三四五六七八九");
        face.Keys[4].Line1 = "\x81\xff" "A";                         // not CP932
        face.Keys[5].Line1 = Sjis("受付");
        face.Keys[5].FontSize = 36;                                  // too tall at this size
    }
    set->Entries[2].Faces[1].Keys[1].Line2 = "XYZ";  // 18 keys
    const std::string original = sw::model::WriteLabelSet(*set);
    WriteFileBytes(cwd.File("odd.stw"), original);
    Load(cwd.File("odd.stw"));
    ASSERT_EQ(e().ShownModel, sw::model::kModel30);

    EXPECT_EQ(Caption(1), "ABC");
    EXPECT_FALSE(w->captionLabel(1)->overflowMark());
    for (int position : {2, 3, 5}) {
        EXPECT_TRUE(w->captionLabel(position)->overflowMark()) << position;
        EXPECT_EQ(Tooltip(position), w->CaptionText(Key(position))) << position;
    }
    EXPECT_TRUE(Tooltip(1).isEmpty());

    // Every face shown, keys selected, an editor opened and left untouched, the models
    // switched back and forth, the other entry shown.
    for (int face = 0; face < 4; ++face) {
        w->tabPage()->setCurrentIndex(face);
        for (int position = 1; position <= 6; ++position) w->SelectKey(position);
        OpenEditor(2);
        Press(Qt::Key_Tab);
        Press(Qt::Key_Tab);
        w->SelectKey(1);
    }
    Click(Radio(12));
    Click(Radio(11));
    w->edtNaisen()->setText("2");
    ASSERT_TRUE(w->ApplyEntryNumber());
    w->edtNaisen()->setText("1");
    ASSERT_TRUE(w->ApplyEntryNumber());

    const std::string saved = Save("saved.stw");
    EXPECT_EQ(ReadFileBytes(saved), original);
    EXPECT_FALSE(e().UndoEnabled);
}

TEST_F(KeyText, TypingThatWouldNeedAThirdLineIsRefusedAndTheSecondLineStays) {
    w->OpenKeyEditor();
    const QString typed = TypeUntilRefused(Memo7(), QStringLiteral("営業部内線"));
    EXPECT_EQ(Lines(Memo7()), 2);
    EXPECT_EQ(Memo7()->refusedCount(), 1);
    const QStringList lines = EditorVisualLines(*Memo7());
    Press(Qt::Key_Tab);
    EXPECT_EQ(Utf(Key7().Line1), lines[0]);
    EXPECT_EQ(Utf(Key7().Line2), lines[1]);
    EXPECT_EQ(Utf(Key7().Line1) + Utf(Key7().Line2), typed);

    // One more character on a full first line: refused, both lines stay.
    const KeyLabel before = Key7();
    Press(Qt::Key_Up);
    ASSERT_EQ(e().CurrentKeyPos, 7);
    Press(Qt::Key_End);  // end of the first line
    Type(QStringLiteral("課"));
    EXPECT_EQ(Memo7()->refusedCount(), 2);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key7(), before);

    // A paste that needs a third line is refused as a whole; deleting works as ever.
    w->SelectKey(9);
    w->OpenKeyEditor();
    QApplication::clipboard()->setText(QStringLiteral("A\nB\nC"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->keyMemo(9)->toPlainText(), "");
    QApplication::clipboard()->setText(QStringLiteral("A\nB"));
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(3).Line1, "A");
    EXPECT_EQ(Key(3).Line2, "");
}

TEST_F(KeyText, AKeyThatHoldsMoreThanItShowsIsMarkedAndLosesNothingWhenEdited) {
    Key7().Line1 = Sjis("東京本社第一営業部第二課長代理補佐室内線");
    Key7().Line2 = Sjis("内線");
    w->ShowFace();
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());
    EXPECT_EQ(Tooltip(7), kLong + "\n" + QStringLiteral("内線"));
    const QImage shown = w->captionLabel(7)->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(shown.width() - 2, 1)), QColor(220, 0, 0));
    EXPECT_NE(QColor(shown.pixel(1, shown.height() - 2)), QColor(220, 0, 0));

    // Opened and left: nothing changes; typing more is refused; deleting keeps the rest.
    w->OpenKeyEditor();
    EXPECT_GT(Lines(Memo7()), 2);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Utf(Key7().Line1), kLong);
    Press(Qt::Key_Up);
    Type(QStringLiteral("新"));
    EXPECT_EQ(Memo7()->refusedCount(), 1);
    Press(Qt::Key_Delete);  // the first character
    Press(Qt::Key_Tab);
    EXPECT_EQ(Utf(Key7().Line1), kLong.mid(1));
    EXPECT_EQ(Key7().Line2, Sjis("内線"));
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());

    // Cut down to what fits, the mark and the tooltip go.
    Key7().Line1 = Sjis("営業");
    w->ShowKey(7);
    EXPECT_FALSE(w->captionLabel(7)->overflowMark());
    EXPECT_TRUE(w->captionLabel(7)->toolTip().isEmpty());
}

TEST_F(KeyText, AKeyLineOfHundredsOfKilobytesShowsAndEditsAtOnceAndKeepsItsBytes) {
    const std::string line(200000, 'A');  // no break point anywhere
    Key7().Line1 = line;
    Key(2).Line2 = line;
    QElapsedTimer timer;
    timer.start();
    w->ShowFace();
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());
    EXPECT_LE(Caption(7).size(), 1024);  // only what can show is laid out
    w->OpenKeyEditor();
    Press(Qt::Key_Delete);
    Press(Qt::Key_Tab);
    EXPECT_LT(timer.elapsed(), 20000);  // measuring word ends would take minutes
    EXPECT_EQ(Key7().Line1, line.substr(1));
    EXPECT_EQ(Key(2).Line2, line);
}

TEST_F(KeyText, GrowingTheFontAndBackNeverChangesTheText) {
    Key7().Line1 = Sjis("営業部");
    Key7().Line2 = Sjis("内線一二");
    w->ShowFace();
    const KeyLabel before = Key7();

    // Typed into the size box: 3, 36, then 9.
    QLineEdit* size = w->fontSizeBox()->lineEdit();
    size->setFocus();
    size->selectAll();
    Type("36");
    EXPECT_EQ(Key7().FontSize, 36);
    EXPECT_EQ(Key7().Line1, before.Line1);
    EXPECT_EQ(Key7().Line2, before.Line2);
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());
    size->selectAll();
    Type("9");
    EXPECT_EQ(Key7(), before);
    EXPECT_FALSE(w->captionLabel(7)->overflowMark());

    // Size steps up to 72 and down again, with the editor open.
    w->OpenKeyEditor();
    for (int i = 0; i < 70; ++i) w->toolButton(28)->click();
    EXPECT_EQ(Key7().FontSize, 72);
    for (int i = 0; i < 63; ++i) w->toolButton(29)->click();
    EXPECT_EQ(Key7(), before);

    // A font name typed letter by letter.
    QLineEdit* name = w->fontNameBox()->lineEdit();
    name->setFocus();
    name->selectAll();
    Type("IPAMincho");
    EXPECT_EQ(Key7().FontName, "IPAMincho");
    EXPECT_EQ(Key7().Line1, before.Line1);
    EXPECT_EQ(Key7().Line2, before.Line2);

    // The font dialog at 36 points and back.
    dialogs.fonts = {sw::app::FontChoice{QStringLiteral("IPAMincho"), 36, 0, 0},
                     sw::app::FontChoice{QStringLiteral("IPAMincho"), 9, 0, 0}};
    w->btnFontClick();
    EXPECT_EQ(Key7().FontSize, 36);
    w->btnFontClick();
    EXPECT_EQ(Key7().FontSize, 9);
    EXPECT_EQ(Key7().Line1, before.Line1);
    EXPECT_EQ(Key7().Line2, before.Line2);
}

TEST_F(KeyText, CharactersCp932CannotHoldAreRefusedOneByOne) {
    w->OpenKeyEditor();
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString yoshi = QString::fromUtf8("\xF0\xA0\xAE\xB7");  // 𠮷, a surrogate pair
    TypeCharacters(QStringLiteral("営") + emoji + QStringLiteral("業") + yoshi + QStringLiteral("部"));
    EXPECT_EQ(Memo7()->toPlainText(), QStringLiteral("営業部"));
    EXPECT_EQ(Memo7()->refusedCount(), 2);
    // A typed key that brings several characters at once keeps those CP932 can hold.
    QTest::sendKeyEvent(QTest::Click, Memo7(), Qt::Key_unknown, emoji + QStringLiteral("一"), {});
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("内") + yoshi + QStringLiteral("線"));
    QApplication::sendEvent(Memo7(), &commit);
    EXPECT_EQ(Memo7()->toPlainText(), QStringLiteral("営業部一内線"));
    EXPECT_EQ(Memo7()->refusedCount(), 4);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Utf(Key7().Line1) + Utf(Key7().Line2), QStringLiteral("営業部一内線"));
}

TEST_F(KeyText, AnInputMethodCommitTooLongForTwoLinesPutsInWhatFitsAndSaysWhatWasLeftOut) {
    w->OpenKeyEditor();
    Commit(Memo7(), QStringLiteral("とうきょう"), kLong);
    const QString in = Memo7()->toPlainText();
    ASSERT_FALSE(in.isEmpty());
    EXPECT_TRUE(kLong.startsWith(in)) << in.toStdString();
    EXPECT_EQ(Lines(Memo7()), 2);
    // Not a character more would have fitted.
    EXPECT_GT(VisualLines(kLong.left(in.size() + 1), Memo7()->font(), EditorTextWidth(*Memo7()),
                          Memo7()->wordWrapMode(), 3).size(), 2);
    EXPECT_EQ(Memo7()->refusedCount(), 1);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(kLong.mid(in.size(), 5))) << QToolTip::text().toStdString();
    Press(Qt::Key_Tab);
    EXPECT_EQ(Utf(Key7().Line1) + Utf(Key7().Line2), in);

    // A commit that fits goes in whole, untold.
    QToolTip::hideText();
    Commit(w->keyMemo(8), QStringLiteral("ないせん"), QStringLiteral("内線"));
    EXPECT_EQ(w->keyMemo(8)->toPlainText(), QStringLiteral("内線"));
    EXPECT_EQ(w->keyMemo(8)->refusedCount(), 0);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(KeyText, PastingWhileAKeyIsTypedStoresTheTextFirstAndPastes) {
    Key(3).Line1 = Sjis("受付");
    Key(3).BackColor = 0x00FFCC00;
    w->ShowFace();
    w->SelectKey(9);
    w->RunEditCommand(TfrmMain::EditCommand::KeyCopy);

    OpenEditor(7);
    Type("XYZ");
    Trigger("N7");  // 貼り付け from the edit menu
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(Key7().Line1, Sjis("受付"));
    EXPECT_EQ(Key7().BackColor, 0x00FFCC00u);
    EXPECT_TRUE(w->action("N7")->isEnabled());
    Trigger("Undo1");
    EXPECT_EQ(Key7().Line1, "XYZ");
    EXPECT_EQ(Key7().BackColor, 0x00FFFFFFu);

    // The tool button 張り付け, and the format paste.
    OpenEditor(8);
    Type("ABC");
    w->toolButton(10)->click();
    EXPECT_EQ(Key(2).Line1, Sjis("受付"));
    Trigger("Undo1");
    EXPECT_EQ(Key(2).Line1, "ABC");
    w->SelectKey(9);
    Trigger("N6");  // 書式コピー
    OpenEditor(10);
    Type("DEF");
    Trigger("N5");  // 書式貼り付け
    EXPECT_EQ(Key(4).Line1, "DEF");
    EXPECT_EQ(Key(4).BackColor, 0x00FFCC00u);
}

TEST_F(KeyText, CtrlKeysWorkAgainAfterAMenuWasClosedWithEscape) {
    Key7().Line1 = Sjis("営業");
    w->ShowFace();
    QMenuBar* bar = w->menuBar();
    QMenu* edit = w->findChild<QMenu*>(QStringLiteral("Edit1"));
    w->edtName()->setFocus();

    bar->setActiveAction(edit->menuAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->isVisible(); }));
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_FALSE(edit->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), bar);  // the menu bar holds the keyboard
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(e().KeyCopyMode, 1);
    EXPECT_TRUE(w->edtName()->hasFocus());

    // From a key editor: its own copy and paste work after the menu, and what was typed
    // is stored as ever.
    OpenEditor(8);
    Type("AB");
    bar->setActiveAction(edit->menuAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->isVisible(); }));
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_EQ(QApplication::focusWidget(), bar);
    QApplication::clipboard()->setText(QStringLiteral("CD"));
    Press(Qt::Key_V, Qt::ControlModifier);  // the editor's own paste
    EXPECT_TRUE(w->keyMemo(8)->hasFocus());
    EXPECT_EQ(w->keyMemo(8)->toPlainText(), "ABCD");
    Press(Qt::Key_Tab);
    EXPECT_EQ(Key(2).Line1, "ABCD");
}

}  // namespace
}  // namespace sw::editor
