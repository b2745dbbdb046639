// Settings file: what is written reads back, and each value's check when read.

#include <gtest/gtest.h>

#include "core/Config.h"
#include "core/FileUtils.h"
#include "support/TestProgram.h"

namespace korvane::test {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    // Reads a settings file made of the given lines into fresh settings.
    void read(const std::string& lines) {
        s = Settings{};
        ReadCfg(program.state, program.dir.write("korvane.cfg", lines));
    }

    TestProgram program;
    Settings& s = program.state.settings;
};

// Paths, remote directories and names that are legal here come back byte for byte; those
// that must exist are made under the given name. The file is read-only, and saving over it
// again asks nothing.
TEST_F(ConfigTest, WrittenSettingsReadBackTheSame) {
    const std::string path = program.state.programDir + "korvane.cfg";
    for (const std::string value : {"web dir", "games (2024)", "~/htdocs/", "_live_", " Runde 3 ",
                                    "Турнир/Ronde à Zürich", "[web]-copy!'s #2;", "a=b\\c\\"}) {
        s.spubPathHtml = program.dir.file(value) + "/";
        std::filesystem::create_directories(s.spubPathHtml);
        s.spubPathVistrel = program.dir.write(value + "/vistrel", "");
        s.spubPathVisIni = program.dir.write(value + "/game.ini", "");
        s.spubPathIntroIni = program.dir.write(value + "/overview.ini", "");
        s.spubPathpgn = s.spubFTPURL = s.spubFTPUser = s.spubRemoteHtmDir = s.spubRemotePort =
            value;
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
        EXPECT_TRUE(IsReadOnly(path));
        const std::string text = readFile(path);
        EXPECT_EQ(text.rfind("%\r\nspubPathVistrel=", 0), 0u);
        EXPECT_NE(text.find("\r\nspubremoteport=" + value + "\r\n"), std::string::npos);
        s = Settings{};
        ReadCfg(program.state, path);
        EXPECT_EQ(s, written) << value;
    }
    EXPECT_EQ(program.ui.settingsDialogs, 0);
    EXPECT_TRUE(program.ui.boxes.empty());
}

// No number or zero takes the default (no delay for the delay), a leading number counts and
// halves round to even; a delay above the range keeps the longest delay.
TEST_F(ConfigTest, NumbersAreReadByTheirRules) {
    struct Row {
        std::string value;
        long scan, timeOut, delay;
    };
    for (const Row& row : std::vector<Row>{{"0", 10, 60, 0},
                                           {"x1", 10, 60, 0},
                                           {"12a", 12, 12, 12},
                                           {"22.5", 22, 22, 22},
                                           {" 21.5 ", 22, 22, 22},
                                           {"500", 500, 500, kMaxDelayMinutes}}) {
        read("%\r\nlpubScanTime=" + row.value + "\r\nlpubTimeOut=" + row.value +
             "\r\nLPUBDELAY=" + row.value + "\r\n");
        EXPECT_EQ(std::tie(s.lpubScanTime, s.lpubTimeOut, s.lpubDelay),
                  std::tie(row.scan, row.timeOut, row.delay))
            << row.value;
    }
    EXPECT_EQ(DelayMinutes("-5"), 0) << "typed in the dialog, a minus sign is no delay";
}

// A file edited on another system keeps its settings, whatever its line ends; blanks around
// words, a byte-order mark and lines without "=" are no part of the settings.
TEST_F(ConfigTest, HandEditedFilesAreRead) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        read("%" + eol + "lpubScanTime=25" + eol + "bPgnUpload=True" + eol +
             "spubPathpgn=/home/op/games/" + eol + "lpubTimeOut=45");
        EXPECT_EQ(std::tie(s.lpubScanTime, s.bPgnUpload, s.spubPathpgn),
                  std::tuple(25, true, "/home/op/games/"));
        EXPECT_EQ(s.lpubTimeOut, 0) << "a last line without a line end may be cut off";
    }
    read(
        "\xEF\xBB\xBFspubPathpgn=/srv/pgn\r\nbPgnUpload= True \r\n; a note\r\nlpubScanTime= 12 "
        "\r\n");
    EXPECT_EQ(std::tie(s.spubPathpgn, s.bPgnUpload, s.lpubScanTime),
              std::tuple("/srv/pgn", true, 12));
}

// A path that must exist and does not opens the settings dialog (and a missing HTML directory
// is not taken); one not needed does not.
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
        read("%\r\n" + lines + "\r\n");
        EXPECT_EQ(program.ui.settingsDialogs - before, dialog ? 1 : 0) << lines;
        EXPECT_EQ(s.spubPathHtml, "");
    }
    // The HTML directory gets one trailing separator; a short overview name is not taken.
    for (const std::string& given : {web, web + "/"}) {
        read("%\r\nspubPathHtml=" + given + "\r\nspubIntroPgn=a.p\r\n");
        EXPECT_EQ(std::tie(s.spubPathHtml, s.spubIntroPgn), std::tuple(web + "/", "allgames.pgn"));
    }
}

// New settings publish on change; a file written before the setting existed keeps polling.
// Logon values are only read and written with bSaveLogon.
TEST_F(ConfigTest, PublishOnChangeAndLogonValues) {
    EXPECT_NE(SettingsText(Settings{}).find("\r\nbPublishOnChange=True\r\n"), std::string::npos);
    read("%\r\nbPublishOnChange=True\r\n");
    EXPECT_TRUE(s.bPublishOnChange);
    read("%\r\nlpubScanTime=10\r\n");
    EXPECT_FALSE(s.bPublishOnChange);

    read("%\r\nbSaveLogon=False\r\nspubFTPURL=ftp.example.org\r\nspubremoteport=21\r\n");
    EXPECT_EQ(s.spubFTPURL + s.spubRemotePort, "");
    EXPECT_EQ(SettingsText(s).find("spubFTPURL"), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
