// Editing on screen: showing a fully typed 30-key face again, and one keystroke in the
// font size box through to the repainted key.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "WindowBench.h"
#include "app/UnsavedChanges.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/Cp932.h"
#include "model/Workspace.h"
#include "render/SheetRenderer.h"

namespace {

using namespace sw::model;

// Entry 01 with 30 keys, every key of face 1 typed: Japanese and Latin, one and two lines,
// the four fonts, several sizes, styles, colours and alignments.
void TypeFace(LabelSet& set) {
    const char* const texts[][2] = {{"営業部", "内線"}, {"Sales", ""}, {"東京本社", "第一営業部"},
                                    {"FAX", "03-1234"}, {"受付", ""}, {"会議室Ａ", "Room A"}};
    const char* const fonts[] = {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝"};
    ManagementEntry& entry = set.Entries[1];
    entry.ButtonModel = kModel30;
    for (int k = 1; k <= kKeyCount; ++k) {
        KeyLabel& key = entry.Faces[1].Keys[k];
        key.Line1 = EncodeCp932(QString::fromUtf8(texts[k % 6][0])).bytes;
        key.Line2 = EncodeCp932(QString::fromUtf8(texts[k % 6][1])).bytes;
        key.FontName = EncodeCp932(QString::fromUtf8(fonts[k % 4])).bytes;
        key.FontSize = 8 + k % 4;
        key.FontStyle = static_cast<std::uint8_t>(k % 3);
        key.Alignment = static_cast<std::uint8_t>(k % 3);
        key.Layout = static_cast<std::uint8_t>((k / 3) % 3);
        key.BackColor = k % 5 == 0 ? 0x00C0FFFF : kWhite;
    }
}

struct TypedWindow {
    sw::bench::QuietDialogs dialogs;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    std::unique_ptr<sw::editor::TfrmMain> window;

    TypedWindow() {
        window = std::make_unique<sw::editor::TfrmMain>(*ws, dialogs);
        TypeFace(ws->labelSet);
        window->show();
        QApplication::processEvents();
        window->ShowEntry();
        window->ShowFace();
        window->ShowCurrentKey();
        QApplication::processEvents();
    }
};

void BM_ShowFaceFullyTyped(benchmark::State& state) {
    TypedWindow typed;
    for (auto _ : state) typed.window->ShowFace();
}
BENCHMARK(BM_ShowFaceFullyTyped)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, with the face area painted as the screen would show it.
void BM_ShowFaceFullyTypedAndPainted(benchmark::State& state) {
    TypedWindow typed;
    QWidget* face = typed.window->findChild<QWidget*>(QStringLiteral("Panel1"));
    for (auto _ : state) {
        typed.window->ShowFace();
        face->repaint();
    }
}
BENCHMARK(BM_ShowFaceFullyTypedAndPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

void SendKey(QWidget* to, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

// Each iteration is one keystroke that changes the size box ("1" → "12" by typing 2, and
// back by Backspace): the size is recorded for undo, stored, the key shown again in the
// new size and its panel repainted.
void BM_SizeBoxKeystrokeToRepaintedKey(benchmark::State& state) {
    TypedWindow typed;
    sw::editor::TfrmMain& w = *typed.window;
    const int position = w.workspace().editor.CurrentKeyPos;
    QComboBox* box = w.fontSizeBox();
    box->setEditText(QStringLiteral("1"));
    bool grow = true;
    for (auto _ : state) {
        if (grow)
            SendKey(box, Qt::Key_2, QStringLiteral("2"));
        else
            SendKey(box, Qt::Key_Backspace, QString());
        w.keyPanel(position)->repaint();
        grow = !grow;
    }
    const int size = typed.ws->labelSet.Entries[1].Faces[1].Keys[position].FontSize;
    if (size != 1 && size != 12) state.SkipWithError("the size box did not apply");
}
BENCHMARK(BM_SizeBoxKeystrokeToRepaintedKey)->Unit(benchmark::kMillisecond)->UseRealTime();

// The check after every key press or click: against a document as saved (every entry is
// compared), and against one modified in its last entry (while that entry still differs,
// it is the only one compared).
void BM_UnsavedChangesCheck(benchmark::State& state) {
    auto set = std::make_unique<LabelSet>();
    TypeFace(*set);
    for (int n = 2; n <= kEntryCount; ++n) set->Entries[n] = set->Entries[1];
    sw::app::UnsavedChanges changes(*set, {});
    if (state.range(0) != 0) set->Entries[kEntryCount].Faces[4].Keys[30].Line1 = "changed";
    bool modified = false;
    for (auto _ : state) modified = changes.Check();
    if (modified != (state.range(0) != 0)) state.SkipWithError("the check went wrong");
}
BENCHMARK(BM_UnsavedChangesCheck)->ArgName("modified")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return sw::bench::RunWindowBenchmarks(argc, argv, "sw2-editing-bench"); }
