// Photo backgrounds: the whole set of 50 entries to one PDF with a 12-megapixel JPEG on every
// face (time, PDF bytes, peak memory), and switching face tab or entry in the offscreen main
// window with that picture, the first time (cache emptied) and again.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTabWidget>
#include <filesystem>
#include <memory>

#include "WindowBench.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "model/Workspace.h"
#include "render/Pictures.h"
#include "render/SheetRenderer.h"

namespace {

using namespace sw::model;

// A 4000 × 3000 photo-like JPEG (smooth colour fields with fine noise), written once.
std::string PhotoFile() {
    const auto folder = std::filesystem::temp_directory_path() / "sw2-photo-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "photo12mp.jpg").string();
    if (std::filesystem::exists(path)) return path;
    QImage photo(4000, 3000, QImage::Format_RGB888);
    quint32 noise = 12345;
    for (int y = 0; y < photo.height(); ++y) {
        uchar* line = photo.scanLine(y);
        for (int x = 0; x < photo.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 28);
            line[3 * x] = static_cast<uchar>((x / 16 + n) & 0xFF);
            line[3 * x + 1] = static_cast<uchar>((y / 12 + n) & 0xFF);
            line[3 * x + 2] = static_cast<uchar>(((x + y) / 28 + n) & 0xFF);
        }
    }
    photo.save(QString::fromStdString(path), "JPG", 90);
    return path;
}

void FillSet(LabelSet& set, const std::string& photo) {
    const Bytes line = EncodeCp932(QStringLiteral("営業部")).bytes;
    for (int e = 1; e <= kEntryCount; ++e) {
        set.Entries[e].Name = EncodeCp932(QStringLiteral("第%1営業所").arg(e)).bytes;
        set.Entries[e].ButtonModel = kModel30;
        for (int f = 1; f <= kFaceCount; ++f) {
            set.Entries[e].Faces[f].PictureFile = photo;
            for (int k = 1; k <= kKeyCount; ++k) set.Entries[e].Faces[f].Keys[k].Line1 = line;
        }
    }
}

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_WholeSetPdfWithPhotoOnEveryFace(benchmark::State& state) {
    auto ws = std::make_unique<Workspace>();
    FillSet(ws->labelSet, PhotoFile());
    qint64 pdfBytes = 0;
    for (auto _ : state) {
        sw::render::ClearPictureCache();  // as a fresh run of the tool
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter painter(&writer);
        for (int e = 1; e <= kEntryCount; ++e) {
            if (e > 1) writer.newPage();
            if (!sw::render::RenderSheet(painter, 1200, ws->labelSet, e, {}).Whole()) state.SkipWithError("render failed");
        }
        painter.end();
        pdfBytes = bytes.size();
    }
    state.counters["pdf_MB"] = static_cast<double>(pdfBytes) / 1e6;
    state.counters["photo_MB"] = static_cast<double>(std::filesystem::file_size(PhotoFile())) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024;
}
BENCHMARK(BM_WholeSetPdfWithPhotoOnEveryFace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Arg 0: the first view of the picture (the cache is emptied before each switch); 1: again.
// The offscreen main window over a set with the photo on every face, shown.
struct PhotoWindow {
    sw::bench::QuietDialogs dialogs;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    sw::editor::TfrmMain window{*ws, dialogs};  // starts from an empty label set

    PhotoWindow() {
        FillSet(ws->labelSet, PhotoFile());
        window.show();
        QApplication::processEvents();
    }
    // Arg 0 measures the first view: the picture cache is emptied, untimed, before each switch.
    static void ForgetPicturesForFirstView(benchmark::State& state) {
        if (state.range(0) != 0) return;
        state.PauseTiming();
        sw::render::ClearPictureCache();
        state.ResumeTiming();
    }
};

void BM_FaceSwitchWithPhoto(benchmark::State& state) {
    PhotoWindow shown;
    sw::editor::TfrmMain& window = shown.window;
    int next = 1;
    for (auto _ : state) {
        PhotoWindow::ForgetPicturesForFirstView(state);
        window.tabPage()->setCurrentIndex(next);
        QApplication::processEvents();
        if (window.ScreenBackground().pixelColor(200, 300) == QColor(Qt::white)) state.SkipWithError("no picture shown");
        next = next == 1 ? 0 : 1;
    }
}
BENCHMARK(BM_FaceSwitchWithPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EntrySwitchWithPhoto(benchmark::State& state) {
    PhotoWindow shown;
    sw::editor::TfrmMain& window = shown.window;
    int next = 2;
    for (auto _ : state) {
        PhotoWindow::ForgetPicturesForFirstView(state);
        window.edtNaisen()->setText(QString::number(next));
        benchmark::DoNotOptimize(window.ApplyEntryNumber());
        QApplication::processEvents();
        next = next == 2 ? 3 : 2;
    }
}
BENCHMARK(BM_EntrySwitchWithPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return sw::bench::RunWindowBenchmarks(argc, argv, "sw2-photo-bench"); }
