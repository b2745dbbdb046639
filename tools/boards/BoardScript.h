#pragma once
// What one electronic board writes over a game: the whole PGN file once before the first
// move, again after every half-move, and once more when the result is known. The texts
// are built up front from a real game, so the writer only has to time them.

#include <string>
#include <vector>

#include "chess/PgnGame.h"

namespace boards {

// Clock comments: each player starts with baseSeconds and gains incrementSeconds a move.
struct ClockSetting {
    int baseSeconds = 0;  // 0: no [%clk] comments
    int incrementSeconds = 0;
};

struct ScriptOptions {
    ClockSetting clock;
    unsigned seed = 1;      // drives the players' thinking times, so the clocks repeat
    int startPly = 0;       // the first file written already holds this many half-moves
    int correctAtPly = 0;   // 0: none; else this half-move is first recorded wrongly
    int stopAfterPly = -1;  // -1: none; else the board writes nothing after this half-move
    bool crlf = false;      // CR LF line ends instead of LF
    std::string event;      // replaces the games' Event tag when not empty
    std::string round;      // replaces the games' Round tag when not empty
};

// One rewrite of the board's file.
struct BoardFile {
    int ply = 0;         // half-moves the file holds
    bool final = false;  // the file carries the game's result
    std::string note;    // what changed, for the simulator's log: "12... Nf6", "1-0"
    std::string text;    // the whole file
};

// Every file the board writes, in order. Comments and variations of the source game are
// not written: a board records moves only.
std::vector<BoardFile> boardScript(const chess::PgnGame& game, const ScriptOptions& options);

// The SAN of a legal move other than `ply` (1-based) of the game, chosen so that the
// game's next move is still legal after it when such a move exists; empty when the
// side to move has no other legal move.
std::string wrongMoveFor(const chess::PgnGame& game, int ply);

}  // namespace boards
