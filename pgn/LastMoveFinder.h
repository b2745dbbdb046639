#pragma once
// The last-move finder: from the stretches the scanner found in the edited text it tells
// the highest move number, the text and side of the last move, and the paste point from
// which the merge replaces the edited text with the source's continuation. It keeps no
// board; it works on positions and simple lexical rules, and its only validation is that
// the last move is at least two characters long.

#include <string>
#include <string_view>

#include "core/Pgn.h"
#include "pgn/PgnScanner.h"

namespace korvane {

struct LastMoveResult {
    long LastMove = 0;      // highest move number; 0 when the game has no numbered move
    std::string sLastMove;  // the last move without number, dots or glyphs
    bool bWhiteLast = false;
    bool bBlackLast = false;  // when both are set, the move counts as Black's
    long PastePoint = 0;      // 1-based; the merge keeps the characters before it
    // The paste point was moved past comments or variations that follow the last move.
    bool pastedAfterPieces = false;
};

// A one-character string that occurs in "$!?" or whose code is below 33; the empty string
// counts too.
bool IsMoveDelimiter(std::string_view c);
bool IsMoveDelimiter(char c);
// "$", "!" or "?".
bool IsAnnotationChar(std::string_view c);
bool IsAnnotationChar(char c);
// 1-based position in s, at or after from, of the first "?"; failing that of the first "!";
// failing that of the first "$"; 0 when none occurs.
long FindAnnotationChar(std::string_view s, long from);

// Finds the last move of the edited text. path is the edited file's path, named in the
// message when the last move is shorter than two characters. On that failure result still
// carries the number, move and side found, but no paste point.
PgnError FindLastMove(std::string_view text, const TagSpans& tags, const MovetextPieces& pieces,
                      const std::string& path, LastMoveResult& result);

void StoreLastMove(Pgn& game, const LastMoveResult& result);

}  // namespace korvane
