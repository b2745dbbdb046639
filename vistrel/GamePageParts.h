#pragma once
// Pieces shared by the game page and the overview page: escaping, the board, players,
// clocks, results and the commands inside comments.

#include <string>
#include <string_view>
#include <vector>

#include "chess/PgnGame.h"
#include "vistrel/Ini.h"
#include "vistrel/PageBoard.h"

namespace vistrel::page {

inline constexpr const char* kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Appends text with & < > " ' escaped; C0 control characters (damaged tag values) become
// U+FFFD so that the page stays well-formed.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

// A relative link target: every byte outside letters, digits and - . _ ~ / is
// percent-encoded, so a page name can never become a script or another scheme.
std::string urlEncoded(std::string_view name);

// Appends text for an element's content: only & < > escaped.
void appendText(std::string& out, std::string_view text);

// The time the page is made, in seconds since 1970, for the clocks that run in the browser.
std::string madeAt();

// A short digest of text (hex), so that the page script can tell a changed page from the
// one it shows without rebuilding it.
std::string digest(std::string_view text);

// Symbol shown for a NAG ("!" for 1, "±" for 16, ...); "$n" for those without one.
std::string nagSymbol(int nag);

// A comment split into its text and the commands embedded as "[%name args]".
struct CommentParts {
    std::string text;                 // the words, blanks collapsed
    std::string clock;                // [%clk 1:29:51]
    std::string eval;                 // [%eval 0.35] as "+0.35"; "#-3" for a mate
    std::vector<std::string> others;  // further commands as "name args"; board marks dropped
};
CommentParts splitComment(const std::string& comment);

struct Clocks {
    std::string white;
    std::string black;
};
// Clock values from the WhiteClock/BlackClock tags or a Clock tag "W/1:02:03" / "B/...".
Clocks tagClocks(const chess::PgnGame& game);
// Clocks at the end of the main line: the last [%clk] of each side, else the tags.
Clocks finalClocks(const chess::PgnGame& game);

// The result the game stands at: the move text's result token, else the Result tag,
// else "*". A game is live while this is "*".
std::string effectiveResult(const chess::PgnGame& game);

// "Kovacs, Anna" + title and Elo as spans; class "player w" or "player b" with a clock span.
void appendPlayer(std::string& out, const chess::PgnGame& game, bool white,
                  const std::string& clock, bool withClock);

// "White - Black" when a player is known, else the event, else "Game N".
std::string gameLabel(const chess::PgnGame& game, std::size_t number);

// "23... Nxe4" for a black move, "23. Nxe4" for a white one.
std::string moveLabel(const chess::MoveNode& move);

// The title pattern with every {TagName} replaced by that tag's value of game; separators
// left dangling at either end by empty tags are dropped.
std::string expandTitle(const std::string& pattern, const chess::PgnGame* game);

// The page title: the ini's pattern expanded for the file's first game, or fallback when
// that leaves nothing to show.
std::string pageTitle(const std::string& pattern, const chess::PgnFile& file,
                      const std::string& fallback);
// The same for one game (or none).
std::string pageTitle(const std::string& pattern, const chess::PgnGame* game,
                      const std::string& fallback);

// Whether any game of the file is still in progress (its result is "*").
bool anyLive(const chess::PgnFile& file);

// Which page is written: each kind carries only the style and script it needs.
enum class PageKind { Game, Overview };

// <head> with title, style sheet, ini colours and sizes; refreshSeconds > 0 adds a
// no-script refresh. Ends with "<body ...>" whose attributes are bodyAttributes, and the
// heading, followed by a link to navLink (a page name) when it is not empty.
void appendHead(std::string& out, PageKind kind, const std::string& title, const PageIni& ini,
                bool live, const std::string& bodyAttributes, const std::string& navLink = {});
// The scripts a page carries: each part only when its games need it.
struct Scripts {
    bool game = false;     // the game page's board, moves and tools
    bool clocks = false;   // clocks and time per move
    bool evals = false;    // evaluation bar and graph
    bool refresh = false;  // the live refresh, while a game is in progress
};
// The scripts and the closing tags.
void appendTail(std::string& out, const Scripts& scripts);

}  // namespace vistrel::page
