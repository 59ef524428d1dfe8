// The key grid: which key each position shows, selection, key model and face switches,
// entry switches, and keeping key texts to two lines as the editor wraps them.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "editor/MainWindowFixture.h"
#include "editor/TfrmMain.h"
#include "editor/VisualLines.h"
#include "editor/WindowFixture.h"
#include "render/SheetRenderer.h"
#include "support/ScriptedDialogs.h"

namespace sw::editor {
namespace {

using sw::model::KeyLabel;
using sw::test::Sjis;
using sw::test::Utf;

class KeyGrid : public sw::test::MainWindowFixture {
protected:
    KeyLabel& Key(int entry, int face, int k) { return ws->labelSet.Entries[entry].Faces[face].Keys[k]; }
    // Every key of an entry's faces names itself: "E<entry>F<face>K<key>".
    void NameKeys(int entry) {
        for (int f = 1; f <= 4; ++f)
            for (int k = 1; k <= 30; ++k)
                Key(entry, f, k).Line1 = "E" + std::to_string(entry) + "F" + std::to_string(f) + "K" + std::to_string(k);
    }
    QString Caption(int p) { return w->captionLabel(p)->text(); }
    QRadioButton* Radio(int n) { return w->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n)); }
    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
};

TEST_F(KeyGrid, ModelSwitchMovesTheStoredKeysOnScreenAndBack) {
    NameKeys(1);
    w->ShowFace();
    EXPECT_EQ(Caption(7), "E1F1K1");
    EXPECT_EQ(Caption(24), "E1F1K18");

    Click(Radio(11));  // 30ボタン
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 0);
    EXPECT_EQ(ws->editor.KeyOffset, 0);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_EQ(w->pnlADial()->text(), "01");
    for (int p = 1; p <= 30; ++p) {
        EXPECT_FALSE(w->keyPanel(p)->isHidden()) << p;
        EXPECT_EQ(Caption(p), QStringLiteral("E1F1K%1").arg(p)) << p;
        EXPECT_EQ(w->numberLabel(p)->text(), QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0')));
    }
    EXPECT_EQ(w->keyPanel(1)->look(), PanelLook::Selected);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Normal);
    EXPECT_FALSE(w->findChild<QWidget*>("Image430")->isHidden());
    EXPECT_EQ(w->findChild<QWidget*>("Image1")->geometry(), QRect(39, 27, 396, 227));

    Click(Radio(12));  // back to 18ボタン
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 1);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(Caption(7), "E1F1K1");
    EXPECT_EQ(Caption(24), "E1F1K18");
    EXPECT_TRUE(w->keyPanel(1)->isHidden());
    EXPECT_TRUE(w->keyPanel(30)->isHidden());
    EXPECT_EQ(w->keyPanel(1)->look(), PanelLook::Normal);  // only one position looks selected
    // The keys an 18-key entry does not show are kept.
    EXPECT_EQ(Key(1, 1, 30).Line1, "E1F1K30");
}

TEST_F(KeyGrid, ClickingTheCheckedModelChangesNothing) {
    w->SelectKey(15);
    Click(Radio(12));
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, 1);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 15);
    EXPECT_EQ(w->keyPanel(15)->look(), PanelLook::Selected);
}

