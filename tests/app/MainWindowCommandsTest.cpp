// Commands of the assembled main window around faces and entries: the picture tool button,
// "新規作成" and the face copy buttons, the fine adjustment as the printed sheet shows it,
// and what the registration and selection dialogs leave on screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "mgmt/NameEdit.h"
#include "mgmt/TfrmIchiran.h"
#include "mgmt/TfrmNaisen.h"
#include "print/FakePrinter.h"
#include "render/RenderTestSupport.h"
#include "print/TfrmSettei.h"
#include "render/CalibrationSheet.h"
#include "support/ScriptedDialogs.h"

namespace sw::app {
namespace {

using sw::editor::PanelLook;
using sw::test::Sjis;

using sw::test::OnModal;

class MainWindowCommands : public sw::test::ProgramFixture {
protected:
    QPushButton* Button(const char* name) { return w().findChild<QPushButton*>(QString::fromLatin1(name)); }
    QRadioButton* Radio(int n) { return w().findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n)); }
    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    // Every key of every face of an entry names itself: "E<entry>F<face>K<key>".
    void NameKeys(int entry) {
        for (int f = 1; f <= 4; ++f)
            for (int k = 1; k <= 30; ++k)
                ws->labelSet.Entries[entry].Faces[f].Keys[k].Line1 =
                    "E" + std::to_string(entry) + "F" + std::to_string(f) + "K" + std::to_string(k);
    }
    // Which positions show a key panel.
    std::vector<int> VisiblePanels() {
        std::vector<int> shown;
        for (int p = 1; p <= 30; ++p)
            if (w().keyPanel(p)->isVisible()) shown.push_back(p);
        return shown;
    }
    std::vector<int> Range(int first, int last) {
        std::vector<int> r;
        for (int p = first; p <= last; ++p) r.push_back(p);
        return r;
    }
};

// --- Faces ---

TEST_F(MainWindowCommands, ThePictureToolButtonChoosesThePictureAsPictureSelectDoes) {
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::magenta);
    const std::string path = cwd.File("m.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
    dialogs.files = {QString::fromStdString(path)};
    w().toolButton(27)->click();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0], FileKind::OpenPicture);
    EXPECT_EQ(ws->labelSet.Entries[1].Faces[1].PictureFile, path);
    EXPECT_EQ(w().ScreenBackground().pixelColor(200, 200), QColor(Qt::magenta));

    // Single colour: the tool button is off with 画像選択.
    Click(Radio(8));
    EXPECT_FALSE(w().toolButton(27)->isEnabled());
    w().toolButton(27)->click();
    EXPECT_EQ(dialogs.fileRequests.size(), 1u);
}

TEST_F(MainWindowCommands, NewLabelSetFromFace3ShowsFace1AndItsCopyButtons) {
    w().tabPage()->setCurrentIndex(2);
    ASSERT_FALSE(Button("btnCopy3")->isEnabled());
    dialogs.replies = {Reply::Ok};
    w().action("New1")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("新規作成しますか？"));
    EXPECT_EQ(w().tabPage()->currentIndex(), 0);
    EXPECT_EQ(ws->editor.CurrentFace, 1);
    EXPECT_FALSE(Button("btnCopy1")->isEnabled());
    for (const char* name : {"btnCopy2", "btnCopy3", "btnCopy4"}) EXPECT_TRUE(Button(name)->isEnabled()) << name;
}

// The printed sheet around the cross mark at 600 dpi, and where its ink lies.
QRect CrossInk(sw::model::Workspace& ws) {
    auto r = sw::test::RenderWindow(ws, 600, QRect(5800, 300, 700, 600));
    EXPECT_TRUE(r.result.ok);
    return r.Ink();
}

TEST_F(MainWindowCommands, FineAdjustmentTakenInTheDialogMovesThePrintedSheet) {
    const QRect before = CrossInk(*ws);
    ASSERT_FALSE(before.isEmpty());

    // From the menu: 15 in Edit1 (up/down), -20 in Edit2 (left/right).
    bool reached = false;
    OnModal<sw::render::TfrmSettei>([](sw::render::TfrmSettei* d) {
        for (auto [name, text] : {std::pair{"Edit1", "15"}, std::pair{"Edit2", "-20"}}) {
            auto* edit = d->findChild<QLineEdit*>(QString::fromLatin1(name));
            edit->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Tab);
        }
        EXPECT_EQ(d->findChild<QLineEdit*>("Edit1")->text(), QStringLiteral("  15"));
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);  // 設定終了
    }, &reached);
    w().action("I1")->trigger();
    ASSERT_TRUE(reached);
    EXPECT_EQ(ws->settings.Jyoge, 15);
    EXPECT_EQ(ws->settings.Sayu, -20);
    const QRect after = CrossInk(*ws);
    // 1.5 mm up is 35.4 dots, 2 mm left 47.2 dots; each edge rounds on its own.
    EXPECT_EQ(after.size(), before.size());
    EXPECT_LE(std::abs(after.left() - before.left() + 47), 1) << after.left() - before.left();
    EXPECT_LE(std::abs(after.top() - before.top() + 35), 1) << after.top() - before.top();

    // From the tool button: typed, then cancelled.
    reached = false;
    OnModal<sw::render::TfrmSettei>([](sw::render::TfrmSettei* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit1");
        EXPECT_EQ(edit->text(), QStringLiteral("  15"));
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, "-400");
        QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);  // キャンセル
    }, &reached);
    w().toolButton(6)->click();
    ASSERT_TRUE(reached);
    EXPECT_EQ(ws->settings.Jyoge, 15);
    EXPECT_EQ(CrossInk(*ws), after);
}

