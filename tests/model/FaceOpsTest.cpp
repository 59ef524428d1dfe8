// Copying a face onto another face of the entry, and clearing the face shown.
#include <gtest/gtest.h>

#include "EditingFixture.h"
#include "model/Clipboard.h"
#include "model/FaceOps.h"
#include "model/KeyFormat.h"

namespace sw::model {
namespace {

using FaceOpsTest = Editing;

TEST_F(FaceOpsTest, CopyCoversAllThirtyKeysButKeepsEachTargetKeysLayout) {
    PrintFace& source = ws().labelSet.Entries[2].Faces[1];
    source.PictureFile = "/pics/b.bmp";
    source.PictureLayout = 1;
    source.BackgroundMode = 1;
    source.BackgroundColor = 0x00112233;
    for (int k = 1; k <= kKeyCount; ++k) {
        Key(2, 1, k) = Label(("k" + std::to_string(k)).c_str());  // layout bottom
        Key(2, 3, k).Layout = static_cast<std::uint8_t>(k % 3);
    }
    const PrintFace face2 = ws().labelSet.Entries[2].Faces[2];
    Stand(2, 1, 7);  // 18 keys: keys 19..30 are hidden and copied all the same

    EXPECT_TRUE(CopyFaceTo(ws(), 3).Empty());

    const PrintFace& target = ws().labelSet.Entries[2].Faces[3];
    EXPECT_EQ(target.PictureFile, "/pics/b.bmp");
    EXPECT_EQ(target.PictureLayout, 1);
    EXPECT_EQ(target.BackgroundMode, 1);
    EXPECT_EQ(target.BackgroundColor, 0x00112233u);
    for (int k = 1; k <= kKeyCount; ++k) {
        KeyLabel expected = Key(2, 1, k);
        expected.Layout = static_cast<std::uint8_t>(k % 3);
        ASSERT_EQ(Key(2, 3, k), expected) << "key " << k;
    }
    EXPECT_EQ(ws().labelSet.Entries[2].Faces[2], face2);
    EXPECT_EQ(ws().labelSet.Entries[1].Faces[3], PrintFace{});

    // Onto itself nothing happens.
    Key(2, 1, 1).Layout = kLayoutTop;
    CopyFaceTo(ws(), 1);
    EXPECT_EQ(Key(2, 1, 1).Layout, kLayoutTop);
}

TEST_F(FaceOpsTest, ACopyIsTheOneUndoStepAndLeavesTheClipboardAlone) {
    Key(1, 1, 1) = Label("before");
    Key(1, 2, 5) = Label("face 2");
    ws().labelSet.Entries[1].Faces[2].BackgroundColor = 0x00445566;
    const PrintFace face2 = ws().labelSet.Entries[1].Faces[2];
    SetFontName(ws(), "Changed");
    CopyFaceTo(ws(), 2);
    EXPECT_EQ(States(), "00001");
    EXPECT_EQ(Key(1, 2, 1).FontName, "Changed");

    // Undo brings the overwritten face back; the font change before it stays.
    UndoLastChange(ws());
    EXPECT_EQ(ws().labelSet.Entries[1].Faces[2], face2);
    EXPECT_EQ(Key(1, 1, 1).FontName, "Changed");
    EXPECT_EQ(States(), "00000");

    // A copied key can still be pasted after a face copy, and undo then takes back the paste.
    KeyCopy(ws());
    CopyFaceTo(ws(), 4);
    EXPECT_EQ(States(), "10011");
    Stand(1, 4, 8);
    const KeyLabel before = Key(1, 4, 2);
    KeyPaste(ws());
    EXPECT_EQ(Key(1, 4, 2).FontName, "Changed");
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 4, 2), before);
    EXPECT_EQ(Key(1, 4, 1).FontName, "Changed");  // the face copy itself stays

    // A copy that changes nothing (layouts are not copied) leaves the undo record as it was.
    Stand(1, 1, 7);
    const std::uint8_t layout = Key(1, 1, 1).Layout;
    SetLayout(ws(), kLayoutTop);
    CopyFaceTo(ws(), 4);
    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).Layout, layout);
}

TEST_F(FaceOpsTest, ClearResetsTheFaceShownAndSelectsPosition07InBothModels) {
    for (std::int32_t model : {kModel18, kModel30}) {
        ws().labelSet.Entries[6].ButtonModel = model;
        PrintFace& face = ws().labelSet.Entries[6].Faces[4];
        face.PictureFile = "/pics/c.jpg";
        face.BackgroundMode = 1;
        face.BackgroundColor = 0;
        for (int k = 1; k <= kKeyCount; ++k) Key(6, 4, k) = Label("x");
        Key(6, 3, 1) = Label("other face");
        Stand(6, 4, 20);
        FormatCopy(ws());

        Refresh refresh = ClearFace(ws());
        EXPECT_EQ(face, PrintFace{});
        EXPECT_EQ(Key(6, 3, 1), Label("other face"));
        EXPECT_EQ(ed().CurrentKeyPos, 7);
        EXPECT_TRUE(refresh.entry && refresh.face && refresh.currentKey);
        EXPECT_EQ(States(), "01011");  // the format clipboard stays, and undo is on

        refresh = UndoLastChange(ws());
        EXPECT_EQ(face.PictureFile, "/pics/c.jpg");
        EXPECT_EQ(Key(6, 4, 30), Label("x"));
        EXPECT_TRUE(refresh.entry && refresh.face);
        EXPECT_EQ(States(), "01010");
    }
}

TEST_F(FaceOpsTest, OnlyTheCopyButtonOfTheFaceShownIsDisabled) {
    for (int face = 1; face <= kFaceCount; ++face) {
        OneBased<bool, kFaceCount> enabled = CopyButtonsEnabled(face);
        for (int n = 1; n <= kFaceCount; ++n) EXPECT_EQ(enabled[n], n != face);
    }
}

}  // namespace
}  // namespace sw::model
