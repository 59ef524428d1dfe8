// Formatting commands of the current key: what they store and which undo points they leave.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditingFixture.h"
#include "model/Clipboard.h"
#include "model/KeyFormat.h"

namespace sw::model {
namespace {

using ::testing::ElementsAre;

using KeyFormatTest = Editing;

TEST_F(KeyFormatTest, BoldTwiceIsUnchangedWithAnUndoPointPerClick) {
    Key(1, 1, 1).FontStyle = kStyleStrikeOut;
    EXPECT_THAT(ToggleFontStyle(ws(), kStyleBold).positions, ElementsAre(7));
    EXPECT_EQ(Key(1, 1, 1).FontStyle, kStyleBold | kStyleStrikeOut);
    ToggleFontStyle(ws(), kStyleBold);
    EXPECT_EQ(Key(1, 1, 1).FontStyle, kStyleStrikeOut);
    // Undo goes back one click only: bold again.
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).FontStyle, kStyleBold | kStyleStrikeOut);
    EXPECT_EQ(States(), "00000");
}

TEST_F(KeyFormatTest, SizeStepStartsFromTheBoxTextAndStaysWithinSevenToSeventyTwo) {
    KeyCopy(ws());
    Key(1, 1, 1).FontSize = 72;
    EXPECT_THAT(StepFontSize(ws(), "72", +1).positions, ElementsAre(7));
    EXPECT_EQ(Key(1, 1, 1).FontSize, 72);
    EXPECT_EQ(States(), "10010");  // nothing recorded

    Key(1, 1, 1).FontSize = 8;
    StepFontSize(ws(), "8", -1);
    EXPECT_EQ(Key(1, 1, 1).FontSize, 7);
    EXPECT_EQ(States(), "00001");
    KeyCopy(ws());
    StepFontSize(ws(), "7", -1);
    EXPECT_EQ(Key(1, 1, 1).FontSize, 7);
    EXPECT_EQ(States(), "10010");

    // Not a number counts as 0 and clamps to 7; a typed 100 steps down to 72.
    Key(1, 1, 1).FontSize = 20;
    StepFontSize(ws(), "abc", +1);
    EXPECT_EQ(Key(1, 1, 1).FontSize, 7);
    StepFontSize(ws(), "100", -1);
    EXPECT_EQ(Key(1, 1, 1).FontSize, 72);
    StepFontSize(ws(), "2147483647", +1);
    EXPECT_EQ(Key(1, 1, 1).FontSize, 72);
}

TEST_F(KeyFormatTest, TypedSizesAreStoredAsTypedAndEachKeystrokeIsAnUndoPoint) {
    KeyCopy(ws());
    SetFontSizeText(ws(), "1");
    EXPECT_EQ(Key(1, 1, 1).FontSize, 1);
    SetFontSizeText(ws(), "12");
    EXPECT_EQ(Key(1, 1, 1).FontSize, 12);
    EXPECT_EQ(States(), "00001");  // the pastes are gone
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).FontSize, 1);

    for (auto [text, size] : {std::pair{"0", 0}, {"-3", -3}, {"500", 500}, {"", 7},
                              {"1x", 7}, {"99999999999", 7}, {" 14 ", 14}}) {
        SetFontSizeText(ws(), text);
        EXPECT_EQ(Key(1, 1, 1).FontSize, size) << "typed '" << text << "'";
    }
}

TEST_F(KeyFormatTest, ChoosingTheColourAlreadyStoredRecordsNothing) {
    KeyCopy(ws());
    EXPECT_TRUE(SetBackColor(ws(), kWhite).Empty());
    EXPECT_TRUE(SetFontColor(ws(), kBlack).Empty());
    EXPECT_EQ(States(), "10010");

    SetFontColor(ws(), 0x000000FF);
    EXPECT_EQ(Key(1, 1, 1).FontColor, 0x000000FFu);
    SetBackColor(ws(), 0x00C0C0C0);
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).BackColor, kWhite);
    EXPECT_EQ(Key(1, 1, 1).FontColor, 0x000000FFu);  // only the last change is undone
}

TEST_F(KeyFormatTest, FontDialogRecordsExactlyWhatChangedAsOneUndoPoint) {
    Key(1, 1, 1) = Label("text");
    KeyCopy(ws());
    EXPECT_TRUE(ApplyFontChoice(ws(), KeyFontOf(Key(1, 1, 1))).Empty());
    EXPECT_EQ(States(), "10010");

    KeyFont chosen = KeyFontOf(Key(1, 1, 1));
    chosen.name = "Sans";
    chosen.size = 20;
    ApplyFontChoice(ws(), chosen);
    EXPECT_EQ(Key(1, 1, 1).FontName, "Sans");
    EXPECT_EQ(Key(1, 1, 1).FontSize, 20);
    EXPECT_TRUE(ed().ChangedFontName && ed().ChangedFontSize);
    EXPECT_FALSE(ed().ChangedFontStyle || ed().ChangedFontColor);

    // Changing the colour from outside meanwhile shows that undo touches only the
    // recorded fields.
    Key(1, 1, 1).FontColor = 0x00ABCDEF;
    UndoLastChange(ws());
    KeyLabel expected = Label("text");
    expected.FontColor = 0x00ABCDEF;
    EXPECT_EQ(Key(1, 1, 1), expected);

    chosen = KeyFontOf(Key(1, 1, 1));
    chosen.style = kStyleStrikeOut | kStyleUnderline;
    ApplyFontChoice(ws(), chosen);
    EXPECT_EQ(Key(1, 1, 1).FontStyle, kStyleStrikeOut | kStyleUnderline);
}

TEST_F(KeyFormatTest, RadioButtonsStoreOnlyANewValue) {
    KeyCopy(ws());
    EXPECT_TRUE(ApplyFormatRadio(ws(), 2).Empty());  // 中央 on a centred key
    EXPECT_TRUE(ApplyFormatRadio(ws(), 5).Empty());
    EXPECT_EQ(States(), "10010");

    ApplyFormatRadio(ws(), 3);
    EXPECT_EQ(Key(1, 1, 1).Alignment, kAlignRight);
    ApplyFormatRadio(ws(), 6);
    EXPECT_EQ(Key(1, 1, 1).Layout, kLayoutBottom);
    EXPECT_EQ(AlignmentRadioFor(Key(1, 1, 1).Alignment), 3);
    EXPECT_EQ(LayoutRadioFor(Key(1, 1, 1).Layout), 6);
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).Layout, kLayoutMiddle);
    EXPECT_EQ(Key(1, 1, 1).Alignment, kAlignRight);
}

TEST_F(KeyFormatTest, ThirtyKeyPositionSevenIsKeySeven) {
    ws().labelSet.Entries[1].ButtonModel = kModel30;
    Stand(1, 3, 7);
    SetFontName(ws(), "Mono");
    EXPECT_EQ(Key(1, 3, 7).FontName, "Mono");
    EXPECT_EQ(Key(1, 3, 1).FontName, kDefaultFontName);
}

TEST_F(KeyFormatTest, EditorLinesDropAnEmptyFirstLine) {
    EXPECT_EQ(KeyLinesFromEditor("", "ABC"), (std::pair<Bytes, Bytes>{"ABC", ""}));
    EXPECT_EQ(KeyLinesFromEditor("A", "B"), (std::pair<Bytes, Bytes>{"A", "B"}));
    EXPECT_EQ(KeyLinesFromEditor("A", ""), (std::pair<Bytes, Bytes>{"A", ""}));
}

}  // namespace
}  // namespace sw::model