TEST_F(KeyGrid, SelectingAKeyMovesTheSelectionAndShowsItsFormat) {
    Key(1, 1, 4).FontName = Sjis("ＭＳ 明朝");
    Key(1, 1, 4).FontSize = 14;
    Key(1, 1, 4).Alignment = sw::model::kAlignRight;
    Key(1, 1, 4).Layout = sw::model::kLayoutBottom;
    Key(1, 1, 5).Alignment = sw::model::kAlignLeft;
    w->ShowFace();
    // Showing the face shows the format panel of the current key only.
    EXPECT_TRUE(Radio(2)->isChecked());

    QSignalSpy doubleClicks(w.get(), &TfrmMain::keyDoubleClicked);
    Click(w->captionLabel(10));  // position 10 = key 4
    EXPECT_EQ(ws->editor.CurrentKeyPos, 10);
    EXPECT_EQ(w->pnlADial()->text(), "04");
    EXPECT_EQ(w->keyPanel(10)->look(), PanelLook::Selected);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Normal);
    EXPECT_EQ(w->keyPanel(8)->look(), PanelLook::Initial);
    EXPECT_EQ(w->fontNameBox()->currentText(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(w->fontSizeBox()->currentText(), "14");
    EXPECT_TRUE(Radio(3)->isChecked());
    EXPECT_TRUE(Radio(6)->isChecked());
    EXPECT_EQ(w->captionLabel(10)->alignment(), Qt::AlignRight | Qt::AlignBottom);
    EXPECT_EQ(w->captionLabel(11)->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    // Filling the format panel stored nothing.
    EXPECT_EQ(Key(1, 1, 5).Alignment, sw::model::kAlignLeft);
    EXPECT_EQ(doubleClicks.count(), 0);

    QTest::mouseDClick(w->captionLabel(11), Qt::LeftButton);
    ASSERT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(doubleClicks[0][0].toInt(), 11);
}

TEST_F(KeyGrid, TheCaptionShowsBothLinesAndTheKeyColours) {
    Key(1, 1, 2).Line1 = Sjis("営業");
    Key(1, 1, 2).Line2 = Sjis("内線");
    Key(1, 1, 2).BackColor = 0x000000FF;  // red
    Key(1, 1, 2).FontColor = 0x00FF0000;  // blue
    Key(1, 1, 3).Line1 = "<b>x";
    w->ShowFace();
    EXPECT_EQ(Caption(8), QStringLiteral("営業\n内線"));
    EXPECT_EQ(w->keyPanel(8)->color(), QColor(255, 0, 0));
    EXPECT_EQ(w->captionLabel(8)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(Caption(9), QStringLiteral("<b>x"));  // shown as typed, not as markup
    EXPECT_EQ(w->captionLabel(9)->textFormat(), Qt::PlainText);
}

TEST_F(KeyGrid, FaceTabSwitchShowsThatFaceWithPosition07Selected) {
    ws->labelSet.Entries[1].ButtonModel = 0;
    NameKeys(1);
    w->ShowEntry();
    w->ShowFace();
    w->ShowCurrentKey();
    w->SelectKey(20);
    w->tabPage()->setCurrentIndex(2);
    EXPECT_EQ(ws->editor.CurrentFace, 3);
    EXPECT_EQ(ws->editor.EditFace, 3);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);  // key 07 under 30 keys, not key 01
    EXPECT_EQ(w->pnlADial()->text(), "07");
    EXPECT_EQ(Caption(1), "E1F3K1");
    EXPECT_EQ(Caption(30), "E1F3K30");
    EXPECT_EQ(w->keyPanel(20)->look(), PanelLook::Normal);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_FALSE(w->findChild<QWidget*>("btnCopy3")->isEnabled());
    EXPECT_TRUE(w->findChild<QWidget*>("btnCopy1")->isEnabled());
}

TEST_F(KeyGrid, TypingAnEntryOfTheOtherModelLaysTheGridOutAgain) {
    NameKeys(1);
    NameKeys(7);
    ws->labelSet.Entries[7].ButtonModel = 0;
    ws->labelSet.Entries[7].Name = Sjis("総務");
    w->ShowFace();
    w->edtNaisen()->setFocus();
    w->edtNaisen()->selectAll();
    QTest::keyClicks(w->edtNaisen(), "7");
    QTest::keyClick(w->edtNaisen(), Qt::Key_Return);  // Enter moves on to the name field
    EXPECT_TRUE(w->edtName()->hasFocus());
    EXPECT_EQ(ws->editor.CurrentEntry, 7);
    EXPECT_EQ(w->edtNaisen()->text(), "07");
    EXPECT_EQ(w->edtName()->text(), QStringLiteral("総務"));
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    for (int p = 1; p <= 30; ++p) EXPECT_EQ(Caption(p), QStringLiteral("E7F1K%1").arg(p)) << p;
    EXPECT_EQ(w->keyPanel(1)->look(), PanelLook::Selected);
    EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), QColor(166, 202, 240));
    EXPECT_FALSE(w->edtName()->hasSelectedText());
    EXPECT_EQ(w->edtName()->cursorPosition(), 0);
}

