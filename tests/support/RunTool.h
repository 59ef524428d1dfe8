// Runs a built program of the project and collects what it printed.
#pragma once

#include <QStringList>
#include <string>

namespace sw::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `unset` names environment variables the program does not get.
ToolRun RunProgram(const QString& program, const QStringList& args, const QString& workDir = {},
                   int timeoutMs = 60000, const QStringList& unset = {});

}  // namespace sw::test
