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
    auto run = [&](const QStringList& args) {
        return RunProgram(QStringLiteral(SW_PROGRAM), args, QString::fromStdString(dir.path()), 60000,
                          {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    };
    for (const auto& [args, told] : {std::pair(QStringList{"--bogus"}, "'bogus'"),
                                     std::pair(QStringList{"-platform", "offscreen", "-style=fusion", "--bogus"}, "'bogus'"),
                                     std::pair(QStringList{"-display", ":0", "--reverse", "-session", "1a_2b",
                                                           "one.stw", "two.stw"}, "'two.stw'")}) {
        const auto wrong = run(args);
        EXPECT_EQ(wrong.exitCode, 2) << wrong.err;
        EXPECT_EQ(wrong.err.rfind("stripwise2: ", 0), 0u) << wrong.err;
        EXPECT_NE(wrong.err.find(told), std::string::npos) << wrong.err;
        EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << wrong.err;
    }
    EXPECT_EQ(run({"-platform", "xcb", "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace sw::app