TEST_F(MainWindowCommands, TestPrintFromTheFineAdjustmentDialogGoesToTheProgramsPrinter) {
    dialogs.prints.push_back(1);
    bool reached = false;
    OnModal<sw::render::TfrmSettei>([](sw::render::TfrmSettei* d) {
        auto* edit = d->findChild<QLineEdit*>("Edit2");
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, "10");
        QTest::mouseClick(d->findChild<QPushButton*>("TestPrintButton"), Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);  // キャンセル
    }, &reached);
    w().action("I1")->trigger();
    ASSERT_TRUE(reached);
    EXPECT_EQ(dialogs.printRequests, 1);
    ASSERT_EQ(printer.jobs.size(), 1u);
    // The calibration sheet of the current entry's key model, 1 mm to the right; nothing taken.
    QImage expected(printer.PageSize(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter canvas(&expected);
    sw::render::RenderCalibrationSheet(
        canvas, printer.pageResolution,
        {ws->labelSet.Entries[ws->editor.CurrentEntry].ButtonModel, ws->editor.CurrentEntry, 10, 0});
    canvas.end();
    EXPECT_EQ(printer.jobs[0].page, expected);
    EXPECT_EQ(ws->settings.Sayu, 0);
}

// --- Registration ---

TEST_F(MainWindowCommands, RegisteringTheCurrentEntryAs30KeysShowsAll30With01Selected) {
    NameKeys(1);
    w().tabPage()->setCurrentIndex(1);
    w().SelectKey(12);
    bool reached = false;
    OnModal<sw::mgmt::TfrmNaisen>([](sw::mgmt::TfrmNaisen* d) {
        QTest::mouseClick(d->Radio30(1), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);  // 登録完了
    }, &reached);
    Click(Button("Button2"));
    ASSERT_TRUE(reached);
    EXPECT_EQ(ws->labelSet.Entries[1].ButtonModel, sw::model::kModel30);
    EXPECT_EQ(VisiblePanels(), Range(1, 30));
    EXPECT_TRUE(Radio(11)->isChecked());
    EXPECT_TRUE(w().findChild<QWidget*>("Image430")->isVisible());
    EXPECT_EQ(w().numberLabel(1)->text(), "01");
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_EQ(w().keyPanel(1)->look(), PanelLook::Selected);
    EXPECT_NE(w().keyPanel(12)->look(), PanelLook::Selected);
    EXPECT_EQ(w().pnlADial()->text(), "01");
    EXPECT_EQ(w().captionLabel(1)->text(), "E1F2K1");
    EXPECT_EQ(w().captionLabel(30)->text(), "E1F2K30");
    EXPECT_EQ(w().tabPage()->currentIndex(), 1);
}

TEST_F(MainWindowCommands, RegisteringAnotherEntrysModelLeavesTheGrid) {
    NameKeys(1);
    w().SelectKey(12);
    bool reached = false;
    OnModal<sw::mgmt::TfrmNaisen>([](sw::mgmt::TfrmNaisen* d) {
        QTest::mouseClick(d->Radio30(5), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    }, &reached);
    w().action("N3")->trigger();
    ASSERT_TRUE(reached);
    EXPECT_EQ(ws->labelSet.Entries[5].ButtonModel, sw::model::kModel30);
    EXPECT_EQ(VisiblePanels(), Range(7, 24));
    EXPECT_EQ(ws->editor.CurrentKeyPos, 12);
    EXPECT_EQ(w().keyPanel(12)->look(), PanelLook::Selected);
    EXPECT_EQ(w().pnlADial()->text(), "06");
    EXPECT_EQ(w().captionLabel(12)->text(), "E1F1K6");
}

TEST_F(MainWindowCommands, CancellingTheRegistrationChangesNothingButShowsTheHeaderAgain) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox);
        // Changed behind the window's back: the refresh after the dialog shows it.
        ws->labelSet.Entries[1].Name = Sjis(closeBox ? "総務" : "経理");
        const sw::model::LabelSet before = ws->labelSet;
        w().SelectKey(10);
        bool reached = false;
        OnModal<sw::mgmt::TfrmNaisen>([closeBox](sw::mgmt::TfrmNaisen* d) {
            QTest::keyClicks(d->NameField(1), "typed");
            QTest::mouseClick(d->Radio30(1), Qt::LeftButton);
            QTest::mouseClick(d->Radio30(9), Qt::LeftButton);
            if (closeBox)
                d->close();
            else
                QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);  // キャンセル
        }, &reached);
        w().action("N3")->trigger();
        ASSERT_TRUE(reached);
        EXPECT_EQ(ws->labelSet, before);
        EXPECT_EQ(w().edtName()->text(), QString::fromUtf8(closeBox ? "総務" : "経理"));
        EXPECT_EQ(VisiblePanels(), Range(7, 24));
        EXPECT_EQ(ws->editor.CurrentKeyPos, 10);
        EXPECT_EQ(w().keyPanel(10)->look(), PanelLook::Selected);
    }
}

