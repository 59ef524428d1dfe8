// "新規作成", "開く" and "名前を付けて保存" as the user runs them: dialogs, messages, title,
// selection and what ends up in the document and on the disk.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "print/FakePrinter.h"
#include "model/LabelSetFile.h"
#include "support/ScriptedDialogs.h"

namespace sw::app {
namespace {

using sw::editor::PanelLook;
using sw::test::ReadFileBytes;
using sw::test::Sjis;
using sw::test::WriteFileBytes;

class FileCommands : public sw::test::ProgramFixture {
protected:
    void Trigger(const char* action) { w().action(QString::fromLatin1(action))->trigger(); }
    void ClickTool(int n) { w().toolButton(n)->click(); }
    // A file whose entry 1 has the given model and named keys.
    std::string WriteSet(const std::string& name, int model) {
        auto set = std::make_unique<sw::model::LabelSet>();
        set->Entries[1].ButtonModel = model;
        set->Entries[1].Name = Sjis("本社");
        for (int k = 1; k <= 30; ++k) set->Entries[1].Faces[1].Keys[k].Line1 = "K" + std::to_string(k);
        const std::string path = cwd.File(name);
        WriteFileBytes(path, sw::model::WriteLabelSet(*set));
        return path;
    }
    // Saves the document as it stands, so that the command under test finds nothing unsaved.
    void SaveAsIs() {
        dialogs.files = {QString::fromStdString(cwd.File("saved.stw"))};
        Trigger("SaveAs1");
        ASSERT_EQ(Messages(), QStringList{"保存が終了しました。"});
        dialogs.messages.clear();
        dialogs.fileRequests.clear();
    }
};

TEST_F(FileCommands, NewAnsweredWithCancelChangesNothing) {
    ws->labelSet.Entries[1].Faces[1].Keys[1].Line1 = "KEEP";
    SaveAsIs();
    w().SetDocumentTitle("a.stw");
    w().SelectKey(12);
    dialogs.replies = {Reply::Cancel};
    Trigger("New1");
    ASSERT_EQ(Messages(), QStringList{"新規作成しますか？"});
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[1].Keys[1].Line1, "KEEP");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜a.stw＞"));
    EXPECT_EQ(ws->editor.CurrentKeyPos, 12);
    EXPECT_TRUE(w().edtName()->hasFocus());
}

TEST_F(FileCommands, NewResetsEverythingFromAnyFaceAndEntry) {
    ws->labelSet.Entries[3].ButtonModel = 0;
    ws->labelSet.Entries[3].Faces[3].Keys[1].Line1 = "GONE";
    w().edtNaisen()->setText("3");
    ASSERT_TRUE(w().ApplyEntryNumber());
    w().tabPage()->setCurrentIndex(2);
    SaveAsIs();
    w().SetDocumentTitle("a.stw");
    ws->editor.UndoEnabled = true;
    w().UpdateEditCommandStates();

    ClickTool(1);
    EXPECT_EQ(Messages(), QStringList{"新規作成しますか？"});
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
    EXPECT_EQ(ws->labelSet.Entries[3].Faces[3].Keys[1].Line1, "");
    EXPECT_EQ(ws->labelSet.Entries[3].ButtonModel, 1);
    EXPECT_EQ(ws->editor.CurrentEntry, 1);
    EXPECT_EQ(ws->editor.CurrentFace, 1);
    EXPECT_EQ(w().tabPage()->currentIndex(), 0);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(w().pnlADial()->text(), "01");
    EXPECT_EQ(w().edtNaisen()->text(), "01");
    EXPECT_TRUE(w().keyPanel(1)->isHidden());
    EXPECT_FALSE(w().findChild<QWidget*>("btnCopy1")->isEnabled());
    EXPECT_TRUE(w().findChild<QWidget*>("btnCopy3")->isEnabled());
    EXPECT_FALSE(w().action("Undo1")->isEnabled());
    EXPECT_TRUE(w().edtName()->hasFocus());
    // "新規作成" fills the copy buffers with reset values.
    EXPECT_EQ(ws->editor.CopyBuffer[2][5], sw::model::KeyLabel{});
}

TEST_F(FileCommands, OpenOfA30KeyFileSelectsPosition01AndNamesTheFile) {
    const std::string path = WriteSet("office.stw", 0);
    dialogs.files = {QString::fromStdString(path)};
    Trigger("Open1");
    ASSERT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::OpenLabelSet});
    EXPECT_EQ(Messages(), QStringList{"読込が終了しました。"});
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜office.stw＞"));
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws->editor.KeyOffset, 0);
    EXPECT_EQ(w().pnlADial()->text(), "01");
    EXPECT_EQ(w().keyPanel(1)->look(), PanelLook::Selected);
    EXPECT_NE(w().keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_EQ(w().captionLabel(1)->text(), "K1");
    EXPECT_EQ(w().captionLabel(30)->text(), "K30");
    EXPECT_EQ(w().edtName()->text(), QStringLiteral("本社"));
    EXPECT_TRUE(w().edtName()->hasFocus());
    // The next save proposes the opened file.
    dialogs.files = {std::nullopt};
    Trigger("SaveAs1");
    EXPECT_EQ(dialogs.lastInitialPath, QString::fromStdString(path));
}

