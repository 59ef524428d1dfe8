// The registration dialog: filling, registering, cancelling, focus movement and the name
// fields' CP932 and byte-limit checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "mgmt/NameEdit.h"
#include "mgmt/TfrmNaisen.h"
#include "model/Cp932.h"
#include "model/IniFile.h"
#include "support/TempDir.h"

namespace sw::mgmt {
namespace {

using sw::model::Bytes;
using sw::model::Workspace;

Bytes Cp932(const QString& text) { return sw::model::EncodeCp932(text).bytes; }

void Commit(QWidget* w, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

class NaisenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.settings.ProgramDir = dir.path() + "/";
        ws.labelSet.Entries[1].Name = Cp932(QStringLiteral("本社 受付"));
        ws.labelSet.Entries[2].ButtonModel = sw::model::kModel30;
        ws.labelSet.Entries[3].Name = "A\xff" "B";  // not CP932: kept byte for byte
        ws.labelSet.Entries[4].ButtonModel = 2;     // a file's odd model: an 18-key entry
        ws.labelSet.Entries[25].Name = Cp932(QStringLiteral("営業部第二課"));
        ws.labelSet.Entries[50].ButtonModel = sw::model::kModel30;
        ws.labelSet.Entries[7].Faces[2].Keys[5].Line1 = "kept";
    }

    std::unique_ptr<TfrmNaisen> Open() {
        auto dialog = std::make_unique<TfrmNaisen>(ws);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    sw::test::TempDir dir;
    Workspace ws;
};

TEST_F(NaisenTest, OpensWithEveryNameAndModelAndRegisteringUntouchedChangesNothing) {
    const sw::model::LabelSet before = ws.labelSet;
    auto d = Open();
    EXPECT_EQ(d->size(), QSize(659, 551));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("管理番号一覧登録"));
    EXPECT_EQ(d->findChild<QLineEdit*>("edtName01")->text(), QStringLiteral("本社 受付"));
    EXPECT_EQ(d->findChild<QLineEdit*>("edtName25")->text(), QStringLiteral("営業部第二課"));
    EXPECT_TRUE(d->findChild<QRadioButton*>("RadioButton2")->isChecked());   // 01: 18 keys
    EXPECT_TRUE(d->findChild<QRadioButton*>("RadioButton3")->isChecked());   // 02: 30 keys
    EXPECT_TRUE(d->findChild<QRadioButton*>("RadioButton8")->isChecked());   // 04: model 2
    EXPECT_TRUE(d->findChild<QRadioButton*>("RadioButton99")->isChecked());  // 50: 30 keys
    EXPECT_FALSE(d->findChild<QRadioButton*>("RadioButton100")->isChecked());
    EXPECT_EQ(d->findChild<QRadioButton*>("RadioButton100")->text(), QStringLiteral("18ボタン"));
    EXPECT_EQ(d->findChild<QRadioButton*>("RadioButton99")->text(), QStringLiteral("30ボタン"));
    EXPECT_EQ(QApplication::focusWidget(), d->NameField(1));

    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_TRUE(ws.labelSet == before);
}

TEST_F(NaisenTest, RegisterWritesEveryTypedNameAndModelAndNoKeyLabel) {
    auto d = Open();
    d->NameField(3)->setFocus();
    d->NameField(3)->selectAll();
    QTest::keyClicks(d->NameField(3), "Tokyo");
    d->NameField(26)->setFocus();
    Commit(d->NameField(26), QStringLiteral("大阪①支店"));
    d->NameField(1)->clear();
    QTest::mouseClick(d->Radio30(1), Qt::LeftButton);
    QTest::mouseClick(d->Radio18(50), Qt::LeftButton);
    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);

    EXPECT_EQ(ws.labelSet.Entries[1].Name, "");
    EXPECT_EQ(ws.labelSet.Entries[3].Name, "Tokyo");
    EXPECT_EQ(ws.labelSet.Entries[26].Name, Cp932(QStringLiteral("大阪①支店")));
    EXPECT_EQ(ws.labelSet.Entries[1].ButtonModel, 0);
    EXPECT_EQ(ws.labelSet.Entries[50].ButtonModel, 1);
    EXPECT_EQ(ws.labelSet.Entries[2].ButtonModel, 0);
    EXPECT_EQ(ws.labelSet.Entries[4].ButtonModel, 2);
    EXPECT_EQ(ws.labelSet.Entries[7].Faces[2].Keys[5].Line1, "kept");
}

