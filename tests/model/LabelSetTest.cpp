// Reset values, key ranges and the whole-document operations on the workspace.
#include <gtest/gtest.h>

#include <memory>

#include "model/DocumentOps.h"
#include "model/PrintChoice.h"
#include "model/Workspace.h"

namespace sw::model {
namespace {

std::unique_ptr<Workspace> DirtyWorkspace() {
    auto ws = std::make_unique<Workspace>();
    for (int e = 1; e <= kEntryCount; ++e) {
        ManagementEntry& entry = ws->labelSet.Entries[e];
        entry.Name = "name";
        entry.ButtonModel = 0;
        for (int f = 1; f <= kFaceCount; ++f) {
            PrintFace& face = entry.Faces[f];
            face.PictureFile = "/x.bmp";
            face.PictureLayout = 1;
            face.BackgroundMode = 1;
            face.BackgroundColor = 0x123456;
            for (int k = 1; k <= kKeyCount; ++k) {
                KeyLabel& key = face.Keys[k];
                key = KeyLabel{0, 2, "a", "b", 1, 2, "Font", 15, 30};
            }
        }
    }
    return ws;
}

TEST(ResetLabelSet, EveryKeyFaceAndEntryTakesItsResetValue) {
    auto ws = DirtyWorkspace();
    ws->editor.CurrentEntry = 9;
    ws->editor.CurrentFace = 3;
    ws->editor.EditFace = 3;
    ResetLabelSet(*ws);

    for (int e = 1; e <= kEntryCount; ++e) {
        const ManagementEntry& entry = ws->labelSet.Entries[e];
        EXPECT_EQ(entry.Name, "");
        EXPECT_EQ(entry.ButtonModel, 1);
        for (int f = 1; f <= kFaceCount; ++f) {
            const PrintFace& face = entry.Faces[f];
            EXPECT_EQ(face.BackgroundMode, 0);
            EXPECT_EQ(face.PictureLayout, 0);
            EXPECT_EQ(face.PictureFile, "");
            EXPECT_EQ(face.BackgroundColor, 0x00FFFFFFu);
            for (int k = 1; k <= kKeyCount; ++k) {
                const KeyLabel& key = face.Keys[k];
                ASSERT_EQ(key.Alignment, 2);
                ASSERT_EQ(key.Layout, 1);
                ASSERT_EQ(key.Line1, "");
                ASSERT_EQ(key.Line2, "");
                ASSERT_EQ(key.BackColor, 0x00FFFFFFu);
                ASSERT_EQ(key.FontColor, 0u);
                ASSERT_EQ(key.FontName, "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
                ASSERT_EQ(key.FontStyle, 0);
                ASSERT_EQ(key.FontSize, 9);
            }
        }
    }
    // Entry 01, face 1, first position of the 18-key model: position 07 = key 1.
    EXPECT_EQ(ws->editor.CurrentEntry, 1);
    EXPECT_EQ(ws->editor.CurrentFace, 1);
    EXPECT_EQ(ws->editor.EditFace, 1);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws->editor.CurrentKeyIndex(), 1);
}

TEST(ResetLabelSet, ClearsTheUndoFlagsAndCommandStatesButKeepsTheBuffers) {
    auto ws = DirtyWorkspace();
    EditorState& e = ws->editor;
    e.KeyCopyMode = 2;
    e.EntryCopyMode = 1;
    e.FormatCopied = 1;
    e.ChangedText = 1;
    e.ChangedLayout = 1;
    e.CopyBuffer[2][1].Line1 = "kept";
    SetEditCommandStates(e, true, true, true, true, true);

    ResetLabelSet(*ws);

    EXPECT_EQ(e.KeyCopyMode + e.EntryCopyMode + e.FormatCopied + e.ChangedText + e.ChangedLayout, 0);
    EXPECT_FALSE(e.PasteEnabled || e.FormatPasteEnabled || e.EntryPasteEnabled ||
                 e.DeselectEnabled || e.UndoEnabled);
    EXPECT_EQ(e.CopyBuffer[2][1].Line1, "kept");
}

TEST(KeyRangeFor, ThirtyKeysUseEveryPositionAndAnyOtherModelUsesTheMiddleRows) {
    EXPECT_EQ(KeyRangeFor(0), (KeyRange{0, 1, 30}));
    EXPECT_EQ(KeyRangeFor(1), (KeyRange{6, 7, 24}));
    // A model number written elsewhere is edited as 18 keys.
    EXPECT_EQ(KeyRangeFor(7), (KeyRange{6, 7, 24}));
    EXPECT_EQ(KeyRangeFor(-1), (KeyRange{6, 7, 24}));
}

TEST(CopyBuffers, HoldZeroesAtStartAndResetValuesAfterNew) {
    auto ws = std::make_unique<Workspace>();
    EXPECT_EQ(ws->editor.CopyBuffer[1][1].FontSize, 0);
    EXPECT_EQ(ws->editor.UndoBuffer[4][30].FontName, "");

    ws->editor.CurrentEntry = 5;
    ws->editor.KeyCopyMode = 1;
    NewLabelSetReset(*ws);
    EXPECT_EQ(ws->editor.CopyBuffer[1][1], KeyLabel{});
    EXPECT_EQ(ws->editor.UndoBuffer[4][30], KeyLabel{});
    EXPECT_EQ(ws->editor.KeyCopyMode, 0);
    // The copy source is the entry current when the buffers were reset: entry 1.
    EXPECT_EQ(ws->editor.CopySourceEntry, 1);
}

TEST(ReplaceLabelSet, StandsOnTheFirstPositionOfEntryOnesModelAndKeepsTheClipboard) {
    auto ws = std::make_unique<Workspace>();
    ws->editor.CopyBuffer[1][1].Line1 = "clip";
    ws->editor.CurrentEntry = 12;
    ws->editor.CurrentFace = 4;

    auto loaded = std::make_unique<LabelSet>();
    loaded->Entries[1].ButtonModel = 0;
    loaded->Entries[1].Name = "office";
    ReplaceLabelSet(*ws, std::move(*loaded));

    EXPECT_EQ(ws->labelSet.Entries[1].Name, "office");
    EXPECT_EQ(ws->editor.CurrentEntry, 1);
    EXPECT_EQ(ws->editor.CurrentFace, 1);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws->editor.KeyOffset, 0);
    EXPECT_EQ(ws->editor.LastKeyPos, 30);
    EXPECT_EQ(ws->editor.ShownModel, -1);
    EXPECT_EQ(ws->editor.CopyBuffer[1][1].Line1, "clip");
}

// Entries 3 (a name), 7 (a key text under 18 keys) and 12 (a second line under 30 keys) are
// in use; 20 only has text on a key its 18-key model never prints, 30 only colours.
LabelSet SetWithThreeUsedEntries() {
    LabelSet set;
    set.Entries[3].Name = "Sales";
    set.Entries[7].Faces[2].Keys[18].Line1 = "201";
    set.Entries[12].ButtonModel = kModel30;
    set.Entries[12].Faces[4].Keys[30].Line2 = "x";
    set.Entries[20].Faces[1].Keys[19].Line1 = "hidden";
    set.Entries[30].Faces[1].Keys[1].BackColor = 0x0000FF;
    set.Entries[30].Faces[1].BackgroundMode = 1;
    return set;
}

TEST(PrintChoice, UsedEntriesHaveANameOrAPrintedKeyText) {
    const LabelSet set = SetWithThreeUsedEntries();
    EXPECT_EQ(UsedEntries(set), (std::vector<int>{3, 7, 12}));
    EXPECT_TRUE(UsedEntries(LabelSet()).empty());
    LabelSet unknownModel;
    unknownModel.Entries[5].ButtonModel = 7;  // prints no keys
    unknownModel.Entries[5].Faces[1].Keys[1].Line1 = "a";
    EXPECT_TRUE(UsedEntries(unknownModel).empty());
}

TEST(PrintChoice, EntriesToPrintInNumberOrderOrARefusalThatSaysWhy) {
    const LabelSet set = SetWithThreeUsedEntries();
    PrintChoice choice;
    choice.current = 20;  // unused, printed all the same when asked for
    EXPECT_EQ(EntriesToPrint(set, choice).entries, std::vector<int>{20});

    choice.scope = PrintScope::AllUsed;
    EXPECT_EQ(EntriesToPrint(set, choice).entries, (std::vector<int>{3, 7, 12}));
    EXPECT_TRUE(EntriesToPrint(set, choice).refusal.isEmpty());
    const EntriesToPrintResult none = EntriesToPrint(LabelSet(), choice);
    EXPECT_TRUE(none.entries.empty());
    EXPECT_TRUE(none.refusal.contains(QStringLiteral("名称またはキーの文字がある管理番号がない")));

    choice.scope = PrintScope::Range;
    choice.from = 6;
    choice.to = 8;
    EXPECT_EQ(EntriesToPrint(set, choice).entries, (std::vector<int>{6, 7, 8}));
    choice.from = -4;
    choice.to = 2;
    EXPECT_EQ(EntriesToPrint(set, choice).entries, (std::vector<int>{1, 2}));
    choice.from = 49;
    choice.to = 99;
    EXPECT_EQ(EntriesToPrint(set, choice).entries, (std::vector<int>{49, 50}));
    choice.from = 9;
    choice.to = 4;
    const EntriesToPrintResult backwards = EntriesToPrint(set, choice);
    EXPECT_TRUE(backwards.entries.empty());
    EXPECT_TRUE(backwards.refusal.contains(QStringLiteral("（9）")));
    EXPECT_TRUE(backwards.refusal.contains(QStringLiteral("何も印刷しませんでした")));
}

TEST(PrintChoice, ThePreviewPagesThroughTheUsedEntriesAndTheCurrentOne) {
    const LabelSet set = SetWithThreeUsedEntries();
    EXPECT_EQ(PreviewEntries(set, 7), (std::vector<int>{3, 7, 12}));
    EXPECT_EQ(PreviewEntries(set, 10), (std::vector<int>{3, 7, 10, 12}));
    EXPECT_EQ(PreviewEntries(set, 50), (std::vector<int>{3, 7, 12, 50}));
    EXPECT_EQ(PreviewEntries(LabelSet(), 1), std::vector<int>{1});
}

}  // namespace
}  // namespace sw::model
