// Names of a megabyte each (one line, no break points): the Open command to the window
// shown, and the registration and selection dialogs that show them; and the comparison
// that tells whether the label set holds unsaved changes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "WindowBench.h"
#include "app/Commands.h"
#include "app/UnsavedChanges.h"
#include "editor/TfrmMain.h"
#include "mgmt/TfrmIchiran.h"
#include "mgmt/TfrmNaisen.h"
#include "model/LabelSetFile.h"
#include "model/Workspace.h"

namespace {

using namespace sw::model;

constexpr std::size_t kMegabyte = 1 << 20;

void NameHuge(LabelSet& set) {
    set.Entries[1].Name = std::string(kMegabyte, 'n');
    set.Entries[26].Name = std::string(kMegabyte, 'm');
}

void BM_OpenFileWithMegabyteNames(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "sw2-names-bench" / "names.stw";
    auto set = std::make_unique<LabelSet>();
    NameHuge(*set);
    SaveLabelSetFile(path.string(), *set);
    sw::bench::ShownWindow shown(path.string());
    auto& [dialogs, ws, window, commands] = shown;
    for (auto _ : state) {
        commands.LoadLabelSet();
        QApplication::processEvents();  // shown and painted
        if (ws->labelSet.Entries[1].Name.size() != kMegabyte) state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_OpenFileWithMegabyteNames)->Unit(benchmark::kMillisecond)->UseRealTime();

template <typename Dialog, typename... Args>
void ShowAndClose(benchmark::State& state, Args&&... args) {
    auto ws = std::make_unique<Workspace>();
    NameHuge(ws->labelSet);
    for (auto _ : state) {
        Dialog dialog(*ws, std::forward<Args>(args)...);
        dialog.show();
        QApplication::processEvents();
        dialog.reject();
        QApplication::processEvents();
    }
}

void BM_RegistrationWithMegabyteNames(benchmark::State& state) {
    ShowAndClose<sw::mgmt::TfrmNaisen>(state);
}
BENCHMARK(BM_RegistrationWithMegabyteNames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectionWithMegabyteNames(benchmark::State& state) {
    ShowAndClose<sw::mgmt::TfrmIchiran>(state, QStringLiteral("01"));
}
BENCHMARK(BM_SelectionWithMegabyteNames)->Unit(benchmark::kMillisecond)->UseRealTime();

// What every key press or click costs while the document is unmodified.
void BM_UnsavedChangesCheck(benchmark::State& state) {
    auto set = std::make_unique<LabelSet>();
    for (auto& entry : set->Entries)
        for (auto& face : entry.Faces)
            for (auto& key : face.Keys) key.Line1 = key.Line2 = "営業部 内線";
    sw::app::UnsavedChanges changes(*set, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(changes.Check());
}
BENCHMARK(BM_UnsavedChangesCheck)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::create_directories(std::filesystem::temp_directory_path() / "sw2-names-bench");
    return sw::bench::RunWindowBenchmarks(argc, argv, "sw2-names-bench");
}
