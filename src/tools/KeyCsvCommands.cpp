// export and import: key texts between a label-set file and a CSV file.
#include "tools/KeyCsvCommands.h"

#include <QCommandLineParser>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "model/AtomicFile.h"
#include "model/IniFile.h"
#include "model/KeyCsv.h"
#include "model/LabelSetFile.h"
#include "render/KeyFitText.h"
#include "tools/ToolCommon.h"

namespace sw::tools {
namespace {

using namespace sw::model;

// Both name the same existing file (also through a link or another path).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

void SayError(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }
void SayError(const QString& text) { SayError(text.toStdString()); }

// "--encoding utf8" or "--encoding=cp932"; returns an error text for any other value.
std::optional<std::string> EncodingOption(const QCommandLineParser& parser,
                                          const QCommandLineOption& option,
                                          std::optional<CsvEncoding>& out) {
    if (!parser.isSet(option)) return std::nullopt;
    const QString value = parser.value(option).toLower();
    if (value == QStringLiteral("utf8") || value == QStringLiteral("utf-8"))
        out = CsvEncoding::Utf8;
    else if (value == QStringLiteral("cp932") || value == QStringLiteral("sjis") ||
             value == QStringLiteral("shift_jis"))
        out = CsvEncoding::Cp932;
    else
        return "--encoding takes utf8 or cp932, not '" + ArgBytes(parser.value(option)) + "'";
    return std::nullopt;
}

bool Parse(QCommandLineParser& parser, const char* command, const std::vector<std::string>& args,
           std::string& error) {
    QStringList list{QString::fromLatin1(command)};
    for (const std::string& a : args) list << Arg(a);
    if (parser.parse(list)) return true;
    error = ParserMistake(parser);
    return false;
}

bool WriteOutput(const std::string& path, const std::string& data) {
    WriteResult written = WriteFileAtomically(path, data);
    if (!written.ok) SayError(written.message);
    return written.ok;
}

}  // namespace

int RunExport(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringLiteral("o"), QString(), QStringLiteral("file"));
    const QCommandLineOption entry(QStringLiteral("entry"), QString(), QStringLiteral("n"));
    const QCommandLineOption all(QStringLiteral("all"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("name"));
    parser.addOptions({output, entry, all, encoding});
    std::string error;
    if (!Parse(parser, "export", args, error)) return UsageError(error);

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return UsageError("export takes one label-set file");
    if (files.isEmpty()) return UsageError("export needs IN.stw");
    const std::string input = ArgBytes(files[0]);
    if (!parser.isSet(output)) return UsageError("export needs -o keys.csv");
    const std::string out = ArgBytes(parser.value(output));
    int number = 1;
    if (parser.isSet(entry)) {
        const std::string v = ArgBytes(parser.value(entry));
        const std::optional<int> n = ParseIniInt(v);
        if (!n) return UsageError("--entry needs a whole number, not '" + v + "'");
        if (*n < 1 || *n > kEntryCount) return UsageError("--entry takes a number from 1 to 50");
        number = *n;
    }
    if (parser.isSet(all) && parser.isSet(entry)) return UsageError("--entry and --all exclude each other");
    std::optional<CsvEncoding> chosen;
    if (std::optional<std::string> e = EncodingOption(parser, encoding, chosen)) return UsageError(*e);
    if (SameFile(input, out)) return UsageError("-o names IN.stw itself; IN.stw is never changed");

    auto set = std::make_unique<LabelSet>();
    if (!LoadForTool(input, *set)) return kExitFailure;
    std::vector<int> entries;
    if (parser.isSet(all))
        for (int n = 1; n <= kEntryCount; ++n) entries.push_back(n);
    else
        entries.push_back(number);
    const KeyCsvWritten csv = WriteKeyCsv(*set, entries, chosen.value_or(CsvEncoding::Utf8));
    for (const QString& place : csv.unreadable)
        SayError(QStringLiteral("%1: %2: キーの文字に CP932 として読めないバイトがあります。"
                                "この行は読み込むときに拒まれます。")
                     .arg(QString::fromStdString(input), place));
    return WriteOutput(out, csv.data) ? kExitOk : kExitFailure;
}

int RunImport(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringLiteral("o"), QString(), QStringLiteral("file"));
    const QCommandLineOption force(QStringLiteral("force"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("name"));
    parser.addOptions({output, force, encoding});
    std::string error;
    if (!Parse(parser, "import", args, error)) return UsageError(error);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) return UsageError("import takes IN.stw and keys.csv");
    const std::string input = ArgBytes(files[0]);
    const std::string csvPath = ArgBytes(files[1]);
    if (!parser.isSet(output)) return UsageError("import needs -o OUT.stw");
    const std::string out = ArgBytes(parser.value(output));
    std::optional<CsvEncoding> chosen;
    if (std::optional<std::string> e = EncodingOption(parser, encoding, chosen)) return UsageError(*e);
    if (SameFile(input, out)) return UsageError("-o names IN.stw itself; IN.stw is never changed");
    if (SameFile(csvPath, out)) return UsageError("-o names the CSV file itself");

    std::string data;
    std::string message;
    if (!ReadWholeFile(csvPath, data, message, kMaxKeyCsvBytes)) {
        SayError(message);
        return kExitFailure;
    }
    auto set = std::make_unique<LabelSet>();
    if (!LoadForTool(input, *set)) return kExitFailure;

    FontSession fonts;
    const CsvEncodingChoice choice = !chosen                         ? CsvEncodingChoice::Detect
                                     : *chosen == CsvEncoding::Utf8 ? CsvEncodingChoice::Utf8
                                                                    : CsvEncodingChoice::Cp932;
    const KeyCsvRead read = ReadKeyCsv(data, choice);
    const KeyTextImport plan = PlanKeyTextImport(*set, read, 0, &sw::render::KeyFitRefusal);
    const QString csvName = QString::fromStdString(csvPath);
    for (const KeyCsvRefusal& refusal : plan.refusals)
        SayError(QStringLiteral("%1:%2: %3").arg(csvName).arg(refusal.row).arg(refusal.reason));
    const int refused = static_cast<int>(plan.refusals.size());
    if (refused > 0 && !parser.isSet(force)) {
        SayError(QStringLiteral("%1: %2 行を読み込めないため、何も書きませんでした"
                                "（--force を付けると読み込める %3 行だけを書き込みます）。")
                     .arg(csvName)
                     .arg(refused)
                     .arg(plan.changes.size()));
        return kExitFailure;
    }
    ApplyKeyTexts(*set, plan.changes);
    const SaveResult saved = SaveLabelSetFile(out, *set);
    if (!saved.ok) {
        SayError(saved.message);
        return kExitFailure;
    }
    if (refused > 0) {
        SayError(QStringLiteral("%1: %2 行を読み込まず、%3 行を書き込みました。")
                     .arg(csvName)
                     .arg(refused)
                     .arg(plan.changes.size()));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace sw::tools
