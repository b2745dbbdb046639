// The game page and the overview page as HTML text: what the server-side markup must
// carry for spectators without a script, for the page script and for safety.

#include <gtest/gtest.h>

#include <regex>

#include "chess/PgnReader.h"
#include "vistrel/OverviewPage.h"
#include "vistrel/Page.h"

namespace {

#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(testing::IsSubstring, part, text)
#define EXPECT_LACKS(text, part) EXPECT_PRED_FORMAT2(testing::IsNotSubstring, part, text)

const char* const kAfterNf3 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2";
const char* const kAfterNc6 = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";
const char* const kAfterBc4 = "rnbqkbnr/pppp1ppp/8/4p3/2B1P3/8/PPPP1PPP/RNBQK1NR b KQkq - 1 2";

// 1. e4 {[%clk 1:29:51]} e5 {Solid. [%eval 0.35] [%clk 1:29:40]} 2. Nf3!? $16 (2. Bc4) Nc6
chess::PgnGame sampleGame(const std::string& result) {
    chess::PgnFile file;
    chess::PgnError error;
    const bool read = chess::readPgn(
        "[White \"Kovacs, Anna\"]\n[Black \"Lindqvist\"]\n[WhiteElo \"2610\"]\n[WhiteTitle "
        "\"GM\"]\n[Event \"Open\"]\n[Result \"" +
            result +
            "\"]\n\n1. e4 {[%clk 1:29:51]} e5 {Solid. [%eval 0.35] [%clk 1:29:40]} 2. Nf3!? $16 "
            "(2. Bc4) Nc6 " +
            result,
        "sample.pgn", file, error);
    EXPECT_TRUE(read) << error.message;
    return file.games.at(0);
}

int count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1)) {
        ++n;
    }
    return n;
}

// The page without its embedded script, whose source mentions the markup it handles.
std::string markup(const std::string& html) {
    return html.substr(0, html.rfind("<script>"));
}

std::string gamePage(const std::string& result, const vistrel::PageIni& ini = {}) {
    return markup(vistrel::renderGamePage(chess::PgnFile{{sampleGame(result)}, {}}, ini));
}

TEST(GamePageTest, ShowsTheCurrentPositionAndTheWholeMoveTreeWithoutScript) {
    const std::string html = gamePage("*");
    EXPECT_HAS(html, std::string("class=\"board\" data-fen=\"") + kAfterNc6 +
                         "\" role=\"img\" aria-label=\"Position after 2... Nc6\">");
    // Rank 8 of r1bqkbnr: the knight's square b8 is marked and empty; rank 6 holds it on c6,
    // marked, between two runs of empty squares.
    EXPECT_HAS(html, "<i class=\"r\"></i><i class=\"m\"></i><i class=\"b\"></i>");
    EXPECT_HAS(html, "<i class=\"s2\"></i><i class=\"n m\"></i><i class=\"s5\"></i>");
    EXPECT_EQ(count(html, " m\"") + count(html, "\"m\""), 2);
    const std::regex piece("<i class=\"[KQRBNPkqrbnp][ \"]");
    EXPECT_EQ(std::distance(std::sregex_iterator(html.begin(), html.end(), piece),
                            std::sregex_iterator()),
              32);
    // The moves read as a game score: the variation stands in its own block after the move
    // it replaces, Black's reply after it is numbered again, and clock data between the two
    // moves of a pair does not repeat the number. No move carries a position.
    EXPECT_HAS(html, "<div class=\"line\"> 1.e4<span class=\"clk\">1:29:51</span> e5<span");
    EXPECT_HAS(html, "<div class=\"var\"> 2.Bc4</div> 2...Nc6 <span class=\"res\">*</span>");
    EXPECT_EQ(count(html, "1..."), 0);
    EXPECT_EQ(count(html, "data-fen="), 1);
}

TEST(GamePageTest, CommentCommandsAndNagsAreShownAsData) {
    const std::string html = gamePage("*");
    EXPECT_LACKS(html, "[%");
    EXPECT_HAS(html,
               "<span class=\"cmt\">Solid.</span><span class=\"eval\">+0.35</span>"
               "<span class=\"clk\">1:29:40</span>");
    EXPECT_HAS(html,
               "2.Nf3<span class=\"nag\" data-n=\"5\">!?</span>"
               "<span class=\"nag\" data-n=\"16\">\u00B1</span>");
    // The players show the current clocks, title and Elo.
    EXPECT_HAS(html, "<span class=\"clock\">1:29:51</span>");
    EXPECT_HAS(html, "<span class=\"title\">GM</span><span class=\"elo\">2610</span>");
    // The tag section, for the spectator's download, with quotes and backslashes escaped.
    chess::PgnFile file{{sampleGame("*")}, {}};
    file.games[0].tags[4].second = "Open \"A\" <b> \\";
    EXPECT_HAS(markup(vistrel::renderGamePage(file, {})),
               "[Event \"Open \\\"A\\\" &lt;b&gt; \\\\\"]\n[Result \"*\"]\n</pre>");
}

