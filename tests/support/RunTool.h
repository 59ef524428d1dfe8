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

ToolRun RunProgram(const QString& program, const QStringList& args, const QString& workDir = {},
                   int timeoutMs = 60000);

}  // namespace sw::test
