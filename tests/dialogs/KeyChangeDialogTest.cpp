// The change list of a key import as the user sees it: every line, the marked one standing
// out, the refused rows apart, and OK or キャンセル as the answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <functional>

#include "dialogs/KeyChangeDialog.h"

namespace {

using sw::app::KeyChangeDialog;
using sw::app::KeyChangeReview;

// Runs `act` on the dialog once it shows.
void OnShown(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        act(dialog);
    });
}

QPushButton* Button(QDialog* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(KeyChangeDialog, ShowsEveryLineMarksTheSuspectOnesAndAnswersOkOrCancel) {
    KeyChangeReview review;
    review.title = QStringLiteral("CSV から読み込み");
    review.intro = QStringLiteral("「keys.csv」を読み込むと、管理番号 01 の次の 2 個のキーが変わります。");
    review.changes = {QStringLiteral("印刷面1 / キー 01: 旧「」 → 新「内線」"),
                      QStringLiteral("印刷面2 / キー 07: 旧「0120」 → 新「120」　※表計算ソフトの変換？（先頭の 0 が消えています）")};
    review.refusals = {QStringLiteral("5 行目: キー 19 は管理番号 01（18ボタン）にはありません（01〜18）")};
    review.question = QStringLiteral("OK で変えます。キャンセルすると何も変えません。");

    bool seen = false;
    OnShown([&](QDialog* dialog) {
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), review.title);
        auto* changes = dialog->findChild<QTextEdit*>(QStringLiteral("lstChanges"));
        auto* refusals = dialog->findChild<QTextEdit*>(QStringLiteral("lstRefusals"));
        ASSERT_TRUE(changes && refusals);
        EXPECT_EQ(changes->toPlainText(), review.changes.join(QLatin1Char('\n')));
        EXPECT_EQ(refusals->toPlainText(), review.refusals.join(QLatin1Char('\n')));
        const QTextBlock plain = changes->document()->firstBlock();
        EXPECT_EQ(plain.blockFormat().background().style(), Qt::NoBrush);
        EXPECT_NE(plain.next().blockFormat().background().style(), Qt::NoBrush);
        EXPECT_TRUE(changes->isReadOnly());
        Button(dialog, QStringLiteral("キャンセル"))->click();
    });
    EXPECT_FALSE(KeyChangeDialog::Run(nullptr, review));
    EXPECT_TRUE(seen);

    OnShown([&](QDialog* dialog) { Button(dialog, QStringLiteral("OK"))->click(); });
    EXPECT_TRUE(KeyChangeDialog::Run(nullptr, review));
}

}  // namespace