TEST_F(KeyGrid, AnEntryOfTheSameModelKeepsTheSelectedPosition) {
    NameKeys(2);
    w->SelectKey(12);
    w->edtNaisen()->setText("2");
    EXPECT_TRUE(w->ApplyEntryNumber());
    EXPECT_EQ(ws->editor.CurrentEntry, 2);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 12);
    EXPECT_EQ(Caption(12), "E2F1K6");
    EXPECT_EQ(w->keyPanel(12)->look(), PanelLook::Selected);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(KeyGrid, AnInvalidEntryNumberIsReportedAndChangesNothing) {
    for (const char* typed : {"0", "51", "", "x"}) {
        dialogs.messages.clear();
        w->edtNaisen()->setText(QString::fromLatin1(typed));
        EXPECT_FALSE(w->ApplyEntryNumber()) << typed;
        ASSERT_EQ(dialogs.messages.size(), 1u) << typed;
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Ｎｏが誤っています。"));
        EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
        EXPECT_EQ(ws->editor.CurrentEntry, 1);
        EXPECT_TRUE(w->edtNaisen()->hasFocus());
        EXPECT_EQ(w->edtNaisen()->palette().color(QPalette::Base), QColor(166, 202, 240));
    }
    // Entering the name field applies the number again and refuses to take the focus look.
    w->edtNaisen()->setText("51");
    dialogs.messages.clear();
    w->edtName()->setFocus();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(w->edtNaisen()->hasFocus());
    EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST_F(KeyGrid, TheNumberFieldDropsAndRestoresLeadingZeros) {
    w->edtNaisen()->setFocus();
    EXPECT_EQ(w->edtNaisen()->text(), "1");
    EXPECT_EQ(w->edtNaisen()->selectedText(), "1");
    EXPECT_EQ(w->edtNaisen()->palette().color(QPalette::Base), QColor(166, 202, 240));
    w->edtNaisen()->setText("5");
    w->fontNameBox()->setFocus();  // leaving the field does not switch yet ...
    EXPECT_EQ(w->edtNaisen()->text(), "05");
    EXPECT_EQ(w->edtNaisen()->palette().color(QPalette::Base), QColor(255, 255, 255));
    // ... but focus entering the font box applies it.
    EXPECT_EQ(ws->editor.CurrentEntry, 5);
}

TEST_F(KeyGrid, TheNameFieldStoresWhatWasTypedWhenLeft) {
    w->edtName()->setFocus();
    EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), QColor(166, 202, 240));
    sw::test::TypeText(w->edtName(), QStringLiteral("第一営業部"));
    w->edtNaisen()->setFocus();
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("第一営業部"));
    EXPECT_EQ(w->edtName()->palette().color(QPalette::Base), QColor(255, 255, 255));
    // Clicking a face tab takes the focus, so a name being typed is kept.
    w->edtName()->setFocus();
    sw::test::TypeText(w->edtName(), QStringLiteral("２"));
    auto* bar = w->tabPage()->findChild<QTabBar*>();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(ws->editor.CurrentFace, 2);
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("２第一営業部"));
    EXPECT_EQ(w->edtName()->text(), QStringLiteral("２第一営業部"));
}

TEST_F(KeyGrid, APlainOperationsRefreshIsShown) {
    Key(1, 1, 3).Line1 = "NEW";
    ws->editor.PasteEnabled = true;
    ws->editor.UndoEnabled = true;
    sw::model::Refresh refresh;
    refresh.Key(9);
    w->PerformRefresh(refresh);
    EXPECT_EQ(Caption(9), "NEW");
    EXPECT_TRUE(w->action("N7")->isEnabled());
    EXPECT_TRUE(w->toolButton(10)->isEnabled());
    EXPECT_TRUE(w->action("Undo1")->isEnabled());
    EXPECT_FALSE(w->action("N11")->isEnabled());

    Key(1, 1, 1).Alignment = sw::model::kAlignLeft;
    ws->editor.CurrentKeyPos = 9;
    refresh = {};
    refresh.currentKey = true;
    w->PerformRefresh(refresh);
    EXPECT_EQ(w->pnlADial()->text(), "03");
    EXPECT_EQ(w->keyPanel(9)->look(), PanelLook::Selected);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Normal);
}

// --- Two lines as the editor shows them ---

