// The print fine-adjustment dialog: its fields, keys, buttons and settings section.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <memory>

#include "FakePrinter.h"
#include "model/IniFile.h"
#include "print/TfrmSettei.h"
#include "render/CalibrationSheet.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace sw::render {
namespace {

using sw::model::Workspace;

class SetteiTest : public ::testing::Test {
protected:
    void SetUp() override { ws.settings.ProgramDir = dir.path() + "/"; }

    std::unique_ptr<TfrmSettei> Open(PrintTarget* printer = nullptr,
                                     sw::app::Dialogs* dialogs = nullptr) {
        auto dialog = std::make_unique<TfrmSettei>(ws, nullptr, printer, dialogs);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        edit1 = dialog->findChild<QLineEdit*>("Edit1");
        edit2 = dialog->findChild<QLineEdit*>("Edit2");
        button2 = dialog->findChild<QPushButton*>("Button2");
        button1 = dialog->findChild<QPushButton*>("Button1");
        testPrint = dialog->findChild<QPushButton*>("TestPrintButton");
        return dialog;
    }

    // Types into a field the way a user does: Tab into it, type, Tab out.
    void TypeInto(QLineEdit* edit, const char* text) {
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    int FileValue(const char* key) {
        return sw::model::ReadIniInt(ws.settings.SettingsPath(), "Settei", key, INT_MIN);
    }

    sw::test::TempDir dir;
    Workspace ws;
    QLineEdit* edit1 = nullptr;
    QLineEdit* edit2 = nullptr;
    QPushButton* button2 = nullptr;
    QPushButton* button1 = nullptr;
    QPushButton* testPrint = nullptr;
};

// The calibration sheet as the fake printer's page would hold it.
QImage CalibrationPage(const sw::test::FakePrinter& printer, std::int32_t model, int entry, int sayu, int jyoge) {
    QImage page(printer.PageSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter canvas(&page);
    RenderCalibrationSheet(canvas, printer.pageResolution, {model, entry, sayu, jyoge});
    return page;
}

TEST(OffsetField, AnyWhole32BitNumberIsTakenAnythingElseIsZero) {
    EXPECT_EQ(FormatOffsetField(-12345), QStringLiteral("-12345"));
    EXPECT_EQ(OffsetFieldValue(QStringLiteral(" +7 ")), 7);
    EXPECT_EQ(OffsetFieldValue(QStringLiteral("2147483647")), INT_MAX);
    for (const char* bad : {"2147483648", "1.5", "1 2", "-", "0x10", "１５"})
        EXPECT_EQ(OffsetFieldValue(QString::fromUtf8(bad)), 0) << bad;
}

TEST_F(SetteiTest, OpensWithTheFilesOffsetsAndTheFocusOnSetteiShuryo) {
    sw::model::WriteIniInt(ws.settings.SettingsPath(), "Settei", "Jyoge", 12);
    sw::model::WriteIniInt(ws.settings.SettingsPath(), "Settei", "Sayu", -5);
    auto d = Open();
    EXPECT_EQ(d->size(), QSize(386, 256));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("印刷設定"));
    EXPECT_EQ(edit1->text(), QStringLiteral("  12"));
    EXPECT_EQ(edit2->text(), QStringLiteral("  -5"));
    EXPECT_EQ(ws.settings.Jyoge, 12);
    EXPECT_EQ(ws.settings.Sayu, -5);
    EXPECT_EQ(QApplication::focusWidget(), button2);
    EXPECT_EQ(button2->text(), QStringLiteral("設定終了(&X)"));
    EXPECT_EQ(button1->text(), QStringLiteral("キャンセル(&C)"));
    EXPECT_EQ(edit1->maxLength(), 16);
    EXPECT_FALSE(edit1->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(edit2->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(SetteiTest, FifteenUpAndTwentyLeftAreTakenAndWritten) {
    auto d = Open();
    TypeInto(edit1, "15");
    EXPECT_EQ(edit1->text(), QStringLiteral("  15"));
    TypeInto(edit2, "-20");
    EXPECT_EQ(edit2->text(), QStringLiteral(" -20"));
    QTest::mouseClick(button2, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ws.settings.Jyoge, 15);
    EXPECT_EQ(ws.settings.Sayu, -20);
    EXPECT_EQ(FileValue("Jyoge"), 15);
    EXPECT_EQ(FileValue("Sayu"), -20);

    // Reopened: the values last taken over.
    d = Open();
    EXPECT_EQ(edit1->text(), QStringLiteral("  15"));
    EXPECT_EQ(edit2->text(), QStringLiteral(" -20"));
}

TEST_F(SetteiTest, LettersCountAsZero) {
    ws.settings.Jyoge = 9;
    auto d = Open();
    TypeInto(edit1, "abc");
    EXPECT_EQ(edit1->text(), QStringLiteral("   0"));
    edit2->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit2, "x1");
    // Taken over straight from the field, without leaving it.
    QTest::keyClick(edit2, Qt::Key_X, Qt::AltModifier);  // the button animates, then clicks
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }));
    EXPECT_EQ(ws.settings.Jyoge, 0);
    EXPECT_EQ(ws.settings.Sayu, 0);
}

TEST_F(SetteiTest, EnteringAFieldShowsItsPlainNumberSelectedInLightBlue) {
    ws.settings.Jyoge = 7;
    auto d = Open();
    const QColor normal = edit1->palette().color(QPalette::Base);
    EXPECT_EQ(edit1->text(), QStringLiteral("   7"));
    edit1->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit1->text(), QStringLiteral("7"));
    EXPECT_EQ(edit1->selectedText(), QStringLiteral("7"));
    EXPECT_EQ(edit1->palette().color(QPalette::Base), QColor(166, 202, 240));
    edit2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit2->text(), QStringLiteral("0"));
    EXPECT_EQ(edit2->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(edit1->palette().color(QPalette::Base), normal);
    EXPECT_EQ(edit1->text(), QStringLiteral("   7"));
    // A click selects the whole text.
    edit2->setText(QStringLiteral("123"));
    QTest::mouseClick(edit2, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(edit2->selectedText(), QStringLiteral("123"));
}

TEST_F(SetteiTest, UpDownAndEnterMoveTheFocusEnterOnAButtonPressesIt) {
    auto d = Open();
    auto focused = [] { return QApplication::focusWidget(); };
    QTest::keyClick(focused(), Qt::Key_Down);
    EXPECT_EQ(focused(), button1);
    QTest::keyClick(focused(), Qt::Key_Down);
    EXPECT_EQ(focused(), edit1);
    QTest::keyClicks(edit1, "3");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focused(), edit2);
    EXPECT_EQ(edit1->text(), QStringLiteral("   3"));
    QTest::keyClick(focused(), Qt::Key_Up);
    EXPECT_EQ(focused(), edit1);
    QTest::keyClick(focused(), Qt::Key_Up);
    EXPECT_EQ(focused(), button1);
    QTest::keyClick(focused(), Qt::Key_Escape);  // no way out but the buttons and the box
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(focused(), Qt::Key_Return);   // キャンセル
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ws.settings.Jyoge, 0);
}

