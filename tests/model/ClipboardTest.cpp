// Key, format and entry clipboard, one-level undo and the edit command states.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditingFixture.h"
#include "model/Clipboard.h"
#include "model/FaceOps.h"
#include "model/KeyFormat.h"

namespace sw::model {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ClipboardTest = Editing;

TEST_F(ClipboardTest, CommandStatesFollowEachCopyPasteUndoAndDeselect) {
    EXPECT_EQ(States(), "00000");  // after "新規作成"

    KeyCopy(ws());
    EXPECT_EQ(States(), "10010");
    KeyPaste(ws());
    EXPECT_EQ(States(), "10011");
    UndoLastChange(ws());
    EXPECT_EQ(States(), "10010");
    KeyCut(ws());
    EXPECT_EQ(States(), "10010");

    FormatCopy(ws());
    EXPECT_EQ(States(), "01010");
    FormatPaste(ws());
    EXPECT_EQ(States(), "01011");

    EntryCopy(ws());
    EXPECT_EQ(States(), "00110");
    EntryPaste(ws());
    EXPECT_EQ(States(), "00111");
    UndoLastChange(ws());
    EXPECT_EQ(States(), "00110");
    EntryCut(ws());
    EXPECT_EQ(States(), "00110");

    RecordKeyChange(ws(), kChangeAlignment);
    EXPECT_EQ(States(), "00001");
    Deselect(ws());
    EXPECT_EQ(States(), "00000");
}

TEST_F(ClipboardTest, DisabledCommandsChangeNothing) {
    Key(1, 1, 1) = Label("A");
    KeyCopy(ws());
    // Undo right after a copy is off and does nothing.
    Key(1, 1, 1).Line1 = "typed";
    EXPECT_TRUE(UndoLastChange(ws()).Empty());
    EXPECT_EQ(Key(1, 1, 1).Line1, "typed");

    // After Deselect nothing can be pasted until the next copy.
    Deselect(ws());
    Stand(1, 1, 8);
    EXPECT_TRUE(KeyPaste(ws()).Empty());
    EXPECT_TRUE(FormatPaste(ws()).Empty());
    EXPECT_TRUE(EntryPaste(ws()).Empty());
    EXPECT_EQ(Key(1, 1, 2), KeyLabel{});
}

TEST_F(ClipboardTest, KeyPasteAtPosition07OfEighteenKeysWritesKeyOne) {
    ws().labelSet.Entries[2].ButtonModel = kModel30;
    Stand(2, 1, 1);
    Key(2, 1, 1) = Label("src");
    KeyCopy(ws());

    Stand(1, 2, 7);  // 18 keys
    Refresh refresh = KeyPaste(ws());
    EXPECT_EQ(Key(1, 2, 1), Label("src"));
    EXPECT_EQ(Key(1, 2, 7), KeyLabel{});
    EXPECT_THAT(refresh.positions, ElementsAre(7));
    // A copy leaves its source alone.
    EXPECT_EQ(Key(2, 1, 1), Label("src"));
}

TEST_F(ClipboardTest, CutMovesTheKeyAcrossEntriesAndFacesAndUndoRestoresBoth) {
    Key(1, 1, 1) = Label("moved");
    Key(2, 3, 5) = Label("old");
    KeyCut(ws());
    EXPECT_EQ(Key(1, 1, 1), Label("moved"));  // a cut changes nothing yet

    Stand(2, 3, 11);
    Refresh paste = KeyPaste(ws());
    EXPECT_EQ(Key(2, 3, 5), Label("moved"));
    EXPECT_EQ(Key(1, 1, 1), KeyLabel{});
    EXPECT_THAT(paste.positions, ElementsAre(11));  // the source is not on screen

    Refresh undo = UndoLastChange(ws());
    EXPECT_EQ(Key(2, 3, 5), Label("old"));
    EXPECT_EQ(Key(1, 1, 1), Label("moved"));
    EXPECT_THAT(undo.positions, ElementsAre(11));

    // Undone, the cut moves again on the next paste.
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 1, 1), KeyLabel{});
}

TEST_F(ClipboardTest, CutOnTheFaceShownAsksForTheClearedSourceToo) {
    Key(1, 1, 1) = Label("x");
    KeyCut(ws());
    Stand(1, 1, 9);
    Refresh refresh = KeyPaste(ws());
    EXPECT_THAT(refresh.positions, ElementsAre(7, 9));
    Refresh undo = UndoLastChange(ws());
    EXPECT_THAT(undo.positions, ElementsAre(9, 7));
}

