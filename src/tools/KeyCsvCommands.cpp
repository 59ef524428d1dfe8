// export and import: key texts between a label-set file and a key list (CSV or .xlsx).
#include "tools/KeyCsvCommands.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "model/AtomicFile.h"
#include "model/IniFile.h"
#include "model/KeyCsv.h"
#include "model/KeyXlsx.h"
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
void SayOut(const QString& text) { std::printf("%s\n", text.toStdString().c_str()); }

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
    const QCommandLineOption onlyUsed(QStringLiteral("only-used"));
    parser.addOptions({output, entry, all, encoding, onlyUsed});
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
    const bool workbook = Arg(out).endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
    if (workbook && chosen) return UsageError("--encoding is for CSV; a .xlsx workbook holds its text as Unicode");

    auto set = std::make_unique<LabelSet>();
    if (!LoadForTool(input, *set)) return kExitFailure;
    std::vector<int> entries;
    if (parser.isSet(all))
        for (int n = 1; n <= kEntryCount; ++n) entries.push_back(n);
    else
        entries.push_back(number);
    const KeyListScope scope = parser.isSet(onlyUsed) ? KeyListScope::OnlyUsed : KeyListScope::AllKeys;
    if (workbook) {
        const KeyXlsxWritten xlsx = WriteKeyXlsx(*set, entries, scope);
        if (xlsx.data.empty()) {
            SayError(QStringLiteral("%1: %2").arg(Arg(out), xlsx.failure));
            return kExitFailure;
        }
        for (const QString& place : xlsx.unreadable)
            SayError(QStringLiteral("%1: %2: キーの文字に CP932 として読めないバイトがあります。"
                                    "このセルは「\uFFFD」になり、読み込むときに拒まれます。")
                         .arg(QString::fromStdString(input), place));
        return WriteOutput(out, xlsx.data) ? kExitOk : kExitFailure;
    }
    const KeyCsvWritten csv = WriteKeyCsv(*set, entries, chosen.value_or(CsvEncoding::Utf8), scope);
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
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("name"));
    parser.addOptions({output, force, dryRun, encoding});
    std::string error;
    if (!Parse(parser, "import", args, error)) return UsageError(error);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) return UsageError("import takes IN.stw and keys.csv");
    const std::string input = ArgBytes(files[0]);
    const std::string csvPath = ArgBytes(files[1]);
    const bool dry = parser.isSet(dryRun);
    if (!parser.isSet(output) && !dry) return UsageError("import needs -o OUT.stw (or --dry-run)");
    const std::string out = ArgBytes(parser.value(output));
    std::optional<CsvEncoding> chosen;
    if (std::optional<std::string> e = EncodingOption(parser, encoding, chosen)) return UsageError(*e);
    if (SameFile(input, out)) return UsageError("-o names IN.stw itself; IN.stw is never changed");
    if (SameFile(csvPath, out)) return UsageError("-o names the CSV file itself");

    std::string data;
    std::string message;
    if (!ReadWholeFile(csvPath, data, message, std::max(kMaxKeyCsvBytes, kMaxKeyXlsxBytes))) {
        SayError(message);
        return kExitFailure;
    }
    auto set = std::make_unique<LabelSet>();
    if (!LoadForTool(input, *set)) return kExitFailure;

    FontSession fonts;
    const CsvEncodingChoice choice = !chosen                         ? CsvEncodingChoice::Detect
                                     : *chosen == CsvEncoding::Utf8 ? CsvEncodingChoice::Utf8
                                                                    : CsvEncodingChoice::Cp932;
    const KeyListRead read = ReadKeyList(data, choice);
    const QString csvName = QString::fromStdString(csvPath);
    if (!read.failure.isEmpty()) {
        SayError(QStringLiteral("%1: %2 何も書きませんでした。").arg(csvName, read.failure));
        return kExitFailure;
    }
    if (read.rows.empty() && read.refusals.empty()) {
        SayError(QStringLiteral("%1: 読み込むキーの行がありません（%2）。何も書きませんでした。")
                     .arg(csvName, data.empty() ? QStringLiteral("空のファイルです")
                                                : QStringLiteral("見出しと空の行だけです")));
        return kExitFailure;
    }
    if (!read.notice.isEmpty()) SayError(QStringLiteral("%1: %2").arg(csvName, read.notice));
    const KeyTextImport plan = PlanKeyTextImport(*set, read, 0, &sw::render::KeyFitRefusal);

    // The change list goes to standard output, the refused rows to standard error.
    for (const KeyTextChange& change : plan.changes) SayOut(DescribeKeyChange(change, true));
    for (const KeyListRefusal& refusal : plan.refusals)
        SayError(QStringLiteral("%1:%2: %3").arg(csvName).arg(refusal.row).arg(refusal.reason));
    const int changed = static_cast<int>(plan.changes.size());
    const int refused = static_cast<int>(plan.refusals.size());
    QString summary = QStringLiteral("%1 個のキーが変わります（%2 行のうち、変わらない行 %3、読み込めない行 %4）。")
                          .arg(changed)
                          .arg(plan.Rows())
                          .arg(plan.unchanged)
                          .arg(refused);
    if (plan.Suspects() > 0)
        summary += QStringLiteral("\n※の %1 個は、表計算ソフトが書き換えた文字かもしれません。").arg(plan.Suspects());
    SayOut(summary);
    if (dry) {
        SayOut(QStringLiteral("--dry-run: 何も書いていません。"));
        return refused > 0 ? kExitFailure : kExitOk;
    }
    if (refused > 0 && !parser.isSet(force)) {
        SayError(QStringLiteral("%1: %2 行を読み込めないため、何も書きませんでした"
                                "（--force を付けると、読み込める行の %3 個のキーだけを変えて書き込みます）。")
                     .arg(csvName)
                     .arg(refused)
                     .arg(changed));
        return kExitFailure;
    }
    ApplyKeyTexts(*set, plan.changes);
    const SaveResult saved = SaveLabelSetFile(out, *set);
    if (!saved.ok) {
        SayError(saved.message);
        return kExitFailure;
    }
    SayOut(QStringLiteral("%1: %2 個のキーを変えて書き込みました。").arg(QString::fromStdString(out)).arg(changed));
    if (refused > 0) {
        SayError(QStringLiteral("%1: %2 行は読み込んでいません。").arg(csvName).arg(refused));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace sw::tools
