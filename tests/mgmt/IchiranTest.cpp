// The selection dialog: preselection, choosing, cancelling and its list of two columns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>

#include "mgmt/TfrmIchiran.h"
#include "model/Cp932.h"
#include "model/IniFile.h"
#include "support/TempDir.h"

namespace sw::mgmt {
namespace {

using sw::model::Workspace;

class IchiranTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.settings.ProgramDir = dir.path() + "/";
        ws.labelSet.Entries[7].Name = sw::model::EncodeCp932(QStringLiteral("総務部")).bytes;
        ws.labelSet.Entries[26].Name = "B1";
    }

    std::unique_ptr<TfrmIchiran> Open(const QString& naisenText) {
        auto dialog = std::make_unique<TfrmIchiran>(ws, naisenText);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    sw::test::TempDir dir;
    Workspace ws;
};

TEST_F(IchiranTest, ListsAllEntriesInTwoColumnsWithTheShownOneSelected) {
    auto d = Open(QStringLiteral("17"));
    QListWidget* list = d->List();
    EXPECT_EQ(d->size(), QSize(740, 472));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("管理番号選択"));
    ASSERT_EQ(list->count(), 50);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("(01) "));
    EXPECT_EQ(list->item(6)->text(), QStringLiteral("(07) 総務部"));
    EXPECT_EQ(list->item(49)->text(), QStringLiteral("(50) "));
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->currentRow(), 16);
    EXPECT_EQ(QApplication::focusWidget(), list);

    // 01-25 fill the left column, 26-50 the right one, all in view.
    const QRect first = list->visualItemRect(list->item(0));
    const QRect top2 = list->visualItemRect(list->item(25));
    EXPECT_EQ(first.top(), top2.top());
    EXPECT_GT(top2.left(), first.right());
    EXPECT_EQ(list->visualItemRect(list->item(24)).left(), first.left());
    EXPECT_EQ(list->visualItemRect(list->item(1)).top() - first.top(), 17);
    for (int row : {24, 49})
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(row))));
}

TEST_F(IchiranTest, WithoutANumberFrom1To50TheFirstEntryIsSelected) {
    for (const char* text : {"00", "51", "ab", "", "-3"}) {
        auto d = Open(QString::fromLatin1(text));
        EXPECT_EQ(d->List()->currentRow(), 0) << text;
        d->close();
    }
    EXPECT_EQ(Open(QStringLiteral("50"))->List()->currentRow(), 49);
}

TEST_F(IchiranTest, DecideDoubleClickAndEnterChoose) {
    auto d = Open(QStringLiteral("17"));
    QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    EXPECT_EQ(ws.editor.ChosenEntry, 17);
    EXPECT_EQ(d->result(), QDialog::Accepted);

    d = Open(QStringLiteral("17"));
    QTest::keyClick(d->List(), Qt::Key_Down);
    QTest::keyClick(d->List(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ws.editor.ChosenEntry, 18);

    d = Open(QStringLiteral("01"));
    QListWidget* list = d->List();
    const QPoint at = list->visualItemRect(list->item(32)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ws.editor.ChosenEntry, 33);  // an entry without a name can be chosen
    EXPECT_EQ(list->item(32)->text(), QStringLiteral("(33) "));
}

TEST_F(IchiranTest, EscapeDoesNothingCancelAndTheCloseBoxChooseNothing) {
    ws.editor.ChosenEntry = 5;  // an earlier choice
    auto d = Open(QStringLiteral("05"));
    QTest::keyClick(d->List(), Qt::Key_Down);
    QTest::keyClick(d->List(), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->List()->currentRow(), 5);
    d->close();
    EXPECT_EQ(ws.editor.ChosenEntry, 0);

    ws.editor.ChosenEntry = 5;
    d = Open(QStringLiteral("05"));
    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_EQ(ws.editor.ChosenEntry, 0);
    EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(IchiranTest, ClosingWritesTheSectionAndOpeningReadsIt) {
    const std::string path = ws.settings.SettingsPath();
    sw::model::WriteIniString(path, "Ichiran", "Caption", "");  // an empty title stays empty
    sw::model::WriteIniInt(path, "Ichiran", "Left", 3000);      // off the screen: centred
    {
        auto d = Open(QStringLiteral("01"));
        EXPECT_EQ(d->windowTitle(), QString());
        EXPECT_EQ(d->pos().x(), (d->screen()->availableGeometry().width() - d->width()) / 2);
        d->move(15, 25);
        QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    }
    EXPECT_EQ(sw::model::ReadIniInt(path, "Ichiran", "Top", 0), 25);
    EXPECT_EQ(sw::model::ReadIniInt(path, "Ichiran", "Left", 0), 15);
    EXPECT_EQ(sw::model::ReadIniValue(path, "Ichiran", "Caption"), std::optional<std::string>(""));
}

TEST_F(IchiranTest, OpenSelectionMakesTheChoiceCurrentAndACloseChangesNothing) {
    ws.labelSet.Entries[7].ButtonModel = sw::model::kModel30;
    ws.editor.CurrentEntry = 3;
    ws.editor.CurrentFace = ws.editor.EditFace = 2;
    ws.editor.CurrentKeyPos = 20;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TfrmIchiran*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->List()->setCurrentRow(6);
        QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    });
    sw::model::Refresh r = OpenSelection(nullptr, ws, QStringLiteral("03"));
    EXPECT_TRUE(r.entry && r.face && r.currentKey);
    EXPECT_EQ(ws.editor.CurrentEntry, 7);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws.editor.CurrentFace, 2);

    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TfrmIchiran*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->List()->currentRow(), 6);
        d->List()->setCurrentRow(40);
        d->close();
    });
    r = OpenSelection(nullptr, ws, QStringLiteral("07"));
    EXPECT_TRUE(r.Empty());
    EXPECT_EQ(ws.editor.ChosenEntry, 0);
    EXPECT_EQ(ws.editor.CurrentEntry, 7);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 1);
}

TEST_F(IchiranTest, ANameOfAMegabyteIsListedByItsStartAndCanBeChosen) {
    ws.labelSet.Entries[9].Name = std::string(1 << 20, 'n');
    auto d = Open(QStringLiteral("09"));
    const QString item = d->List()->item(8)->text();
    EXPECT_TRUE(item.startsWith(QStringLiteral("(09) nnnn")));
    EXPECT_LE(item.size(), 5 + 512);
    QTest::keyClick(d->List(), Qt::Key_Return);
    EXPECT_EQ(ws.editor.ChosenEntry, 9);
    EXPECT_EQ(ws.labelSet.Entries[9].Name.size(), 1u << 20);  // only the list shows less
}

}  // namespace
}  // namespace sw::mgmt
