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
#include "render/SheetFit.h"
#include "tools/PageOutput.h"
#include "tools/ToolCommon.h"

namespace sw::tools {
namespace {

struct CalibrateOptions : PageOptions {
    std::int32_t model = sw::model::kModel30;
};

std::optional<std::string> ParseCalibrateOptions(const std::vector<std::string>& args,
                                                 CalibrateOptions& o) {
    QCommandLineParser parser;
    AddPageOptions(parser);
    const QCommandLineOption model(QStringLiteral("model"), QString(), QStringLiteral("keys"));
    parser.addOption(model);
    QStringList list{QStringLiteral("calibrate")};
    for (const std::string& a : args) list << Arg(a);
    if (!parser.parse(list)) return ParserMistake(parser);

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
    if (std::optional<std::string> error = ReadPageOptions(parser, o)) return error;
    return CheckPageOutput("calibrate", o);
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
    // The sheet on the A4 page, whose corner lies the margins before the printable area's.
    const QRectF ink = sw::render::CalibrationInkMm(sayu, jyoge).translated(o.marginLeft, o.marginTop);
    const QRectF page(0, 0, kA4WidthMm, kA4HeightMm);
    if (sw::render::NothingOn(ink, page)) {
        std::fprintf(stderr,
                     "calibrate: with --sayu %d --jyoge %d nothing of the sheet lands on the A4 page; "
                     "nothing was written\n",
                     sayu, jyoge);
        return kExitFailure;
    }
    const sw::render::SheetCut cut = sw::render::CutOff(ink, page.size());
    if (cut.Any())
        std::fprintf(stderr, "calibrate: the sheet runs off the A4 page (%s)\n",
                     sw::render::CutText(cut).toUtf8().constData());
    const PageDrawer draw = [&](QPainter& painter, int dpi, int) {
        return sw::render::RenderCalibrationSheet(painter, dpi, {o.model, 0, sayu, jyoge});
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
