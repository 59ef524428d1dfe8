// Sections, keys, defaults and order of the settings file, window by window.
#include "model/Settings.h"

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
    if (!WriteIniInt(path, section.name, "Top", placement.top)) return false;
    if (!WriteIniInt(path, section.name, "Left", placement.left)) return false;
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

bool WriteMainSettings(const std::string& path, int top, int left, const AppSettings& settings) {
    WindowPlacement p;
    p.top = top;
    p.left = left;
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
