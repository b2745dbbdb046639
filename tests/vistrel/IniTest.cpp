// The converter's ini files: values reaching the settings, and errors that name the
// offending line. The shipped ini files are read by every run in CliTest.

#include <gtest/gtest.h>

#include <tuple>

#include "vistrel/Ini.h"

namespace {

// Keys and sections in any letter case, comments, CR LF or LF, and a single-byte title
// behind a byte-order mark (the text is Windows-1252 when it is not UTF-8).
TEST(IniTest, ValuesReachTheSettings) {
    const std::string text =
        "\xEF\xBB\xBF; comment\r\n[Page]\r\nTitle = M\xFCnchen \x96 {Round}; {White}\r\n"
        "refresh=0\r\nstart = First\r\nclocks = off\r\nlayout = overview\r\n"
        "[board]\nsize = 300\nlight = White\ndark = #123\ncoordinates = no\n[overview]\nper_row = "
        "6\n";
    vistrel::PageIni ini;
    std::string error;
    ASSERT_TRUE(vistrel::parseIni(text, ini, error)) << error;
    EXPECT_EQ(
        std::tie(ini.title, ini.refreshSeconds, ini.start, ini.clocks, ini.overview, ini.boardSize,
                 ini.lightColour, ini.darkColour, ini.coordinates, ini.boardsPerRow),
        std::make_tuple("M\u00FCnchen \u2013 {Round}; {White}", 0, vistrel::StartPosition::First,
                        false, true, 300, "White", "#123", false, 6));
    EXPECT_EQ(ini.lastMoveColour, vistrel::PageIni().lastMoveColour);  // untouched default
}

// Each error names the line and its text and leaves the settings untouched. Values that
// could break out of the page's style sheet or folder are refused.
TEST(IniTest, ErrorsNameTheLine) {
    const std::pair<const char*, const char*> rows[] = {
        {"[page]\n; x\nt\xEEtle = x\n",
         "line 3 (t\u00EEtle = x): unknown key \"t\u00EEtle\" in [page]"},
        {"[pages]\n", "line 1 ([pages]): unknown section [pages]"},
        {"size = 3\n", "line 1 (size = 3): key \"size\" stands before any [section]"},
        {"[board]\r\nsize\r\n", "line 2 (size): expected key = value"},
        {"[page\n", "line 1 ([page): a section name must end with \"]\""},
        {"[board]\nsize = 400px\n", "line 2 (size = 400px): bad value \"400px\" for size"},
        {"[overview]\nper_row = 0\n", "line 2 (per_row = 0): bad value"},
        {"[page]\nclocks = maybe\n", "line 2 (clocks = maybe): bad value"},
        {"[board]\ndark = #12345\n", "line 2 (dark = #12345): bad value"},
        {"[board]\nlight = red;}body{display:none\n",
         "line 2 (light = red;}body{display:none): bad value \"red;}body{display:none\" for light: "
         "expected a colour such as #eeeed2 or white"},
        {"[page]\noverview_page = ../all.htm\n",
         "line 2 (overview_page = ../all.htm): bad value \"../all.htm\" for overview_page: "
         "expected the name of a page in the same folder, such as allgames.htm"}};
    for (const auto& [text, expected] : rows) {
        vistrel::PageIni ini;
        ini.boardSize = 111;
        std::string error;
        EXPECT_FALSE(vistrel::parseIni(text, ini, error)) << text;
        EXPECT_EQ(error.substr(0, std::string(expected).size()), expected);
        EXPECT_EQ(ini.boardSize, 111) << text;
    }
}

}  // namespace
