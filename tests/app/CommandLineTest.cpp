// The program's command line: --help and --version answer on the terminal without a window;
// one file may be named; anything else ends with status 2 and one line saying so.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/RunTool.h"
#include "support/TempDir.h"

namespace sw::app {
namespace {

using sw::test::RunProgram;

TEST(CommandLine, HelpAndVersionAnswerWithoutAWindowAndMistakesExitTwo) {
    sw::test::TempDir dir;
    auto help = RunProgram(QStringLiteral(SW_PROGRAM), {"--help"}, QString::fromStdString(dir.path()));
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.rfind("Usage: stripwise2 [options] [FILE]\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("key label strips"), std::string::npos) << help.out;

    auto version = RunProgram(QStringLiteral(SW_PROGRAM), {"--version"}, QString::fromStdString(dir.path()));
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, "stripwise2 2.0.0\n");

    for (const QStringList& args : {QStringList{"--frobnicate"}, QStringList{"one.stw", "two.stw"}}) {
        auto wrong = RunProgram(QStringLiteral(SW_PROGRAM), args, QString::fromStdString(dir.path()));
        EXPECT_EQ(wrong.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << wrong.err;
    }
}

TEST(CommandLine, WithoutADisplayAMistakeIsStillToldAndQtsOwnOptionsAreNoMistake) {
    sw::test::TempDir dir;
    const QStringList noDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    auto run = [&](const QStringList& args) {
        return RunProgram(QStringLiteral(SW_PROGRAM), args, QString::fromStdString(dir.path()), 60000, noDisplay);
    };
    const struct {
        QStringList args;
        const char* told;
    } cases[] = {
        {{"--bogus"}, "'bogus'"},
        {{"-platform", "offscreen", "-style=fusion", "--bogus"}, "'bogus'"},
        {{"-display", ":0", "--reverse", "-session", "1a2b_3c", "one.stw", "two.stw"}, "'two.stw'"},
    };
    for (const auto& c : cases) {
        const auto wrong = run(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(wrong.exitCode, 2) << line << "\n" << wrong.err;
        EXPECT_EQ(wrong.err.rfind("stripwise2: ", 0), 0u) << line << "\n" << wrong.err;
        EXPECT_NE(wrong.err.find(c.told), std::string::npos) << line << "\n" << wrong.err;
        EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << line << "\n" << wrong.err;
    }
    // Qt's options before --help are passed over as well.
    const auto help = run({"-platform", "xcb", "--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("-platform"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace sw::app
