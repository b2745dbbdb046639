#pragma once
// Standard algebraic notation: reading a move as written in real PGN files and writing it
// in its one normalised form.

#include <string>
#include <string_view>

#include "chess/Position.h"

namespace chess {

// The parts of a move text, before it is matched against a position.
struct SanSyntax {
    enum Kind { Normal, CastleKingside, CastleQueenside } kind = Normal;
    PieceType piece = Pawn;
    int fromFile = -1;  // disambiguation, -1 when absent
    int fromRank = -1;
    Square to = kNoSquare;
    PieceType promotion = NoType;
};

enum class SanSyntaxStatus {
    Ok,          // a whole move was read; `used` characters of the text belong to it
    Incomplete,  // the text is the beginning of a move, e.g. "Bg" or "e8="
    Invalid      // the text is no move
};

// Reads the move at the start of text: "Nf3", "Nbd2", "R1e2", "Qh4xe1", "exd5", "ed5",
// "e8=Q", "e8Q", "O-O", "0-0-0", "e2e4", "Ng1-f3". What follows the move (check marks,
// glyphs) is left to the caller.
SanSyntaxStatus parseSanSyntax(std::string_view text, SanSyntax& out, size_t& used);

enum class SanMatch { Legal, Illegal, Ambiguous };

// Finds the one legal move the syntax describes in pos. On Illegal or Ambiguous, why says
// why in words, e.g. "no black knight can reach e4".
SanMatch matchSan(const Position& pos, const SanSyntax& syntax, Move& move, std::string& why);

// The SAN of a legal move without its check mark.
std::string sanBody(const Position& pos, const Move& move);
// "#" when the side to move in after is mated, "+" when in check, else "".
const char* checkSuffix(const Position& after);
// The whole SAN of a legal move, e.g. "Nbxd2+".
std::string sanText(const Position& pos, const Move& move);

// Reads a complete SAN text (check marks allowed) in pos; false when it is no legal move.
bool parseSan(const Position& pos, std::string_view text, Move& move, std::string& why);

}  // namespace chess
