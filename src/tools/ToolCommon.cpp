// What every command of the companion tool shares: exit statuses, usage errors, loading.
#include "tools/ToolCommon.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "model/LabelSetFile.h"
#include "render/SheetRenderer.h"

namespace sw::tools {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "stripwise2-sheet: %s (see stripwise2-sheet --help)\n", message.c_str());
    return kExitUsage;
}

bool LoadForTool(const std::string& path, sw::model::LabelSet& set) {
    sw::model::LoadResult r = sw::model::LoadLabelSetFile(path, set);
    if (r.ok && r.endedEarly)
        std::fprintf(stderr, "%s: ファイルが途中で終わっています（%d 行）。足りない値は初期値で読み込みました。\n",
                     path.c_str(), r.linesRead);
    if (r.ok) return true;
    if (r.error.line > 0)
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), r.error.line, r.error.message.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", path.c_str(), r.error.message.c_str());
    return false;
}

void ReadFineAdjustment(sw::model::AppSettings& settings) {
    settings.ProgramDir = sw::model::SettingsFolder();
    sw::model::ReadMainSettings(settings.SettingsPath(), sw::model::Size{}, sw::model::Size{}, settings);
}

namespace {

void QuietMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

FontSession::FontSession() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(&QuietMessage);
    m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    sw::render::InstallFontSubstitutions();
}

FontSession::~FontSession() = default;

QString Arg(const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }
std::string ArgBytes(const QString& arg) { return arg.toLatin1().toStdString(); }

std::string ParserMistake(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "unknown option '" + std::string(unknown[0].size() == 1 ? "-" : "--") + ArgBytes(unknown[0]) + "'";
    const QString error = parser.errorText();
    const qsizetype open = error.indexOf(QLatin1Char('\''));
    const qsizetype close = error.indexOf(QLatin1Char('\''), open + 1);
    const std::string name = open >= 0 && close > open ? ArgBytes(error.mid(open + 1, close - open - 1)) : "";
    if (error.startsWith(QStringLiteral("Missing value"))) {
        if (name == "-o") return "-o needs a file name";
        if (name == "--encoding") return "--encoding needs utf8 or cp932";
        if (!name.empty()) return name + " needs a number";
    }
    if (error.startsWith(QStringLiteral("Unexpected value")) && !name.empty())
        return name + " takes no value";
    return ArgBytes(error);
}

}  // namespace sw::tools
