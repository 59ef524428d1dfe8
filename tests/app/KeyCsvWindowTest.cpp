// ファイル → CSV から読み込み / CSV に書き出し in the running program: keys numbered as the
// grid's number labels show them, the change list before anything changes, the import shown,
// marked unsaved and undone in one step.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
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
    QString Number(int position) { return w().numberLabel(position)->text(); }
    void Import(const std::string& name, Reply reply = Reply::Ok) {
        dialogs.messages.clear();
        dialogs.reviews.clear();
        dialogs.files = {Path(name)};
        dialogs.replies = {reply};
        Trigger("CsvImport1");
    }
    void Use30Keys() {
        auto* thirty = w().findChild<QRadioButton*>(QStringLiteral("RadioButton11"));
        QTest::mouseClick(thirty, Qt::LeftButton, {}, thirty->rect().center());
        ASSERT_EQ(ws->labelSet.Entries[1].ButtonModel, sw::model::kModel30);
    }
};

TEST_F(KeyCsvWindow, AnImportListsTheKeysThatChangeFirstAndIsUndoneInOneStep) {
    Key(1, 1).Line1 = "old";
    Key(1, 3).Line1 = "0120";
    Key(1, 4).Line1 = "same";
    Key(2, 2).Line1 = "two";
    w().ShowFace();
    dialogs.files = {Path("a.stw")};
    Trigger("SaveAs1");  // what is in a file is no unsaved change
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    // Typed from the screen's numbers: under 18 keys the grid labels position 07 "01".
    ASSERT_EQ(Number(7), QStringLiteral("01"));
    WriteFileBytes(cwd.File("keys.csv"),
                   "entry,face,key,line1,line2\r\n"
                   "01,1,01,新しい,\r\n"
                   "01,2,02,,内線\r\n"
                   "01,1,03,120,\r\n"
                   "01,1,04,same,\r\n"
                   "01,1,19,x,\r\n"
                   "02,1,01,y,\r\n");

    // キャンセル: the list was shown, nothing changes.
    Import("keys.csv", Reply::Cancel);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(dialogs.reviews.size(), 1u);
    const KeyChangeReview& review = dialogs.reviews[0];
    EXPECT_EQ(review.title, QStringLiteral("CSV から読み込み"));
    EXPECT_EQ(review.intro,
              QStringLiteral("「keys.csv」を読み込むと、管理番号 01 の次の 3 個のキーが変わります"
                             "（6 行のうち、変わらない行 1、読み込めない行 2）。\n"
                             "※の付いた 1 個は、表計算ソフトが書き換えた文字かもしれません。"));
    EXPECT_EQ(review.changes,
              QStringList({QStringLiteral("印刷面1 / キー 01: 旧「old」 → 新「新しい」"),
                           QStringLiteral("印刷面2 / キー 02: 旧「two」「」 → 新「」「内線」"),
                           QStringLiteral("印刷面1 / キー 03: 旧「0120」 → 新「120」　※表計算ソフトの変換？（先頭の 0 が消えています）")}))
        << review.changes.join('\n').toStdString();
    EXPECT_EQ(review.refusals,
              QStringList({QStringLiteral("6 行目: キー 19 は管理番号 01（18ボタン）にはありません（01〜18）"),
                           QStringLiteral("7 行目: 管理番号 02 の行です（表示中の管理番号 01 にだけ読み込みます）")}));
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Stripwise２＜a.stw＞"));

    // OK: the keys change, the grid shows them where the screen numbers them, and the title
    // marks the change.
    Import("keys.csv");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("CSV の読み込みが終了しました（3 個のキーが変わりました）。"));
    EXPECT_EQ(Key(1, 1).Line1, sw::model::EncodeCp932(QStringLiteral("新しい")).bytes);
    EXPECT_EQ(Key(1, 3).Line1, "120");
    EXPECT_EQ(Key(2, 2).Line1, "");
    EXPECT_EQ(Key(2, 2).Line2, sw::model::EncodeCp932(QStringLiteral("内線")).bytes);
    EXPECT_EQ(Caption(7), QStringLiteral("新しい"));
    EXPECT_EQ(Caption(9), QStringLiteral("120"));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("＊Stripwise２＜a.stw＞"));
    EXPECT_TRUE(w().action(QStringLiteral("Undo1"))->isEnabled());

    // One Ctrl+U puts every key back, on both faces.
    ASSERT_EQ(QApplication::focusWidget(), w().edtName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(ws->labelSet == *before);
    EXPECT_EQ(Caption(7), QStringLiteral("old"));
    EXPECT_FALSE(w().action(QStringLiteral("Undo1"))->isEnabled());
}

