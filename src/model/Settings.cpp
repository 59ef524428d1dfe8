// Sections, keys, defaults and order of the settings file, window by window.
#include "model/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "model/Cp932.h"
#include "model/IniFile.h"

namespace sw::model {

const char* const kSettingsFileName = "Stripwise2.ini";

const WindowSection kMainSection{"Main", "Stripwise２", false};
const WindowSection kSetteiSection{"Settei", "印刷設定", false};
const WindowSection kPreviewSection{"Preview", "印刷プレビュー", true};
const WindowSection kNaisenSection{"Naisen", "管理番号一覧登録", false};
const WindowSection kIchiranSection{"Ichiran", "管理番号選択", false};
const WindowSection kVersionSection{"Version", "バージョン情報", false};

namespace {
const char* const kHelpDefault = "Stripwise2ヘルプガイド.pdf";

Bytes Cp932Of(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }
}  // namespace

std::string WithTrailingSlash(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

std::string SettingsFolderFor(const std::string& startFolder, const std::string& xdgConfigHome,
                              const std::string& home) {
    const std::string start = WithTrailingSlash(startFolder);
    if (QFileInfo(QString::fromStdString(start + kSettingsFileName)).isFile()) return start;
    // Relative values of XDG_CONFIG_HOME are to be ignored.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        return WithTrailingSlash(xdgConfigHome) + "stripwise2/";
    if (!home.empty() && home.front() == '/') return WithTrailingSlash(home) + ".config/stripwise2/";
    return start;
}

std::string SettingsFolder() {
    return SettingsFolderFor(QDir::currentPath().toStdString(),
                             qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(),
                             qEnvironmentVariable("HOME").toStdString());
}

std::string AppSettings::WritePath() const {
    if (MakeFolderOnWrite && !ProgramDir.empty()) {
        const QString folder = QString::fromStdString(ProgramDir);
        if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return SettingsPath();
}

void NoteSettingsWrite(AppSettings& settings, bool written) {
    if (written || settings.WriteFailureTold) return;
    settings.WriteFailureTold = true;
    if (settings.WriteFailed) settings.WriteFailed(settings.SettingsPath());
}


namespace {

std::vector<Bytes> RecentFilesIn(const IniFile& ini) {
    std::vector<Bytes> files;
    for (int n = 1; n <= kRecentFileCount; ++n) {
        auto v = ini.Get("Recent", "File" + std::to_string(n));
        if (v && !v->empty() && std::find(files.begin(), files.end(), *v) == files.end())
            files.push_back(*v);
    }
    return files;
}

void SetRecentFiles(IniFile& ini, const std::vector<Bytes>& files) {
    for (int n = 1; n <= kRecentFileCount; ++n) {
        const auto i = static_cast<size_t>(n - 1);
        ini.Set("Recent", "File" + std::to_string(n), i < files.size() ? files[i] : Bytes());
    }
}

}  // namespace

std::vector<Bytes> ReadRecentFiles(const std::string& path) { return RecentFilesIn(IniFile::Load(path)); }

bool WriteRecentFiles(const std::string& path, const std::vector<Bytes>& files) {
    // Set and written as one update, so that the five keys never disagree.
    return UpdateIniFile(path, [&](IniFile& ini) { SetRecentFiles(ini, files); });
}

bool AddRecentFile(const std::string& path, const Bytes& file) {
    return UpdateIniFile(path, [&](IniFile& ini) {
        SetRecentFiles(ini, WithRecentFile(RecentFilesIn(ini), file));
    });
}

std::vector<Bytes> WithRecentFile(std::vector<Bytes> files, const Bytes& file) {
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
    files.insert(files.begin(), file);
    if (files.size() > static_cast<size_t>(kRecentFileCount)) files.resize(kRecentFileCount);
    return files;
}

int Centred(int screenLength, int windowLength) { return (screenLength - windowLength) / 2; }

namespace {

// The keys of one window's section, read at once from the file's content.
WindowPlacement PlacementIn(const IniFile& ini, const WindowSection& section, Size screen,
                            Size designed, IniSeen* seen) {
    auto readInt = [&](const char* key, int def) {
        auto v = ini.Get(section.name, key);
        const int value = v ? ParseIniInt(*v).value_or(def) : def;
        if (seen) NoteIniSeen(*seen, section.name, key, std::to_string(value));
        return value;
    };
    WindowPlacement p;
    p.top = readInt("Top", Centred(screen.height, designed.height));
    p.left = readInt("Left", Centred(screen.width, designed.width));
    if (section.hasSize) {
        p.height = readInt("Height", kPreviewDefaultHeight);
        p.width = readInt("Width", kPreviewDefaultWidth);
    }
    p.caption = ini.Get(section.name, "Caption").value_or(Cp932Of(section.caption));
    if (seen) NoteIniSeen(*seen, section.name, "Caption", p.caption);
    return p;
}

std::vector<IniValue> PlacementValues(const WindowSection& section, const WindowPlacement& placement) {
    std::vector<IniValue> values;
    // Where the program cannot place its windows (Wayland) it writes no place either.
    if (placement.placed) {
        values.push_back({section.name, "Top", std::to_string(placement.top)});
        values.push_back({section.name, "Left", std::to_string(placement.left)});
    }
    if (section.hasSize) {
        values.push_back({section.name, "Height", std::to_string(placement.height)});
        values.push_back({section.name, "Width", std::to_string(placement.width)});
    }
    values.push_back({section.name, "Caption", placement.caption});
    return values;
}

int ReadSeenInt(const IniFile& ini, const char* section, const char* key, int def, IniSeen& seen) {
    auto v = ini.Get(section, key);
    const int value = v ? ParseIniInt(*v).value_or(def) : def;
    NoteIniSeen(seen, section, key, std::to_string(value));
    return value;
}

}  // namespace

WindowPlacement ReadWindowPlacement(const std::string& path, const WindowSection& section,
                                    Size screen, Size designed, IniSeen* seen) {
    // One read of the file serves all keys of the window.
    return PlacementIn(IniFile::Load(path), section, screen, designed, seen);
}

bool WriteWindowPlacement(const std::string& path, const WindowSection& section,
                          const WindowPlacement& placement, IniSeen* seen) {
    return WriteIniValues(path, PlacementValues(section, placement), seen);
}

WindowPlacement ReadMainSettings(const std::string& path, Size screen, Size designed,
                                 AppSettings& settings) {
    const IniFile ini = IniFile::Load(path);
    WindowPlacement p = PlacementIn(ini, kMainSection, screen, designed, &settings.Seen);
    settings.TitleBase = p.caption;
    settings.Sayu = ReadSeenInt(ini, "Settei", "Sayu", 0, settings.Seen);
    settings.Jyoge = ReadSeenInt(ini, "Settei", "Jyoge", 0, settings.Seen);
    settings.HelpFileName = ini.Get("Help", "FileName").value_or(Cp932Of(kHelpDefault));
    NoteIniSeen(settings.Seen, "Help", "FileName", settings.HelpFileName);
    return p;
}

bool WriteMainSettings(const std::string& path, int top, int left, AppSettings& settings, bool placed) {
    WindowPlacement p;
    p.top = top;
    p.left = left;
    p.placed = placed;
    p.caption = settings.TitleBase;
    std::vector<IniValue> values = PlacementValues(kMainSection, p);
    values.push_back({"Settei", "Sayu", std::to_string(settings.Sayu)});
    values.push_back({"Settei", "Jyoge", std::to_string(settings.Jyoge)});
    values.push_back({"Help", "FileName", settings.HelpFileName});
    return WriteIniValues(path, values, &settings.Seen);
}

WindowPlacement ReadSetteiSettings(const std::string& path, Size screen, Size designed,
                                   AppSettings& settings) {
    const IniFile ini = IniFile::Load(path);
    WindowPlacement p = PlacementIn(ini, kSetteiSection, screen, designed, &settings.Seen);
    // An offset missing from the file (say, it could not be written) keeps the one in
    // memory rather than becoming 0.
    settings.Sayu = ReadSeenInt(ini, "Settei", "Sayu", settings.Sayu, settings.Seen);
    settings.Jyoge = ReadSeenInt(ini, "Settei", "Jyoge", settings.Jyoge, settings.Seen);
    return p;
}

bool WriteSetteiSettings(const std::string& path, const WindowPlacement& placement,
                         AppSettings& settings) {
    std::vector<IniValue> values = PlacementValues(kSetteiSection, placement);
    values.push_back({"Settei", "Sayu", std::to_string(settings.Sayu)});
    values.push_back({"Settei", "Jyoge", std::to_string(settings.Jyoge)});
    return WriteIniValues(path, values, &settings.Seen);
}

}  // namespace sw::model
