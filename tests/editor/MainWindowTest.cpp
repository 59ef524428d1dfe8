// The main window as it opens: start state, control layout, menus and tool bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "model/IniFile.h"
#include "support/ScriptedDialogs.h"

namespace sw::editor {
namespace {

using sw::test::ScriptedDialogs;
using sw::test::WorkingDir;

class MainWindowStart : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMain> w;

    void SetUp() override { w = std::make_unique<TfrmMain>(*ws, dialogs); }

    QWidget* Named(const char* name) { return w->findChild<QWidget*>(QString::fromLatin1(name)); }
    // Geometry in the coordinates of the window's client area (below the menu bar).
    QRect InClient(QWidget* widget) {
        QWidget* client = w->centralWidget();
        return QRect(widget->mapTo(client, QPoint(0, 0)), widget->size());
    }
};

TEST_F(MainWindowStart, ShowsEntry01Face1WithPosition07OfThe18KeyGridSelected) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Stripwise２"));
    EXPECT_EQ(w->edtNaisen()->text(), QStringLiteral("01"));
    EXPECT_EQ(w->pnlADial()->text(), QStringLiteral("01"));
    EXPECT_EQ(w->tabPage()->currentIndex(), 0);
    EXPECT_EQ(ws->editor.CurrentEntry, 1);
    EXPECT_EQ(ws->editor.CurrentFace, 1);
    EXPECT_EQ(ws->editor.CurrentKeyPos, 7);
    EXPECT_EQ(ws->editor.KeyOffset, 6);
    EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Selected);

    for (int p = 1; p <= 30; ++p) {
        const bool used = p >= 7 && p <= 24;
        EXPECT_EQ(!w->keyPanel(p)->isHidden(), used) << p;
        EXPECT_EQ(!w->numberLabel(p)->isHidden(), used) << p;
        EXPECT_TRUE(w->keyMemo(p)->isHidden()) << p;
        if (used) {
            EXPECT_EQ(w->numberLabel(p)->text(), QStringLiteral("%1").arg(p - 6, 2, 10, QLatin1Char('0')));
            if (p != 7) {
                EXPECT_EQ(w->keyPanel(p)->look(), PanelLook::Initial) << p;
            }
        }
    }
    EXPECT_FALSE(Named("Image418")->isHidden());
    EXPECT_TRUE(Named("Image430")->isHidden());
    EXPECT_EQ(Named("Image1")->geometry(), QRect(39, 72, 396, 137));
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton12"))->isChecked());

    EXPECT_FALSE(Named("btnCopy1")->isEnabled());
    for (const char* name : {"btnCopy2", "btnCopy3", "btnCopy4", "btnDelete"})
        EXPECT_TRUE(Named(name)->isEnabled()) << name;
    // The five edit command states are off.
    for (const char* name : {"N7", "N5", "N11", "N9", "Undo1"})
        EXPECT_FALSE(w->action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_FALSE(w->toolButton(10)->isEnabled());
    EXPECT_FALSE(w->toolButton(13)->isEnabled());
    for (const char* name : {"Cut1", "Copy1", "N6", "N10", "N8", "New1", "N2", "N3", "de1"})
        EXPECT_TRUE(w->action(QString::fromLatin1(name))->isEnabled()) << name;

    // The formatting panel shows key 1: centre, middle, "ＭＳ ゴシック" 9.
    EXPECT_EQ(w->fontNameBox()->currentText(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(w->fontSizeBox()->currentText(), QStringLiteral("9"));
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton2"))->isChecked());
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton5"))->isChecked());
    // Picture background: its controls on, the colour button off.
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton7"))->isChecked());
    EXPECT_TRUE(static_cast<QRadioButton*>(Named("RadioButton9"))->isChecked());
    EXPECT_FALSE(Named("Button3")->isEnabled());
    EXPECT_TRUE(w->toolButton(27)->isEnabled());
}

TEST_F(MainWindowStart, EveryAreaAndKeyPositionSitsAtItsPlace) {
    EXPECT_EQ(w->centralWidget()->size(), QSize(756, 476));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());  // not resizable
    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"ToolBar1", {0, 0, 756, 25}},      {"Panel150", {0, 25, 257, 124}},
        {"Button2", {12, 31, 234, 21}},     {"edtNaisen", {96, 58, 21, 21}},
        {"btnNaisen", {129, 58, 117, 21}},  {"edtName", {96, 84, 118, 21}},
        {"GroupBox5", {12, 108, 234, 36}},  {"Panel5", {0, 147, 257, 192}},
        {"pnlADial", {116, 153, 25, 21}},   {"btnFont", {12, 205, 117, 21}},
        {"btnColor1", {129, 205, 117, 21}}, {"btnColor", {12, 228, 117, 21}},
        {"Panel9", {0, 337, 257, 138}},     {"btnSelect", {10, 383, 117, 21}},
        {"Button3", {128, 383, 117, 21}},   {"Button1", {10, 407, 117, 21}},
        {"tabPage", {258, 26, 497, 403}},   {"Panel1", {269, 58, 468, 289}},
        {"btnCopy1", {276, 362, 117, 21}},  {"btnCopy2", {276, 391, 117, 21}},
        {"btnCopy3", {412, 362, 117, 21}},  {"btnCopy4", {412, 391, 117, 21}},
        {"btnDelete", {612, 362, 117, 21}}, {"Panel2", {256, 427, 499, 48}},
    };
    for (const Place& place : places) {
        QWidget* widget = Named(place.name);
        ASSERT_NE(widget, nullptr) << place.name;
        EXPECT_EQ(InClient(widget), place.rect) << place.name;
    }
    // Inside Panel1: row 1 at the bottom, position 01 bottom left, 30 top right.
    EXPECT_EQ(w->keyPanel(1)->geometry(), QRect(39, 207, 67, 27));
    EXPECT_EQ(w->keyPanel(12)->geometry(), QRect(39 + 5 * 66, 162, 67, 27));
    EXPECT_EQ(w->keyPanel(30)->geometry(), QRect(369, 26, 67, 27));
    EXPECT_EQ(w->keyMemo(12)->geometry(), QRect(369, 161, 67, 34));
    EXPECT_EQ(w->keyMemo(30)->geometry(), QRect(369, 26, 67, 34));  // row 5: same top
    EXPECT_EQ(w->numberLabel(12)->geometry(), QRect(396, 194, 12, 12));
    EXPECT_EQ(w->numberLabel(30)->geometry(), QRect(396, 59, 12, 12));
    EXPECT_EQ(w->captionLabel(12)->geometry(), QRect(1, 1, 65, 26));
    EXPECT_EQ(w->captionLabel(12)->parentWidget(), w->keyPanel(12));
    EXPECT_EQ(Named("Image2")->geometry(), QRect(5, 5, 458, 277));
    EXPECT_EQ(Named("Image430")->geometry(), QRect(5, 5, 458, 277));
    for (const char* name : {"Memo31", "Memo32", "RadioButton1", "RadioButton2", "RadioButton3",
                             "RadioButton4", "RadioButton5", "RadioButton6", "RadioButton8",
                             "RadioButton10", "RadioButton11", "ComboBox1", "ComboBox2",
                             "GroupBox3", "GroupBox4", "Button6"})
        EXPECT_NE(Named(name), nullptr) << name;
    EXPECT_EQ(static_cast<QLineEdit*>(Named("edtNaisen"))->maxLength(), 2);
}

