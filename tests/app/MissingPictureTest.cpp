// A background picture that is gone (moved, or on a drive not mounted today), through the
// whole program: open, show, preview, print, save. Nothing forgets its path, and the user is
// told once per file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/ProgramFixture.h"
#include "model/LabelSetFile.h"
#include "print/TfrmPreview.h"

namespace sw::app {
namespace {

using sw::test::WriteFileBytes;

class MissingPicture : public sw::test::ProgramFixture {
protected:
    QStringList Warnings() {
        QStringList texts;
        for (const auto& m : dialogs.messages)
            if (m.kind == MessageKind::Warning) texts << m.text;
        return texts;
    }
    static QString Notice(const std::string& path) {
        return QStringLiteral("背景画像「%1」が見つかりません。白で表示・印刷します。").arg(QString::fromStdString(path));
    }
};

TEST_F(MissingPicture, KeepsItsPathThroughOpenShowPreviewPrintAndSaveAndIsNamedOnce) {
    const std::string gone = cwd.File("gone.jpg");
    const std::string away = cwd.File("away.bmp");
    auto set = std::make_unique<sw::model::LabelSet>();
    set->Entries[1].Faces[1].PictureFile = gone;
    set->Entries[1].Faces[2].PictureFile = away;
    set->Entries[1].Faces[3].PictureFile = gone;
    set->Entries[1].Faces[1].Keys[1].Line1 = "K1";
    const std::string in = cwd.File("in.stw");
    WriteFileBytes(in, sw::model::WriteLabelSet(*set));

    dialogs.files = {QString::fromStdString(in)};
    w().action(QStringLiteral("Open1"))->trigger();
    QTest::qWait(20);
    EXPECT_TRUE(ws->labelSet == *set);
    EXPECT_EQ(Warnings(), QStringList{Notice(gone)});
    EXPECT_EQ(w().ScreenBackground().pixelColor(200, 100), QColor(Qt::white));
    auto* mark = w().findChild<QLabel*>(QStringLiteral("lblMissingPicture"));
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->text().endsWith(QStringLiteral("gone.jpg")));
    EXPECT_EQ(mark->palette().color(QPalette::WindowText).hue(), 0);  // red

    // Faces 2 and 3: the other file is named once, the first not again.
    w().tabPage()->setCurrentIndex(1);
    w().tabPage()->setCurrentIndex(2);
    QTest::qWait(20);
    EXPECT_EQ(Warnings(), (QStringList{Notice(gone), Notice(away)}));

    // The preview paints the sheet (white faces) and says nothing more.
    bool painted = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<sw::render::TfrmPreview*>(QApplication::activeModalWidget());
        if (!preview) return;
        QTest::qWait(20);
        painted = !preview->PaintedPage().isNull();
        preview->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
    });
    w().toolButton(5)->click();
    QTest::qWait(20);
    EXPECT_TRUE(painted);

    // Printed: the page comes out, the faces white, and no message.
    dialogs.prints = {1};
    w().toolButton(4)->click();
    QTest::qWait(20);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(Warnings().size(), 2);
    EXPECT_TRUE(ws->labelSet == *set);

    // Saved: every path is still in the file.
    const std::string out = cwd.File("out.stw");
    dialogs.files = {QString::fromStdString(out)};
    w().action(QStringLiteral("SaveAs1"))->trigger();
    auto saved = std::make_unique<sw::model::LabelSet>();
    ASSERT_TRUE(sw::model::LoadLabelSetFile(out, *saved).ok);
    EXPECT_EQ(saved->Entries[1].Faces[1].PictureFile, gone);
    EXPECT_EQ(saved->Entries[1].Faces[2].PictureFile, away);
    EXPECT_EQ(saved->Entries[1].Faces[3].PictureFile, gone);
    EXPECT_EQ(sw::test::ReadFileBytes(out), sw::test::ReadFileBytes(in));
    EXPECT_EQ(Warnings().size(), 2);
}

// Printing first: the print job names the file, and showing its face afterwards does not.
TEST_F(MissingPicture, APrintNamesItOnceAndTheScreenThenKeepsQuiet) {
    const std::string gone = cwd.File("later.bmp");
    ws->labelSet.Entries[1].Faces[4].PictureFile = gone;
    dialogs.prints = {1};
    w().toolButton(4)->click();
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(Warnings(), QStringList{Notice(gone)});
    w().tabPage()->setCurrentIndex(3);
    QTest::qWait(20);
    EXPECT_EQ(Warnings().size(), 1);
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[4].PictureFile, gone);
}

}  // namespace
}  // namespace sw::app