TEST_F(SetteiTest, CancelAndTheCloseBoxKeepBothValuesAndTheFiles) {
    const std::string path = ws.settings.SettingsPath();
    sw::model::WriteIniInt(path, "Settei", "Sayu", 3);
    sw::model::WriteIniInt(path, "Settei", "Jyoge", 4);
    for (bool closeBox : {false, true}) {
        auto d = Open();
        TypeInto(edit1, "99");
        TypeInto(edit2, "-99");
        d->move(33, 44);
        if (closeBox)
            d->close();
        else
            QTest::mouseClick(button1, Qt::LeftButton);
        EXPECT_EQ(ws.settings.Sayu, 3);
        EXPECT_EQ(ws.settings.Jyoge, 4);
        EXPECT_EQ(FileValue("Sayu"), 3);
        EXPECT_EQ(FileValue("Jyoge"), 4);
        // Closing writes the whole section all the same.
        EXPECT_EQ(FileValue("Top"), 44);
        EXPECT_EQ(FileValue("Left"), 33);
        EXPECT_EQ(sw::model::ReadIniString(path, "Settei", "Caption", ""),
                  sw::model::ReadIniString(path, "Settei", "Caption", "x"));
    }
}

TEST_F(SetteiTest, OffsetsInMemorySurviveASettingsFileThatCannotBeWritten) {
    // The working folder is gone: nothing can be written there.
    ws.settings.ProgramDir = dir.path() + "/gone/";
    ws.settings.Jyoge = 15;
    ws.settings.Sayu = -20;
    auto d = Open();
    EXPECT_EQ(edit1->text(), QStringLiteral("  15"));
    EXPECT_EQ(edit2->text(), QStringLiteral(" -20"));
    TypeInto(edit1, "25");
    QTest::mouseClick(button2, Qt::LeftButton);
    d = Open();
    EXPECT_EQ(edit1->text(), QStringLiteral("  25"));
    EXPECT_EQ(ws.settings.Jyoge, 25);
    EXPECT_EQ(ws.settings.Sayu, -20);
}

TEST_F(SetteiTest, ShowPrintAdjustmentRunsTheDialogModally) {
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TfrmSettei*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        auto* edit2 = d->findChild<QLineEdit*>("Edit2");
        edit2->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit2, "-2147483648");
        EXPECT_EQ(edit2->text(), QStringLiteral("-2147483648"));
        QTest::mouseClick(d->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    ShowPrintAdjustment(nullptr, ws);
    EXPECT_EQ(ws.settings.Sayu, INT_MIN);
    EXPECT_EQ(FileValue("Sayu"), INT_MIN);
}

