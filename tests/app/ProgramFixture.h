// The whole program on a fresh workspace in a working folder of its own, with scripted
// dialogs and a printer that keeps its pages; the main window shown and active.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/Program.h"
#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "model/Workspace.h"
#include "print/FakePrinter.h"
#include "support/ScriptedDialogs.h"

namespace sw::test {

class ProgramFixture : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    FakePrinter printer;
    std::unique_ptr<sw::app::Program> program;

    void SetUp() override {
        program = std::make_unique<sw::app::Program>(*ws, dialogs, printer);
        ASSERT_TRUE(ShowActive(&program->main()));
    }
    void TearDown() override { program.reset(); }

    sw::editor::TfrmMain& w() { return program->main(); }
    // The texts of the messages shown so far, in order.
    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : dialogs.messages) texts << m.text;
        return texts;
    }
    // A file in the working folder, as a file dialog hands it over.
    QString Path(const std::string& name) const { return QString::fromStdString(cwd.File(name)); }
};

// Runs `act` on the modal dialog of type D once it is shown; `reached` tells whether it was.
template <typename D>
inline void OnModal(std::function<void(D*)> act, bool* reached) {
    QTimer::singleShot(0, [act = std::move(act), reached] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) return;
        // Offscreen, a dialog opened over another window is made active by hand (and again
        // when the main window's own activation arrives late).
        const bool active = QTest::qWaitFor([dialog] {
            if (!dialog->isActiveWindow()) dialog->activateWindow();
            return dialog->isActiveWindow() && QApplication::focusWidget() &&
                   QApplication::focusWidget()->window() == dialog;
        });
        if (!active) return;
        *reached = true;
        act(dialog);
    });
}

}  // namespace sw::test