TEST_F(MainWindowStart, MenusHaveTheirCaptionsInOrderWithSeparators) {
    auto items = [](QMenu* menu) {
        QStringList list;
        // What the menu shows: the recent files and their separator are hidden until there are some.
        for (QAction* a : menu->actions())
            if (a->isVisible()) list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    };
    QList<QAction*> menus = w->menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(items(menus[0]->menu()),
              QStringList({"新規作成(&N)", "開く(&O)", "名前を付けて保存(&A)", "-", "CSV から読み込み(&R)…",
                           "CSV に書き出し(&W)…", "Excel 形式で書き出し(&E)…", "-", "シートのプレビュー(&V)",
                           "シートの印刷(&P)", "印刷の微調整(&I)", "-", "終了(&X)"}));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("編集(&E)"));
    EXPECT_EQ(items(menus[1]->menu()),
              QStringList({"切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "-", "書式コピー", "書式貼り付け", "-",
                           "全切り取り", "全コピー", "全貼り付け", "-", "元に戻す(&U)", "選択解除(&R)"}));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("管理番号(&P)"));
    EXPECT_EQ(items(menus[2]->menu()), QStringList({"管理番号一覧登録", "管理番号選択"}));
    EXPECT_EQ(menus[3]->text(), QStringLiteral("ヘルプ(&H)"));
    EXPECT_EQ(items(menus[3]->menu()),
              QStringList({"Stripwise２　 のヘルプ(&H)", "-", "バージョン情報(&A)"}));
    // Only the common commands have keys of their own (Ctrl+C/X/V/U stay with the window).
    const QStringList keyed = {"New1", "Open1", "SaveAs1", "Print1", "de1", "Exit1", "Undo1"};
    for (QAction* a : w->findChildren<QAction*>())
        EXPECT_EQ(a->shortcut().isEmpty(), !keyed.contains(a->objectName())) << a->objectName().toStdString();
    EXPECT_EQ(w->action(QStringLiteral("N4"))->text(), QStringLiteral("管理番号選択"));
}