TEST(GamePageTest, ClocksCanBeHiddenAndFallBackToTags) {
    vistrel::PageIni noClocks;
    noClocks.clocks = false;
    const std::string hidden = gamePage("*", noClocks);
    EXPECT_LACKS(hidden, "class=\"clock\"");
    EXPECT_LACKS(hidden, "data-wc");
    EXPECT_LACKS(hidden, "class=\"clk\"");

    chess::PgnFile file{{sampleGame("*")}, {}};
    file.games[0].mainLine.moves[0].commentsAfter.clear();
    file.games[0].mainLine.moves[1].commentsAfter.clear();
    file.games[0].tags.push_back({"WhiteClock", "0:41:00"});
    file.games[0].tags.push_back({"Clock", "B/0:12:30"});
    const std::string tagged = markup(vistrel::renderGamePage(file, {}));
    EXPECT_HAS(tagged, "data-live=\"1\" data-wc=\"0:41:00\" data-bc=\"0:12:30\">");
    EXPECT_HAS(tagged, "<span class=\"clock\">0:12:30</span>");
}

TEST(GamePageTest, RefreshesOnlyWhileTheGameIsInProgress) {
    vistrel::PageIni ini;
    ini.refreshSeconds = 17;
    const std::string live = gamePage("*", ini);
    EXPECT_HAS(live, "data-refresh=\"17\"");
    EXPECT_HAS(live, "data-live=\"1\"");
    EXPECT_HAS(live, "<noscript><meta http-equiv=\"refresh\" content=\"17\"></noscript>");
    EXPECT_HAS(live, "<span class=\"live-mark\">live</span>");

    const std::string ended = gamePage("1-0", ini);
    EXPECT_LACKS(ended, "data-live=\"1\"");
    EXPECT_LACKS(ended, "http-equiv=\"refresh\"");
    EXPECT_HAS(ended, "<span class=\"result\">1-0</span>");

    chess::PgnFile tagOnly;  // move text without a result token: the tag decides
    tagOnly.games.push_back(sampleGame("0-1"));
    tagOnly.games[0].result.clear();
    EXPECT_LACKS(markup(vistrel::renderGamePage(tagOnly, ini)), "data-live=\"1\"");
}

TEST(GamePageTest, CarriesOnlyTheScriptsItsGamesNeed) {
    const auto script = [](const std::string& html) { return html.substr(html.rfind("<script>")); };
    const std::string live =
        script(vistrel::renderGamePage(chess::PgnFile{{sampleGame("*")}, {}}, {}));
    EXPECT_HAS(live, "\"no-cache\"");  // refresh
    EXPECT_HAS(live, "\"evalbar\"");   // evaluations
    EXPECT_HAS(live, "\"tpm\"");       // clocks
    chess::PgnFile plain{{sampleGame("1-0")}, {}};
    plain.games[0].mainLine.moves[1].commentsAfter.clear();  // the [%eval]
    vistrel::PageIni noClocks;
    noClocks.clocks = false;
    const std::string over = script(vistrel::renderGamePage(plain, noClocks));
    for (const char* part : {"\"no-cache\"", "\"evalbar\"", "\"tpm\""}) {
        EXPECT_LACKS(over, part);
    }
    EXPECT_HAS(over, "kv-state:");  // the page script itself
}

TEST(GamePageTest, IsSelfContainedAndEscapesTheGameText) {
    chess::PgnFile file{{sampleGame("*")}, {}};
    file.games[0].tags[0].second = "<script>alert(1)</script>";
    file.games[0].tags[4].second = "Open \"A\" & B\x04";
    file.games[0].mainLine.moves[1].commentsAfter = {"</span><img src=x onerror=alert(1)>"};
    vistrel::PageIni ini;
    ini.title = "{Event}: {White}";
    const std::string html = vistrel::renderGamePage(file, ini);
    EXPECT_LACKS(html, "<script>alert");
    EXPECT_LACKS(html, "<img");
    EXPECT_HAS(html, "&lt;/span&gt;&lt;img src=x");
    const std::string page = vistrel::renderGamePage(chess::PgnFile{{sampleGame("*")}, {}}, {});
    for (const char* external : {" src=", "@import", "https:", "<link rel=\"style"}) {
        EXPECT_LACKS(page, external) << external;
    }
    EXPECT_EQ(count(page, "url("), count(page, "url(\"data:image/svg+xml,"));
    // The only link is an empty inline icon, so that no browser asks for /favicon.ico.
    EXPECT_EQ(count(page, "<link"), 1);
    EXPECT_HAS(page, "<link rel=\"icon\" href=\"data:,\">");
    EXPECT_HAS(html, "<title>Open &quot;A&quot; &amp; B\uFFFD: &lt;script&gt;");
}

