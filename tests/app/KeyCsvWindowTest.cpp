// ファイル → CSV から読み込み / CSV に書き出し in the running program: refused rows listed
// before anything changes, the import shown, marked unsaved and undone in one step.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/ProgramFixture.h"
#include "model/Cp932.h"
#include "render/SheetRenderer.h"

namespace sw::app {
namespace {

using sw::test::ReadFileBytes;
using sw::test::WriteFileBytes;

class KeyCsvWindow : public sw::test::ProgramFixture {
protected:
    // The fit check measures with the fonts the program draws with, as main() sets them up.
    void SetUp() override {
        sw::render::InstallFontSubstitutions();
        ProgramFixture::SetUp();
    }
    void Trigger(const char* action) { w().action(QString::fromLatin1(action))->trigger(); }
    sw::model::KeyLabel& Key(int face, int keyIndex) {
        return ws->labelSet.Entries[1].Faces[face].Keys[keyIndex];
    }
    QString Caption(int position) { return w().captionLabel(position)->text(); }
    QString Path(const std::string& name) { return QString::fromStdString(cwd.File(name)); }
};

TEST_F(KeyCsvWindow, AnImportListsRefusedRowsFirstAndIsUndoneInOneStep) {
    Key(1, 1).Line1 = "old";
    Key(2, 2).Line1 = "two";
    w().ShowFace();
    dialogs.files = {Path("a.stw")};
    Trigger("SaveAs1");  // what is in a file is no unsaved change
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    WriteFileBytes(cwd.File("keys.csv"),
                   "entry,face,position,line1,line2\r\n"
                   "01,1,07,新しい,\r\n"
                   "01,2,08,,内線\r\n"
                   "01,1,03,x,\r\n"
                   "02,1,07,y,\r\n");

    // Cancel: nothing changes.
    dialogs.files = {Path("keys.csv")};
    dialogs.replies = {Reply::Cancel};
    Trigger("CsvImport1");
    ASSERT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::OpenKeyCsv});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("「keys.csv」の次の行は読み込めません。\n\n"
                             "4 行目: 位置 03 は管理番号 01（18ボタン）にはありません（07〜24）\n"
                             "5 行目: 管理番号 02 の行です（表示中の管理番号 01 にだけ読み込みます）\n\n"
                             "読み込める 2 行だけを読み込みますか？\nキャンセルすると何も変えません。"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜a.stw＞"));

    // OK: the valid rows go in, the grid shows them and the title marks the change.
    dialogs.messages.clear();
    dialogs.files = {Path("keys.csv")};
    dialogs.replies = {Reply::Ok};
    Trigger("CsvImport1");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("CSV の読み込みが終了しました（2 個のキー）。"));
    EXPECT_EQ(Key(1, 1).Line1, sw::model::EncodeCp932(QStringLiteral("新しい")).bytes);
    EXPECT_EQ(Key(2, 2).Line1, "");
    EXPECT_EQ(Key(2, 2).Line2, sw::model::EncodeCp932(QStringLiteral("内線")).bytes);
    EXPECT_EQ(Caption(7), QStringLiteral("新しい"));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２＜a.stw＞"));
    EXPECT_TRUE(w().action(QStringLiteral("Undo1"))->isEnabled());

    // One Ctrl+U puts every key back, on both faces.
    ASSERT_EQ(QApplication::focusWidget(), w().edtName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(Caption(7), QStringLiteral("old"));
    EXPECT_FALSE(w().action(QStringLiteral("Undo1"))->isEnabled());
}

TEST_F(KeyCsvWindow, AFileWithNothingToTakeChangesNothing) {
    Key(1, 1).Line1 = "old";
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    WriteFileBytes(cwd.File("bad.csv"), "01,1,07,\"open\r\n");
    dialogs.files = {Path("bad.csv")};
    Trigger("CsvImport1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(
        QStringLiteral("1 行目: 引用符 \" で始まった欄が閉じられていません")));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(QStringLiteral("何も変えていません。")));
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_FALSE(w().action(QStringLiteral("Undo1"))->isEnabled());
}

TEST_F(KeyCsvWindow, AnExportWritesTheCurrentEntryAndAsksBeforeReplacingAFile) {
    Key(1, 1).Line1 = sw::model::EncodeCp932(QStringLiteral("受付")).bytes;
    ws->labelSet.Entries[2].Faces[1].Keys[1].Line1 = "other";  // another entry: not written
    dialogs.files = {Path("keys")};
    Trigger("CsvExport1");
    ASSERT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::SaveKeyCsv});
    const std::string written = "\xEF\xBB\xBF" "entry,face,position,line1,line2\r\n01,1,07,受付,\r\n";
    EXPECT_EQ(ReadFileBytes(cwd.File("keys.csv")), written);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("CSV への書き出しが終了しました（1 個のキー）。"));

    Key(1, 2).Line1 = "more";
    dialogs.messages.clear();
    dialogs.files = {Path("keys.csv")};
    dialogs.replies = {Reply::Cancel};
    Trigger("CsvExport1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("既にファイルが存在します。上書きしますか？"));
    EXPECT_EQ(ReadFileBytes(cwd.File("keys.csv")), written);
}

}  // namespace
}  // namespace sw::app
