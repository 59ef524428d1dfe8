// The command table around the documents: tool-bar prologue, shutdown, help and About.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "app/Commands.h"
#include "app/Program.h"
#include "app/ProgramFixture.h"
#include "app/TfrmVersion.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "print/FakePrinter.h"
#include "mgmt/TfrmIchiran.h"
#include "print/TfrmPreview.h"
#include "model/IniFile.h"
#include "support/ScriptedDialogs.h"

namespace sw::app {
namespace {

using sw::test::Sjis;

class CommandTable : public sw::test::ProgramFixture {
protected:
    std::string Ini() { return cwd.File("Stripwise2.ini"); }
};

TEST_F(CommandTable, AToolBarCommandStopsAtAnInvalidNumberWhileTheMenuRunsIt) {
    for (const char* typed : {"99", "0", ""}) {
        dialogs.messages.clear();
        w().edtNaisen()->setText(QString::fromLatin1(typed));
        w().toolButton(1)->click();  // 新規作成
        w().toolButton(3)->click();  // 保存
        ASSERT_EQ(dialogs.messages.size(), 2u) << typed;
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Ｎｏが誤っています。"));
        EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Ｎｏが誤っています。"));
        EXPECT_TRUE(dialogs.fileRequests.empty());
    }
    dialogs.messages.clear();
    dialogs.replies = {Reply::Cancel};
    w().action("New1")->trigger();
    ASSERT_GE(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("新規作成しますか？"));
    // The focus going back to the name field then applies the number, which is still wrong.
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Ｎｏが誤っています。"));
}

TEST_F(CommandTable, AToolBarCommandFirstStoresTheKeyEditorsTextAndTheName) {
    w().SelectKey(9);
    w().OpenKeyEditor();
    QApplication::clipboard()->setText(QStringLiteral("\n受付"));
    QTest::keyClick(w().keyMemo(9), Qt::Key_V, Qt::ControlModifier);  // pasted into the open editor
    w().edtName()->setText(QStringLiteral("本社"));
    dialogs.files = {std::nullopt};
    w().toolButton(2)->click();  // 開く, cancelled
    const auto& entry = ws->labelSet.Entries[1];
    EXPECT_EQ(entry.Faces[1].Keys[3].Line1, Sjis("受付"));
    EXPECT_EQ(entry.Faces[1].Keys[3].Line2, "");
    EXPECT_EQ(entry.Name, Sjis("本社"));
    // A valid number typed in the field is applied first.
    w().edtNaisen()->setText("4");
    w().toolButton(2)->click();
    EXPECT_EQ(ws->editor.CurrentEntry, 4);
    EXPECT_EQ(w().edtNaisen()->text(), "04");
}

TEST_F(CommandTable, ShutdownAnsweredNoKeepsTheWindowButWritesTheSettings) {
    ws->settings.Sayu = 7;
    w().move(33, 44);
    dialogs.replies = {Reply::No};
    EXPECT_FALSE(w().close());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("終了してもよろしいですか？"));
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(w().isVisible());
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Main", "Top", -1), w().pos().y());
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Main", "Left", -1), w().pos().x());
    EXPECT_EQ(sw::model::ReadIniString(Ini(), "Main", "Caption", ""), Sjis("Stripwise２"));
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Settei", "Sayu", 0), 7);
    EXPECT_EQ(sw::model::ReadIniString(Ini(), "Help", "FileName", ""), Sjis("Stripwise2ヘルプガイド.pdf"));

    // The exit button asks the same question; はい closes.
    ws->settings.Sayu = 8;
    w().findChild<QPushButton*>("Button6")->click();
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Settei", "Sayu", 0), 8);
}

TEST_F(CommandTable, ShutdownGoesOnWhenTheSettingsCannotBeWritten) {
    // A folder in the settings file's place cannot be replaced by a write.
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(Ini())));
    w().action("Exit1")->trigger();
    // The user hears once, by the file's name, that the settings are not kept.
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromStdString(Ini()))) << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("終了してもよろしいですか？"));
    EXPECT_FALSE(w().isVisible());
}

TEST_F(CommandTable, HelpOpensTheGuideInTheProgramDirectoryOrSaysItIsMissing) {
    std::vector<QUrl> opened;
    program->commands().openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    w().action("de1")->trigger();
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("ヘルプファイルが有りません。"));
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);

    const std::string guide = cwd.File("Stripwise2ヘルプガイド.pdf");
    sw::test::WriteFileBytes(guide, "%PDF-1.4\n");
    w().action("de1")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(guide)));
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // A desktop with no program for PDF files opens nothing: the user is told, with the file.
    program->commands().openUrl = [](const QUrl&) { return false; };
    w().action("de1")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("Stripwise2ヘルプガイド.pdf")));
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("開くプログラムが見つかりません")));
}

