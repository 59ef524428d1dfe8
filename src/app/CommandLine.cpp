// Options of the program and of Qt, told apart before the application object exists.
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>

namespace sw::app {

namespace {

// Qt's options that take the next argument as their value (QGuiApplication, QApplication
// and the X11 and Wayland platforms), and those that stand alone. Either is written with
// one dash or two.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),     QStringLiteral("qwindowgeometry"),    QStringLiteral("geometry"),
    QStringLiteral("qwindowtitle"), QStringLiteral("title"),            QStringLiteral("qwindowicon"),
    QStringLiteral("icon"),       QStringLiteral("session"),            QStringLiteral("style"),
    QStringLiteral("stylesheet"), QStringLiteral("display"),            QStringLiteral("name"),
    QStringLiteral("visual")};
const QStringList kQtFlags = {QStringLiteral("reverse"), QStringLiteral("testability"),
                              QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                              QStringLiteral("dograb"), QStringLiteral("sync")};
// Written as -name=value.
const QStringList kQtJoinedOptions = {QStringLiteral("style="), QStringLiteral("stylesheet="),
                                      QStringLiteral("qmljsdebugger=")};

}  // namespace

void SetUpOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Stripwise 2: designs and prints the key label strips of business key telephones.\n"
                       "Qt's own options (-platform, -display, -style, ...) are taken as well."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A label set (*.stw) to open."),
                                 QStringLiteral("[FILE]"));
}

QStringList WithoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (i == 0 || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            kept << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {  // only arguments from here on
            kept << arguments.mid(i);
            break;
        }
        const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        if (kQtOptionsWithValue.contains(name)) {
            ++i;  // and its value
            continue;
        }
        if (kQtFlags.contains(name)) continue;
        if (std::any_of(kQtJoinedOptions.begin(), kQtJoinedOptions.end(),
                        [&](const QString& prefix) { return name.startsWith(prefix); }))
            continue;
        kept << arg;
    }
    return kept;
}

QString UsageError(const QStringList& arguments) {
    QCommandLineParser parser;
    SetUpOptions(parser);
    if (!parser.parse(arguments)) return parser.errorText();
    if (parser.positionalArguments().size() > 1)
        return QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().value(1));
    return {};
}

}  // namespace sw::app
