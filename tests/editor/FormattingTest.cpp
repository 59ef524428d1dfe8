// The formatting commands of the current key: what each stores, the undo point it leaves
// (none when nothing changes), and what the formatting panel and the key then show.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "editor/EditorWindow.h"

namespace sw::editor {
namespace {

using sw::app::FontChoice;
using sw::test::Sjis;

class Formatting : public sw::test::EditorWindow {
protected:
    QPushButton* Button(const char* name) { return w->findChild<QPushButton*>(QString::fromLatin1(name)); }
    // A copied key keeps paste on until a change is recorded.
    void CopySomething() { w->RunEditCommand(TfrmMain::EditCommand::KeyCopy); }
    bool NothingRecorded() { return e().PasteEnabled && !e().UndoEnabled; }
    void TypeSize(const QString& text) {
        w->fontSizeBox()->setFocus();
        w->fontSizeBox()->lineEdit()->selectAll();
        Type(text);
    }
};

TEST_F(Formatting, AStyleButtonFlipsItsBitEachTimeAsAnUndoPointOfItsOwn) {
    Key(1).FontStyle = sw::model::kStyleStrikeOut;
    w->ShowFace();
    w->OpenKeyEditor();
    Type("X");
    w->toolButton(22)->click();  // 太字: closes the editor, which stores the text
    EXPECT_FALSE(e().KeyEditorOpen);
    EXPECT_EQ(Key(1).Line1, "X");
    EXPECT_EQ(Key(1).FontStyle, sw::model::kStyleStrikeOut | sw::model::kStyleBold);
    EXPECT_TRUE(w->captionLabel(7)->font().bold());
    w->toolButton(22)->click();
    EXPECT_EQ(Key(1).FontStyle, sw::model::kStyleStrikeOut);
    Trigger("Undo1");  // back to before the second click
    EXPECT_EQ(Key(1).FontStyle, sw::model::kStyleStrikeOut | sw::model::kStyleBold);
    w->toolButton(23)->click();
    w->toolButton(24)->click();
    EXPECT_EQ(Key(1).FontStyle, 1 | 2 | 4 | 8);
    EXPECT_TRUE(w->captionLabel(7)->font().underline());
}

TEST_F(Formatting, SizeStepsGoFromTheBoxAndStayWithin7And72) {
    Key(1).FontSize = 72;
    w->ShowFace();
    CopySomething();
    w->toolButton(28)->click();
    EXPECT_EQ(Key(1).FontSize, 72);
    EXPECT_TRUE(NothingRecorded());

    Key(1).FontSize = 8;
    w->ShowKey(7);
    w->toolButton(29)->click();
    EXPECT_EQ(Key(1).FontSize, 7);
    EXPECT_EQ(w->fontSizeBox()->currentText(), "7");
    EXPECT_TRUE(e().UndoEnabled);
    CopySomething();
    w->toolButton(29)->click();
    EXPECT_EQ(Key(1).FontSize, 7);
    EXPECT_TRUE(NothingRecorded());
}

TEST_F(Formatting, EachKeystrokeInTheSizeBoxAppliesAsItsOwnUndoPoint) {
    CopySomething();
    TypeSize("1");
    EXPECT_EQ(Key(1).FontSize, 1);
    EXPECT_FALSE(e().PasteEnabled);
    EXPECT_FALSE(w->action("N7")->isEnabled());
    Type("2");
    EXPECT_EQ(Key(1).FontSize, 12);
    EXPECT_EQ(w->fontSizeBox()->currentText(), "12");
    EXPECT_EQ(w->captionLabel(7)->font().pointSize(), 12);
    Trigger("Undo1");
    EXPECT_EQ(Key(1).FontSize, 1);
    EXPECT_EQ(w->fontSizeBox()->currentText(), "1");

    // Not a number counts as 7; the box keeps what is typed until it is left.
    TypeSize("-");
    EXPECT_EQ(Key(1).FontSize, 7);
    EXPECT_EQ(w->fontSizeBox()->currentText(), "-");
    w->fontNameBox()->setFocus();
    EXPECT_EQ(w->fontSizeBox()->currentText(), "7");
}

TEST_F(Formatting, AnyTypedSizeIsStoredAsTypedAndTheKeyIsStillDrawn) {
    Key(1).Line1 = Sjis("営業");
    w->ShowFace();
    for (const char* typed : {"0", "-5", "2147483647", "99999"}) {
        TypeSize(QString::fromLatin1(typed));
        EXPECT_EQ(std::to_string(Key(1).FontSize), typed);
        QElapsedTimer drawing;
        drawing.start();
        EXPECT_FALSE(w->grab().isNull());
        EXPECT_LT(drawing.elapsed(), 2000) << typed;
    }
}

TEST_F(Formatting, AColourDialogStoresOnlyAColourThatDiffers) {
    Key(1).FontColor = 0x000000FF;
    Key(1).BackColor = 0x00FFFFFF;
    w->ShowFace();
    CopySomething();
    dialogs.colors = {0x000000FF, std::nullopt, 0x0000FF00, 0x00123456};
    Click(Button("btnColor1"));  // the same red
    EXPECT_TRUE(NothingRecorded());
    Click(Button("btnColor"));  // cancelled
    EXPECT_TRUE(NothingRecorded());
    EXPECT_EQ(dialogs.colorPresets, (std::vector<sw::model::ColorRef>{0x000000FF, 0x00FFFFFF}));
    Click(Button("btnColor1"));
    EXPECT_EQ(Key(1).FontColor, 0x0000FF00u);
    EXPECT_EQ(w->captionLabel(7)->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_TRUE(e().UndoEnabled);
    EXPECT_FALSE(e().PasteEnabled);
    w->toolButton(25)->click();  // 背景色, after the tool-bar prologue
    EXPECT_EQ(Key(1).BackColor, 0x00123456u);
    EXPECT_EQ(w->keyPanel(7)->color(), QColor(0x56, 0x34, 0x12));
    Trigger("Undo1");
    EXPECT_EQ(Key(1).BackColor, 0x00FFFFFFu);
    EXPECT_EQ(Key(1).FontColor, 0x0000FF00u);
}

TEST_F(Formatting, TheFontDialogRecordsWhatChangedAsOneUndoPoint) {
    Key(1).Line1 = "AB";
    w->ShowFace();
    CopySomething();
    const FontChoice shown{QStringLiteral("ＭＳ ゴシック"), 9, 0, 0};
    dialogs.fonts = {shown, FontChoice{QStringLiteral("ＭＳ 明朝"), 14, 0, 0}};
    w->OpenKeyEditor();
    Click(Button("btnFont"));  // OK, nothing changed
    ASSERT_EQ(dialogs.fontPresets.size(), 1u);
    EXPECT_EQ(dialogs.fontPresets[0], shown);
    EXPECT_TRUE(NothingRecorded());

    Click(Button("btnFont"));
    EXPECT_EQ(Key(1).FontName, Sjis("ＭＳ 明朝"));
    EXPECT_EQ(Key(1).FontSize, 14);
    EXPECT_EQ(w->fontNameBox()->currentText(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(w->fontSizeBox()->currentText(), "14");
    // The editor stays open and shows the new font.
    EXPECT_TRUE(w->keyMemo(7)->isVisible());
    EXPECT_EQ(w->keyMemo(7)->font().pointSize(), 14);
    Trigger("Undo1");
    EXPECT_EQ(Key(1).FontName, Sjis("ＭＳ ゴシック"));
    EXPECT_EQ(Key(1).FontSize, 9);
    EXPECT_EQ(Key(1).Line1, "AB");
}

TEST_F(Formatting, AlignmentAndLayoutButtonsStoreOnlyANewValue) {
    CopySomething();
    Click(Radio(2));  // 中央 on a centred key
    EXPECT_TRUE(NothingRecorded());
    Click(Radio(3));
    EXPECT_EQ(Key(1).Alignment, sw::model::kAlignRight);
    EXPECT_EQ(w->captionLabel(7)->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    w->toolButton(15)->click();  // 左揃
    EXPECT_EQ(Key(1).Alignment, sw::model::kAlignLeft);
    EXPECT_TRUE(Radio(1)->isChecked());
    w->toolButton(20)->click();  // 下揃
    EXPECT_EQ(Key(1).Layout, sw::model::kLayoutBottom);
    EXPECT_TRUE(Radio(6)->isChecked());
    Trigger("Undo1");
    EXPECT_EQ(Key(1).Layout, sw::model::kLayoutMiddle);
    EXPECT_TRUE(Radio(5)->isChecked());
    EXPECT_EQ(Key(1).Alignment, sw::model::kAlignLeft);
}

TEST_F(Formatting, TheFontNameBoxOffersTheFontsAndStoresWhatIsTyped) {
    QComboBox* box = w->fontNameBox();
    QStringList names;
    for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
    for (const char* windowsName : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(windowsName))) << windowsName;
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(names, sorted);

    box->setFocus();
    box->lineEdit()->selectAll();
    Type("IPA");
    EXPECT_EQ(box->currentText(), "IPA");  // nothing completed: what is typed is stored
    EXPECT_EQ(Key(1).FontName, "IPA");
    Type("Gothic");
    EXPECT_EQ(Key(1).FontName, "IPAGothic");
    Trigger("Undo1");
    EXPECT_EQ(Key(1).FontName, "IPAGothi");

    // Showing another key's format from the program runs no command.
    CopySomething();
    Key(2).FontName = "IPAMincho";
    Key(2).FontSize = 20;
    Key(2).Alignment = sw::model::kAlignLeft;
    w->ShowKey(8);
    w->SelectKey(8);
    EXPECT_EQ(box->currentText(), "IPAMincho");
    EXPECT_TRUE(Radio(1)->isChecked());
    EXPECT_TRUE(NothingRecorded());
    EXPECT_EQ(Key(1).FontName, "IPAGothi");
}

}  // namespace
}  // namespace sw::editor