TEST_F(NaisenTest, CancelAndTheCloseBoxAfterTypingChangeNothing) {
    const sw::model::LabelSet before = ws.labelSet;
    for (bool closeBox : {false, true}) {
        auto d = Open();
        QTest::keyClicks(d->NameField(5), "typed");
        QTest::mouseClick(d->Radio30(5), Qt::LeftButton);
        QTest::mouseClick(d->Radio18(2), Qt::LeftButton);
        if (closeBox)
            d->close();
        else
            QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_TRUE(ws.labelSet == before) << closeBox;
    }
}

TEST_F(NaisenTest, EnterVisitsTheRowsInEntryOrderThenRegister) {
    ws.labelSet.Entries[26].ButtonModel = sw::model::kModel30;
    auto d = Open();
    QStringList expected;
    for (int n = 1; n <= 50; ++n) {
        expected << QStringLiteral("edtName%1").arg(n, 2, 10, QLatin1Char('0'));
        // Of a row's two radio buttons the keys reach the checked one.
        const bool thirty = n == 2 || n == 26 || n == 50;
        expected << QStringLiteral("RadioButton%1").arg(thirty ? 2 * n - 1 : 2 * n);
    }
    expected << "Button2";
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, expected);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(ws.labelSet.Entries[1].Name == Cp932(QStringLiteral("本社 受付")));

    // On its way the table scrolled down to the last rows.
    QScrollArea* scroll = d->ScrollBox();
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
    // Enter on 登録完了 registers.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(NaisenTest, DownAndUpGoFromNameToNameAndEscapeDoesNothing) {
    auto d = Open();
    auto key = [](Qt::Key k) {
        QTest::keyClick(QApplication::focusWidget(), k);
        return QApplication::focusWidget();
    };
    // From a name field Down and Up go to the next and previous name, past the radio buttons.
    ASSERT_EQ(QApplication::focusWidget(), d->NameField(1));
    EXPECT_EQ(key(Qt::Key_Down), d->NameField(2));
    EXPECT_EQ(key(Qt::Key_Down), d->NameField(3));
    EXPECT_EQ(key(Qt::Key_Up), d->NameField(2));
    d->NameField(25)->setFocus();
    EXPECT_EQ(key(Qt::Key_Down), d->NameField(26));  // the top of the right column
    EXPECT_EQ(key(Qt::Key_Up), d->NameField(25));
    EXPECT_TRUE(d->Radio18(25)->isChecked());  // Up and Down move, they do not check
    // From a radio button they move along the focus order; Right and Left choose the model.
    d->Radio18(25)->setFocus();
    EXPECT_EQ(key(Qt::Key_Right), d->Radio30(25));
    EXPECT_TRUE(d->Radio30(25)->isChecked());
    EXPECT_EQ(key(Qt::Key_Up), d->NameField(25));
    d->Radio30(25)->setFocus();
    EXPECT_EQ(key(Qt::Key_Down), d->NameField(26));
    // After the last name comes 登録完了.
    d->NameField(50)->setFocus();
    EXPECT_EQ(key(Qt::Key_Down), static_cast<QWidget*>(d->findChild<QPushButton*>("Button2")));
    EXPECT_TRUE(d->isVisible());
    // The focused row is scrolled into view.
    d->NameField(24)->setFocus();
    EXPECT_EQ(key(Qt::Key_Down), d->NameField(25));
    QWidget* field = d->NameField(25);
    QRect inViewport(field->mapTo(d->ScrollBox()->viewport(), QPoint(0, 0)), field->size());
    EXPECT_TRUE(d->ScrollBox()->viewport()->rect().contains(inViewport));

    QTest::keyClicks(d->NameField(25), "x");  // replaces the selected name
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->NameField(25)->text(), QStringLiteral("x"));
}

