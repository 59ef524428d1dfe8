// Writing and reading a fully populated label set, in memory and through a real file.
#include <benchmark/benchmark.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "model/Cp932.h"
#include "model/LabelSetFile.h"

namespace {

using namespace sw::model;

std::unique_ptr<LabelSet> FullSet() {
    auto set = std::make_unique<LabelSet>();
    const Bytes name = EncodeCp932(QString::fromUtf8("株式会社サンプル商事　本社営業部　第一課")).bytes;
    const Bytes line1 = EncodeCp932(QString::fromUtf8("第一営業部　部長席　直通回線　東京本社ビル")).bytes;
    const Bytes line2 = EncodeCp932(QString::fromUtf8("山田太郎　内線①２３４　外線０３－１２３４")).bytes;
    const Bytes picture = EncodeCp932(QString::fromUtf8("/home/user/ドキュメント/示名条片/背景画像/会社ロゴ_2026年度版_カラー.jpg")).bytes;
    for (auto& entry : set->Entries) {
        entry.Name = name;
        entry.ButtonModel = 0;
        for (auto& face : entry.Faces) {
            face.PictureFile = picture;
            for (auto& key : face.Keys) {
                key.Line1 = line1;
                key.Line2 = line2;
                key.BackColor = 0x00C0FFEE;
                key.FontColor = 0x00112233;
                key.FontStyle = 3;
                key.FontSize = 11;
                key.FontName = EncodeCp932(QString::fromUtf8("ＭＳ Ｐゴシック")).bytes;
            }
        }
    }
    return set;
}

void BM_WriteToMemory(benchmark::State& state) {
    auto set = FullSet();
    state.counters["file_bytes"] = static_cast<double>(WriteLabelSet(*set).size());
    for (auto _ : state) benchmark::DoNotOptimize(WriteLabelSet(*set));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(WriteLabelSet(*set).size()));
}
BENCHMARK(BM_WriteToMemory)->Unit(benchmark::kMillisecond);

void BM_ReadFromMemory(benchmark::State& state) {
    std::string text = WriteLabelSet(*FullSet());
    auto set = std::make_unique<LabelSet>();
    for (auto _ : state) benchmark::DoNotOptimize(ReadLabelSet(text, *set).ok);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadFromMemory)->Unit(benchmark::kMillisecond);

std::string BenchPath() {
    return (std::filesystem::temp_directory_path() / "sw2-bench.stw").string();
}

void BM_SaveFile(benchmark::State& state) {
    auto set = FullSet();
    std::string path = BenchPath();
    for (auto _ : state) benchmark::DoNotOptimize(SaveLabelSetFile(path, *set).ok);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state) {
    std::string path = BenchPath();
    SaveLabelSetFile(path, *FullSet());
    auto set = std::make_unique<LabelSet>();
    for (auto _ : state) benchmark::DoNotOptimize(LoadLabelSetFile(path, *set).ok);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
