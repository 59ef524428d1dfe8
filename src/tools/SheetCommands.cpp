// The companion tool's sheet commands: render to PNG or PDF, and the fit check.
#include "tools/SheetCommands.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "model/AtomicFile.h"
#include "model/Cp932.h"
#include "model/IniFile.h"
#include "model/PrintChoice.h"
#include "model/Settings.h"
#include "model/Workspace.h"
#include "render/Pictures.h"
#include "render/SheetRenderer.h"
#include "tools/PageOutput.h"
#include "tools/ToolCommon.h"

namespace sw::tools {
namespace {

using namespace sw::model;
using sw::render::RenderResult;

// The fit check measures as a 600-dpi printer would.
constexpr int kCheckDpi = sw::render::kFitCheckDpi;

struct RenderOptions : PageOptions {
    std::string input;
    int entry = 1;
    bool all = false;
    bool entryGiven = false;
    bool outlines = false;
};

// Parses the options of render ("--dpi 300" or "--dpi=300"); returns an error text for a
// usage mistake.
std::optional<std::string> ParseRenderOptions(const std::vector<std::string>& args,
                                              RenderOptions& o) {
    QCommandLineParser parser;
    AddPageOptions(parser);
    parser.addOptions({QCommandLineOption(QStringLiteral("entry"), QString(), QStringLiteral("n")),
                       QCommandLineOption(QStringLiteral("all")), QCommandLineOption(QStringLiteral("outlines"))});
    QStringList list{QStringLiteral("render")};
    for (const std::string& a : args) list << Arg(a);
    if (!parser.parse(list)) return ParserMistake(parser);

    std::optional<std::string> error;
    std::optional<int> n;
    if ((error = IntegerOption(parser, QStringLiteral("entry"), n))) return error;
    if (n) {
        if (*n < 1 || *n > kEntryCount) return "--entry takes a number from 1 to 50";
        o.entry = *n;
        o.entryGiven = true;
    }
    o.all = parser.isSet(QStringLiteral("all"));
    o.outlines = parser.isSet(QStringLiteral("outlines"));
    if ((error = ReadPageOptions(parser, o))) return error;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return "render takes one label-set file";
    if (!files.isEmpty()) o.input = ArgBytes(files[0]);

    if (o.input.empty()) return "render needs IN.stw";
    if ((error = CheckPageOutput("render", o))) return error;
    if (o.all && o.entryGiven) return "--entry and --all exclude each other";
    if (o.all && !o.pdf) return "--all writes a PDF: give -o OUT.pdf";
    return std::nullopt;
}

// A sheet with a face marked for a broken picture is no output the tool writes: it stops with
// the message of each such file, as it does for any other failure.
RenderResult RefuseMarkedSheet(RenderResult result) {
    if (!result.ok || result.broken.empty()) return result;
    result.ok = false;
    QStringList messages;
    for (const sw::render::PictureProblem& picture : result.broken)
        if (!messages.contains(picture.message)) messages << picture.message;
    result.message = messages.join(QLatin1Char('\n'));
    return result;
}

// Each missing picture once, on standard error: the page is still written, white there.
void WarnMissingPictures(const RenderResult& result) {
    std::set<Bytes> named;
    for (const sw::render::PictureProblem& picture : result.pictures) {
        if (!picture.missing || !named.insert(picture.path).second) continue;
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("背景画像「%1」が見つかりません。白で表示・印刷します。")
                         .arg(DecodeCp932(picture.path))
                         .toUtf8()
                         .constData());
    }
}

std::unique_ptr<Workspace> LoadWorkspace(const std::string& path) {
    auto ws = std::make_unique<Workspace>();
    if (!LoadForTool(path, ws->labelSet)) return nullptr;
    return ws;
}

// ---- check ----

QString EntryFaceLabel(int entry, int face) {
    return QStringLiteral("%1 印刷面%2").arg(entry, 2, 10, QLatin1Char('0')).arg(face);
}

QString KeyLabelText(int entry, int face, int keyIndex) {
    return EntryFaceLabel(entry, face) + QStringLiteral(" キー%1").arg(keyIndex, 2, 10, QLatin1Char('0'));
}

// Dots at the check resolution as millimetres, rounded up to a tenth.
QString OverflowMm(int dots) {
    const qint64 tenths = (qint64{dots} * 254 + kCheckDpi - 1) / kCheckDpi;
    return QStringLiteral("%1.%2mm").arg(tenths / 10).arg(tenths % 10);
}

bool FontAvailable(const QString& family) {
    if (family.isEmpty()) return false;
    if (QFontDatabase::hasFamily(family)) return true;
    for (const QString& substitute : QFont::substitutes(family))
        if (QFontDatabase::hasFamily(substitute)) return true;
    return false;
}

struct FontUse {
    QString firstPlace;
    int uses = 0;
    int order = 0;
};

void Say(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// Appends the width and height findings of one key and returns their number.
int ReportKeyFit(const LabelSet& set, int entry, int face, int position, int keyOffset) {
    const int keyIndex = position - keyOffset;
    const sw::render::KeyTextSpill spill =
        sw::render::CheckKeyFit(set.Entries[entry].Faces[face].Keys[keyIndex], face, position);
    const QString where = KeyLabelText(entry, face, keyIndex);
    int findings = 0;
    for (int i = 0; i < 2; ++i) {
        const sw::render::KeyLineSpill& line = spill.lines[i];
        if (line.wide > 0) {
            Say(QStringLiteral("%1: %2行目が横に %3 はみ出しています").arg(where).arg(i + 1).arg(OverflowMm(line.wide)));
            ++findings;
        }
        if (line.tall > 0) {
            Say(QStringLiteral("%1: %2行目が縦に %3 はみ出しています").arg(where).arg(i + 1).arg(OverflowMm(line.tall)));
            ++findings;
        }
    }
    return findings;
}

}  // namespace

int RunRender(const std::vector<std::string>& args) {
    RenderOptions o;
    if (std::optional<std::string> error = ParseRenderOptions(args, o)) return UsageError(*error);
    FontSession fonts;
    std::unique_ptr<Workspace> ws = LoadWorkspace(o.input);
    if (!ws) return kExitFailure;
    ReadFineAdjustment(ws->settings);
    if (o.sayu) ws->settings.Sayu = *o.sayu;
    if (o.jyoge) ws->settings.Jyoge = *o.jyoge;

    std::vector<int> entries;
    if (o.all) {
        entries = UsedEntries(ws->labelSet);
        if (entries.empty()) {
            std::fprintf(stderr, "%s: 名称またはキーの文字がある管理番号がないため、何も描きませんでした。\n",
                         o.input.c_str());
            return kExitFailure;
        }
    } else {
        entries.push_back(o.entry);
    }

    // The renderer only reads the set; the input file is never written.
    sw::render::SheetOptions options;
    options.sayu = ws->settings.Sayu;
    options.jyoge = ws->settings.Jyoge;
    options.buttonOutlines = o.outlines;
    const LabelSet& set = ws->labelSet;
    const PageDrawer draw = [&](QPainter& painter, int dpi, int page) {
        return RefuseMarkedSheet(
            sw::render::RenderSheet(painter, dpi, set, entries[static_cast<size_t>(page)], options));
    };
    const PageSetup setup{o.dpi.value_or(o.pdf ? kDefaultPdfDpi : kDefaultPngDpi), o.marginLeft,
                          o.marginTop};
    QByteArray bytes;
    const RenderResult result = o.pdf ? DrawPdf(setup, static_cast<int>(entries.size()), draw, bytes)
                                      : DrawPng(setup, draw, bytes);
    WarnMissingPictures(result);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.message.toUtf8().constData());
        return kExitFailure;
    }
    return WriteOutput(o.output, bytes);
}