TEST_F(NaisenTest, ShortFieldsTake16BytesFullWidthCountingTwo) {
    ws.labelSet.Entries[25].Name.clear();
    auto d = Open();
    NameEdit* e21 = d->NameField(21);
    e21->setFocus();
    QTest::keyClicks(e21, "abcdefghijklmnopq");  // the 17th byte is refused
    EXPECT_EQ(e21->text(), QStringLiteral("abcdefghijklmnop"));
    e21->clear();
    Commit(e21, QStringLiteral("あいうえおかきく"));  // 8 full-width: 16 bytes
    Commit(e21, QStringLiteral("け"));
    EXPECT_EQ(e21->text(), QStringLiteral("あいうえおかきく"));
    e21->clear();
    QTest::keyClicks(e21, "abcdefghijklmno");
    Commit(e21, QStringLiteral("あ"));  // 15 + 2 bytes
    EXPECT_EQ(e21->text(), QStringLiteral("abcdefghijklmno"));
    Commit(e21, QStringLiteral("ｱ"));  // half-width katakana: one byte
    EXPECT_EQ(e21->text(), QStringLiteral("abcdefghijklmnoｱ"));

    for (int n : {25, 46, 50}) {
        d->NameField(n)->setFocus();
        Commit(d->NameField(n), QStringLiteral("あいうえおかきくけこ"));
        EXPECT_EQ(d->NameField(n)->text(), "") << n;
    }
    const QString longName = QStringLiteral("東京都千代田区丸の内一丁目第一ビル総合受付 extension 1234");
    for (int n : {20, 26, 45}) {
        d->NameField(n)->setFocus();
        Commit(d->NameField(n), longName);
        EXPECT_EQ(d->NameField(n)->text(), longName) << n;
    }
    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_EQ(ws.labelSet.Entries[21].Name, Cp932(QStringLiteral("abcdefghijklmnoｱ")));
    EXPECT_EQ(ws.labelSet.Entries[20].Name, Cp932(longName));
}

