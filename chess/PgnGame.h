#pragma once
// The game model the PGN reader produces and the page writer consumes.

#include <string>
#include <utility>
#include <vector>

namespace chess {

struct Line;

// One move as read from the PGN and replayed on the board.
struct MoveNode {
    int moveNumber = 0;  // full-move number of this move
    bool white = true;   // side that made it
    std::string san;     // normalised SAN as our SAN writer prints it, e.g. "Nxe4+", "O-O", "e8=Q#"
    std::string uci;     // e.g. "e2e4", "e7e8q"
    std::string fenAfter;   // full FEN of the position after the move
    std::vector<int> nags;  // $n values; suffix glyphs ! ? !! ?? !? ?! stored as NAG 1..6
    std::vector<std::string>
        commentsBefore;  // {..} texts standing before this move (only at the start of a line)
    std::vector<std::string> commentsAfter;  // {..} texts after the move, braces removed, UTF-8
    std::vector<Line>
        variations;  // alternatives to THIS move, each starting from the position before it
};

struct Line {
    std::vector<MoveNode> moves;
};

struct PgnGame {
    std::vector<std::pair<std::string, std::string>>
        tags;              // in file order, values unescaped, UTF-8
    std::string startFen;  // FEN of the initial position (standard start unless SetUp/FEN)
    std::string finalFen;  // FEN after the main line's last move (startFen when it has none)
    std::vector<std::string> initialComments;  // comments before the first move
    Line mainLine;
    std::string result;  // "1-0", "0-1", "1/2-1/2", "*", or "" when the move text has none
    std::string tag(const std::string& name) const;  // value or "" (exact name match)
};

// A file: its games plus the "%" escape lines in file order (the overview pgn's
// "%vis3 over,..." directives are such lines; text after the "%" kept verbatim, UTF-8).
struct PgnFile {
    std::vector<PgnGame> games;
    std::vector<std::string> escapeLines;
    std::vector<std::size_t> escapeLineNumbers = {};  // the line in the file of each, from 1
};

}  // namespace chess
