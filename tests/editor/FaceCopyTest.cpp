// The face copy and clear buttons of the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/Commands.h"
#include "editor/MainWindowFixture.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "model/KeyFormat.h"
#include "model/LabelSetFile.h"
#include "support/ScriptedDialogs.h"

namespace sw::editor {
namespace {

using sw::model::KeyLabel;

class FaceCopy : public sw::test::MainWindowFixture {
protected:
    sw::model::PrintFace& Face(int f) { return ws->labelSet.Entries[1].Faces[f]; }
    QPushButton* Button(const QString& name) { return w->findChild<QPushButton*>(name); }
    QPushButton* CopyButton(int n) { return Button(QStringLiteral("btnCopy%1").arg(n)); }
    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    // Ctrl with a key where the focus is, as the keyboard would.
    void PressCtrl(Qt::Key key) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key, Qt::ControlModifier);
    }
    // A bitmap of one colour.
    std::string Picture(const char* name, Qt::GlobalColor colour) {
        QImage picture(4, 4, QImage::Format_RGB888);
        picture.fill(colour);
        const std::string path = cwd.File(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
        return path;
    }
    // Every key of a face names itself, left-aligned, bold and red on yellow.
    void FillFace(int f, const char* prefix) {
        for (int k = 1; k <= sw::model::kKeyCount; ++k) {
            KeyLabel& key = Face(f).Keys[k];
            key.Line1 = prefix + std::to_string(k);
            key.Alignment = sw::model::kAlignLeft;
            key.FontStyle = sw::model::kStyleBold;
            key.FontColor = 0x000000FF;
            key.BackColor = 0x0000FFFF;
        }
    }
};

TEST_F(FaceCopy, TheCopyButtonOfTheFaceShownIsTheOneDisabled) {
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(CopyButton(n)->isEnabled(), n != 1) << n;
    EXPECT_TRUE(Button("btnDelete")->isEnabled());
    for (int face : {3, 4, 2}) {
        w->tabPage()->setCurrentIndex(face - 1);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(CopyButton(n)->isEnabled(), n != face) << face << n;
        EXPECT_TRUE(Button("btnDelete")->isEnabled());
    }
}

TEST_F(FaceCopy, CopyingFace1OntoFace3TakesAll30KeysAndTheBackgroundButNotTheLayouts) {
    // An 18-key entry: keys 19..30 are hidden and go along all the same.
    FillFace(1, "A");
    Face(1).PictureFile = Picture("green.bmp", Qt::green);
    Face(1).PictureLayout = 1;
    for (int k = 1; k <= sw::model::kKeyCount; ++k) Face(3).Keys[k].Layout = sw::model::kLayoutTop;
    w->ShowEntry();
    w->ShowFace();
    // A pending undo: the font name of the selected key (key 1 of face 1).
    w->PerformRefresh(sw::model::SetFontName(*ws, "IPAGothic"));
    ASSERT_TRUE(w->action("Undo1")->isEnabled());

    Click(CopyButton(3));
    for (int k = 1; k <= sw::model::kKeyCount; ++k) {
        KeyLabel expected = Face(1).Keys[k];
        expected.Layout = sw::model::kLayoutTop;
        ASSERT_EQ(Face(3).Keys[k], expected) << "key " << k;
    }
    EXPECT_EQ(Face(3).PictureFile, Face(1).PictureFile);
    EXPECT_EQ(Face(3).PictureLayout, 1);
    EXPECT_EQ(Face(2), sw::model::PrintFace{});
    // The face shown stays as it is; undo now stands for face 3.
    EXPECT_EQ(w->tabPage()->currentIndex(), 0);
    EXPECT_EQ(w->captionLabel(7)->text(), "A1");
    EXPECT_TRUE(w->action("Undo1")->isEnabled());
    EXPECT_EQ(ws->editor.UndoEntry, 1);
    EXPECT_EQ(ws->editor.UndoFace, 3);

    // Face 3 then shows the copy.
    w->tabPage()->setCurrentIndex(2);
    EXPECT_EQ(w->captionLabel(7)->text(), "A1");
    EXPECT_EQ(w->captionLabel(24)->text(), "A18");
    EXPECT_EQ(w->ScreenBackground().pixelColor(100, 100), QColor(Qt::green));
    EXPECT_TRUE(w->findChild<QRadioButton*>("RadioButton10")->isChecked());
}

TEST_F(FaceCopy, ClearingShowsTheEmptyFaceWithPosition07SelectedInBothModels) {
    for (std::int32_t model : {sw::model::kModel18, sw::model::kModel30}) {
        SCOPED_TRACE(model);
        ws->labelSet.Entries[1].ButtonModel = model;
        FillFace(2, "B");
        FillFace(3, "C");
        Face(2).PictureFile = Picture("red.bmp", Qt::red);
        Face(2).BackgroundMode = 1;
        Face(2).BackgroundColor = 0x00FF0000;  // blue
        Face(2).PictureLayout = 1;
        ws->editor.ShownModel = -1;
        w->tabPage()->setCurrentIndex(0);
        w->tabPage()->setCurrentIndex(1);
        w->SelectKey(12);
        ASSERT_EQ(w->captionLabel(12)->text(), model == sw::model::kModel30 ? "B12" : "B6");

        Click(Button("btnDelete"));
        EXPECT_EQ(Face(2), sw::model::PrintFace{});
        EXPECT_EQ(Face(3).Keys[1].Line1, "C1");
        const sw::model::EditorState& e = ws->editor;
        for (int p = e.FirstKeyPos; p <= e.LastKeyPos; ++p) {
            EXPECT_EQ(w->captionLabel(p)->text(), "") << p;
            EXPECT_EQ(w->keyPanel(p)->color(), QColor(Qt::white)) << p;
        }
        EXPECT_EQ(w->captionLabel(7)->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
        EXPECT_FALSE(w->captionLabel(7)->font().bold());
        EXPECT_EQ(w->ScreenBackground().pixelColor(100, 100), QColor(Qt::white));
        EXPECT_TRUE(w->findChild<QRadioButton*>("RadioButton7")->isChecked());
        EXPECT_TRUE(w->findChild<QRadioButton*>("RadioButton9")->isChecked());
        EXPECT_TRUE(w->findChild<QWidget*>("btnSelect")->isEnabled());
        EXPECT_EQ(e.CurrentKeyPos, 7);
        EXPECT_EQ(w->keyPanel(7)->look(), PanelLook::Selected);
        EXPECT_EQ(w->keyPanel(12)->look(), PanelLook::Normal);
        EXPECT_EQ(w->pnlADial()->text(), model == sw::model::kModel30 ? "07" : "01");
        EXPECT_EQ(w->tabPage()->currentIndex(), 1);
    }
}

TEST_F(FaceCopy, UndoBringsBackAClearedOrOverwrittenFaceWhole) {
    sw::app::Commands commands(*w, dialogs);  // the menu items and their shortcuts
    FillFace(2, "B");
    Face(2).PictureFile = Picture("red.bmp", Qt::red);
    Face(2).PictureLayout = 1;
    Face(2).BackgroundMode = 1;
    Face(2).BackgroundColor = 0x00FF0000;  // blue
    for (int k = 1; k <= sw::model::kKeyCount; ++k) Face(2).Keys[k].Layout = sw::model::kLayoutBottom;
    const std::string saved = cwd.File("before.stw");
    ASSERT_TRUE(sw::model::SaveLabelSetFile(saved, ws->labelSet).ok);
    auto stored = [&](const char* name) {
        auto set = std::make_unique<sw::model::LabelSet>();
        EXPECT_TRUE(sw::model::SaveLabelSetFile(cwd.File(name), ws->labelSet).ok);
        EXPECT_TRUE(sw::model::LoadLabelSetFile(cwd.File(name), *set).ok);
        return set;
    };
    auto original = std::make_unique<sw::model::LabelSet>();
    ASSERT_TRUE(sw::model::LoadLabelSetFile(saved, *original).ok);

    // この印刷面を消去 on face 2, then Ctrl+U.
    w->tabPage()->setCurrentIndex(1);
    Click(Button("btnDelete"));
    ASSERT_EQ(Face(2), sw::model::PrintFace{});
    ASSERT_TRUE(w->action("Undo1")->isEnabled());
    PressCtrl(Qt::Key_U);
    EXPECT_EQ(*stored("cleared-undone.stw"), *original);
    EXPECT_EQ(w->captionLabel(7)->text(), "B1");
    EXPECT_EQ(w->ScreenBackground().pixelColor(100, 100), QColor(Qt::blue));
    EXPECT_TRUE(w->findChild<QRadioButton*>("RadioButton8")->isChecked());
    EXPECT_FALSE(w->action("Undo1")->isEnabled());

    // Face 1 copied onto face 2 by a slip, then Ctrl+Z; a key on the clipboard stays there.
    w->tabPage()->setCurrentIndex(0);
    w->action("Copy1")->trigger();
    Click(CopyButton(2));
    ASSERT_EQ(Face(2).Keys[1].Line1, "");
    ASSERT_TRUE(w->action("Undo1")->isEnabled());
    PressCtrl(Qt::Key_Z);
    EXPECT_EQ(*stored("copied-undone.stw"), *original);
    EXPECT_TRUE(w->action("N7")->isEnabled());
    w->tabPage()->setCurrentIndex(1);
    EXPECT_EQ(w->captionLabel(24)->text(), "B18");
}

TEST_F(FaceCopy, AClickAfterAWrongNumberCopiesAndClearsNothing) {
    FillFace(1, "A");
    w->ShowFace();
    w->edtNaisen()->setText(QStringLiteral("0"));
    Click(Button("btnDelete"));
    w->edtNaisen()->setText(QStringLiteral("51"));
    Click(CopyButton(2));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Ｎｏが誤っています。"));
    EXPECT_EQ(Face(1).Keys[1].Line1, "A1");
    EXPECT_EQ(Face(2), sw::model::PrintFace{});
    EXPECT_EQ(w->captionLabel(7)->text(), "A1");
}

}  // namespace
}  // namespace sw::editor