TEST_F(ClipboardTest, CutPastedOntoItsOwnKeyKeepsIt) {
    Key(1, 1, 1) = Label("mine");
    KeyCut(ws());
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 1, 1), Label("mine"));
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1), Label("mine"));
    // That paste undone, the cut still moves the key on its next paste.
    Stand(1, 1, 8);
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 1, 2), Label("mine"));
    EXPECT_EQ(Key(1, 1, 1), KeyLabel{});
}

TEST_F(ClipboardTest, CutPastedTwiceFillsBothTargetsAndClearsItsSourceOnce) {
    Key(1, 1, 1) = Label("cut");
    KeyCut(ws());
    Stand(1, 3, 8);
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 1, 1), KeyLabel{});

    // A face copy puts a new key where the cut came from; the second paste leaves it.
    Stand(1, 2, 7);
    Key(1, 2, 1).Line1 = "from face 2";
    CopyFaceTo(ws(), 1);
    Stand(1, 1, 9);
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 3, 2), Label("cut"));
    EXPECT_EQ(Key(1, 1, 3), Label("cut"));
    EXPECT_EQ(Key(1, 1, 1).Line1, "from face 2");

    // Undo of the second paste restores its target only.
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 3), KeyLabel{});
    EXPECT_EQ(Key(1, 3, 2), Label("cut"));
    EXPECT_EQ(Key(1, 1, 1).Line1, "from face 2");
}

TEST_F(ClipboardTest, FormatPasteKeepsTheTextAndUndoRestoresAllNineFields) {
    Key(1, 1, 1) = Label("format source");
    FormatCopy(ws());
    Stand(1, 1, 8);
    KeyLabel before;
    before.Line1 = "keep";
    before.Line2 = "me";
    before.FontSize = 30;
    before.Layout = kLayoutTop;
    Key(1, 1, 2) = before;

    Refresh refresh = FormatPaste(ws());
    EXPECT_EQ(Key(1, 1, 2), Label("keep", "me"));
    EXPECT_THAT(refresh.positions, ElementsAre(8));
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 2), before);

    // The format can be pasted onto further keys.
    Stand(1, 1, 9);
    FormatPaste(ws());
    EXPECT_EQ(Key(1, 1, 3), Label("", ""));
}

TEST_F(ClipboardTest, EntryPasteReplacesAllHundredTwentyKeysAndKeepsTheRestOfTheEntry) {
    ManagementEntry& source = ws().labelSet.Entries[3];
    source.ButtonModel = kModel30;
    for (int f = 1; f <= kFaceCount; ++f)
        for (int k = 1; k <= kKeyCount; ++k)
            Key(3, f, k) = Label(("f" + std::to_string(f) + "k" + std::to_string(k)).c_str());
    ManagementEntry& target = ws().labelSet.Entries[4];  // 18 keys
    target.Name = "target";
    target.Faces[2].PictureFile = "/pics/a.jpg";
    target.Faces[4].BackgroundColor = 0x00123456;
    Key(4, 4, 30) = Label("hidden key");
    const ManagementEntry targetBefore = target;
    const ManagementEntry sourceBefore = source;

    Stand(3, 2, 5);
    EntryCut(ws());
    Stand(4, 1, 7);
    Refresh refresh = EntryPaste(ws());
    EXPECT_TRUE(refresh.entry && refresh.face);
    for (int f = 1; f <= kFaceCount; ++f)
        for (int k = 1; k <= kKeyCount; ++k) {
            ASSERT_EQ(Key(4, f, k), sourceBefore.Faces[f].Keys[k]);
            ASSERT_EQ(Key(3, f, k), KeyLabel{});
        }
    EXPECT_EQ(target.Name, "target");
    EXPECT_EQ(target.ButtonModel, kModel18);
    EXPECT_EQ(target.Faces[2].PictureFile, "/pics/a.jpg");
    EXPECT_EQ(target.Faces[4].BackgroundColor, 0x00123456u);

    UndoLastChange(ws());
    EXPECT_EQ(target, targetBefore);
    EXPECT_EQ(source, sourceBefore);
}