TEST(GamePageTest, SeveralGamesGetAListToSwitch) {
    chess::PgnFile file{{sampleGame("*"), sampleGame("1/2-1/2")}, {}};
    file.games[1].mainLine.moves.clear();
    const std::string html = markup(vistrel::renderGamePage(file, {}));
    EXPECT_HAS(html, "<summary>Games (2)</summary>");
    EXPECT_HAS(html, "<a href=\"#game-2\">Kovacs, Anna - Lindqvist (1/2-1/2)</a>");
    EXPECT_HAS(html, "<section class=\"game brief\" id=\"game-2\" data-live=\"0\"");
    // A game without moves shows its start position.
    EXPECT_EQ(count(html, "data-fen=\"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\""),
              1);
}

TEST(GamePageTest, LaterGamesOfAFileAreWrittenInBrief) {
    chess::PgnFile file{{sampleGame("*"), sampleGame("1-0")}, {}};
    file.games[1].tags.emplace_back("Date", "????.??.??");
    const std::string html = markup(vistrel::renderGamePage(file, {}));
    const std::string second =
        html.substr(html.find("<section class=\"game brief\" id=\"game-2\""));
    // The tags, a text diagram of the final position and the moves; no players or board
    // squares, which the script builds when the game is chosen.
    EXPECT_HAS(second, "data-title=\"Kovacs, Anna - Lindqvist\"><pre class=\"tags\">[White");
    EXPECT_HAS(second, std::string("<div class=\"board text\" data-fen=\"") + kAfterNc6 +
                           "\">\u265C\u00B7\u265D\u265B\u265A\u265D\u265E\u265C\n");
    EXPECT_HAS(second, "</div><div class=\"moves\">");
    EXPECT_HAS(second, " 2...Nc6 <span class=\"res\">1-0</span>");
    EXPECT_LACKS(second, "class=\"player");
    EXPECT_LACKS(second, "<i");
    // An unknown tag value in the title pattern leaves nothing behind.
    vistrel::PageIni ini;
    ini.title = "{White} - {Black}, {Date}";
    EXPECT_LACKS(vistrel::renderGamePage(file, ini), "Lindqvist, ?");
}

TEST(OverviewPageTest, CardsCarryBoardsLinksAndDownMarks) {
    chess::PgnFile file;
    file.escapeLines = {"vis3 over,round1 board1.htm", "vis3 over,javascript:alert(1)",
                        "vis3 over,b3.htm", "vis3 over, 2, Down"};
    file.games = {sampleGame("*"), sampleGame("1-0"), sampleGame("*")};
    file.games[2].mainLine.moves.resize(3);
    const std::string html = markup(vistrel::renderOverviewPage(file, {}));
    EXPECT_EQ(count(html, "<article class=\"card"), 3);
    EXPECT_EQ(count(html, "<article class=\"card down\" id=\"ov-2\""), 1);
    EXPECT_EQ(count(html, "class=\"down-mark\""), 1);
    EXPECT_EQ(count(html, "href=\"round1%20board1.htm\""), 2);
    EXPECT_EQ(count(html, "javascript"), 0) << "a link off the site is no link";
    EXPECT_EQ(count(html, "class=\"board small\" data-fen=\"" + std::string(kAfterNc6)), 2);
    EXPECT_EQ(count(html, "class=\"board small\" data-fen=\"" + std::string(kAfterNf3)), 1);
    EXPECT_HAS(html, "Last move: 2... Nc6");
    EXPECT_HAS(html, "Last move: 2. Nf3");
    EXPECT_EQ(count(html, "<span class=\"live-mark\">live</span>"), 2);
    EXPECT_LACKS(html, "<span class=\"result\">1-0</span>");  // game 2 is down: DOWN only
}

TEST(OverviewPageTest, TitleTakesOnlyWhatAllGamesShare) {
    chess::PgnFile file{{sampleGame("*"), sampleGame("*"), sampleGame("*")}, {}};
    const char* rounds[] = {"5.1", "5.2", "5.10"};
    for (std::size_t i = 0; i < 3; ++i) {
        file.games[i].tags.emplace_back("Round", rounds[i]);
    }
    file.games[2].tags[0].second = "Someone Else";  // White differs
    vistrel::PageIni ini;
    ini.title = "{Event}, round {Round} ({White})";
    const std::string html = vistrel::renderOverviewPage(file, ini);
    EXPECT_HAS(html, "<title>Open, round 5 ()</title>");
}

