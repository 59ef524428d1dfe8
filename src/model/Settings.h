// The settings kept in memory, and each window's section of the settings file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/IniFile.h"
#include "model/LabelSet.h"

namespace sw::model {

extern const char* const kSettingsFileName;  // "Stripwise2.ini"

struct AppSettings {
    std::string ProgramDir;  // working directory at start, with a trailing "/"
    Bytes TitleBase;         // [Main] Caption, CP932
    int Sayu = 0;            // horizontal print offset, tenths of a millimetre, + = right
    int Jyoge = 0;           // vertical print offset, tenths of a millimetre, + = up
    Bytes HelpFileName;      // [Help] FileName, CP932

    // Told about the first settings write of the run that fails, with the file's path;
    // later failures are not told again.
    std::function<void(const std::string&)> WriteFailed;
    bool WriteFailureTold = false;
    // The settings folder is the user's configuration folder, made at the first write.
    bool MakeFolderOnWrite = false;
    // What this program read from the settings file and wrote to it: a window writes only
    // what changed since, so that another window's (or program's) newer values stay.
    IniSeen Seen;

    std::string SettingsPath() const { return ProgramDir + kSettingsFileName; }
    // The path for a write: when the folder is to be made and is not there yet, it is
    // made now, with its parents, private to the user.
    std::string WritePath() const;
};

// Appends "/" unless the folder already ends in one.
std::string WithTrailingSlash(const std::string& folder);

// The folder of the settings file (with a trailing "/"): the start folder when it already
// holds a Stripwise2.ini (a portable copy, or the run/ folder of scripts/run); otherwise
// `configHome`/stripwise2/, where `configHome` is $XDG_CONFIG_HOME when that is an absolute
// path and $HOME/.config else. With neither, the start folder.
std::string SettingsFolderFor(const std::string& startFolder, const std::string& xdgConfigHome,
                              const std::string& home);
// The same for this process: its working folder and environment.
std::string SettingsFolder();

// Every window's settings write reports here whether it was written, so that the user
// hears once per run that the settings cannot be kept.
void NoteSettingsWrite(AppSettings& settings, bool written);

// The label sets opened or saved last, newest first, as CP932 paths: [Recent] File1..File5.
constexpr int kRecentFileCount = 5;
std::vector<Bytes> ReadRecentFiles(const std::string& path);
bool WriteRecentFiles(const std::string& path, const std::vector<Bytes>& files);
// `file` put in front of the list as the file holds it now, in one locked update: what other
// windows added meanwhile stays in the list, behind it.
bool AddRecentFile(const std::string& path, const Bytes& file);
// `file` moved (or added) to the front; the list keeps kRecentFileCount files at most.
std::vector<Bytes> WithRecentFile(std::vector<Bytes> files, const Bytes& file);

struct Size {
    int width = 0;
    int height = 0;
};

// What each window keeps in its section.
struct WindowSection {
    const char* name;        // section name
    const char* caption;     // default title, UTF-8
    bool hasSize;            // the preview window keeps its size too
};

extern const WindowSection kMainSection;     // Main
extern const WindowSection kSetteiSection;   // Settei
extern const WindowSection kPreviewSection;  // Preview
extern const WindowSection kNaisenSection;   // Naisen
extern const WindowSection kIchiranSection;  // Ichiran
extern const WindowSection kVersionSection;  // Version

constexpr int kPreviewDefaultHeight = 600;
constexpr int kPreviewDefaultWidth = 774;

struct WindowPlacement {
    int top = 0;
    int left = 0;
    int height = 0;  // preview window only
    int width = 0;   // preview window only
    Bytes caption;   // CP932
    // False where windows cannot be placed by the program (Wayland): its Top and Left mean
    // nothing there and are not written, so the place kept from an X11 session stays.
    bool placed = true;
};

// (screen - window) div 2, rounding toward zero.
int Centred(int screenLength, int windowLength);

// Top, Left (centred by default), for the preview Height and Width, then Caption.
// `designed` is the window's size before any size from the file is applied. With `seen`
// (the program's AppSettings::Seen), the values read are noted there.
WindowPlacement ReadWindowPlacement(const std::string& path, const WindowSection& section,
                                    Size screen, Size designed, IniSeen* seen = nullptr);

// Top and Left (unless the placement is not `placed`), for the preview Height and Width,
// then Caption, in one update of the file; with `seen`, only what changed since it was read
// (see WriteIniValues). False when the file could not be written, and nothing is; callers
// swallow the failure.
bool WriteWindowPlacement(const std::string& path, const WindowSection& section,
                          const WindowPlacement& placement, IniSeen* seen = nullptr);

// The main window: its placement, then Sayu, Jyoge and the help file name into settings
// (TitleBase takes the caption). Noted in settings.Seen.
WindowPlacement ReadMainSettings(const std::string& path, Size screen, Size designed,
                                 AppSettings& settings);
// Top, Left (unless not `placed`), Caption (= TitleBase), Sayu, Jyoge, FileName: those
// changed since read.
bool WriteMainSettings(const std::string& path, int top, int left, AppSettings& settings,
                       bool placed = true);

// The fine-adjustment dialog: its placement, then Sayu and Jyoge into settings (an offset
// the file lacks keeps the one in memory). Noted in settings.Seen.
WindowPlacement ReadSetteiSettings(const std::string& path, Size screen, Size designed,
                                   AppSettings& settings);
// Top, Left, Caption, Sayu, Jyoge: those changed since read.
bool WriteSetteiSettings(const std::string& path, const WindowPlacement& placement,
                         AppSettings& settings);

}  // namespace sw::model
