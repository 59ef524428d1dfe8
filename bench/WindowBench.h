// What the window benchmarks share: dialogs that answer at once, and a main() that runs
// offscreen in a settings folder of the benchmark's own.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/Commands.h"
#include "dialogs/Dialogs.h"
#include "editor/TfrmMain.h"
#include "model/Workspace.h"
#include "render/SheetRenderer.h"

namespace sw::bench {

// The file to open when asked, OK to every message, every other dialog cancelled.
class QuietDialogs : public sw::app::Dialogs {
public:
    QString file;
    sw::app::Reply Message(QWidget*, sw::app::MessageKind, const QString&, sw::app::Buttons) override {
        return sw::app::Reply::Ok;
    }
    std::optional<QString> ChooseFile(QWidget*, sw::app::FileKind, const QString&) override {
        if (file.isEmpty()) return std::nullopt;
        return file;
    }
    std::optional<sw::model::ColorRef> ChooseColor(QWidget*, sw::model::ColorRef) override {
        return std::nullopt;
    }
    std::optional<sw::app::FontChoice> ChooseFont(QWidget*, const sw::app::FontChoice&) override {
        return std::nullopt;
    }
    std::optional<int> ChoosePrint(QWidget*, QPrinter&) override { return std::nullopt; }
    std::optional<int> ChoosePrintEntries(QWidget*, QPrinter&, sw::model::PrintChoice&, int) override {
        return std::nullopt;
    }
};

// A main window shown over an empty workspace, with its command table; 開く opens `file`.
struct ShownWindow {
    explicit ShownWindow(const std::string& file = {}) {
        dialogs.file = QString::fromStdString(file);
        window.show();
        QApplication::processEvents();
    }
    QuietDialogs dialogs;
    std::unique_ptr<sw::model::Workspace> ws = std::make_unique<sw::model::Workspace>();
    sw::editor::TfrmMain window{*ws, dialogs};
    sw::app::Commands commands{window, dialogs};
};

// Runs the registered benchmarks under a QApplication (offscreen unless told otherwise);
// settings are read from, and never written to, the folder named.
inline int RunWindowBenchmarks(int argc, char** argv, const char* folderName) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const auto folder = std::filesystem::temp_directory_path() / folderName;
    std::filesystem::create_directories(folder);
    QDir::setCurrent(QString::fromStdString(folder.string()));
    sw::render::InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace sw::bench