TEST_F(FileCommands, OpenOfAn18KeyFileSelectsPosition07) {
    dialogs.files = {QString::fromStdString(WriteSet("b.stw", 1))};
    ClickTool(2);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(w().captionLabel(7)->text(), "K1");
    EXPECT_EQ(w().keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_TRUE(w().keyPanel(1)->isHidden());
}

TEST_F(FileCommands, ABrokenFileLeavesDocumentAndTitleAsTheyWere) {
    ws->labelSet.Entries[2].Name = Sjis("残す");
    SaveAsIs();
    w().SetDocumentTitle("kept.stw");
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    std::string text = sw::model::WriteLabelSet(sw::model::LabelSet{});
    text.replace(text.find("\r\n1\r\n"), 5, "\r\nx\r\n");  // entry 1's model is not a number
    const std::string path = cwd.File("broken.stw");
    WriteFileBytes(path, text);
    dialogs.files = {QString::fromStdString(path)};
    Trigger("Open1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromStdString(path)));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("2 行目")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("示名条片ファイルではないか、壊れている")));
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜kept.stw＞"));
    EXPECT_EQ(w().edtNaisen()->text(), "01");
}

TEST_F(FileCommands, AFileThatEndsEarlyLoadsWithDefaultsAndSaysSo) {
    std::string text = ReadFileBytes(WriteSet("whole.stw", 0));
    size_t cut = 0;
    for (int line = 0; line < 1098 + 5; ++line) cut = text.find("\r\n", cut) + 2;
    const std::string path = cwd.File("short.stw");
    WriteFileBytes(path, text.substr(0, cut));  // entry 1 and the first lines of entry 2
    ws->labelSet.Entries[2].Faces[1].Keys[1].Line1 = "GONE";
    SaveAsIs();
    dialogs.files = {QString::fromStdString(path)};
    Trigger("Open1");
    ASSERT_EQ(Messages(), QStringList{QStringLiteral(
                              "ファイルが途中で終わっています（1103 行）。足りない値は初期値で読み込みました。")});
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜short.stw＞"));
    EXPECT_EQ(w().captionLabel(30)->text(), "K30");
    const sw::model::ManagementEntry& second = ws->labelSet.Entries[2];
    EXPECT_EQ(second.ButtonModel, 1);  // read before the end
    EXPECT_EQ(second.Faces[1].BackgroundColor, 0u);  // missing: 0
    EXPECT_EQ(second.Faces[1].Keys[1].Line1, "");
    EXPECT_EQ(second.Faces[4].Keys[30].Alignment, sw::model::kAlignCenter);
    EXPECT_EQ(ws->labelSet.Entries[50].Faces[4].Keys[30].FontName, "");

    // An empty file says so too, with nothing read.
    WriteFileBytes(cwd.File("empty.stw"), "");
    dialogs.files = {QString::fromStdString(cwd.File("empty.stw"))};
    Trigger("Open1");
    EXPECT_EQ(Messages().last(),
              QStringLiteral("ファイルが途中で終わっています（0 行）。足りない値は初期値で読み込みました。"));
    EXPECT_EQ(ws->labelSet.Entries[1].Name, "");
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);  // model 0: the 30-key grid
}

TEST_F(FileCommands, AFileThatIsNoLabelSetIsNamedWithItsLineAndChangesNothing) {
    ws->labelSet.Entries[1].Name = Sjis("残す");
    SaveAsIs();
    w().SetDocumentTitle("kept.stw");
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    const std::string path = cwd.File("notes.txt");
    WriteFileBytes(path, "Shopping list\r\napples, pears\r\n");
    dialogs.files = {QString::fromStdString(path)};
    Trigger("Open1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("「%1」は示名条片ファイルではないか、壊れているため読み込めませんでした。\n"
                             "2 行目: 数値が入るはずの行に数値ではないものが書かれています。\n"
                             "開いている内容はそのままです。")
                  .arg(QString::fromStdString(path)));
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜kept.stw＞"));
}

