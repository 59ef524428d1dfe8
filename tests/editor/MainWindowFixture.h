// A main window over a fresh workspace, in a working folder of its own, with scripted
// dialogs; shown and active before each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "editor/TfrmMain.h"
#include "editor/WindowFixture.h"
#include "model/Workspace.h"
#include "support/ScriptedDialogs.h"

namespace sw::test {

class MainWindowFixture : public ::testing::Test {
protected:
    WorkingDir cwd;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    ScriptedDialogs dialogs;
    std::unique_ptr<sw::editor::TfrmMain> w;

    void SetUp() override {
        w = std::make_unique<sw::editor::TfrmMain>(*ws, dialogs);
        ASSERT_TRUE(ShowActive(w.get()));
    }
};

}  // namespace sw::test
