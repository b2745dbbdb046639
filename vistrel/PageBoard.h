#pragma once
// The boards of the pages as the converter writes them.

#include <string>

#include "chess/PgnGame.h"

namespace vistrel::page {

// The board of fen, white at the bottom, the squares of the last move (long notation such
// as "e2e4") marked; label names the position for screen readers. Pieces are elements
// named by their FEN letter; page.js draws the same board square by square.
void appendBoard(std::string& out, const std::string& fen, const std::string& uci,
                 const char* extraClass, const std::string& label);

// The board of fen as a text diagram of chess figures, for a game shown in brief without a
// script; page.js draws the real board when the game is chosen.
void appendTextBoard(std::string& out, const std::string& fen);

// The FEN after the main line's last move: the position a page shows at first.
std::string finalFen(const chess::PgnGame& game);

// "Position after 23... Nxe4", or "Starting position" for a game without moves.
std::string positionLabel(const chess::PgnGame& game);

}  // namespace vistrel::page
