// stripwise2-sheet: works on label-set files without a window.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/LabelSetFile.h"
#include "tools/CalibrateCommand.h"
#include "tools/JsonDump.h"
#include "tools/KeyCsvCommands.h"
#include "tools/SheetCommands.h"
#include "tools/ToolCommon.h"

namespace {

using namespace sw::model;
using namespace sw::tools;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

int RunResave(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError("resave takes IN.stw and OUT.stw");
    auto set = std::make_unique<LabelSet>();
    if (!LoadForTool(args[0], *set)) return kExitFailure;
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
    if (!LoadForTool(args[0], *set)) return kExitFailure;
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
    {"render",
     "stripwise2-sheet render IN.stw [--entry N | --all] [--dpi D] [--outlines] [--sayu N] "
     "[--jyoge N] [--margins LEFT,TOP] -o OUT.png|OUT.pdf",
     "Draw the printed sheet of one management number (default 01) as the printer would,\n"
     "on a whole A4 landscape page whose top-left corner is the drawing's origin, or the\n"
     "corner of a printer's printable area given with --margins.\n"
     "  --entry N    the management number to draw, 1 to 50\n"
     "  --all        one PDF page per management number that has a name or key text\n"
     "  --dpi D      resolution, 1 to 1200 (default 300 for PNG, 1200 for PDF)\n"
     "  --outlines   draw the key button outlines, as the preview does\n"
     "  --sayu N     fine adjustment in tenths of a millimetre, + moves right\n"
     "  --jyoge N    fine adjustment in tenths of a millimetre, + moves up\n"
     "  --margins LEFT,TOP  the printer's left and top margins in millimetres (default none)\n"
     "Without --sayu/--jyoge the values come from the program's settings: Stripwise2.ini in\n"
     "the current directory when there is one, else ~/.config/stripwise2/Stripwise2.ini.\n"
     "A missing background picture prints white; IN.stw is never changed. A picture that\n"
     "cannot be read ends with its message and exit status 1, and OUT is not written.",
     RunRender},
    {"calibrate",
     "stripwise2-sheet calibrate [--model 30|18] [--dpi D] [--sayu N] [--jyoge N] "
     "[--margins LEFT,TOP] -o OUT.png|OUT.pdf",
     "Draw the calibration sheet on a whole A4 landscape page, as render places a sheet:\n"
     "the outlines of the four face boxes and of the key cells of a key model, exactly where\n"
     "the printed sheet puts them, moved by the fine adjustment. At every box edge a comb of\n"
     "lines stands at -1.0 ... +1.0 mm from the edge in 0.1 mm steps, each labelled with the\n"
     "value to give the fine adjustment when it meets the label paper's edge (+ right and up);\n"
     "millimetre rulers along the top and left edges count from each box corner. Printed on\n"
     "plain paper and laid over the label paper, it reads the offset to a tenth of a mm.\n"
     "  --model K    the key model: 30 keys (the default) or 18 keys\n"
     "  --dpi D      resolution, 1 to 1200 (default 300 for PNG, 1200 for PDF)\n"
     "  --sayu N     fine adjustment in tenths of a millimetre, + moves right\n"
     "  --jyoge N    fine adjustment in tenths of a millimetre, + moves up\n"
     "  --margins LEFT,TOP  the printer's left and top margins in millimetres (default none)\n"
     "Without --sayu/--jyoge the values come from the program's settings, as for render.\n"
     "A sheet that runs off the page is said so on standard error; when nothing of it would\n"
     "land on the page, nothing is written and the exit status is 1.\n"
     "OUT is replaced only when it has been written completely.",
     RunCalibrate},
    {"check", "stripwise2-sheet check IN.stw",
     "Before printing: list, one line each, every key text line wider than its cell or\n"
     "taller than its band at its font, every background picture that is missing or cannot\n"
     "be read, and every font name this computer has no font for, for each management\n"
     "number that has a name or key text. Exit status 0 when nothing was found, 1 otherwise.",
     RunCheck},
    {"export",
     "stripwise2-sheet export IN.stw [--entry N | --all] [--only-used] -o keys.csv|keys.xlsx "
     "[--encoding utf8|cp932]",
     "Write the two text lines of the keys of management number N (default 01) to a CSV file\n"
     "or, when -o ends in .xlsx, an Excel workbook (the form to edit in a spreadsheet: its line\n"
     "columns are text, so 007, =1+1 and 1/2 stay as typed; CSV is for scripts):\n"
     "a header row entry,face,key,line1,line2, then one row for every key the entry's model\n"
     "shows, empty ones included, so that the list can be filled in. Keys are numbered as\n"
     "the window numbers them: 01 to 30, and 01 to 18 under 18 keys (keys 19 to 30 of an\n"
     "18-key entry are never shown, and never written).\n"
     "  --entry N     the management number, 1 to 50\n"
     "  --all         every management number\n"
     "  --only-used   only the keys that have text or a format of their own\n"
     "  --encoding E  utf8 (the default, with a byte order mark, as spreadsheets expect) or\n"
     "                cp932 (Shift-JIS)\n"
     "Fields with commas, quotes, tabs or line breaks are quoted (RFC 4180). IN.stw is never\n"
     "changed; keys.csv is replaced only when it has been written completely.",
     RunExport},
    {"import",
     "stripwise2-sheet import IN.stw keys.csv (-o OUT.stw | --dry-run) [--force] "
     "[--encoding utf8|cp932]",
     "Fill the two text lines of the keys a CSV file or the first sheet of an .xlsx workbook\n"
     "names (rows as export writes them, keys numbered as the window numbers them; a first\n"
     "row that does not start with a number is a header) and write the label set to OUT.stw.\n"
     "Key formats are never changed, keys the file does not name keep their text, and a row\n"
     "whose text is the key's own changes nothing (its bytes stay as they are).\n"
     "First the change list goes to standard output, one line per key that changes:\n"
     "  管理番号 01 / 印刷面2 / キー 07: 旧「0120」 → 新「120」　※表計算ソフトの変換？（先頭の 0 が消えています）\n"
     "with the mark where the new text looks like a spreadsheet's rewrite of the old one\n"
     "(leading zeros dropped, a formula's result, a date or time, a sign or bracket gone, a\n"
     "number written another way), then the count of keys that change.\n"
     "Every row that cannot be taken is listed on standard error as keys.csv:ROW: reason (ROW\n"
     "counted as a spreadsheet counts rows): a malformed row, an unknown entry, face or key\n"
     "(also one the entry's key model does not show), a key named twice, a character\n"
     "Shift-JIS cannot hold, a line break, or a changed line that does not fit its key at its\n"
     "font (as check measures). Then nothing is written and the exit status is 1.\n"
     "  --dry-run     print the change list and write nothing\n"
     "  --force       write the rows that can be taken all the same (exit status still 1)\n"
     "  --encoding E  utf8 or cp932; without it a byte order mark or valid UTF-8 means UTF-8,\n"
     "                anything else CP932. UTF-16 with a byte order mark (a spreadsheet's\n"
     "                Unicode text) is read too; tab-separated files as well as CSV.\n"
     "In a workbook, text cells are read as they are; a number cell in General format is read\n"
     "as its shortest decimal and a date or time cell as it shows, both marked in the list;\n"
     "a number in any other format is refused with its row.\n"
     "An empty file, or one with no key rows, writes nothing (exit status 1).\n"
     "IN.stw is never changed; OUT.stw is replaced only when it has been written completely.",
     RunImport},
};

void PrintHelp() {
    std::printf(
        "stripwise2-sheet: work on Stripwise 2 label-set files (*.stw) without a window.\n\n"
        "Commands:\n");
    for (const Command& c : kCommands) std::printf("  %s\n", c.usage);
    std::printf(
        "\nstripwise2-sheet COMMAND --help describes one command;\n"
        "stripwise2-sheet --version prints the version.\n"
        "Exit status: 0 done, 1 the file could not be read or written (check: findings,\n"
        "import: refused rows), 2 usage error.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no command given");
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp();
        return kExitOk;
    }
    if (args[0] == "--version") {
        if (args.size() > 1) return UsageError("--version takes nothing more");
        std::printf("stripwise2-sheet %s\n", SW_VERSION);
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
