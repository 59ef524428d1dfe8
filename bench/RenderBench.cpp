// Drawing a full sheet: the preview's repaint at 150 %, a 600-dpi page, a 1200-dpi PDF page,
// fifty text sheets as one PDF (what `render --all` writes), and repeating a small picture
// over the blank.
//
// `bench_render --write-text-sheets=FILE.stw` writes the fifty-entry label set of the PDF
// benchmark, for timing the companion tool on it as a whole process.
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
#include "model/LabelSetFile.h"
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

// Entries `first`..`last` of `ws` as one 1200-dpi PDF in memory, a page each; its size in bytes.
qsizetype WritePdf(benchmark::State& state, const Workspace& ws, int first, int last) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    for (int entry = first; entry <= last; ++entry) {
        if (entry > first) writer.newPage();
        if (!sw::render::RenderSheet(painter, 1200, ws.labelSet, entry, {}).Whole()) state.SkipWithError("render failed");
    }
    painter.end();
    return bytes.size();
}

void BM_Pdf1200Dpi(benchmark::State& state) {
    auto ws = FullSheet();
    for (auto _ : state) benchmark::DoNotOptimize(WritePdf(state, *ws, 1, 1));
}
BENCHMARK(BM_Pdf1200Dpi)->Unit(benchmark::kMillisecond);

// Fifty management numbers of text only: a name, 30 keys with a name and an extension on every
// face, key colours in a few pastel shades and no background.
std::unique_ptr<Workspace> FiftyTextSheets() {
    static const char* const kNames[] = {"営業部長", "総務課", "経理", "人事部", "受付", "会議室",
                                         "社長室", "倉庫", "技術部", "品質管理", "購買", "秘書"};
    static const ColorRef kColours[] = {0x00FFFFFF, 0x00E0FFFF, 0x00FFE0E0, 0x00E0FFE0};
    auto ws = std::make_unique<Workspace>();
    for (int e = 1; e <= kEntryCount; ++e) {
        ManagementEntry& entry = ws->labelSet.Entries[e];
        entry.Name = EncodeCp932(QString::fromUtf8("株式会社サンプル第%1営業所").arg(e)).bytes;
        entry.ButtonModel = kModel30;
        for (int f = 1; f <= kFaceCount; ++f)
            for (int k = 1; k <= kKeyCount; ++k) {
                KeyLabel& key = entry.Faces[f].Keys[k];
                key.Line1 = EncodeCp932(QString::fromUtf8(kNames[(e + f + k) % 12])).bytes;
                key.Line2 = EncodeCp932(QStringLiteral("%1").arg(200 + k + 30 * (f - 1))).bytes;
                key.BackColor = kColours[(k + f) % 4];
            }
    }
    ws->editor.CurrentEntry = 1;
    ws->editor.ApplyKeyRange(KeyRangeFor(kModel30));
    return ws;
}

// The fifty sheets as one 1200-dpi PDF, as the companion tool's `render --all` draws them; the
// file's size is reported as a counter.
void BM_Pdf50TextSheets(benchmark::State& state) {
    auto ws = FiftyTextSheets();
    qsizetype size = 0;
    for (auto _ : state) size = WritePdf(state, *ws, 1, kEntryCount);
    state.counters["pdf_kB"] = static_cast<double>(size) / 1000.0;
}
BENCHMARK(BM_Pdf50TextSheets)->Unit(benchmark::kMillisecond);

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
    const std::string writeFlag = "--write-text-sheets=";
    if (argc > 1 && std::string(argv[1]).rfind(writeFlag, 0) == 0) {
        const std::string path = std::string(argv[1]).substr(writeFlag.size());
        const SaveResult saved = SaveLabelSetFile(path, FiftyTextSheets()->labelSet);
        if (!saved.ok) std::fprintf(stderr, "%s\n", saved.message.c_str());
        return saved.ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(PictureFolder(), ec);
    return 0;
}