class KeyLines : public KeyGrid {
protected:
    // Keys are measured with the fonts the program uses.
    void SetUp() override {
        sw::render::InstallFontSubstitutions();
        KeyGrid::SetUp();
    }
    KeyLabel& Key7() { return Key(1, 1, 1); }  // position 07
};

TEST_F(KeyLines, ALoneSecondLineIsShownAndKept) {
    Key7().Line2 = "ABC";
    w->ShowKey(7);
    EXPECT_EQ(Key7().Line1, "");
    EXPECT_EQ(Key7().Line2, "ABC");
    EXPECT_EQ(Caption(7), "ABC");
    EXPECT_FALSE(w->captionLabel(7)->overflowMark());
}

TEST_F(KeyLines, AnOverlongFirstLineIsShownClippedAndKept) {
    const QString text = QStringLiteral("東京本社第一営業部");
    Key7().Line1 = Sjis("東京本社第一営業部");
    w->ShowKey(7);
    EXPECT_EQ(Utf(Key7().Line1), text);
    EXPECT_EQ(Key7().Line2, "");
    EXPECT_EQ(Caption(7), text);
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());
}

TEST_F(KeyLines, WhatDoesNotFitIntoTwoLinesIsKept) {
    Key7().Line1 = Sjis("あいうえおかきくけこさしすせそたちつてと");
    Key7().Line2 = Sjis("内線");
    const KeyLabel before = Key7();
    w->ShowKey(7);
    w->ShowFace();
    EXPECT_EQ(Key7(), before);
    EXPECT_EQ(Caption(7), QStringLiteral("あいうえおかきくけこさしすせそたちつてと\n内線"));
    EXPECT_TRUE(w->captionLabel(7)->overflowMark());
}

TEST_F(KeyLines, TwoLinesThatFitAndBytesThatAreNotCp932AreKept) {
    Key7().Line1 = "AB";
    Key7().Line2 = "CD";
    Key(1, 1, 2).Line1 = "\x81\xff";  // not CP932: shown as a replacement character
    w->ShowFace();
    EXPECT_EQ(Key7().Line1, "AB");
    EXPECT_EQ(Key7().Line2, "CD");
    EXPECT_EQ(Key(1, 1, 2).Line1, "\x81\xff");
}

TEST_F(KeyLines, MeasuredLinesAgreeWithTheEditorsOwnWrapping) {
    KeyMemo* memo = w->keyMemo(7);
    memo->show();
    const QString texts[] = {
        QStringLiteral("東京本社第一営業部長室"), QStringLiteral("Sales dept. second floor"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), QStringLiteral("営業 Sales 第二"),
        QStringLiteral("内線\n１２３４５６７８９０１２")};
    for (int size : {8, 9, 12}) {
        for (const QString& text : texts) {
            QFont font = w->font();
            font.setFamily(QStringLiteral("IPAGothic"));
            font.setPointSize(size);
            memo->setFont(font);
            memo->setPlainText(text);
            QStringList shown;
            for (QTextBlock b = memo->document()->firstBlock(); b.isValid(); b = b.next()) {
                memo->document()->documentLayout()->blockBoundingRect(b);  // lays the block out
                QTextLayout* layout = b.layout();
                for (int i = 0; i < layout->lineCount(); ++i)
                    shown << b.text().mid(layout->lineAt(i).textStart(), layout->lineAt(i).textLength());
                if (layout->lineCount() == 0) shown << QString();
            }
            EXPECT_EQ(EditorVisualLines(*memo), shown) << text.toStdString() << " at " << size;
        }
    }
    memo->hide();
}

TEST_F(KeyLines, TheToolBarStoreTakesTheOpenEditorsLines) {
    w->OpenKeyEditor();
    QApplication::clipboard()->setText(QStringLiteral("\n受付"));  // line 1 empty, text on line 2
    QTest::keyClick(w->keyMemo(7), Qt::Key_V, Qt::ControlModifier);
    w->StoreKeyEditorText();
    EXPECT_EQ(Key7().Line1, Sjis("受付"));
    EXPECT_EQ(Key7().Line2, "");
    // A closed editor holds nothing to store.
    w->CloseKeyEditor();
    Key7().Line1 = "A";
    w->StoreKeyEditorText();
    EXPECT_EQ(Key7().Line1, "A");
}

}  // namespace
}  // namespace sw::editor