TEST_F(MainWindowStart, ToolButtonsAre25WideInOrderWithHintsAndIcons) {
    const int order[] = {1, 2, 3, 4, 5, 6, 9, 8, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20,
                         22, 23, 24, 25, 26, 27, 28, 29};
    int previousRight = -1;
    int separators = 0;
    for (int n : order) {
        QToolButton* b = w->toolButton(n);
        ASSERT_NE(b, nullptr) << n;
        EXPECT_EQ(b->width(), 25) << n;
        EXPECT_EQ(b->iconSize(), QSize(16, 16));
        EXPECT_FALSE(b->icon().isNull()) << n;
        EXPECT_FALSE(b->toolTip().isEmpty()) << n;
        if (previousRight >= 0) {
            EXPECT_TRUE(b->x() == previousRight || b->x() == previousRight + 8) << n;
            if (b->x() == previousRight + 8) ++separators;
        }
        previousRight = b->x() + b->width();
    }
    EXPECT_EQ(separators, 3);
    EXPECT_EQ(w->toolButton(1)->x(), 0);
    EXPECT_EQ(w->toolButton(9)->x(), 158);
    EXPECT_EQ(w->toolButton(22)->x(), 474);
    EXPECT_EQ(w->toolButton(7), nullptr);
    EXPECT_EQ(w->toolButton(14), nullptr);
    EXPECT_EQ(w->toolButton(5)->toolTip(), QStringLiteral("印刷プレビュー"));
    EXPECT_EQ(w->toolButton(10)->toolTip(), QStringLiteral("張り付け"));
    EXPECT_EQ(w->toolButton(29)->toolTip(), QStringLiteral("フォントサイズ縮小"));
}

TEST(MainWindowSettings, TitlePositionAndOffsetsComeFromTheWorkingDirectory) {
    WorkingDir cwd;
    sw::test::WriteFileBytes(cwd.File("Stripwise2.ini"),
                             "[Main]\r\nTop=40\r\nLeft=70\r\nCaption=" + sw::test::Sjis("受付") +
                                 "\r\n[Settei]\r\nSayu=-12\r\nJyoge=5\r\n[Help]\r\nFileName=guide.pdf\r\n");
    auto ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    TfrmMain w(*ws, dialogs);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("受付"));
    EXPECT_EQ(w.pos(), QPoint(70, 40));
    EXPECT_EQ(ws->settings.Sayu, -12);
    EXPECT_EQ(ws->settings.Jyoge, 5);
    EXPECT_EQ(ws->settings.HelpFileName, "guide.pdf");
    EXPECT_EQ(ws->settings.ProgramDir, cwd.path() + "/");
    w.SetDocumentTitle(QStringLiteral("office.stw"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("受付＜office.stw＞"));
}

}  // namespace
}  // namespace sw::editor
