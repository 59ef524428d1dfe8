// The calibrate command: the face boxes and key cells of a key model with rulers, where the
// printer puts the sheet, moved by the fine adjustment.
#include "tools/CalibrateCommand.h"

#include <QCommandLineParser>
#include <QPainter>
#include <cstdio>
#include <optional>

#include "model/IniFile.h"
#include "model/LabelSet.h"
#include "model/Settings.h"
#include "render/CalibrationSheet.h"
#include "tools/PageOutput.h"
#include "tools/ToolCommon.h"

namespace sw::tools {
namespace {

struct CalibrateOptions {
    std::string output;
    std::int32_t model = sw::model::kModel30;
    std::optional<int> dpi;
    std::optional<int> sayu;
    std::optional<int> jyoge;
    double marginLeft = 0;
    double marginTop = 0;
    bool pdf = false;
};

std::optional<std::string> ParseCalibrateOptions(const std::vector<std::string>& args,
                                                 CalibrateOptions& o) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringLiteral("o"), QString(), QStringLiteral("file"));
    const QCommandLineOption model(QStringLiteral("model"), QString(), QStringLiteral("keys"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QString(), QStringLiteral("d"));
    const QCommandLineOption sayu(QStringLiteral("sayu"), QString(), QStringLiteral("n"));
    const QCommandLineOption jyoge(QStringLiteral("jyoge"), QString(), QStringLiteral("n"));
    const QCommandLineOption margins(QStringLiteral("margins"), QString(), QStringLiteral("mm"));
    parser.addOptions({output, model, dpi, sayu, jyoge, margins});
    QStringList list{QStringLiteral("calibrate")};
    for (const std::string& a : args) list << Arg(a);
    if (!parser.parse(list)) return ParserMistake(parser);

    auto integer = [&](const QCommandLineOption& option, const char* name,
                       std::optional<int>& out) -> std::optional<std::string> {
        if (!parser.isSet(option)) return std::nullopt;
        const std::string v = ArgBytes(parser.value(option));
        out = sw::model::ParseIniInt(v);
        if (!out) return std::string(name) + " needs a whole number, not '" + v + "'";
        return std::nullopt;
    };
    std::optional<std::string> error;
    if (!parser.positionalArguments().isEmpty()) return "calibrate takes no label-set file";
    if (parser.isSet(model)) {
        const QString keys = parser.value(model);
        if (keys == QStringLiteral("30"))
            o.model = sw::model::kModel30;
        else if (keys == QStringLiteral("18"))
            o.model = sw::model::kModel18;
        else
            return "--model takes 30 or 18, not '" + ArgBytes(keys) + "'";
    }
    if ((error = integer(dpi, "--dpi", o.dpi))) return error;
    if (o.dpi && (*o.dpi < 1 || *o.dpi > kMaxDpi)) return "--dpi takes a number from 1 to 1200";
    if ((error = integer(sayu, "--sayu", o.sayu))) return error;
    if ((error = integer(jyoge, "--jyoge", o.jyoge))) return error;
    if (parser.isSet(margins) && !ParseMargins(parser.value(margins), o.marginLeft, o.marginTop))
        return "--margins takes LEFT,TOP in millimetres from 0 to 100, not '" +
               ArgBytes(parser.value(margins)) + "'";
    if (parser.isSet(output)) o.output = ArgBytes(parser.value(output));
    if (o.output.empty()) return "calibrate needs -o OUT.png or -o OUT.pdf";
    const std::optional<bool> pdf = OutputIsPdf(o.output);
    if (!pdf) return "the output must end in .png or .pdf";
    o.pdf = *pdf;
    return std::nullopt;
}

}  // namespace

int RunCalibrate(const std::vector<std::string>& args) {
    CalibrateOptions o;
    if (std::optional<std::string> error = ParseCalibrateOptions(args, o)) return UsageError(*error);
    FontSession fonts;
    sw::model::AppSettings settings;
    ReadFineAdjustment(settings);
    const int sayu = o.sayu.value_or(settings.Sayu);
    const int jyoge = o.jyoge.value_or(settings.Jyoge);
    const PageDrawer draw = [&](QPainter& painter, int dpi, int) {
        return sw::render::RenderCalibrationSheet(painter, dpi, o.model, sayu, jyoge);
    };
    const PageSetup setup{o.dpi.value_or(o.pdf ? kDefaultPdfDpi : kDefaultPngDpi), o.marginLeft,
                          o.marginTop};
    QByteArray bytes;
    const sw::render::RenderResult result = o.pdf ? DrawPdf(setup, 1, draw, bytes) : DrawPng(setup, draw, bytes);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.message.toUtf8().constData());
        return kExitFailure;
    }
    return WriteOutput(o.output, bytes);
}

}  // namespace sw::tools
