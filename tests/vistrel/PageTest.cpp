// The game page and the overview page as HTML text: what the server-side markup must
// carry for spectators without a script, for the page script and for safety. What the
// pages do in a browser is tested in tests/browser.

#include <gtest/gtest.h>

#include "chess/PgnReader.h"
#include "vistrel/DelayNote.h"
#include "vistrel/OverviewPage.h"
#include "vistrel/Page.h"

namespace {

#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(testing::IsSubstring, part, text)
#define EXPECT_LACKS(text, part) EXPECT_PRED_FORMAT2(testing::IsNotSubstring, part, text)

const std::string kAfterNc6 = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";

chess::PgnFile parse(const std::string& text) {
    chess::PgnFile file;
    chess::PgnError error;
    EXPECT_TRUE(chess::readPgn(text, "sample.pgn", file, error)) << error.message;
    return file;
}

chess::PgnGame sampleGame(const std::string& result) {
    return parse(
               "[White \"Kovacs, Anna\"]\n[Black \"Lindqvist\"]\n[WhiteElo \"2610\"]\n"
               "[WhiteTitle \"GM\"]\n[Event \"Open\"]\n[Result \"" +
               result +
               "\"]\n\n1. e4 {[%clk 1:29:51]} e5 {Solid. [%eval 0.35] [%clk 1:29:40]} 2. "
               "Nf3!? $16 (2. Bc4) Nc6 " +
               result)
        .games.at(0);
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

std::string gamePage(const chess::PgnFile& file, const vistrel::PageIni& ini = {}) {
    return markup(vistrel::renderGamePage(file, ini));
}

std::string gamePage(const std::string& result, const vistrel::PageIni& ini = {}) {
    return gamePage(chess::PgnFile{{sampleGame(result)}, {}}, ini);
}

TEST(GamePageTest, ShowsPositionMovesAndCommentDataWithoutScript) {
    const std::string html = gamePage("*");
    EXPECT_HAS(html, "class=\"board\" data-fen=\"" + kAfterNc6 +
                         "\" role=\"img\" aria-label=\"Position after 2... Nc6\">");
    // Rank 8 of r1bqkbnr: the knight's square b8 is marked as the last move's start.
    EXPECT_HAS(html, "<i class=\"r\"></i><i class=\"m\"></i><i class=\"b\"></i>");
    EXPECT_EQ(count(html, " m\"") + count(html, "\"m\""), 2);
    // The moves read as a game score: the variation stands in its own block after the move
    // it replaces, Black's reply after it is numbered again, and clock data between the two
    // moves of a pair does not repeat the number. No move carries a position.
    EXPECT_HAS(html, "<div class=\"line\"> 1.e4<span class=\"clk\">1:29:51</span> e5<span");
    EXPECT_HAS(html, "<div class=\"var\"> 2.Bc4</div> 2...Nc6 <span class=\"res\">*</span>");
    EXPECT_EQ(count(html, "1..."), 0);
    EXPECT_EQ(count(html, "data-fen="), 1);
    // Comment commands and NAGs are shown as data, never as their raw text.
    EXPECT_LACKS(html, "[%");
    EXPECT_HAS(html,
               "<span class=\"cmt\">Solid.</span><span class=\"eval\">+0.35</span>"
               "<span class=\"clk\">1:29:40</span>");
    EXPECT_HAS(html,
               "2.Nf3<span class=\"nag\" data-n=\"5\">!?</span>"
               "<span class=\"nag\" data-n=\"16\">\u00B1</span>");
    EXPECT_HAS(html, "<span class=\"clock\">1:29:51</span>");
    EXPECT_HAS(html, "<span class=\"title\">GM</span><span class=\"elo\">2610</span>");
    // The tag section, for the spectator's download, with quotes and backslashes escaped.
    chess::PgnFile file{{sampleGame("*")}, {}};
    file.games[0].tags[4].second = "Open \"A\" <b> \\";
    EXPECT_HAS(gamePage(file), "[Event \"Open \\\"A\\\" &lt;b&gt; \\\\\"]\n[Result \"*\"]\n</pre>");
}

// A game in progress refreshes, with a fallback for browsers without script; an ended one,
// by its result token or else its Result tag, does not. Clocks can be hidden, and the page
// carries only the scripts its games need.
TEST(GamePageTest, LiveClockAndEvalPartsComeOnlyWhenNeeded) {
    const auto script = [](const std::string& html) { return html.substr(html.rfind("<script>")); };
    vistrel::PageIni ini;
    ini.refreshSeconds = 17;
    const std::string live = vistrel::renderGamePage({{sampleGame("*")}, {}}, ini);
    EXPECT_HAS(live, "data-refresh=\"17\"");
    EXPECT_HAS(live, "<noscript><meta http-equiv=\"refresh\" content=\"17\"></noscript>");
    chess::PgnFile plain{{sampleGame("1-0")}, {}};
    plain.games[0].mainLine.moves[1].commentsAfter.clear();  // the [%eval]
    ini.clocks = false;
    const std::string ended = vistrel::renderGamePage(plain, ini);
    for (const char* part :
         {"data-live=\"1\"", "http-equiv=\"refresh\"", "class=\"clock\"", "class=\"clk\""}) {
        EXPECT_HAS(markup(live), part);
        EXPECT_LACKS(markup(ended), part);
    }
    for (const char* part : {"\"no-cache\"", "\"evalbar\"", "\"tpm\""}) {  // refresh, evals, clocks
        EXPECT_HAS(script(live), part);
        EXPECT_LACKS(script(ended), part);
    }
    EXPECT_HAS(script(ended), "kv-state:");  // the page script itself
    chess::PgnFile tagOnly{{sampleGame("0-1")}, {}};
    tagOnly.games[0].result.clear();
    EXPECT_LACKS(gamePage(tagOnly), "data-live=\"1\"");
    // Without clock comments the clocks come from the clock tags.
    chess::PgnFile tagged{{sampleGame("*")}, {}};
    tagged.games[0].mainLine.moves[0].commentsAfter.clear();
    tagged.games[0].mainLine.moves[1].commentsAfter.clear();
    tagged.games[0].tags.push_back({"WhiteClock", "0:41:00"});
    tagged.games[0].tags.push_back({"Clock", "B/0:12:30"});
    EXPECT_HAS(gamePage(tagged), "data-live=\"1\" data-wc=\"0:41:00\" data-bc=\"0:12:30\">");
    EXPECT_HAS(gamePage(tagged), "<span class=\"clock\">0:12:30</span>");
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
    EXPECT_HAS(html, "<title>Open &quot;A&quot; &amp; B\uFFFD: &lt;script&gt;");
    const std::string page = vistrel::renderGamePage(chess::PgnFile{{sampleGame("*")}, {}}, {});
    for (const char* external : {" src=", "@import", "https:", "<link rel=\"style"}) {
        EXPECT_LACKS(page, external) << external;
    }
    EXPECT_EQ(count(page, "url("), count(page, "url(\"data:image/svg+xml,"));
}

// A file of several games: a list to switch, each game named, later games written in brief
// (tags, a text diagram of the final position and the moves; the script builds the rest).
TEST(GamePageTest, SeveralGamesGetAListAndLaterOnesAreBrief) {
    chess::PgnFile file{{sampleGame("*"), sampleGame("1-0"), sampleGame("1/2-1/2")}, {}};
    file.games[1].tags[1].second = "Berg";
    file.games[1].tags.emplace_back("Date", "????.??.??");
    file.games[2].mainLine.moves.clear();
    const std::string html = gamePage(file);
    EXPECT_HAS(html, "<summary>Games (3)</summary>");
    const std::string second =
        html.substr(html.find("<section class=\"game brief\" id=\"game-2\""));
    EXPECT_HAS(second, "data-title=\"Kovacs, Anna - Berg\"><pre class=\"tags\">[White");
    EXPECT_HAS(second, "<div class=\"board text\" data-fen=\"" + kAfterNc6 +
                           "\">\u265C\u00B7\u265D\u265B\u265A\u265D\u265E\u265C\n");
    EXPECT_LACKS(second, "class=\"player");
    EXPECT_LACKS(second, "<i");
    // A game without moves shows its start position.
    EXPECT_EQ(count(html, "data-fen=\"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\""),
              1);
    // An unknown tag value in the title pattern leaves nothing behind; no overview page,
    // no link; one game needs no name of its own, the page's title stands.
    vistrel::PageIni ini;
    ini.title = "{White} - {Black}, {Date}";
    ini.overviewPage.clear();
    EXPECT_LACKS(vistrel::renderGamePage(file, ini), "Berg, ?");
    EXPECT_LACKS(gamePage(file, ini), "class=\"allgames\"");
    EXPECT_LACKS(gamePage("*"), "data-title=");
}

// Results with no game around them make no games: a file of thousands of "*" after one
// game gives the page of that one game, not a board for every "*".
TEST(GamePageTest, StrayResultsAddNothingToThePage) {
    const std::string game = "[White \"a\"]\n1. e4 *\n";
    std::string stray = game;
    for (int i = 0; i < 8192; ++i) {
        stray += "* ";
    }
    const chess::PgnFile many = parse(stray);
    EXPECT_EQ(many.games.size(), 1u);
    EXPECT_EQ(vistrel::renderGamePage(many, {}).size(),
              vistrel::renderGamePage(parse(game), {}).size());
    chess::PgnFile none;
    chess::PgnError error;
    EXPECT_FALSE(chess::readPgn("* * {note} *", "t.pgn", none, error));
    EXPECT_EQ(error.message, "t.pgn: there is no game in the file");
}

// Cards, links and down marks as a browser shows them are tested in tests/browser.
TEST(OverviewPageTest, CardsLinkOnlyToThisSiteAndTheTitleIsWhatAllGamesShare) {
    chess::PgnFile file;
    file.escapeLines = {"vis3 over,round1 board1.htm", "vis3 over,javascript:alert(1)",
                        "vis3 over,b3.htm", "vis3 over, 2, Down"};
    file.games = {sampleGame("*"), sampleGame("1-0"), sampleGame("*")};
    file.games[2].mainLine.moves.resize(3);
    const std::string html = markup(vistrel::renderOverviewPage(file, {}));
    EXPECT_EQ(count(html, "<article class=\"card"), 3);
    EXPECT_EQ(count(html, "javascript"), 0) << "a link off the site is no link";
    EXPECT_HAS(html, "Last move: 2. Nf3");

    // The title takes only what all games share.
    const char* rounds[] = {"5.1", "5.2", "5.10"};
    for (std::size_t i = 0; i < 3; ++i) {
        file.games[i].tags.emplace_back("Round", rounds[i]);
    }
    file.games[2].tags[0].second = "Someone Else";  // White differs
    vistrel::PageIni ini;
    ini.title = "{Event}, round {Round} ({White})";
    EXPECT_HAS(vistrel::renderOverviewPage(file, ini), "<title>Open, round 5 ()</title>");
}

TEST(OverviewPageTest, DirectivesAndOnlyPageNamesOnThisSiteAreLinks) {
    const vistrel::OverviewDirectives read = vistrel::parseDirectives(
        {"some tool's note", "VIS3 over,a.htm\r", "vis3 over,", "vis3 over,b.htm",
         "vis3 OVER, 2, down\r", "vis3 over, 0, Down", "vis3 over, 9, Down"});
    EXPECT_EQ(read.pages, (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_EQ(read.down, (std::set<std::size_t>{2, 9}));
    for (const char* name : {"round5.htm", "round 5 (a).htm", "live/board1.htm", "..htm",
                             "a..b.htm", "~op.htm", "round 5: final.htm"}) {
        EXPECT_TRUE(vistrel::isLocalPageName(name)) << name;
    }
    for (const char* name : {"//other.example/x.htm", "http://other.example/x.htm",
                             "javascript:alert(1)", "/etc/passwd", "../x.htm", "a/../../x.htm",
                             "a/..", "live//x.htm", "\\\\host\\x.htm", "..\\x.htm", "x:1.htm"}) {
        EXPECT_FALSE(vistrel::isLocalPageName(name)) << name;
    }
}

// "%vis3 delay, N" heading a file makes both kinds of page say that their moves run N
// minutes behind the boards, inside the part a refresh swaps in; anything but one whole
// number is no delay.
TEST(DelayNoteTest, PagesMadeUnderADelaySaySo) {
    for (const char* bad : {"vis3 delay, 15 min", "vis3 delay, -5", "vis3 delay, 1 5",
                            "vis3 delay, 99999999999", "vis3 delay,"}) {
        EXPECT_EQ(vistrel::delayMinutes({bad}), 0) << bad;
    }
    chess::PgnFile file{{sampleGame("*")}, {}};
    vistrel::PageIni overviewIni;
    overviewIni.overview = true;
    EXPECT_LACKS(vistrel::renderGamePage(file, {}), "delay-note\">");
    EXPECT_LACKS(vistrel::renderOverviewPage(file, overviewIni), "delay-note\">");
    file.escapeLines = {"vis3 over,board1.htm", "VIS3 Delay, 15\r"};
    for (const std::string& page :
         {vistrel::renderGamePage(file, {}), vistrel::renderOverviewPage(file, overviewIni)}) {
        const auto note = page.find("<p class=\"delay-note\">moves delayed by 15 minutes</p>");
        ASSERT_NE(note, std::string::npos);
        EXPECT_LT(page.find("<main id=\"kv-content\">"), note);
    }
}

}  // namespace