TEST_F(ClipboardTest, EntryCutPastedIntoTheSameEntryKeepsItsKeys) {
    Key(1, 1, 1) = Label("a");
    Key(1, 4, 30) = Label("b");
    const ManagementEntry before = ws().labelSet.Entries[1];
    EntryCut(ws());
    EntryPaste(ws());
    EXPECT_EQ(ws().labelSet.Entries[1], before);
    UndoLastChange(ws());
    EXPECT_EQ(ws().labelSet.Entries[1], before);
}

TEST_F(ClipboardTest, AnEntryCutWhoseKeysChangedSinceIsNotWiped) {
    Key(1, 1, 1) = Label("cut");
    EntryCut(ws());
    Stand(1, 2, 7);
    Key(1, 2, 1) = Label("new");
    CopyFaceTo(ws(), 3);  // no undo point: the entry clipboard stays
    Stand(2, 1, 7);
    EntryPaste(ws());
    EXPECT_EQ(Key(2, 1, 1), Label("cut"));
    EXPECT_EQ(Key(2, 3, 1), KeyLabel{});
    EXPECT_EQ(Key(1, 1, 1), Label("cut"));
    EXPECT_EQ(Key(1, 3, 1).Line1, "new");
}

TEST_F(ClipboardTest, AFormattingChangeEmptiesTheClipboard) {
    Key(1, 1, 1) = Label("copied");
    KeyCopy(ws());
    Stand(1, 1, 8);
    SetBackColor(ws(), 0x00FF0000);
    EXPECT_EQ(States(), "00001");
    EXPECT_TRUE(KeyPaste(ws()).Empty());
    EXPECT_EQ(Key(1, 1, 2).Line1, "");
}

TEST_F(ClipboardTest, UndoOfAFontChangeBringsBackTheFieldAndBothLines) {
    Key(1, 1, 1) = Label("first", "second");
    SetFontSizeText(ws(), "20");
    // Showing the key in the larger font re-flows its lines.
    Key(1, 1, 1).Line1 = "fir";
    Key(1, 1, 1).Line2 = "stsecond";
    Refresh refresh = UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1), Label("first", "second"));
    EXPECT_THAT(refresh.positions, ElementsAre(7));
}

TEST_F(ClipboardTest, UndoFindsItsKeyWhereTheCurrentModelShowsIt) {
    ws().labelSet.Entries[5].ButtonModel = kModel30;
    Stand(5, 2, 3);
    SetAlignment(ws(), kAlignRight);
    // The entry goes to 18 keys: key 3 now sits at position 09.
    ws().labelSet.Entries[5].ButtonModel = kModel18;
    Stand(5, 2, 7);
    EXPECT_THAT(UndoLastChange(ws()).positions, ElementsAre(9));
    EXPECT_EQ(Key(5, 2, 3).Alignment, kAlignCenter);

    // Key 20 is hidden under 18 keys: restored, nothing shown.
    ws().labelSet.Entries[5].ButtonModel = kModel30;
    Stand(5, 2, 20);
    SetAlignment(ws(), kAlignLeft);
    ws().labelSet.Entries[5].ButtonModel = kModel18;
    Stand(5, 2, 7);
    EXPECT_THAT(UndoLastChange(ws()).positions, IsEmpty());
    EXPECT_EQ(Key(5, 2, 20).Alignment, kAlignCenter);
}

TEST_F(ClipboardTest, TextStoreRecordsOnlyARealChangeOnTheFaceBeingEdited) {
    Key(1, 1, 1) = Label("same", "text");
    KeyCopy(ws());
    StoreKeyText(ws(), "same", "text");
    EXPECT_EQ(States(), "10010");  // nothing recorded, the clipboard stays

    // A face switch closes the editor after CurrentFace moved on: the text goes to EditFace.
    ed().CurrentFace = 2;
    Refresh refresh = StoreKeyText(ws(), "", "moves up");
    EXPECT_EQ(Key(1, 1, 1).Line1, "moves up");
    EXPECT_EQ(Key(1, 1, 1).Line2, "");
    EXPECT_EQ(Key(1, 2, 1).Line1, "");
    EXPECT_TRUE(refresh.Empty());
    EXPECT_EQ(States(), "00001");

    ed().EditFace = 2;
    EXPECT_THAT(UndoLastChange(ws()).positions, IsEmpty());  // face 1 is not shown
    EXPECT_EQ(Key(1, 1, 1), Label("same", "text"));
}

}  // namespace
}  // namespace sw::model