TEST(GamePageTest, LinksToTheOverviewAndNamesEachGameOfAFile) {
    chess::PgnFile file{{sampleGame("*"), sampleGame("1-0")}, {}};
    file.games[1].tags[1].second = "Berg";
    const std::string html = markup(vistrel::renderGamePage(file, {}));
    EXPECT_HAS(html, "<a class=\"allgames\" href=\"allgames.htm\">All games</a>");
    EXPECT_HAS(html, "data-title=\"Kovacs, Anna - Berg\"");
    EXPECT_HAS(html, "aria-label=\"Position after 2... Nc6\"");
    vistrel::PageIni ini;
    ini.overviewPage.clear();
    EXPECT_LACKS(markup(vistrel::renderGamePage(file, ini)), "class=\"allgames\"");
    EXPECT_LACKS(gamePage("*"), "data-title=");  // one game: the page's own title stands
}

TEST(OverviewPageTest, OnlyPageNamesOnThisSiteAreLinks) {
    for (const char* name : {"round5.htm", "round 5 (a).htm", "live/board1.htm", "..htm",
                             "a..b.htm", "~op.htm", "round 5: final.htm"}) {
        EXPECT_TRUE(vistrel::isLocalPageName(name)) << name;
    }
    for (const char* name : {"//other.example/x.htm", "http://other.example/x.htm",
                             "javascript:alert(1)", "/etc/passwd", "../x.htm", "a/../../x.htm",
                             "a/..", "live//x.htm", "\\\\host\\x.htm", "..\\x.htm", "x:1.htm"}) {
        EXPECT_FALSE(vistrel::isLocalPageName(name)) << name;
    }
    // The converter's message names the line of the file and its text.
    chess::PgnFile file;
    chess::PgnError error;
    ASSERT_TRUE(chess::readPgn("%vis3 over,a.htm\r\n\r\n%vis3 over, ../x.htm\r\n[White \"a\"]\r\n*",
                               "allgames.pgn", file, error));
    EXPECT_EQ(
        vistrel::checkPageLinks(file, "allgames.pgn"),
        "allgames.pgn, line 3 (%vis3 over, ../x.htm): the link \"../x.htm\" is not the name "
        "of a page on this site (no address, no \"//\", no \"..\" and no \"/\" at the start)");
    file.escapeLines.erase(file.escapeLines.begin() + 1);
    EXPECT_EQ(vistrel::checkPageLinks(file, "allgames.pgn"), "");
}

// Results with no game around them make no games: a file of thousands of "*" after one
// game gives the page of that one game, not a board for every "*".
TEST(GamePageTest, StrayResultsAddNothingToThePage) {
    const std::string game = "[White \"a\"]\n1. e4 *\n";
    std::string stray = game;
    for (int i = 0; i < 8192; ++i) {
        stray += "* ";
    }
    chess::PgnFile one, many;
    chess::PgnError error;
    ASSERT_TRUE(chess::readPgn(game, "t.pgn", one, error));
    ASSERT_TRUE(chess::readPgn(stray, "t.pgn", many, error));
    EXPECT_EQ(many.games.size(), 1u);
    EXPECT_EQ(vistrel::renderGamePage(many, {}).size(), vistrel::renderGamePage(one, {}).size());
    EXPECT_FALSE(chess::readPgn("* * {note} *", "t.pgn", many, error));
    EXPECT_EQ(error.message, "t.pgn: there is no game in the file");
}

struct DirectiveCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> pages;
    std::set<std::size_t> down;
};

class DirectiveTest : public ::testing::TestWithParam<DirectiveCase> {};

TEST_P(DirectiveTest, Parses) {
    const auto directives = vistrel::parseDirectives(GetParam().lines);
    EXPECT_EQ(directives.pages, GetParam().pages);
    EXPECT_EQ(directives.down, GetParam().down);
}

INSTANTIATE_TEST_SUITE_P(
    Directives, DirectiveTest,
    ::testing::Values(DirectiveCase{"PagesThenDown",
                                    {"vis3 over,a.htm", "vis3 over,b.htm", "vis3 over,c.htm",
                                     "vis3 over, 2, Down"},
                                    {"a.htm", "b.htm", "c.htm"},
                                    {2}},
                      DirectiveCase{"CaseAndLineEndsIgnored",
                                    {"VIS3 over,a.htm\r", "vis3 OVER, 1, down\r"},
                                    {"a.htm"},
                                    {1}},
                      DirectiveCase{"DownBeyondTheListIsNoPageName",
                                    {"vis3 over,a.htm", "vis3 over, 0, Down", "vis3 over, 9, Down"},
                                    {"a.htm"},
                                    {9}},
                      DirectiveCase{"OtherEscapeLinesIgnored",
                                    {"some tool's note", "vis3 over,", "vis3 over, x, Down"},
                                    {"x, Down"},
                                    {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
