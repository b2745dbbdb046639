// Settings file: what is written reads back, and each value's check when read.

#include <gtest/gtest.h>

#include "core/Config.h"
#include "core/FileUtils.h"
#include "support/TestProgram.h"

namespace korvane::test {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    // Reads a settings file made of the given lines.
    void readLines(const std::string& lines) {
        ReadCfg(program.state, program.dir.write("korvane.cfg", lines));
    }
    Settings& settings() { return program.state.settings; }

    TestProgram program;
};

// Paths, remote directories and names that are legal here come back byte for byte; those
// that must exist are made under the given name. The file is read-only, and saving over it
// again asks nothing.
TEST_F(ConfigTest, WrittenSettingsReadBackTheSame) {
    std::string value;
    for (const char* v : {"web dir", "games (2024)", "~/htdocs/", "_live_", " Runde 3 ",
                          "Турнир/Ronde à Zürich", "[web]-copy!'s #2;", "a=b\\c\\"}) {
        value = v;
        Settings& s = settings();
        s.spubPathHtml = program.dir.file(value) + "/";
        std::filesystem::create_directories(s.spubPathHtml);
        s.spubPathVistrel = program.dir.write(value + "/vistrel", "");
        s.spubPathVisIni = program.dir.write(value + "/game.ini", "");
        s.spubPathIntroIni = program.dir.write(value + "/overview.ini", "");
        s.spubPathpgn = s.spubFTPURL = s.spubFTPUser = s.spubRemoteHtmDir = value;
        s.spubRemotePort = value;
        s.spubIntroPgn = value + ".pgn";
        s.spubRemotePgnDir = "/" + value + "/";
        s.lpubScanTime = 25;
        s.lpubTimeOut = 45;
        s.lpubDelay = 15;
        s.bDisConnect = s.bPgnUpload = s.bIntroPage = s.bpubRenameFiles = s.bSaveLogon = true;
        s.bPublishOnChange = false;
        const Settings written = s;

        SaveCfg(program.state);
        EXPECT_FALSE(program.state.bError) << value;
        settings() = Settings{};
        ReadCfg(program.state, program.state.programDir + "korvane.cfg");
        EXPECT_EQ(settings(), written) << value;
    }
    EXPECT_EQ(program.ui.settingsDialogs, 0);
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_TRUE(IsReadOnly(program.state.programDir + "korvane.cfg"));
    const std::string text = readFile(program.state.programDir + "korvane.cfg");
    EXPECT_EQ(text.substr(0, 3), "%\r\n");
    EXPECT_NE(text.find("\r\nspubremoteport=" + value + "\r\n"), std::string::npos);
}

// No number or zero takes the default, a leading number counts and halves round to even. A
// file without the delay publishes live; a delay above the range keeps the longest delay.
TEST_F(ConfigTest, NumbersAreReadByTheirRules) {
    struct Row {
        const char* line;
        long Settings::*field;
        long expected;
    };
    const auto scan = &Settings::lpubScanTime;
    const auto timeOut = &Settings::lpubTimeOut;
    const auto delay = &Settings::lpubDelay;
    for (const Row& row : std::initializer_list<Row>{{"lpubScanTime=0", scan, 10},
                                                     {"lpubTimeOut=x1", timeOut, 60},
                                                     {"bPgnUpload=True", delay, 0},
                                                     {"lpubScanTime=12a", scan, 12},
                                                     {"lpubTimeOut=22.5", timeOut, 22},
                                                     {"lpubScanTime=21.5", scan, 22},
                                                     {"lpubTimeOut= 90 ", timeOut, 90},
                                                     {"LPUBDELAY= 7.5 ", delay, 8},
                                                     {"lpubDelay=abc", delay, 0},
                                                     {"lpubDelay=500", delay, kMaxDelayMinutes}}) {
        settings() = Settings{};
        readLines(std::string("%\r\n") + row.line + "\r\n");
        EXPECT_EQ(settings().*row.field, row.expected) << row.line;
    }
    EXPECT_EQ(DelayMinutes("-5"), 0) << "typed in the dialog, a minus sign is no delay";
}

