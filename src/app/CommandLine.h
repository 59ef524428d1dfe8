// The program's command line: its options, and the check made before Qt starts, so that a
// mistake is told on the terminal also where there is no display to start on.
#pragma once

#include <QStringList>

class QCommandLineParser;

namespace sw::app {

// --help, --version and one optional FILE.
void SetUpOptions(QCommandLineParser& parser);

// The arguments without the options Qt takes for itself (-platform NAME, -display NAME,
// -style=NAME, -reverse, …), as QApplication leaves them; what follows "--" is kept.
QStringList WithoutQtOptions(const QStringList& arguments);

// Why the arguments (program name first, Qt's options already taken out) are not the
// program's, in one line; empty when they are.
QString UsageError(const QStringList& arguments);

}  // namespace sw::app
