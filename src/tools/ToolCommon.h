// What every command of the companion tool shares: exit statuses, usage errors, loading.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "model/LabelSet.h"
#include "model/Settings.h"

class QCommandLineParser;
class QGuiApplication;

namespace sw::tools {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "stripwise2-sheet: message (see stripwise2-sheet --help)" and returns kExitUsage.
int UsageError(const std::string& message);

// Loads a label set; on failure prints FILE:LINE: message and returns false.
bool LoadForTool(const std::string& path, sw::model::LabelSet& set);

// Sayu and Jyoge from the program's own settings file: Stripwise2.ini of the current
// directory when there is one, else the one in the user's configuration folder.
void ReadFineAdjustment(sw::model::AppSettings& settings);

// Fonts need a GUI application: one lives while a command that draws or measures text
// runs, offscreen when there is no display. Qt's own chatter (a missing runtime folder, say)
// stays off the tool's output; the tool reports every failure in its own words.
class FontSession {
public:
    FontSession();
    ~FontSession();
    FontSession(const FontSession&) = delete;
    FontSession& operator=(const FontSession&) = delete;

private:
    int m_argc = 1;
    char m_name[17] = "stripwise2-sheet";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

// The parser sees each argument as Latin-1, which maps every byte to one character and back:
// a file name reaches the file system with exactly the bytes it was given, whatever they are.
QString Arg(const std::string& bytes);
std::string ArgBytes(const QString& arg);

// The usage mistake QCommandLineParser found, in the words of this tool.
std::string ParserMistake(const QCommandLineParser& parser);

}  // namespace sw::tools
