// Fields refuse characters CP932 cannot hold, whether typed, pasted or committed by an
// input method; stored field text keeps bytes it cannot show.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>

#include "dialogs/Cp932Input.h"
#include "editor/KeyWidgets.h"
#include "editor/WindowFixture.h"

namespace sw::editor {
namespace {

using sw::test::Sjis;
using sw::test::TypeText;

const QString kHangul = QStringLiteral("한");
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");

TEST(Cp932Validator, RefusesTextCp932CannotHoldAndStripsLineBreaksWhenAsked) {
    Cp932Validator plain(false);
    Cp932Validator name(true);
    QString text = QStringLiteral("第一①㈱～－");  // all CP932, NEC and IBM rows included
    int pos = 0;
    EXPECT_EQ(plain.validate(text, pos), QValidator::Acceptable);
    text = QStringLiteral("受付") + kHangul;
    EXPECT_EQ(plain.validate(text, pos), QValidator::Invalid);
    text = QStringLiteral("A\r\nB\nC");
    pos = 6;
    EXPECT_EQ(name.validate(text, pos), QValidator::Acceptable);
    EXPECT_EQ(text, "ABC");
    EXPECT_EQ(pos, 3);
}

TEST(Cp932Fields, ALineEditRefusesTypedAndPastedCharacters) {
    QLineEdit field;
    RefuseNonCp932(&field, true);
    ASSERT_TRUE(sw::test::ShowActive(&field));
    TypeText(&field, QStringLiteral("総務"));
    TypeText(&field, kHangul);
    TypeText(&field, kEmoji);
    EXPECT_EQ(field.text(), QStringLiteral("総務"));
    QApplication::clipboard()->setText(QStringLiteral("一課\n二課"));
    field.paste();
    EXPECT_EQ(field.text(), QStringLiteral("総務一課二課"));
    QApplication::clipboard()->setText(QStringLiteral("x") + kHangul);
    field.paste();
    EXPECT_EQ(field.text(), QStringLiteral("総務一課二課"));
    QInputMethodEvent commit;
    commit.setCommitString(kHangul);
    QApplication::sendEvent(&field, &commit);
    EXPECT_EQ(field.text(), QStringLiteral("総務一課二課"));
}

TEST(Cp932Fields, AnEditableComboBoxRefusesThem) {
    QComboBox box;
    box.setEditable(true);
    RefuseNonCp932(&box);
    ASSERT_TRUE(sw::test::ShowActive(&box));
    box.lineEdit()->clear();
    TypeText(box.lineEdit(), QStringLiteral("IPA") + kHangul + QStringLiteral("明朝"));
    EXPECT_EQ(box.currentText(), QStringLiteral("IPA明朝"));
}

TEST(Cp932Fields, AKeyEditorRefusesTypedCommittedAndPastedText) {
    KeyMemo memo;
    memo.resize(67, 34);
    ASSERT_TRUE(sw::test::ShowActive(&memo));
    TypeText(&memo, QStringLiteral("内線"));
    TypeText(&memo, kHangul);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("内線"));

    QInputMethodEvent refused;
    refused.setCommitString(kEmoji);
    QApplication::sendEvent(&memo, &refused);
    QInputMethodEvent accepted;
    accepted.setCommitString(QStringLiteral("１"));
    QApplication::sendEvent(&memo, &accepted);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("内線１"));

    QApplication::clipboard()->setText(QStringLiteral("A") + kHangul);
    memo.paste();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("内線１"));
    QApplication::clipboard()->setText(QStringLiteral("\n受付"));
    memo.paste();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("内線１\n受付"));
    EXPECT_EQ(memo.refusedCount(), 3);
}

TEST(StoreFieldText, ChangesTheFieldOnlyForNewEncodableText) {
    sw::model::Bytes field = Sjis("営業");
    EXPECT_FALSE(StoreFieldText(field, QStringLiteral("営業")));
    EXPECT_TRUE(StoreFieldText(field, QStringLiteral("経理")));
    EXPECT_EQ(field, Sjis("経理"));
    // Bytes that are not CP932 show as a replacement character and survive being shown.
    sw::model::Bytes odd = "\x81\xff" "A";
    EXPECT_FALSE(StoreFieldText(odd, sw::model::DecodeCp932(odd)));
    EXPECT_EQ(odd, "\x81\xff" "A");
    EXPECT_TRUE(StoreFieldText(odd, QString()));
    EXPECT_EQ(odd, "");
}

}  // namespace
}  // namespace sw::editor
