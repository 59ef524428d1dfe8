// The main window: creating and showing it on a fresh workspace, switching to an entry of
// the other key model, the Open command on a fully populated file with its grid refresh,
// and opening a file with a key line of a megabyte until the window has shown it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/Commands.h"
#include "WindowBench.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "model/LabelSetFile.h"
#include "model/Workspace.h"
#include "render/SheetRenderer.h"

namespace {

using namespace sw::model;

// Every entry named, every key of every face with two lines of Japanese text; odd entries
// have 30 keys, even ones 18.
void Populate(LabelSet& set) {
    const Bytes line1 = EncodeCp932(QStringLiteral("営業部")).bytes;
    const Bytes line2 = EncodeCp932(QStringLiteral("内線")).bytes;
    for (int e = 1; e <= kEntryCount; ++e) {
        set.Entries[e].Name = EncodeCp932(QStringLiteral("第%1営業所").arg(e)).bytes;
        set.Entries[e].ButtonModel = e % 2 == 1 ? kModel30 : kModel18;
        for (int f = 1; f <= kFaceCount; ++f)
            for (int k = 1; k <= kKeyCount; ++k) {
                KeyLabel& key = set.Entries[e].Faces[f].Keys[k];
                key.Line1 = line1;
                key.Line2 = line2 + std::to_string(k);
                key.Alignment = static_cast<std::uint8_t>(k % 3);
            }
    }
}

std::string PopulatedFile() {
    const auto folder = std::filesystem::temp_directory_path() / "sw2-mainwindow-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "full.stw").string();
    auto set = std::make_unique<LabelSet>();
    Populate(*set);
    SaveLabelSetFile(path, *set);
    return path;
}

void BM_CreateAndShowMainWindow(benchmark::State& state) {
    sw::bench::QuietDialogs dialogs;
    for (auto _ : state) {
        auto ws = std::make_unique<Workspace>();
        auto window = std::make_unique<sw::editor::TfrmMain>(*ws, dialogs);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateAndShowMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SwitchToEntryOfOtherModel(benchmark::State& state) {
    sw::bench::QuietDialogs dialogs;
    auto ws = std::make_unique<Workspace>();
    sw::editor::TfrmMain window(*ws, dialogs);
    Populate(ws->labelSet);
    window.show();
    QApplication::processEvents();
    int next = 2;
    for (auto _ : state) {
        window.edtNaisen()->setText(QString::number(next));
        benchmark::DoNotOptimize(window.ApplyEntryNumber());
        next = next == 2 ? 3 : 2;  // 18 keys, then 30 keys
    }
}
BENCHMARK(BM_SwitchToEntryOfOtherModel)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCommand(benchmark::State& state) {
    sw::bench::ShownWindow shown(PopulatedFile());
    auto& [dialogs, ws, window, commands] = shown;
    for (auto _ : state) {
        commands.LoadLabelSet();
        if (ws->labelSet.Entries[1].ButtonModel != kModel30) state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_OpenCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

// A file whose first two keys hold a line of 1 MiB: letters without a single break point
// (range 0), or words between blanks (range 1).
std::string MegabyteKeyLineFile(bool breakPoints) {
    const auto folder = std::filesystem::temp_directory_path() / "sw2-mainwindow-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (breakPoints ? "megaline-words.stw" : "megaline.stw")).string();
    auto set = std::make_unique<LabelSet>();
    set->Entries[1].ButtonModel = kModel30;
    std::string line;
    const std::string word = breakPoints ? "Sales " : "SALES";
    while (line.size() < (std::size_t{1} << 20)) line += word;
    set->Entries[1].Faces[1].Keys[1].Line1 = line;
    set->Entries[1].Faces[1].Keys[2].Line2 = line;
    SaveLabelSetFile(path, *set);
    return path;
}

void BM_OpenMegabyteKeyLine(benchmark::State& state) {
    sw::bench::ShownWindow shown(MegabyteKeyLineFile(state.range(0) != 0));
    auto& [dialogs, ws, window, commands] = shown;
    for (auto _ : state) {
        commands.LoadLabelSet();
        window.repaint();  // the window shown with the key
        QApplication::processEvents();
        if (ws->labelSet.Entries[1].Faces[1].Keys[1].Line1.size() < (std::size_t{1} << 20))
            state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_OpenMegabyteKeyLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return sw::bench::RunWindowBenchmarks(argc, argv, "sw2-mainwindow-bench"); }