TEST_F(CommandTable, TheAboutBoxShowsItsLinesAndKeepsItsPlaceOnOk) {
    sw::model::WriteIniString(Ini(), "Version", "Caption", Sjis("このプログラムについて"));
    sw::model::WriteIniInt(Ini(), "Version", "Top", 120);
    sw::model::WriteIniInt(Ini(), "Version", "Left", 140);
    QString seenCaption;
    QStringList seenLabels;
    bool noCloseButton = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TfrmVersion*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenCaption = box->windowTitle();
        for (const char* name : {"Label1", "Label2", "Label3"})
            seenLabels << box->findChild<QLabel*>(QString::fromLatin1(name))->text();
        noCloseButton = !(box->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(box->size(), QSize(356, 104));
        EXPECT_EQ(box->pos(), QPoint(140, 120));
        box->move(150, 160);
        box->findChild<QPushButton*>("Button1")->click();
    });
    w().action("About1")->trigger();
    EXPECT_EQ(seenCaption, QStringLiteral("このプログラムについて"));
    ASSERT_EQ(seenLabels.size(), 3);
    EXPECT_EQ(seenLabels[0], QStringLiteral("Stripwise２"));
    EXPECT_EQ(seenLabels[1], QStringLiteral("Ｖersion1.1"));
    EXPECT_FALSE(seenLabels[2].isEmpty());
    EXPECT_TRUE(noCloseButton);
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Version", "Top", 0), 160);
    EXPECT_EQ(sw::model::ReadIniInt(Ini(), "Version", "Left", 0), 150);
    EXPECT_EQ(sw::model::ReadIniString(Ini(), "Version", "Caption", ""), Sjis("このプログラムについて"));
}

TEST_F(CommandTable, ThePreviewButtonAndMenuItemShowTheKeptPreviewAndPrintPrints) {
    for (bool fromMenu : {false, true}) {
        sw::render::TfrmPreview* shown = nullptr;
        bool outlines = false;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<sw::render::TfrmPreview*>(QApplication::activeModalWidget());
            if (!shown) return;
            outlines = shown->DrawButtonOutlines();
            shown->findChild<QPushButton*>("btnClose")->click();
        });
        if (fromMenu)
            w().action("N2")->trigger();
        else
            w().toolButton(5)->click();
        EXPECT_EQ(shown, &program->preview()) << fromMenu;
        EXPECT_TRUE(outlines);
        EXPECT_FALSE(program->preview().isVisible());
    }
    dialogs.prints = {1, 2};
    w().toolButton(4)->click();
    w().action("Print1")->trigger();
    EXPECT_EQ(dialogs.printRequests, 2);
    ASSERT_EQ(printer.jobs.size(), 2u);  // one job each, whatever the copy count
    EXPECT_EQ(printer.jobs[1].title, QStringLiteral("Stripwise２"));
    // With the Ｎｏ field wrong the print button does nothing but say so.
    w().edtNaisen()->setText("77");
    w().toolButton(4)->click();
    EXPECT_EQ(dialogs.printRequests, 2);
}

TEST_F(CommandTable, ChoosingAnEntryInTheSelectionDialogShowsIt) {
    ws->labelSet.Entries[3].ButtonModel = 0;
    ws->labelSet.Entries[3].Name = Sjis("工場");
    ws->labelSet.Entries[3].Faces[1].Keys[1].Line1 = "F1";
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<sw::mgmt::TfrmIchiran*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->List()->setCurrentRow(2);
        box->findChild<QPushButton*>("Button1")->click();
        chosen = true;
    });
    w().findChild<QPushButton*>("btnNaisen")->click();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(ws->editor.CurrentEntry, 3);
    EXPECT_EQ(w().edtNaisen()->text(), "03");
    EXPECT_EQ(w().edtName()->text(), QStringLiteral("工場"));
    EXPECT_EQ(ws->editor.CurrentKeyPos, 1);
    EXPECT_FALSE(w().keyPanel(1)->isHidden());
    EXPECT_EQ(w().captionLabel(1)->text(), "F1");
    EXPECT_EQ(w().keyPanel(1)->look(), sw::editor::PanelLook::Selected);
    EXPECT_NE(w().keyPanel(7)->look(), sw::editor::PanelLook::Selected);
    // The desktop activates the window again once the dialog is gone.
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    EXPECT_TRUE(w().edtName()->hasFocus());
    EXPECT_EQ(w().edtName()->palette().color(QPalette::Base), QColor(166, 202, 240));
}

// The file dialog the program opens speaks Japanese like the rest of the program.
TEST(QtTexts, TheFileDialogsButtonsAreInJapanese) {
    ASSERT_TRUE(InstallJapaneseQtTexts()) << "Qt's Japanese translation (qt6-translations-l10n) is missing";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QStringList captions;
    for (QAbstractButton* button : buttons->buttons()) captions << button->text();
    EXPECT_TRUE(captions.join(u'|').contains(QStringLiteral("キャンセル"))) << captions.join(u'|').toStdString();
    EXPECT_FALSE(captions.contains(QStringLiteral("Cancel"))) << captions.join(u'|').toStdString();
}

}  // namespace
}  // namespace sw::app