int RunCheck(const std::vector<std::string>& args) {
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-'))
        return UsageError("check takes IN.stw");
    FontSession session;
    std::unique_ptr<Workspace> ws = LoadWorkspace(args[0]);
    if (!ws) return kExitFailure;
    const LabelSet& set = ws->labelSet;

    int findings = 0;
    std::map<QString, FontUse> fonts;
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        const ManagementEntry& e = set.Entries[entry];
        if (!EntryIsUsed(e)) continue;
        const int offset = KeyRangeFor(e.ButtonModel).KeyOffset;
        for (int face = 1; face <= kFaceCount; ++face) {
            const PrintFace& f = e.Faces[face];
            if (f.BackgroundMode != 1 && !f.PictureFile.empty()) {
                sw::render::PictureLoad load = sw::render::LoadPicture(f.PictureFile);
                if (load.status == sw::render::PictureStatus::Missing) {
                    Say(QStringLiteral("%1: 背景画像「%2」がありません（白で印刷されます）")
                            .arg(EntryFaceLabel(entry, face), DecodeCp932(f.PictureFile)));
                    ++findings;
                } else if (load.status == sw::render::PictureStatus::Error) {
                    Say(EntryFaceLabel(entry, face) + QStringLiteral(": ") + load.message);
                    ++findings;
                }
            }
            for (int position = 1; position <= 30; ++position) {
                if (!sw::render::PositionShown(e.ButtonModel, position)) continue;
                const int index = position - offset;
                if (index < 1 || index > kKeyCount) continue;
                const KeyLabel& key = f.Keys[index];
                if (key.Line1.empty() && key.Line2.empty()) continue;
                const QString family = DecodeCp932(key.FontName);
                if (!FontAvailable(family)) {
                    FontUse& use = fonts[family];
                    if (use.uses++ == 0) {
                        use.firstPlace = KeyLabelText(entry, face, index);
                        use.order = static_cast<int>(fonts.size());
                    }
                }
                findings += ReportKeyFit(set, entry, face, position, offset);
            }
        }
    }
    std::vector<std::pair<int, QString>> missingFonts;
    for (const auto& [family, use] : fonts) {
        QString line = family.isEmpty()
                           ? use.firstPlace + QStringLiteral(": フォント名が空です")
                           : QStringLiteral("%1: フォント「%2」がこのコンピューターにありません")
                                 .arg(use.firstPlace, family);
        if (use.uses > 1) line += QStringLiteral("（ほか %1 か所でも使われています）").arg(use.uses - 1);
        missingFonts.emplace_back(use.order, line);
    }
    std::sort(missingFonts.begin(), missingFonts.end());
    for (const auto& [order, line] : missingFonts) Say(line);
    findings += static_cast<int>(missingFonts.size());
    std::fflush(stdout);
    return findings == 0 ? kExitOk : kExitFailure;
}

}  // namespace sw::tools
