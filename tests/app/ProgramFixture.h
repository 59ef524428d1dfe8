// The whole program on a fresh workspace in a working folder of its own, with scripted
// dialogs and a printer that keeps its pages; the main window shown and active.
#pragma once

#include <gtest/gtest.h>

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
};

}  // namespace sw::test