// --- Selection ---

TEST_F(MainWindowCommands, TheSelectionOpensOnTheEntryShownAndChoosingItShowsItFromItsStart) {
    NameKeys(17);
    w().edtNaisen()->setText(QStringLiteral("17"));
    ASSERT_TRUE(w().ApplyEntryNumber());
    w().SelectKey(15);
    int openedOn = -1;
    bool reached = false;
    OnModal<sw::mgmt::TfrmIchiran>([&openedOn](sw::mgmt::TfrmIchiran* d) {
        openedOn = d->List()->currentRow();
        QTest::keyClick(d->List(), Qt::Key_Return);
    }, &reached);
    Click(Button("btnNaisen"));
    ASSERT_TRUE(reached);
    EXPECT_EQ(openedOn, 16);
    EXPECT_EQ(ws->editor.CurrentEntry, 17);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(w().keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_NE(w().keyPanel(15)->look(), PanelLook::Selected);
    EXPECT_EQ(w().pnlADial()->text(), "01");
}

TEST_F(MainWindowCommands, ChoosingAnEntrySelectsItsFirstUsedPositionOnTheSameFace) {
    ws->labelSet.Entries[3].ButtonModel = sw::model::kModel30;
    for (int entry : {2, 3, 4}) NameKeys(entry);
    w().tabPage()->setCurrentIndex(2);
    w().SelectKey(20);
    auto choose = [this](int entry) {
        bool reached = false;
        OnModal<sw::mgmt::TfrmIchiran>([entry](sw::mgmt::TfrmIchiran* d) {
            d->List()->setCurrentRow(entry - 1);
            QTest::mouseClick(d->findChild<QPushButton*>("Button1"), Qt::LeftButton);  // 決定
        }, &reached);
        w().action("N4")->trigger();
        ASSERT_TRUE(reached);
    };

    choose(2);  // the same model as entry 01: position 07, not the 20 selected before
    EXPECT_EQ(ws->editor.CurrentEntry, 2);
    EXPECT_EQ(w().edtNaisen()->text(), "02");
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(w().keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_NE(w().keyPanel(20)->look(), PanelLook::Selected);
    EXPECT_EQ(w().captionLabel(7)->text(), "E2F3K1");
    EXPECT_EQ(w().tabPage()->currentIndex(), 2);

    choose(3);  // 30 keys: position 01
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_EQ(VisiblePanels(), Range(1, 30));
    EXPECT_EQ(w().keyPanel(1)->look(), PanelLook::Selected);
    EXPECT_EQ(w().captionLabel(1)->text(), "E3F3K1");
    EXPECT_EQ(w().pnlADial()->text(), "01");

    w().SelectKey(28);  // a position 18 keys do not have
    choose(4);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(VisiblePanels(), Range(7, 24));
    EXPECT_EQ(w().keyPanel(7)->look(), PanelLook::Selected);
    EXPECT_EQ(w().captionLabel(24)->text(), "E4F3K18");
    EXPECT_EQ(w().tabPage()->currentIndex(), 2);
    EXPECT_EQ(ws->editor.CurrentFace, 3);

    // The close box after that choice: nothing moves.
    w().SelectKey(9);
    bool reached = false;
    OnModal<sw::mgmt::TfrmIchiran>([](sw::mgmt::TfrmIchiran* d) {
        d->List()->setCurrentRow(40);
        d->close();
    }, &reached);
    w().action("N4")->trigger();
    ASSERT_TRUE(reached);
    EXPECT_EQ(ws->editor.CurrentEntry, 4);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 9);
    EXPECT_EQ(w().keyPanel(9)->look(), PanelLook::Selected);
}

}  // namespace
}  // namespace sw::app