TEST_F(FileCommands, OpenOfAMissingFileOrCancelChangesNothing) {
    ws->labelSet.Entries[1].Name = Sjis("残す");
    w().ShowEntry();
    SaveAsIs();
    dialogs.files = {QString::fromStdString(cwd.File("none.stw")), std::nullopt};
    Trigger("Open1");
    EXPECT_EQ(Messages(), QStringList{"ファイルが存在しません。"});
    Trigger("Open1");
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_EQ(ws->labelSet.Entries[1].Name, Sjis("残す"));
    EXPECT_TRUE(w().edtName()->hasFocus());
}

TEST_F(FileCommands, SaveAddsTheExtensionWritesTheWholeSetAndNamesTheFile) {
    ws->labelSet.Entries[50].Faces[4].Keys[30].Line2 = Sjis("最後");
    dialogs.files = {QString::fromStdString(cwd.File("office"))};
    ClickTool(3);
    ASSERT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::SaveLabelSet});
    EXPECT_EQ(Messages(), QStringList{"保存が終了しました。"});
    const std::string written = ReadFileBytes(cwd.File("office.stw"));
    EXPECT_EQ(written, sw::model::WriteLabelSet(ws->labelSet));
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 54900);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜office.stw＞"));
    EXPECT_TRUE(w().edtName()->hasFocus());
}

TEST_F(FileCommands, SaveOverAnExistingFileAnsweredWithCancelLeavesItUntouched) {
    const std::string path = cwd.File("old.stw");
    WriteFileBytes(path, "old contents");
    dialogs.files = {QString::fromStdString(path)};
    dialogs.replies = {Reply::Cancel};
    Trigger("SaveAs1");
    EXPECT_EQ(Messages(), QStringList{"既にファイルが存在します。上書きしますか？"});
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
    // Answered with OK, the file is replaced.
    dialogs.files = {QString::fromStdString(path)};
    Trigger("SaveAs1");
    EXPECT_EQ(Messages().last(), QStringLiteral("保存が終了しました。"));
    EXPECT_EQ(ReadFileBytes(path), sw::model::WriteLabelSet(ws->labelSet));
}

TEST_F(FileCommands, AFailedSaveIsReportedAndKeepsTheTitle) {
    // A folder that is a file: nothing can be created in it, whoever runs the test.
    const std::string folder = cwd.File("plain");
    WriteFileBytes(folder, "x");
    dialogs.files = {QString::fromStdString(folder + "/a.stw")};
    Trigger("SaveAs1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("a.stw")));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
    EXPECT_EQ(ReadFileBytes(folder), "x");
}

TEST_F(FileCommands, SavingOverAReadOnlyFileIsRefusedByName) {
    const std::string path = cwd.File("locked.stw");
    WriteFileBytes(path, "old contents");
    ::chmod(path.c_str(), 0444);
    dialogs.files = {QString::fromStdString(path)};
    Trigger("SaveAs1");  // OK to "上書きしますか？", then the refusal
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QString::fromStdString(path)));
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("読み取り専用")));
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２"));
}

TEST_F(FileCommands, ANameBeingTypedIsSavedFromTheMenuToo) {
    w().edtName()->setFocus();
    sw::test::TypeText(w().edtName(), QStringLiteral("受付"));
    dialogs.files = {QString::fromStdString(cwd.File("n.stw"))};
    Trigger("SaveAs1");
    auto loaded = std::make_unique<sw::model::LabelSet>();
    ASSERT_TRUE(sw::model::LoadLabelSetFile(cwd.File("n.stw"), *loaded).ok);
    EXPECT_EQ(loaded->Entries[1].Name, Sjis("受付"));
}

}  // namespace
}  // namespace sw::app
