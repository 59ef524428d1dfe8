// stripwise2-sheet: works on label-set files without a window.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/LabelSetFile.h"
#include "tools/JsonDump.h"

namespace {

using namespace sw::model;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "stripwise2-sheet: %s (see stripwise2-sheet --help)\n", message.c_str());
    return kExitUsage;
}

// Loads a label set; on failure prints FILE:LINE: message and returns false.
bool Load(const std::string& path, LabelSet& set) {
    LoadResult r = LoadLabelSetFile(path, set);
    if (r.ok) return true;
    if (r.error.line > 0)
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), r.error.line, r.error.message.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", path.c_str(), r.error.message.c_str());
    return false;
}

int RunResave(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError("resave takes IN.stw and OUT.stw");
    auto set = std::make_unique<LabelSet>();
    if (!Load(args[0], *set)) return kExitFailure;
    SaveResult s = SaveLabelSetFile(args[1], *set);
    if (!s.ok) {
        std::fprintf(stderr, "%s\n", s.message.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

int RunDump(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("dump takes IN.stw");
    auto set = std::make_unique<LabelSet>();
    if (!Load(args[0], *set)) return kExitFailure;
    std::string json = sw::tools::LabelSetToJson(*set);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

const Command kCommands[] = {
    {"resave", "stripwise2-sheet resave IN.stw OUT.stw",
     "Read a label-set file and write it again with this program's writer.\n"
     "OUT.stw is replaced only when the whole file has been written.",
     RunResave},
    {"dump", "stripwise2-sheet dump IN.stw",
     "Print the whole label set as UTF-8 JSON on standard output.", RunDump},
};

void PrintHelp() {
    std::printf(
        "stripwise2-sheet: work on Stripwise 2 label-set files (*.stw) without a window.\n\n"
        "Commands:\n");
    for (const Command& c : kCommands) std::printf("  %s\n", c.usage);
    std::printf(
        "\nstripwise2-sheet COMMAND --help describes one command.\n"
        "Exit status: 0 done, 1 the file could not be read or written, 2 usage error.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no command given");
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp();
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (args[0] != c.name) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--help" || a == "-h") {
                std::printf("usage: %s\n\n%s\n", c.usage, c.summary);
                return kExitOk;
            }
        }
        return c.run(rest);
    }
    return UsageError("unknown command '" + args[0] + "'");
}
