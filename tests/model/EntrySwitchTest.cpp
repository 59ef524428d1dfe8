// Where the editor stands after the registration and selection dialogs.
#include <gtest/gtest.h>

#include "model/EntrySwitch.h"

namespace sw::model {
namespace {

using sw::model::Workspace;

// The editor standing on `entry` at `position` of face 3, with the range of its model.
void StandOn(Workspace& ws, int entry, int position) {
    ws.editor.CurrentEntry = entry;
    ws.editor.CurrentFace = ws.editor.EditFace = 3;
    ws.editor.ApplyKeyRange(sw::model::KeyRangeFor(ws.labelSet.Entries[entry].ButtonModel));
    ws.editor.CurrentKeyPos = position;
}

TEST(Registration, TheCurrentEntryTurnedTo30KeysSelectsPosition01) {
    Workspace ws;
    StandOn(ws, 4, 15);
    BeginRegistration(ws);
    ws.labelSet.Entries[4].ButtonModel = sw::model::kModel30;  // what the dialog registered
    sw::model::Refresh r = FinishRegistration(ws);
    EXPECT_TRUE(r.entry && r.face && r.currentKey);
    EXPECT_EQ(ws.editor.KeyOffset, 0);
    EXPECT_EQ(ws.editor.FirstKeyPos, 1);
    EXPECT_EQ(ws.editor.LastKeyPos, 30);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws.editor.CurrentKeyIndex(), 1);  // the auto-dial box reads "01"
    EXPECT_EQ(ws.editor.CurrentFace, 3);

    // And back to 18 keys: position 07, key 1.
    BeginRegistration(ws);
    ws.labelSet.Entries[4].ButtonModel = sw::model::kModel18;
    EXPECT_TRUE(FinishRegistration(ws).currentKey);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws.editor.CurrentKeyIndex(), 1);
}

TEST(Registration, AnotherEntrysModelOrNoChangeLeavesTheGridAndSelection) {
    Workspace ws;
    StandOn(ws, 4, 15);
    BeginRegistration(ws);
    ws.labelSet.Entries[5].ButtonModel = sw::model::kModel30;
    ws.labelSet.Entries[4].Name = "renamed";
    sw::model::Refresh r = FinishRegistration(ws);
    EXPECT_TRUE(r.entry);  // the header shows the name again
    EXPECT_TRUE(r.face);
    EXPECT_FALSE(r.currentKey);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 15);
    EXPECT_EQ(ws.editor.KeyOffset, 6);

    // A model value from a file other than 0 and 1 that the dialog kept is no change.
    ws.labelSet.Entries[4].ButtonModel = 2;
    ws.editor.ShownModel = -1;
    BeginRegistration(ws);
    EXPECT_EQ(ws.editor.ShownModel, 2);
    EXPECT_FALSE(FinishRegistration(ws).currentKey);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 15);
}

TEST(Selection, TheChosenEntryIsShownFromItsFirstPositionOnTheSameFace) {
    Workspace ws;
    ws.labelSet.Entries[9].ButtonModel = sw::model::kModel30;
    ws.labelSet.Entries[11].ButtonModel = 2;  // read from a file: laid out as 18 keys
    StandOn(ws, 3, 20);

    ws.editor.ChosenEntry = 7;  // same model
    sw::model::Refresh r = ApplyChosenEntry(ws);
    EXPECT_TRUE(r.entry && r.face && r.currentKey);
    EXPECT_EQ(ws.editor.CurrentEntry, 7);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws.editor.CurrentFace, 3);

    ws.editor.ChosenEntry = 9;  // 30 keys
    ApplyChosenEntry(ws);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws.editor.KeyOffset, 0);
    EXPECT_EQ(ws.editor.LastKeyPos, 30);

    ws.editor.CurrentKeyPos = 28;  // a position only 30 keys have
    ws.editor.ChosenEntry = 11;
    ApplyChosenEntry(ws);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws.editor.FirstKeyPos, 7);
    EXPECT_EQ(ws.editor.LastKeyPos, 24);

    ws.editor.ChosenEntry = 11;  // the shown entry again: its first position
    ws.editor.CurrentKeyPos = 19;
    ApplyChosenEntry(ws);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws.editor.CurrentFace, 3);
}

TEST(Selection, TheNumberFieldNamesAnEntryOnlyFrom1To50) {
    EXPECT_EQ(EntryNumberOfField("17"), 17);
    EXPECT_EQ(EntryNumberOfField("07"), 7);
    EXPECT_EQ(EntryNumberOfField(" 7"), 7);
    EXPECT_EQ(EntryNumberOfField("+7"), 7);
    EXPECT_EQ(EntryNumberOfField("50"), 50);
    EXPECT_EQ(EntryNumberOfField("1"), 1);
    for (const char* bad : {"00", "51", "-7", "", " ", "ab", "7a", "+", "99999999999999999999"})
        EXPECT_EQ(EntryNumberOfField(QString::fromLatin1(bad)), 0) << bad;
}

}  // namespace
}  // namespace sw::model