// A file edited on another system keeps its settings, whatever its line ends; blanks around
// words, a byte-order mark and lines without "=" are no part of the settings.
TEST_F(ConfigTest, HandEditedFilesAreRead) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        settings() = Settings{};
        readLines("%" + eol + "lpubScanTime=25" + eol + "bPgnUpload=True" + eol +
                  "spubPathpgn=/home/op/games/" + eol + "lpubTimeOut=45");
        EXPECT_EQ(settings().lpubScanTime, 25);
        EXPECT_TRUE(settings().bPgnUpload);
        EXPECT_EQ(settings().spubPathpgn, "/home/op/games/");
        EXPECT_EQ(settings().lpubTimeOut, 0) << "a last line without a line end may be cut off";
    }
    settings() = Settings{};
    readLines(
        "\xEF\xBB\xBFspubPathpgn=/srv/pgn\r\nbPgnUpload= True \r\n; a note\r\n"
        "lpubScanTime= 12 \r\n");
    EXPECT_EQ(settings().spubPathpgn, "/srv/pgn");
    EXPECT_TRUE(settings().bPgnUpload);
    EXPECT_EQ(settings().lpubScanTime, 12);
}

// A path that must exist and does not opens the settings dialog; one not needed does not.
TEST_F(ConfigTest, MissingPathsOpenTheSettingsDialog) {
    const std::string web = program.dir.path() + "/web";
    std::filesystem::create_directories(web);
    const std::string converter = program.dir.write("vistrel", "");  // no extension needed
    for (const auto& [lines, dialog] : std::vector<std::pair<std::string, bool>>{
             {"lpubScanTime=5", false},
             {"spubPathVistrel=/nowhere/vistrel", true},
             {"spubPathVistrel=" + converter, false},
             {"spubPathHtml=" + web + "/missing", true},
             {"bIntroPage=False\r\nspubPathIntroIni=/nowhere/o.ini", false},
             {"bIntroPage=TRUE\r\nspubPathIntroIni=/nowhere/o.ini", true}}) {
        const int before = program.ui.settingsDialogs;
        readLines("%\r\n" + lines + "\r\n");
        EXPECT_EQ(program.ui.settingsDialogs - before, dialog ? 1 : 0) << lines;
    }
    EXPECT_EQ(settings().spubPathHtml, "") << "a missing HTML directory is not taken";
    // The HTML directory gets one trailing separator.
    for (const std::string& given : {web, web + "/"}) {
        readLines("%\r\nspubPathHtml=" + given + "\r\nspubIntroPgn=a.p\r\n");
        EXPECT_EQ(settings().spubPathHtml, web + "/");
    }
    EXPECT_EQ(settings().spubIntroPgn, "allgames.pgn") << "a short overview name";
}

// New settings publish on change; a file written before the setting existed keeps polling.
// Logon values are only read and written with bSaveLogon.
TEST_F(ConfigTest, PublishOnChangeAndLogonValues) {
    EXPECT_NE(SettingsText(Settings{}).find("\r\nbPublishOnChange=True\r\n"), std::string::npos);
    readLines("%\r\nbPublishOnChange=True\r\n");
    EXPECT_TRUE(settings().bPublishOnChange);
    readLines("%\r\nlpubScanTime=10\r\n");
    EXPECT_FALSE(settings().bPublishOnChange);

    readLines("%\r\nbSaveLogon=False\r\nspubFTPURL=ftp.example.org\r\nspubremoteport=21\r\n");
    EXPECT_EQ(settings().spubFTPURL, "");
    EXPECT_EQ(settings().spubRemotePort, "");
    EXPECT_EQ(SettingsText(settings()).find("spubFTPURL"), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
