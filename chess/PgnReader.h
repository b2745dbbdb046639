#pragma once
// Reads a PGN file into games, replaying every move (variations too) on the board.

#include <string>
#include <string_view>
#include <vector>

#include "chess/PgnGame.h"

namespace chess {

// Why a file could not be read, as a message for the operator: it names the file, the line,
// the game (number and players), the move and what is wrong with it.
struct PgnError {
    std::string message;
};

// Reads the bytes of a PGN file (UTF-8 when valid, else Windows-1252; CR LF or LF).
// fileName only serves the messages. Returns false and fills error on the first fault;
// a game without a result is no fault (it is still being played). Without fenPerMove the
// moves' fenAfter stays empty (a page replays them in the browser): reading is faster and
// takes less memory; PgnGame::finalFen is always filled.
bool readPgn(std::string_view bytes, std::string_view fileName, PgnFile& out, PgnError& error,
             bool fenPerMove = true);

// Reads every game it can: a faulty game is left out, its fault added to faults, and
// reading goes on at the next line that starts with "[". For checking whole collections.
void readPgnSkippingFaults(std::string_view bytes, std::string_view fileName, PgnFile& out,
                           std::vector<PgnError>& faults);

}  // namespace chess
