// Each window's section of the settings file: defaults, order and what is kept.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "model/Cp932.h"
#include "model/IniFile.h"
#include "model/Settings.h"
#include "support/TempDir.h"

namespace sw::model {
namespace {

using sw::test::ReadFileBytes;
using sw::test::TempDir;

std::string Cp932(const char* utf8) { return EncodeCp932(QString::fromUtf8(utf8)).bytes; }

TEST(Settings, WithoutAFileEveryWindowIsCentredWithItsDefaultTitle) {
    TempDir dir;
    AppSettings s;
    s.ProgramDir = WithTrailingSlash(dir.path());
    WindowPlacement main = ReadMainSettings(s.SettingsPath(), {1920, 1080}, {756, 476}, s);
    EXPECT_EQ(main.top, 302);
    EXPECT_EQ(main.left, 582);
    EXPECT_EQ(s.TitleBase, Cp932("Stripwise２"));
    EXPECT_EQ(s.Sayu, 0);
    EXPECT_EQ(s.Jyoge, 0);
    EXPECT_EQ(s.HelpFileName, Cp932("Stripwise2ヘルプガイド.pdf"));

    WindowPlacement preview = ReadWindowPlacement(s.SettingsPath(), kPreviewSection,
                                                  {1024, 768}, {783, 637});
    EXPECT_EQ(preview.height, 600);
    EXPECT_EQ(preview.width, 774);
    EXPECT_EQ(preview.left, 120);  // (1024 - 783) div 2, from the designed size
    EXPECT_EQ(preview.caption, Cp932("印刷プレビュー"));
    // A window larger than the screen is centred at a negative position.
    EXPECT_EQ(ReadWindowPlacement(s.SettingsPath(), kNaisenSection, {600, 500}, {659, 551}).left, -29);
    EXPECT_FALSE(sw::test::FileExists(s.SettingsPath()));  // reading creates nothing
}

TEST(Settings, TheFirstMainWriteCreatesMainSetteiAndHelpInOrder) {
    TempDir dir;
    AppSettings s;
    s.ProgramDir = dir.path() + "/";
    s.TitleBase = Cp932("Stripwise２");
    s.Sayu = 15;
    s.Jyoge = -20;
    s.HelpFileName = Cp932("Stripwise2ヘルプガイド.pdf");
    ASSERT_TRUE(WriteMainSettings(s.SettingsPath(), 3000, -40, s));
    EXPECT_EQ(ReadFileBytes(s.SettingsPath()),
              "[Main]\r\nTop=3000\r\nLeft=-40\r\nCaption=" + s.TitleBase +
                  "\r\n\r\n[Settei]\r\nSayu=15\r\nJyoge=-20\r\n\r\n[Help]\r\nFileName=" +
                  s.HelpFileName + "\r\n");

    // Read back as saved, off-screen included.
    AppSettings again;
    WindowPlacement p = ReadMainSettings(s.SettingsPath(), {800, 600}, {756, 476}, again);
    EXPECT_EQ(p.top, 3000);
    EXPECT_EQ(p.left, -40);
    EXPECT_EQ(again.Sayu, 15);
    EXPECT_EQ(again.Jyoge, -20);
}

TEST(Settings, AnEditedCaptionBecomesTheTitleBaseAndAnEmptyOneStaysEmpty) {
    TempDir dir;
    std::string path = dir.File("Stripwise2.ini");
    sw::test::WriteFileBytes(path, "[Main]\r\nCaption=" + Cp932("本社用") + "\r\n[Ichiran]\r\nCaption=\r\n");
    AppSettings s;
    ReadMainSettings(path, {800, 600}, {756, 476}, s);
    EXPECT_EQ(s.TitleBase, Cp932("本社用"));
    EXPECT_EQ(ReadWindowPlacement(path, kIchiranSection, {800, 600}, {740, 472}).caption, "");
}

TEST(Settings, TheFineAdjustmentDialogReadsAndWritesTheSharedSection) {
    TempDir dir;
    std::string path = dir.File("Stripwise2.ini");
    AppSettings s;
    s.Sayu = 7;
    WindowPlacement p;
    p.top = 10;
    p.left = 20;
    p.caption = Cp932("印刷設定");
    ASSERT_TRUE(WriteSetteiSettings(path, p, s));
    EXPECT_EQ(ReadFileBytes(path), "[Settei]\r\nTop=10\r\nLeft=20\r\nCaption=" + p.caption +
                                       "\r\nSayu=7\r\nJyoge=0\r\n");
    AppSettings read;
    read.Sayu = 99;
    ReadSetteiSettings(path, {800, 600}, {300, 200}, read);
    EXPECT_EQ(read.Sayu, 7);
}

TEST(Settings, APlaceTheProgramDidNotChooseLeavesTheStoredPlaceAlone) {
    // A Wayland session knows no window places: what an X11 session stored stays.
    TempDir dir;
    const std::string path = dir.File("Stripwise2.ini");
    sw::test::WriteFileBytes(path, "[Main]\r\nTop=120\r\nLeft=80\r\n");
    AppSettings s;
    s.Sayu = 3;
    ASSERT_TRUE(WriteMainSettings(path, -30, -3, s, false));
    WindowPlacement preview{-30, -3, 700, 900, {}, false};
    ASSERT_TRUE(WriteWindowPlacement(path, kPreviewSection, preview));
    EXPECT_EQ(ReadFileBytes(path), "[Main]\r\nTop=120\r\nLeft=80\r\nCaption=\r\n\r\n[Settei]\r\nSayu=3\r\n"
                                   "Jyoge=0\r\n\r\n[Help]\r\nFileName=\r\n\r\n[Preview]\r\nHeight=700\r\n"
                                   "Width=900\r\nCaption=\r\n");
}

TEST(Settings, AWriteThatFailsStopsAndReportsFailure) {
    TempDir dir;
    AppSettings s;
    s.ProgramDir = dir.path() + "/missing-folder/";
    EXPECT_FALSE(WriteMainSettings(s.SettingsPath(), 1, 2, s));
    EXPECT_EQ(sw::test::ListFolder(dir.path()), "");
}

TEST(SettingsFolder, APortableFolderKeepsItsFileElseTheUsersConfigurationFolder) {
    TempDir start;
    TempDir home;
    // No settings file where the program starts: the configuration folder, by XDG rules.
    EXPECT_EQ(SettingsFolderFor(start.path(), "/xdg/config", home.path()), "/xdg/config/stripwise2/");
    EXPECT_EQ(SettingsFolderFor(start.path(), "", home.path()), home.path() + "/.config/stripwise2/");
    EXPECT_EQ(SettingsFolderFor(start.path(), "relative/config", home.path()),
              home.path() + "/.config/stripwise2/");
    EXPECT_EQ(SettingsFolderFor(start.path(), "", ""), start.path() + "/");
    // A settings file in the start folder makes it a portable copy.
    sw::test::WriteFileBytes(start.File("Stripwise2.ini"), "[Main]\r\n");
    EXPECT_EQ(SettingsFolderFor(start.path(), "/xdg/config", home.path()), start.path() + "/");
}

TEST(SettingsFolder, TheFirstWriteMakesThePrivateFolderAndAFailureIsToldOnce) {
    TempDir home;
    AppSettings s;
    s.ProgramDir = SettingsFolderFor(home.path(), home.path() + "/config", home.path());
    s.MakeFolderOnWrite = true;
    EXPECT_EQ(ReadIniInt(s.SettingsPath(), "Main", "Left", 0), 0);
    ASSERT_FALSE(sw::test::FileExists(home.path() + "/config"));  // reading makes nothing
    EXPECT_TRUE(WriteMainSettings(s.WritePath(), 1, 2, s));
    EXPECT_EQ(ReadIniInt(s.SettingsPath(), "Main", "Left", 0), 2);
    struct stat st {};
    ASSERT_EQ(::stat((home.path() + "/config/stripwise2").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    std::vector<std::string> told;
    s.WriteFailed = [&told](const std::string& path) { told.push_back(path); };
    NoteSettingsWrite(s, true);
    EXPECT_TRUE(told.empty());
    NoteSettingsWrite(s, false);
    NoteSettingsWrite(s, false);
    EXPECT_EQ(told, std::vector<std::string>{s.SettingsPath()});
}

TEST(RecentFiles, TheLastFiveNewestFirstWithoutRepeatsKeptInTheirSection) {
    TempDir dir;
    const std::string ini = dir.File("Stripwise2.ini");
    std::vector<Bytes> files;
    for (const char* f : {"/a.stw", "/b.stw", "/c.stw", "/d.stw", "/e.stw", "/f.stw", "/c.stw"})
        files = WithRecentFile(files, f);
    EXPECT_EQ(files, (std::vector<Bytes>{"/c.stw", "/f.stw", "/e.stw", "/d.stw", "/b.stw"}));
    sw::test::WriteFileBytes(ini, "[Main]\r\nTop=5\r\n");
    ASSERT_TRUE(WriteRecentFiles(ini, files));
    EXPECT_EQ(ReadRecentFiles(ini), files);
    EXPECT_EQ(ReadFileBytes(ini),
              "[Main]\r\nTop=5\r\n\r\n[Recent]\r\nFile1=/c.stw\r\nFile2=/f.stw\r\nFile3=/e.stw\r\n"
              "File4=/d.stw\r\nFile5=/b.stw\r\n");
    // A Shift-JIS path comes back as its bytes; a list edited by hand loses empty lines and repeats.
    const Bytes japanese = Cp932("/home/u/本社.stw");
    sw::test::WriteFileBytes(ini, "[recent]\r\nfile1=" + japanese + "\r\nFile2=\r\nFile3=" + japanese + "\r\n");
    EXPECT_EQ(ReadRecentFiles(ini), std::vector<Bytes>{japanese});
}

}  // namespace
}  // namespace sw::model