TEST_F(NaisenTest, ALongNameFromAFileCanBeShortenedButNotLengthened) {
    ws.labelSet.Entries[22].Name = "ABCDEFGHIJKLMNOPQRST";  // 20 bytes in a 16-byte field
    auto d = Open();
    NameEdit* e22 = d->NameField(22);
    EXPECT_EQ(e22->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    e22->setFocus();
    e22->end(false);
    QTest::keyClicks(e22, "U");
    EXPECT_EQ(e22->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    QTest::keyClick(e22, Qt::Key_Backspace);
    EXPECT_EQ(e22->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRS"));
}

TEST_F(NaisenTest, CharactersCp932CannotHoldAreRefusedAndLineBreaksTakenOut) {
    auto d = Open();
    NameEdit* e = d->NameField(10);
    e->setFocus();
    Commit(e, QStringLiteral("内線€"));  // the euro sign has no CP932 code
    Commit(e, QStringLiteral("한"));
    Commit(e, QString::fromUtf8("\xF0\x9F\x98\x80"));  // an emoji
    EXPECT_EQ(e->text(), "");
    Commit(e, QStringLiteral("内線①～"));
    EXPECT_EQ(e->text(), QStringLiteral("内線①～"));

    QGuiApplication::clipboard()->setText(QStringLiteral("受付\r\n2階"));
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text(), QStringLiteral("内線①～受付2階"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x€"));
    e->paste();
    EXPECT_EQ(e->text(), QStringLiteral("内線①～受付2階"));

    // A name holding bytes that are not CP932 keeps its place for them, takes no new
    // unstorable character, and is stored with "?" for them once it is edited.
    NameEdit* e3 = d->NameField(3);
    e3->setFocus();
    e3->end(false);
    Commit(e3, QStringLiteral("€"));
    Commit(e3, QStringLiteral("C"));
    EXPECT_EQ(e3->text(), QStringLiteral("A\uFFFDBC"));
    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_EQ(ws.labelSet.Entries[10].Name, Cp932(QStringLiteral("内線①～受付2階")));
    EXPECT_EQ(ws.labelSet.Entries[3].Name, "A?BC");
}

TEST_F(NaisenTest, AFocusedNameIsLightBlueWithTheCaretAtItsStart) {
    ws.labelSet.Entries[23].Name = "ABCDEFGHIJKLMNOPQRST";
    ws.labelSet.Entries[24].Name = Cp932(QStringLiteral("第二営業"));
    auto d = Open();
    const QColor normal = d->NameField(8)->palette().color(QPalette::Base);
    EXPECT_EQ(d->NameField(1)->palette().color(QPalette::Base), QColor(166, 202, 240));

    d->NameField(23)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(d->NameField(23)->palette().color(QPalette::Base), QColor(166, 202, 240));
    EXPECT_EQ(d->NameField(1)->palette().color(QPalette::Base), normal);
    EXPECT_EQ(d->NameField(23)->selectedText(), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(d->NameField(23)->cursorPosition(), 0);
    d->NameField(24)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(d->NameField(24)->selectedText(), QStringLiteral("第二営業"));
    // A field without a limit gets its whole name selected.
    d->NameField(1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(d->NameField(1)->selectedText(), QStringLiteral("本社 受付"));
    EXPECT_EQ(d->NameField(1)->cursorPosition(), 0);
}

TEST_F(NaisenTest, WhatAnInputMethodCommitsReplacesTheSelectionOrGoesWhereTheCaretWasPut) {
    auto d = Open();
    // Entered from the keyboard, the name is replaced, as in any field.
    d->NameField(1)->setFocus(Qt::TabFocusReason);
    Commit(d->NameField(1), QStringLiteral("大阪支店"));
    EXPECT_EQ(d->NameField(1)->text(), QStringLiteral("大阪支店"));
    d->NameField(25)->setFocus(Qt::TabFocusReason);
    Commit(d->NameField(25), QStringLiteral("総務"));
    EXPECT_EQ(d->NameField(25)->text(), QStringLiteral("総務"));
    // A click puts the caret where it points: after the name, what is committed follows it.
    QTest::mouseClick(d->NameField(1), Qt::LeftButton, {}, QPoint(d->NameField(1)->width() - 3, 10));
    EXPECT_EQ(d->NameField(1)->cursorPosition(), QStringLiteral("大阪支店").size());
    Commit(d->NameField(1), QStringLiteral("２階"));
    EXPECT_EQ(d->NameField(1)->text(), QStringLiteral("大阪支店２階"));
    QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_EQ(ws.labelSet.Entries[1].Name, Cp932(QStringLiteral("大阪支店２階")));
    EXPECT_EQ(ws.labelSet.Entries[25].Name, Cp932(QStringLiteral("総務")));
}

TEST_F(NaisenTest, ClosingWritesTheSectionAndOpeningReadsIt) {
    const std::string path = ws.settings.SettingsPath();
    sw::model::WriteIniInt(path, "Naisen", "Top", 40);
    sw::model::WriteIniInt(path, "Naisen", "Left", 60);
    sw::model::WriteIniString(path, "Naisen", "Caption", Cp932(QStringLiteral("内線一覧")));
    {
        auto d = Open();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("内線一覧"));
        EXPECT_EQ(d->pos(), QPoint(60, 40));
        d->move(70, 50);
        d->close();
    }
    EXPECT_EQ(sw::model::ReadIniInt(path, "Naisen", "Top", 0), 50);
    EXPECT_EQ(sw::model::ReadIniInt(path, "Naisen", "Left", 0), 70);
    EXPECT_EQ(sw::model::ReadIniString(path, "Naisen", "Caption", ""),
              Cp932(QStringLiteral("内線一覧")));
}

TEST_F(NaisenTest, OpenRegistrationRunsTheDialogAndSaysWhatToShowAgain) {
    ws.editor.CurrentEntry = 1;
    ws.editor.CurrentKeyPos = 12;
    // Entry 01 turned to 30 keys in the dialog.
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TfrmNaisen*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        QTest::mouseClick(d->Radio30(1), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    sw::model::Refresh r = OpenRegistration(nullptr, ws);
    EXPECT_EQ(ws.labelSet.Entries[1].ButtonModel, 0);
    EXPECT_TRUE(r.entry && r.face && r.currentKey);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 1);
    EXPECT_EQ(ws.editor.CurrentKeyIndex(), 1);

    // Cancelled: the header is shown again all the same, the selection stays.
    ws.editor.CurrentKeyPos = 12;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TfrmNaisen*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        QTest::mouseClick(d->Radio18(1), Qt::LeftButton);
        d->close();
    });
    r = OpenRegistration(nullptr, ws);
    EXPECT_EQ(ws.labelSet.Entries[1].ButtonModel, 0);
    EXPECT_TRUE(r.entry && r.face);
    EXPECT_FALSE(r.currentKey);
    EXPECT_EQ(ws.editor.CurrentKeyPos, 12);
}

}  // namespace
}  // namespace sw::mgmt
