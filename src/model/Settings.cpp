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

std::vector<Bytes> ReadRecentFiles(const std::string& path) {
    IniFile ini = IniFile::Load(path);
    std::vector<Bytes> files;
    for (int n = 1; n <= kRecentFileCount; ++n) {
        auto v = ini.Get("Recent", "File" + std::to_string(n));
        if (v && !v->empty() && std::find(files.begin(), files.end(), *v) == files.end())
            files.push_back(*v);
    }
    return files;
}

bool WriteRecentFiles(const std::string& path, const std::vector<Bytes>& files) {
    // Read, set and written as one update, so that the five keys never disagree.
    IniFile ini;
    if (!IniFile::LoadForUpdate(path, ini)) return false;
    for (int n = 1; n <= kRecentFileCount; ++n) {
        const auto i = static_cast<size_t>(n - 1);
        ini.Set("Recent", "File" + std::to_string(n), i < files.size() ? files[i] : Bytes());
    }
    return WriteIniText(path, ini);
}

std::vector<Bytes> WithRecentFile(std::vector<Bytes> files, const Bytes& file) {
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
    files.insert(files.begin(), file);
    if (files.size() > static_cast<size_t>(kRecentFileCount)) files.resize(kRecentFileCount);
    return files;
}

int Centred(int screenLength, int windowLength) { return (screenLength - windowLength) / 2; }

WindowPlacement ReadWindowPlacement(const std::string& path, const WindowSection& section,
                                    Size screen, Size designed) {
    // One read of the file serves all keys of the window.
    IniFile ini = IniFile::Load(path);
    auto readInt = [&](const char* key, int def) {
        auto v = ini.Get(section.name, key);
        return v ? ParseIniInt(*v).value_or(def) : def;
    };
    WindowPlacement p;
    p.top = readInt("Top", Centred(screen.height, designed.height));
    p.left = readInt("Left", Centred(screen.width, designed.width));
    if (section.hasSize) {
        p.height = readInt("Height", kPreviewDefaultHeight);
        p.width = readInt("Width", kPreviewDefaultWidth);
    }
    p.caption = ini.Get(section.name, "Caption").value_or(Cp932Of(section.caption));
    return p;
}

bool WriteWindowPlacement(const std::string& path, const WindowSection& section,
                          const WindowPlacement& placement) {
    if (placement.placed) {
        if (!WriteIniInt(path, section.name, "Top", placement.top)) return false;
        if (!WriteIniInt(path, section.name, "Left", placement.left)) return false;
    }
    if (section.hasSize) {
        if (!WriteIniInt(path, section.name, "Height", placement.height)) return false;
        if (!WriteIniInt(path, section.name, "Width", placement.width)) return false;
    }
    return WriteIniString(path, section.name, "Caption", placement.caption);
}

WindowPlacement ReadMainSettings(const std::string& path, Size screen, Size designed,
                                 AppSettings& settings) {
    WindowPlacement p = ReadWindowPlacement(path, kMainSection, screen, designed);
    settings.TitleBase = p.caption;
    settings.Sayu = ReadIniInt(path, "Settei", "Sayu", 0);
    settings.Jyoge = ReadIniInt(path, "Settei", "Jyoge", 0);
    settings.HelpFileName = ReadIniString(path, "Help", "FileName", Cp932Of(kHelpDefault));
    return p;
}

bool WriteMainSettings(const std::string& path, int top, int left, const AppSettings& settings,
                       bool placed) {
    WindowPlacement p;
    p.top = top;
    p.left = left;
    p.placed = placed;
    p.caption = settings.TitleBase;
    return WriteWindowPlacement(path, kMainSection, p) &&
           WriteIniInt(path, "Settei", "Sayu", settings.Sayu) &&
           WriteIniInt(path, "Settei", "Jyoge", settings.Jyoge) &&
           WriteIniString(path, "Help", "FileName", settings.HelpFileName);
}

WindowPlacement ReadSetteiSettings(const std::string& path, Size screen, Size designed,
                                   AppSettings& settings) {
    WindowPlacement p = ReadWindowPlacement(path, kSetteiSection, screen, designed);
    settings.Sayu = ReadIniInt(path, "Settei", "Sayu", 0);
    settings.Jyoge = ReadIniInt(path, "Settei", "Jyoge", 0);
    return p;
}

bool WriteSetteiSettings(const std::string& path, const WindowPlacement& placement,
                         const AppSettings& settings) {
    return WriteWindowPlacement(path, kSetteiSection, placement) &&
           WriteIniInt(path, "Settei", "Sayu", settings.Sayu) &&
           WriteIniInt(path, "Settei", "Jyoge", settings.Jyoge);
}

}  // namespace sw::model
