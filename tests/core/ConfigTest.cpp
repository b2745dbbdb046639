// Settings file: what is written reads back, and each value's check when read.

#include <gtest/gtest.h>

#include "core/Config.h"
#include "core/FileUtils.h"
#include "support/TestProgram.h"

namespace korvane::test {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    // Reads a settings file made of the given lines (each ended by CR LF).
    void readLines(const std::string& lines) {
        ReadCfg(program.state, program.dir.write("korvane.cfg", lines));
    }
    Settings& settings() { return program.state.settings; }

    TestProgram program;
};

TEST_F(ConfigTest, WrittenSettingsReadBackTheSame) {
    Settings& s = settings();
    s.spubPathVistrel = program.dir.write("bin/vistrel", "#!/bin/sh\n");
    s.spubPathVisIni = program.dir.write("bin/game.ini", "");
    s.spubPathHtml = program.dir.path() + "/web dir/";
    std::filesystem::create_directories(s.spubPathHtml);
    s.spubPathpgn = "/home/op/games/";
    s.spubIntroPgn = "round5.pgn";
    s.lpubScanTime = 25;
    s.lpubTimeOut = 45;
    s.lpubDelay = 15;
    s.bDisConnect = true;
    s.bPgnUpload = true;
    s.bIntroPage = true;
    s.bpubRenameFiles = true;
    s.spubPathIntroIni = program.dir.write("bin/overview.ini", "");
    s.bSaveLogon = true;
    s.spubFTPURL = "ftps://example.org";
    s.spubFTPUser = "operator";
    s.spubRemoteHtmDir = "/live/";
    s.spubRemotePgnDir = "/pgn";
    s.spubRemotePort = "2121";
    const Settings written = s;

    SaveCfg(program.state);
    EXPECT_FALSE(program.state.bError);
    EXPECT_TRUE(IsReadOnly(program.state.programDir + "korvane.cfg"));
    const std::string text = readFile(program.state.programDir + "korvane.cfg");
    EXPECT_NE(text.find("\r\nspubremoteport=2121\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(0, 3), "%\r\n");

    settings() = Settings{};
    ReadCfg(program.state, program.state.programDir + "korvane.cfg");
    EXPECT_EQ(settings(), written);
    EXPECT_EQ(program.ui.settingsDialogs, 0);

    // Saving again over the read-only file needs no question and keeps it read-only.
    SaveCfg(program.state);
    EXPECT_FALSE(program.state.bError);
    EXPECT_TRUE(program.ui.boxes.empty());
}

struct NumberCase {
    const char* name;
    const char* lines;
    long scanTime;
    long timeOut;
    friend std::ostream& operator<<(std::ostream& out, const NumberCase& c) {
        return out << c.name;
    }
};

class ConfigNumbers : public ConfigTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(ConfigNumbers, ScanTimeAndTimeOut) {
    readLines(GetParam().lines);
    EXPECT_EQ(settings().lpubScanTime, GetParam().scanTime);
    EXPECT_EQ(settings().lpubTimeOut, GetParam().timeOut);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConfigNumbers,
    ::testing::Values(NumberCase{"ZeroAndEmpty", "%\r\nlpubScanTime=0\r\nlpubTimeOut=\r\n", 10, 60},
                      NumberCase{"Letters", "%\r\nlpubScanTime=abc\r\nlpubTimeOut=x1\r\n", 10, 60},
                      NumberCase{"MissingLinesStayZero", "%\r\nbPgnUpload=True\r\n", 0, 0},
                      NumberCase{"LeadingNumberRoundedHalfToEven",
                                 "%\r\nlpubScanTime=12a\r\nlpubTimeOut=22.5\r\n", 12, 22},
                      NumberCase{"HalfRoundsUpToEven",
                                 "%\r\nlpubScanTime=21.5\r\nlpubTimeOut= 90 \r\n", 22, 90},
                      NumberCase{"LastLineWithoutLineEndIgnored",
                                 "%\r\nlpubScanTime=30\r\nlpubTimeOut=20", 30, 0}),
    [](const auto& c) { return std::string(c.param.name); });

// The broadcast delay: a file without the key (written before it existed) publishes live;
// a value above the range keeps the longest delay rather than going live.
TEST_F(ConfigTest, DelayIsReadWithinItsRange) {
    for (const auto& [line, minutes] :
         std::vector<std::pair<std::string, long>>{{"bPgnUpload=True", 0},
                                                   {"lpubDelay=15", 15},
                                                   {"LPUBDELAY= 7.5 ", 8},
                                                   {"lpubDelay=abc", 0},
                                                   {"lpubDelay=500", kMaxDelayMinutes}}) {
        settings() = Settings{};
        readLines("%\r\n" + line + "\r\n");
        EXPECT_EQ(settings().lpubDelay, minutes) << line;
    }
    EXPECT_EQ(DelayMinutes("-5"), 0) << "typed in the dialog, a minus sign is no delay";
    EXPECT_EQ(DelayMinutes("121"), kMaxDelayMinutes);
}

class ConfigLineEnds : public ConfigTest, public ::testing::WithParamInterface<const char*> {};

// A file edited on another system keeps its settings, whatever its line ends.
TEST_P(ConfigLineEnds, EveryLineIsRead) {
    const std::string eol = GetParam();
    readLines("%" + eol + "lpubScanTime=25" + eol + "bPgnUpload=True" + eol +
              "spubPathpgn=/home/op/games/" + eol + "lpubTimeOut=45");
    EXPECT_EQ(settings().lpubScanTime, 25);
    EXPECT_TRUE(settings().bPgnUpload);
    EXPECT_EQ(settings().spubPathpgn, "/home/op/games/");
    EXPECT_EQ(settings().lpubTimeOut, 0) << "a last line without a line end may be cut off";
}

INSTANTIATE_TEST_SUITE_P(Styles, ConfigLineEnds, ::testing::Values("\r\n", "\n", "\r"),
                         [](const auto& c) {
                             return std::string(c.param) == "\r\n" ? "CrLf"
                                    : std::string(c.param) == "\n" ? "Lf"
                                                                   : "Cr";
                         });

struct RoundTripCase {
    const char* name;
    const char* value;
    friend std::ostream& operator<<(std::ostream& out, const RoundTripCase& c) {
        return out << c.name;
    }
};

class ConfigRoundTrip : public ConfigTest, public ::testing::WithParamInterface<RoundTripCase> {};

// Paths, remote directories and names that are legal here come back byte for byte, those
// that must exist too (the directory and file are made under the given name).
TEST_P(ConfigRoundTrip, ValueReadsBackByteForByte) {
    const std::string value = GetParam().value;
    Settings& s = settings();
    const std::string dir = program.dir.path() + "/" + value;
    std::filesystem::create_directories(dir);
    s.spubPathHtml = dir + "/";
    s.spubPathVistrel = program.dir.write(value + "/vistrel", "");
    s.spubPathVisIni = program.dir.write(value + "/game.ini", "");
    s.spubPathpgn = value;
    s.spubIntroPgn = value + ".pgn";
    s.lpubScanTime = 10;
    s.lpubTimeOut = 60;
    s.bSaveLogon = true;
    s.spubFTPURL = value;
    s.spubFTPUser = value;
    s.spubRemoteHtmDir = value;
    s.spubRemotePgnDir = "/" + value + "/";
    s.spubRemotePort = value;
    const Settings written = s;

    SaveCfg(program.state);
    settings() = Settings{};
    ReadCfg(program.state, program.state.programDir + "korvane.cfg");
    EXPECT_EQ(settings(), written);
    EXPECT_EQ(program.ui.settingsDialogs, 0);
}

INSTANTIATE_TEST_SUITE_P(
    RealPaths, ConfigRoundTrip,
    ::testing::Values(RoundTripCase{"Parentheses", "games (2024)"},
                      RoundTripCase{"Tilde", "~/htdocs/"}, RoundTripCase{"Underscores", "_live_"},
                      RoundTripCase{"Blanks", " Runde 3 "},
                      RoundTripCase{"NonAsciiLetters", "Турнир/Ronde à Zürich"},
                      RoundTripCase{"Punctuation", "[web]-copy!'s #2;"},
                      RoundTripCase{"EqualsAndBackslash", "a=b\\c\\"}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(ConfigTest, BlanksAroundWordsAndAByteOrderMarkAreNoPartOfTheSettings) {
    readLines("\xEF\xBB\xBFspubPathpgn=/srv/pgn\r\nbPgnUpload= True \r\nlpubScanTime= 12 \r\n");
    EXPECT_EQ(settings().spubPathpgn, "/srv/pgn");
    EXPECT_TRUE(settings().bPgnUpload);
    EXPECT_EQ(settings().lpubScanTime, 12);
}

// Many lines without "=" before the settings: every setting after them is still read.
TEST_F(ConfigTest, LongRunOfLinesWithoutEqualsSign) {
    std::string lines = "%\r\n";
    for (int i = 0; i < 50000; ++i) {
        lines += "; a note\r\n";
    }
    readLines(lines + "lpubScanTime=7\r\n");
    EXPECT_EQ(settings().lpubScanTime, 7);
}

TEST_F(ConfigTest, HtmlDirectoryGetsOneTrailingSeparatorWhenItExists) {
    const std::string web = program.dir.path() + "/web";
    std::filesystem::create_directories(web);
    readLines("%\r\nspubPathHtml=" + web + "\r\n");
    EXPECT_EQ(settings().spubPathHtml, web + "/");
    readLines("%\r\nspubPathHtml=" + web + "/\r\n");
    EXPECT_EQ(settings().spubPathHtml, web + "/");
    EXPECT_EQ(program.ui.settingsDialogs, 0);

    settings().spubPathHtml.clear();
    readLines("%\r\nspubPathHtml=" + web + "/missing\r\n");
    EXPECT_EQ(settings().spubPathHtml, "");
    EXPECT_EQ(program.ui.settingsDialogs, 1);
}

TEST_F(ConfigTest, ConverterPathOnlyChecksWhenGiven) {
    readLines("%\r\nlpubScanTime=5\r\n");
    EXPECT_EQ(program.ui.settingsDialogs, 0);
    readLines("%\r\nspubPathVistrel=/nowhere/vistrel\r\n");
    EXPECT_EQ(program.ui.settingsDialogs, 1);
    // A converter without an extension is fine: only its existence counts.
    readLines("%\r\nspubPathVistrel=" + program.dir.write("vistrel", "") + "\r\n");
    EXPECT_EQ(program.ui.settingsDialogs, 1);
}

TEST_F(ConfigTest, OverviewIniCheckedOnlyWhenOverviewIsOn) {
    readLines("%\r\nbIntroPage=False\r\nspubPathIntroIni=/nowhere/o.ini\r\n");
    EXPECT_EQ(program.ui.settingsDialogs, 0);
    readLines("%\r\nbIntroPage=TRUE\r\nspubPathIntroIni=/nowhere/o.ini\r\n");
    EXPECT_TRUE(settings().bIntroPage);
    EXPECT_EQ(program.ui.settingsDialogs, 1);
}

TEST_F(ConfigTest, ShortOverviewNameBecomesTheDefault) {
    readLines("%\r\nspubIntroPgn=a.p\r\n");
    EXPECT_EQ(settings().spubIntroPgn, "allgames.pgn");
}

// New settings publish on change; a file written before the setting existed keeps polling.
TEST_F(ConfigTest, PublishOnChangeIsOnForNewSettingsAndOffWhenTheFileLacksIt) {
    EXPECT_NE(SettingsText(Settings{}).find("\r\nbPublishOnChange=True\r\n"), std::string::npos);
    readLines("%\r\nlpubScanTime=10\r\n");
    EXPECT_FALSE(settings().bPublishOnChange);
    readLines("%\r\nbPublishOnChange=True\r\n");
    EXPECT_TRUE(settings().bPublishOnChange);
    settings().bPublishOnChange = false;
    readLines(SettingsText(settings()));
    EXPECT_FALSE(settings().bPublishOnChange);
}

TEST_F(ConfigTest, LogonValuesOnlyWithSaveLogon) {
    const std::string logon =
        "spubFTPURL=ftp.example.org\r\nspubFTPUser=op\r\nspubRemoteHtmDir=/live/\r\n"
        "spubRemotePgnDir=/pgn/\r\nspubremoteport=21\r\n";
    readLines("%\r\nbSaveLogon=False\r\n" + logon);
    EXPECT_EQ(settings().spubFTPURL, "");
    EXPECT_EQ(settings().spubRemotePort, "");

    readLines("%\r\nbSaveLogon=true\r\n" + logon);
    EXPECT_EQ(settings().spubFTPURL, "ftp.example.org");
    EXPECT_EQ(settings().spubRemoteHtmDir, "/live/");
    EXPECT_EQ(settings().spubRemotePort, "21");

    settings().bSaveLogon = false;
    EXPECT_EQ(SettingsText(settings()).find("spubFTPURL"), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
