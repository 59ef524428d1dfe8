// Pages to PNG or PDF, written atomically.
#include "tools/PageOutput.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "model/AtomicFile.h"
#include "model/IniFile.h"
#include "tools/ToolCommon.h"

namespace sw::tools {
namespace {

using sw::render::RenderResult;

constexpr double kPageWidthMm = kA4WidthMm;
constexpr double kPageHeightMm = kA4HeightMm;
constexpr double kMaxMarginMm = 100;

// The page is the whole A4 sheet; the drawing starts at the printable area's corner.
void MoveToPrintableArea(QPainter& painter, const PageSetup& setup) {
    painter.translate(sw::render::DotsFromMm(setup.dpi, setup.marginLeft),
                      sw::render::DotsFromMm(setup.dpi, setup.marginTop));
}

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) return false;
    for (size_t i = 0; i < ending.size(); ++i) {
        char c = text[text.size() - ending.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i]) return false;
    }
    return true;
}

}  // namespace

RenderResult DrawPng(const PageSetup& setup, const PageDrawer& draw, QByteArray& out) {
    const int dpi = setup.dpi;
    QImage page(sw::render::DotsFromMm(dpi, kPageWidthMm), sw::render::DotsFromMm(dpi, kPageHeightMm),
                QImage::Format_RGB32);
    if (page.isNull()) return RenderResult{false, QStringLiteral("画像のメモリが足りません。"), {}, {}};
    page.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&page);
    MoveToPrintableArea(painter, setup);
    RenderResult result = draw(painter, dpi, 0);
    painter.end();
    if (!result.ok) return result;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, "PNG"))
        return RenderResult{false, QStringLiteral("PNG を作れませんでした。"), {}, {}};
    return result;
}

RenderResult DrawPdf(const PageSetup& setup, int pages, const PageDrawer& draw, QByteArray& out) {
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Stripwise 2"));
    writer.setResolution(setup.dpi);
    // No page margins: the drawing's origin is the page's top-left corner, moved by --margins.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    MoveToPrintableArea(painter, setup);
    RenderResult all;
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            writer.newPage();
            painter.resetTransform();
            MoveToPrintableArea(painter, setup);
        }
        RenderResult result = draw(painter, setup.dpi, i);
        all.pictures.insert(all.pictures.end(), result.pictures.begin(), result.pictures.end());
        if (!result.ok) return result;
    }
    painter.end();
    return all;
}

void AddPageOptions(QCommandLineParser& parser) {
    parser.addOptions({QCommandLineOption(QStringLiteral("o"), QString(), QStringLiteral("file")),
                       QCommandLineOption(QStringLiteral("dpi"), QString(), QStringLiteral("d")),
                       QCommandLineOption(QStringLiteral("sayu"), QString(), QStringLiteral("n")),
                       QCommandLineOption(QStringLiteral("jyoge"), QString(), QStringLiteral("n")),
                       QCommandLineOption(QStringLiteral("margins"), QString(), QStringLiteral("mm"))});
}

std::optional<std::string> IntegerOption(const QCommandLineParser& parser, const QString& name,
                                         std::optional<int>& out) {
    if (!parser.isSet(name)) return std::nullopt;
    const std::string v = ArgBytes(parser.value(name));
    out = sw::model::ParseIniInt(v);
    if (!out) return "--" + ArgBytes(name) + " needs a whole number, not '" + v + "'";
    return std::nullopt;
}

std::optional<std::string> ReadPageOptions(const QCommandLineParser& parser, PageOptions& o) {
    if (parser.isSet(QStringLiteral("o"))) o.output = ArgBytes(parser.value(QStringLiteral("o")));
    std::optional<std::string> error;
    if ((error = IntegerOption(parser, QStringLiteral("dpi"), o.dpi))) return error;
    if (o.dpi && (*o.dpi < 1 || *o.dpi > kMaxDpi)) return "--dpi takes a number from 1 to 1200";
    if ((error = IntegerOption(parser, QStringLiteral("sayu"), o.sayu))) return error;
    if ((error = IntegerOption(parser, QStringLiteral("jyoge"), o.jyoge))) return error;
    const QString margins = parser.value(QStringLiteral("margins"));
    if (parser.isSet(QStringLiteral("margins")) && !ParseMargins(margins, o.marginLeft, o.marginTop))
        return "--margins takes LEFT,TOP in millimetres from 0 to 100, not '" + ArgBytes(margins) + "'";
    return std::nullopt;
}

std::optional<std::string> CheckPageOutput(const char* command, PageOptions& o) {
    if (o.output.empty()) return std::string(command) + " needs -o OUT.png or -o OUT.pdf";
    const std::optional<bool> pdf = OutputIsPdf(o.output);
    if (!pdf) return "the output must end in .png or .pdf";
    o.pdf = *pdf;
    return std::nullopt;
}

bool ParseMargins(const QString& text, double& left, double& top) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) return false;
    bool okLeft = false;
    bool okTop = false;
    left = parts[0].trimmed().toDouble(&okLeft);
    top = parts[1].trimmed().toDouble(&okTop);
    return okLeft && okTop && left >= 0 && top >= 0 && left <= kMaxMarginMm && top <= kMaxMarginMm;
}

std::optional<bool> OutputIsPdf(const std::string& path) {
    if (EndsWithNoCase(path, ".pdf")) return true;
    if (EndsWithNoCase(path, ".png")) return false;
    return std::nullopt;
}

int WriteOutput(const std::string& path, const QByteArray& bytes) {
    sw::model::WriteResult written = sw::model::WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!written.ok) {
        std::fprintf(stderr, "%s\n", written.message.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace sw::tools
