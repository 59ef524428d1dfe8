// A shown, active main window with its command table, for the tests of typing, formatting
// and the key clipboard: keys by entry, face and index, presses at the focused control.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <memory>

#include "app/Commands.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "support/ScriptedDialogs.h"

namespace sw::test {

// Also keeps the colour each colour dialog was opened with.
class PresetDialogs : public ScriptedDialogs {
public:
    std::vector<sw::model::ColorRef> colorPresets;
    std::optional<sw::model::ColorRef> ChooseColor(QWidget* parent, sw::model::ColorRef initial) override {
        colorPresets.push_back(initial);
        return ScriptedDialogs::ChooseColor(parent, initial);
    }
};

class EditorWindow : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    PresetDialogs dialogs;
    std::unique_ptr<sw::editor::TfrmMain> w;
    std::unique_ptr<sw::app::Commands> commands;

    void SetUp() override {
        w = std::make_unique<sw::editor::TfrmMain>(*ws, dialogs);
        commands = std::make_unique<sw::app::Commands>(*w, dialogs);
        ASSERT_TRUE(ShowActive(w.get()));
    }
    void TearDown() override {
        commands.reset();
        w.reset();
    }

    sw::model::EditorState& e() { return ws->editor; }
    sw::model::KeyLabel& Key(int k, int face = 1, int entry = 1) {
        return ws->labelSet.Entries[entry].Faces[face].Keys[k];
    }
    QString Caption(int p) { return w->captionLabel(p)->text(); }
    QRadioButton* Radio(int n) { return w->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n)); }
    void Trigger(const char* action) { w->action(QString::fromLatin1(action))->trigger(); }
    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    // A key pressed where the focus is, as the keyboard would.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key, modifiers);
    }
    void Type(const QString& text) { TypeText(QApplication::focusWidget(), text); }
    // Selects the key at a position and opens its editor, as a double click does.
    void OpenEditor(int position) {
        w->SelectKey(position);
        QTest::mouseDClick(w->captionLabel(position), Qt::LeftButton);
    }
    int VisibleEditors() {
        int shown = 0;
        for (int p = 1; p <= 30; ++p) shown += w->keyMemo(p)->isVisible() ? 1 : 0;
        return shown;
    }
};

}  // namespace sw::test
