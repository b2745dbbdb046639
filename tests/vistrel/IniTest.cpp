// The converter's ini files: the shipped defaults, values reaching the settings, and
// errors that name the offending line.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "vistrel/Ini.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(IniTest, ShippedDefaultsParseAndDifferInLayout) {
    vistrel::PageIni game;
    vistrel::PageIni overview;
    std::string error;
    ASSERT_TRUE(
        vistrel::parseIni(readText(KORVANE_SOURCE_DIR "/data/vistrel-game.ini"), game, error))
        << error;
    ASSERT_TRUE(vistrel::parseIni(readText(KORVANE_SOURCE_DIR "/data/vistrel-overview.ini"),
                                  overview, error))
        << error;
    EXPECT_FALSE(game.overview);
    EXPECT_TRUE(overview.overview);
    EXPECT_EQ(game.start, vistrel::StartPosition::Last);
    EXPECT_EQ(overview.boardsPerRow, 4);
}

TEST(IniTest, ValuesReachTheSettings) {
    const std::string text =
        "\xEF\xBB\xBF; comment\r\n[Page]\r\nTitle = Round {Round}; {White}\r\nrefresh=0\r\n"
        "start = First\r\nclocks = off\r\nlayout = overview\r\n"
        "[board]\nsize = 300\nlight = White\ndark = #123\ncoordinates = no\n[overview]\nper_row = "
        "6\n";
    vistrel::PageIni ini;
    std::string error;
    ASSERT_TRUE(vistrel::parseIni(text, ini, error)) << error;
    EXPECT_EQ(ini.title, "Round {Round}; {White}");
    EXPECT_EQ(ini.refreshSeconds, 0);
    EXPECT_EQ(ini.start, vistrel::StartPosition::First);
    EXPECT_FALSE(ini.clocks);
    EXPECT_TRUE(ini.overview);
    EXPECT_EQ(ini.boardSize, 300);
    EXPECT_EQ(ini.lightColour, "White");
    EXPECT_EQ(ini.darkColour, "#123");
    EXPECT_FALSE(ini.coordinates);
    EXPECT_EQ(ini.boardsPerRow, 6);
    EXPECT_EQ(ini.lastMoveColour, vistrel::PageIni().lastMoveColour);  // untouched default
}

TEST(IniTest, SingleByteTextBecomesUtf8) {
    vistrel::PageIni ini;
    std::string error;
    ASSERT_TRUE(vistrel::parseIni("[page]\r\ntitle = M\xFCnchen \x96 {Round}\r\n", ini, error));
    EXPECT_EQ(ini.title, "M\u00FCnchen \u2013 {Round}");
    // With a byte-order mark in front, in either encoding.
    ASSERT_TRUE(vistrel::parseIni("\xEF\xBB\xBF[page]\r\ntitle = M\xFCnchen\r\n", ini, error));
    EXPECT_EQ(ini.title, "M\u00FCnchen");
    ASSERT_TRUE(vistrel::parseIni("\xEF\xBB\xBF[page]\ntitle = M\u00FCnchen\n", ini, error));
    EXPECT_EQ(ini.title, "M\u00FCnchen");
    EXPECT_FALSE(vistrel::parseIni("[page]\nt\xEEtle = x\n", ini, error));
    EXPECT_EQ(error, "line 2 (t\u00EEtle = x): unknown key \"t\u00EEtle\" in [page]");
}

struct BadIni {
    const char* name;
    const char* text;
    const char* expectedError;  // the whole message
};

class IniErrorTest : public ::testing::TestWithParam<BadIni> {};

TEST_P(IniErrorTest, NamesTheLine) {
    vistrel::PageIni ini;
    ini.boardSize = 111;  // must stay untouched on error
    std::string error;
    EXPECT_FALSE(vistrel::parseIni(GetParam().text, ini, error));
    EXPECT_EQ(error, GetParam().expectedError);
    EXPECT_EQ(ini.boardSize, 111);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, IniErrorTest,
    ::testing::Values(
        BadIni{"UnknownKey", "[page]\n; x\ncolour = red\n",
               "line 3 (colour = red): unknown key \"colour\" in [page]"},
        BadIni{"UnknownSection", "[pages]\n", "line 1 ([pages]): unknown section [pages]"},
        BadIni{"KeyBeforeSection", "size = 3\n",
               "line 1 (size = 3): key \"size\" stands before any [section]"},
        BadIni{"NotKeyValue", "[board]\r\nsize\r\n", "line 2 (size): expected key = value"},
        BadIni{"NumberWithText", "[board]\nsize = 400px\n",
               "line 2 (size = 400px): bad value \"400px\" for size: expected a whole number "
               "from 120 to 2000"},
        BadIni{"NumberOutOfRange", "[overview]\nper_row = 0\n",
               "line 2 (per_row = 0): bad value \"0\" for per_row: expected a whole number "
               "from 1 to 12"},
        BadIni{"NegativeRefresh", "[page]\nrefresh = -5\n",
               "line 2 (refresh = -5): bad value \"-5\" for refresh: expected a whole number "
               "from 0 to 86400"},
        BadIni{"ColourThatInjectsStyle", "[board]\nlight = red;}body{display:none\n",
               "line 2 (light = red;}body{display:none): bad value \"red;}body{display:none\" "
               "for light: expected a colour such as #eeeed2 or white"},
        BadIni{"BadHexColour", "[board]\ndark = #12345\n",
               "line 2 (dark = #12345): bad value \"#12345\" for dark: expected a colour such "
               "as #eeeed2 or white"},
        BadIni{"BadBoolean", "[page]\nclocks = maybe\n",
               "line 2 (clocks = maybe): bad value \"maybe\" for clocks: expected yes or no"},
        BadIni{"BadStart", "[page]\nstart = middle\n",
               "line 2 (start = middle): bad value \"middle\" for start: expected first or "
               "last"},
        BadIni{"OverviewInAnotherFolder", "[page]\noverview_page = ../all.htm\n",
               "line 2 (overview_page = ../all.htm): bad value \"../all.htm\" for overview_page: "
               "expected the name of a page in the same folder, such as allgames.htm"},
        BadIni{"UnclosedSection", "[page\n", "line 1 ([page): a section name must end with \"]\""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
