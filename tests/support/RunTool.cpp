// QProcess wrapper for tests of the command-line tool.
#include "support/RunTool.h"

#include <QProcess>

namespace sw::test {

ToolRun RunProgram(const QString& program, const QStringList& args, const QString& workDir,
                   int timeoutMs, const QStringList& unset) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    if (!unset.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : unset) env.remove(name);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    ToolRun run;
    if (!p.waitForStarted(timeoutMs)) return run;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput().toStdString();
    run.err = p.readAllStandardError().toStdString();
    return run;
}

}  // namespace sw::test
