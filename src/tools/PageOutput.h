// Pages drawn to PNG or PDF for the companion tool's drawing commands: a whole A4 landscape
// page whose drawing starts at the corner of a printer's printable area, and the output file
// replaced only when complete.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "render/RenderContext.h"

class QCommandLineParser;
class QPainter;

namespace sw::tools {

constexpr int kDefaultPngDpi = 300;
constexpr int kDefaultPdfDpi = 1200;
constexpr int kMaxDpi = 1200;
constexpr double kA4WidthMm = 297;  // the landscape page
constexpr double kA4HeightMm = 210;

struct PageSetup {
    int dpi = kDefaultPngDpi;
    double marginLeft = 0;  // mm: where a printer's printable area would begin
    double marginTop = 0;
};

// Draws page `page` (0-based) at `dpi`, the painter's origin at the printable area's corner.
using PageDrawer = std::function<sw::render::RenderResult(QPainter&, int dpi, int page)>;

// One page as a PNG whose pixels are the page's dots.
sw::render::RenderResult DrawPng(const PageSetup& setup, const PageDrawer& draw, QByteArray& out);
// `pages` pages as a PDF; the pictures every page found gone are gathered in the result.
// The first page that fails ends the drawing with its result.
sw::render::RenderResult DrawPdf(const PageSetup& setup, int pages, const PageDrawer& draw,
                                 QByteArray& out);

// The options of the drawing commands (render, calibrate) that say where the page goes:
// -o OUT.png|pdf, --dpi D, --sayu N, --jyoge N (tenths of a millimetre) and --margins L,T.
struct PageOptions {
    std::string output;
    std::optional<int> dpi;
    std::optional<int> sayu;
    std::optional<int> jyoge;
    double marginLeft = 0;  // mm: where a printer's printable area would begin
    double marginTop = 0;
    bool pdf = false;
};

// Adds those options to a command's parser.
void AddPageOptions(QCommandLineParser& parser);
// Reads them after parsing; an error text for a usage mistake. The output is read, not yet
// required: CheckPageOutput does that where the command wants it said.
std::optional<std::string> ReadPageOptions(const QCommandLineParser& parser, PageOptions& o);
// "COMMAND needs -o …" without an output; the output must be a PNG or PDF file name.
std::optional<std::string> CheckPageOutput(const char* command, PageOptions& o);

// The whole number of an option that was given ("--dpi 300" or "--dpi=300"), or an error
// text naming the option.
std::optional<std::string> IntegerOption(const QCommandLineParser& parser, const QString& name,
                                         std::optional<int>& out);

// "--margins LEFT,TOP": millimetres from 0 to 100.
bool ParseMargins(const QString& text, double& left, double& top);

// True when the name ends in .pdf; false for .png; nothing for anything else.
std::optional<bool> OutputIsPdf(const std::string& path);

// Replaces the file with the bytes once they are all written; on failure says why on
// standard error. The exit status.
int WriteOutput(const std::string& path, const QByteArray& bytes);

}  // namespace sw::tools