TEST_F(SetteiTest, TestPrintPrintsTheCalibrationSheetWithTheTypedValuesAndKeepsThem) {
    sw::model::WriteIniInt(ws.settings.SettingsPath(), "Settei", "Sayu", 3);
    ws.labelSet.Entries[2].ButtonModel = sw::model::kModel18;
    ws.editor.CurrentEntry = 2;
    sw::test::FakePrinter printer;
    printer.printer.setCopyCount(4);  // left over from an earlier print
    sw::test::ScriptedDialogs dialogs;
    dialogs.prints.push_back(1);
    auto d = Open(&printer, &dialogs);
    ASSERT_NE(testPrint, nullptr);
    EXPECT_EQ(testPrint->text(), QStringLiteral("テスト印刷(&T)"));
    EXPECT_TRUE(testPrint->isEnabled());
    TypeInto(edit1, "-5");
    TypeInto(edit2, "12");
    QTest::mouseClick(testPrint, Qt::LeftButton);

    EXPECT_EQ(dialogs.printRequests, 1);
    EXPECT_EQ(dialogs.printCopiesShown, std::vector<int>{1});
    EXPECT_EQ(printer.setUps, 2);  // A4 landscape before the dialog and again for the chosen printer
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    // The typed values and the current entry's 18 keys, not the saved values or 30 keys.
    const QImage& page = printer.jobs[0].page;
    EXPECT_EQ(page, CalibrationPage(printer, sw::model::kModel18, 2, 12, -5));
    EXPECT_NE(page, CalibrationPage(printer, sw::model::kModel18, 2, 3, 0));
    EXPECT_NE(page, CalibrationPage(printer, sw::model::kModel30, 2, 12, -5));

    // The dialog stays open with the values typed; nothing is taken or written yet.
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(edit2->text(), QStringLiteral("  12"));
    EXPECT_EQ(ws.settings.Sayu, 3);
    EXPECT_EQ(ws.settings.Jyoge, 0);
    EXPECT_EQ(FileValue("Sayu"), 3);
    QTest::mouseClick(button1, Qt::LeftButton);
    EXPECT_EQ(ws.settings.Sayu, 3);
}

TEST_F(SetteiTest, TestPrintCancelledPrintsNothingAndAFailedJobIsTold) {
    sw::test::FakePrinter printer;
    sw::test::ScriptedDialogs dialogs;
    dialogs.prints.push_back(std::nullopt);  // キャンセル in the print dialog
    auto d = Open(&printer, &dialogs);
    QTest::mouseClick(testPrint, Qt::LeftButton);
    EXPECT_EQ(dialogs.printRequests, 1);
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_TRUE(dialogs.messages.empty());

    printer.refuseJobs = true;
    dialogs.prints.push_back(1);
    QTest::mouseClick(testPrint, Qt::LeftButton);
    EXPECT_TRUE(printer.jobs.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, sw::app::MessageKind::Error);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("no printer"));
    EXPECT_TRUE(d->isVisible());

    // Without a printer to print on, the button cannot be pressed.
    d = Open();
    EXPECT_FALSE(testPrint->isEnabled());
}

// 50 mm to the right puts faces 3 and 4 7.8 mm past the right edge of the A4 paper: asked
// before the values are taken or test-printed, いいえ by default (back to the field, nothing
// taken or printed); はい takes them, as no range is set.
TEST_F(SetteiTest, AnAdjustmentThatPutsAFaceOffThePaperIsAskedAbout) {
    EXPECT_EQ(FacesOffPaper(0, 0), QString());
    EXPECT_EQ(FacesOffPaper(-151, 0), QStringLiteral("この値では印刷面１、印刷面２が A4 の用紙からはみ出します（左 0.1 mm）。"));
    EXPECT_EQ(FacesOffPaper(0, 530), QStringLiteral("この値では印刷面１、印刷面３が A4 の用紙からはみ出します（上 0.2 mm）。"));

    sw::test::FakePrinter printer;
    sw::test::ScriptedDialogs dialogs;
    auto d = Open(&printer, &dialogs);
    TypeInto(edit2, "500");
    const QString off = QStringLiteral("この値では印刷面３、印刷面４が A4 の用紙からはみ出します（右 7.8 mm）。");

    dialogs.prints = {1};
    QTest::mouseClick(testPrint, Qt::LeftButton);
    EXPECT_EQ(dialogs.printRequests, 0);
    QTest::mouseClick(button2, Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(ws.settings.Sayu, 0);
    EXPECT_EQ(QApplication::focusWidget(), edit2);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, off + QStringLiteral("このままテスト印刷しますか？"));
    EXPECT_EQ(dialogs.messages[1].text, off + QStringLiteral("このまま設定しますか？"));
    EXPECT_EQ(dialogs.messages[1].buttons, sw::app::Buttons::YesNoDefaultNo);

    dialogs.replies = {sw::app::Reply::Yes};
    QTest::mouseClick(button2, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(ws.settings.Sayu, 500);
    EXPECT_EQ(FileValue("Sayu"), 500);
}

}  // namespace
}  // namespace sw::render
