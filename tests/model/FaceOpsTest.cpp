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

TEST_F(FaceOpsTest, CopyLeavesThePendingUndoAndTheClipboardAlone) {
    Key(1, 1, 1) = Label("before");
    SetFontName(ws(), "Changed");
    CopyFaceTo(ws(), 2);
    EXPECT_EQ(States(), "00001");
    EXPECT_EQ(Key(1, 2, 1).FontName, "Changed");

    UndoLastChange(ws());
    EXPECT_EQ(Key(1, 1, 1).FontName, "Serif");
    EXPECT_EQ(Key(1, 2, 1).FontName, "Changed");  // the copied face is not touched

    KeyCopy(ws());
    CopyFaceTo(ws(), 4);
    EXPECT_EQ(States(), "10010");
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
