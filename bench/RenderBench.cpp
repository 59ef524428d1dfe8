// Drawing a full sheet: the preview's repaint at 150 %, a 600-dpi page, a 1200-dpi PDF page,
// and repeating a small picture over the blank.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "model/Cp932.h"
#include "model/Workspace.h"
#include "render/Pictures.h"
#include "render/RenderContext.h"
#include "render/SheetRenderer.h"

namespace {

using namespace sw::model;

std::filesystem::path PictureFolder() {
    return std::filesystem::temp_directory_path() / "sw2-render-bench";
}

// A 30-key entry, every key with two lines; face 1 a stretched JPEG, face 2 a tiled bitmap,
// faces 3 and 4 single colours.
std::unique_ptr<Workspace> FullSheet() {
    std::filesystem::create_directories(PictureFolder());
    const std::string jpeg = (PictureFolder() / "photo.jpg").string();
    const std::string bmp = (PictureFolder() / "pattern.bmp").string();
    QImage photo(800, 450, QImage::Format_RGB888);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixelColor(x, y, QColor(x % 256, y % 256, (x + y) % 256));
    if (!photo.save(QString::fromStdString(jpeg), "JPG")) std::fprintf(stderr, "no JPEG writer\n");
    photo.scaled(40, 30).save(QString::fromStdString(bmp), "BMP");

    auto ws = std::make_unique<Workspace>();
    ManagementEntry& entry = ws->labelSet.Entries[1];
    entry.Name = EncodeCp932(QString::fromUtf8("株式会社サンプル商事　本社営業部")).bytes;
    entry.ButtonModel = kModel30;
    const Bytes line1 = EncodeCp932(QString::fromUtf8("営業部長")).bytes;
    const Bytes line2 = EncodeCp932(QString::fromUtf8("山田①")).bytes;
    for (PrintFace& face : entry.Faces)
        for (KeyLabel& key : face.Keys) {
            key.Line1 = line1;
            key.Line2 = line2;
            key.BackColor = 0x00E0FFFF;
        }
    entry.Faces[1].PictureFile = jpeg;
    entry.Faces[2].PictureFile = bmp;
    entry.Faces[2].PictureLayout = 1;
    entry.Faces[3].BackgroundMode = 1;
    entry.Faces[3].BackgroundColor = 0x00FFC080;
    entry.Faces[4].BackgroundMode = 1;
    entry.Faces[4].BackgroundColor = 0x0080FF80;
    entry.Faces[4].PictureLayout = 1;
    ws->editor.CurrentEntry = 1;
    ws->editor.ApplyKeyRange(KeyRangeFor(kModel30));
    return ws;
}

void RenderImage(benchmark::State& state, int resolution, bool outlines) {
    auto ws = FullSheet();
    QImage page(sw::render::DotsFromMm(resolution, 297), sw::render::DotsFromMm(resolution, 210),
                QImage::Format_RGB32);
    for (auto _ : state) {
        page.fill(Qt::white);
        QPainter painter(&page);
        if (!sw::render::RenderSheet(painter, resolution, ws->labelSet, 1, {0, 0, outlines, -1}).Whole())
            state.SkipWithError("render failed");
    }
}

// The preview at 150 % on a 96-dpi screen draws at 144 dpi, with the button outlines.
void BM_PreviewRepaint150(benchmark::State& state) { RenderImage(state, 144, true); }
BENCHMARK(BM_PreviewRepaint150)->Unit(benchmark::kMillisecond);

void BM_Image600Dpi(benchmark::State& state) { RenderImage(state, 600, false); }
BENCHMARK(BM_Image600Dpi)->Unit(benchmark::kMillisecond);

void BM_Pdf1200Dpi(benchmark::State& state) {
    auto ws = FullSheet();
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        if (!sw::render::RenderSheet(painter, 1200, ws->labelSet, 1, {}).Whole()) state.SkipWithError("render failed");
        painter.end();
        benchmark::DoNotOptimize(bytes.size());
    }
}
BENCHMARK(BM_Pdf1200Dpi)->Unit(benchmark::kMillisecond);

void BM_TilePicture40x30(benchmark::State& state) {
    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(QColor(200, 100, 50));
    for (auto _ : state) {
        QImage target = sw::render::BlankPicture();
        sw::render::TilePicture(picture, target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_TilePicture40x30)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    sw::render::InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(PictureFolder(), ec);
    return 0;
}