TEST_F(KeyCsvWindow, AFileThatChangesNothingSaysWhyAndChangesNothing) {
    Key(1, 1).Line1 = "old";
    const auto before = std::make_unique<sw::model::LabelSet>(ws->labelSet);
    struct Case {
        const char* name;
        std::string content;
        MessageKind kind;
        const char* says;
    };
    const Case cases[] = {
        {"empty.csv", "", MessageKind::Information,
         "「empty.csv」には読み込むキーの行がありません（空のファイルです）。何も変えていません。"},
        {"same.csv", "01,1,01,old,\r\n01,1,02,,\r\n", MessageKind::Information,
         "「same.csv」の 2 行は、どれもキーの今の文字と同じです。何も変えていません。"},
        {"bad.csv", "01,1,01,\"open\r\n", MessageKind::Error,
         "「bad.csv」の次の行は読み込めません。\n\n1 行目: 引用符 \" で始まった欄が閉じられていません（ファイルの終わりまで）"
         "\n\nほかの行で変わるキーがないため、何も変えていません。"},
        // UTF-16 cut in the middle of a character.
        {"cut16.csv", std::string("\xFF\xFE" "1\0,\0" "1", 7), MessageKind::Error, nullptr},
    };
    for (const Case& c : cases) {
        WriteFileBytes(cwd.File(c.name), c.content);
        Import(c.name);
        EXPECT_TRUE(dialogs.reviews.empty()) << c.name;
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.name;
        EXPECT_EQ(dialogs.messages[0].kind, c.kind) << c.name;
        if (c.says)
            EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8(c.says));
        else
            EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("UTF-16"))) << dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(ws->labelSet == *before) << c.name;
    }
    EXPECT_FALSE(w().action(QStringLiteral("Undo1"))->isEnabled());
}

TEST_F(KeyCsvWindow, ListsAreNumberedAsTheGridUnderBothModelsAndAnExportAsksBeforeReplacing) {
    Key(1, 1).Line1 = sw::model::EncodeCp932(QStringLiteral("受付")).bytes;
    ws->labelSet.Entries[2].Faces[1].Keys[1].Line1 = "other";  // another entry: not written
    dialogs.files = {Path("keys")};
    Trigger("CsvExport1");
    ASSERT_EQ(dialogs.fileRequests, std::vector<FileKind>{FileKind::SaveKeyCsv});
    const std::string written = ReadFileBytes(cwd.File("keys.csv"));
    EXPECT_EQ(written.rfind("\xEF\xBB\xBF" "entry,face,key,line1,line2\r\n01,1,01,受付,\r\n01,1,02,,\r\n", 0), 0u);
    EXPECT_NE(written.find("\r\n01,4,18,,\r\n"), std::string::npos);
    EXPECT_EQ(written.find("other"), std::string::npos);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("CSV への書き出しが終了しました（72 個のキー）。"));

    Key(1, 2).Line1 = "more";
    dialogs.messages.clear();
    dialogs.files = {Path("keys.csv")};
    dialogs.replies = {Reply::Cancel};
    Trigger("CsvExport1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("既にファイルが存在します。上書きしますか？"));
    EXPECT_EQ(ReadFileBytes(cwd.File("keys.csv")), written);

    // Excel 形式で書き出し: the same list as a workbook, which reads back changing nothing.
    dialogs.messages.clear();
    dialogs.files = {Path("keys-book")};
    Trigger("XlsxExport1");
    EXPECT_EQ(dialogs.fileRequests.back(), FileKind::SaveKeyXlsx);
    EXPECT_EQ(ReadFileBytes(cwd.File("keys-book.xlsx")).rfind("PK\x03\x04", 0), 0u);
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("Excel 形式での書き出しが終了しました（72 個のキー）。"));
    Import("keys-book.xlsx");
    EXPECT_EQ(dialogs.messages.back().text,
              QStringLiteral("「keys-book.xlsx」の 72 行は、どれもキーの今の文字と同じです。何も変えていません。"));

    // Under 30 keys the grid numbers its positions 01 to 30, and so does a list, both ways.
    Use30Keys();
    ASSERT_EQ(Number(1), QStringLiteral("01"));
    dialogs.messages.clear();
    dialogs.files = {Path("thirty.csv")};
    Trigger("CsvExport1");
    EXPECT_NE(ReadFileBytes(cwd.File("thirty.csv")).find("\r\n01,4,30,,\r\n"), std::string::npos);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("CSV への書き出しが終了しました（120 個のキー）。"));
    WriteFileBytes(cwd.File("keys.csv"), "01,1,01,first,\r\n01,1,30,last,\r\n");
    Import("keys.csv");
    ASSERT_EQ(dialogs.reviews.size(), 1u);
    EXPECT_TRUE(dialogs.reviews[0].refusals.isEmpty());
    EXPECT_EQ(Caption(1), QStringLiteral("first"));
    EXPECT_EQ(Caption(30), QStringLiteral("last"));
}

}  // namespace
}  // namespace sw::app
