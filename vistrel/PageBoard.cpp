// The boards of the pages as the converter writes them: the board of squares and pieces,
// and the text diagram of a game written in brief.

#include "vistrel/PageBoard.h"

#include <cctype>

#include "vistrel/GamePageParts.h"

namespace vistrel::page {

namespace {

bool isPiece(char type) {
    return type == 'K' || type == 'Q' || type == 'R' || type == 'B' || type == 'N' || type == 'P';
}

}  // namespace

void appendBoard(std::string& out, const std::string& fen, const std::string& uci,
                 const char* extraClass, const std::string& label) {
    const std::string from = uci.substr(0, 2);
    const std::string to = uci.size() >= 4 ? uci.substr(2, 2) : std::string();
    out += "<div class=\"board";
    if (*extraClass != '\0') {
        out += ' ';
        out += extraClass;
    }
    out += "\" data-fen=\"";
    appendEscaped(out, fen);
    out += "\" role=\"img\" aria-label=\"";
    appendEscaped(out, label);
    out += "\">";
    // The squares follow the placement field: a piece is an element named by its FEN letter,
    // a run of empty squares one element spanning them, except a marked square of the last
    // move, which stands alone. The board's background draws the squares.
    int rank = 8;
    int file = 0;
    const auto square = [&](const char* cls, int span) {
        const std::string name{static_cast<char>('a' + file), static_cast<char>('0' + rank)};
        const bool marked = name == from || name == to;
        out += "<i";
        if (*cls != '\0' || marked || span > 1) {
            out += " class=\"";
            out += cls;
            if (span > 1) {
                out += 's';
                out += static_cast<char>('0' + span);
            }
            out += marked ? (*cls != '\0' || span > 1 ? " m" : "m") : "";
            out += '"';
        }
        out += "></i>";
        file += span;
    };
    for (const char c : fen.substr(0, fen.find(' '))) {
        if (rank < 1) {
            break;
        }
        if (c == '/') {
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            for (int left = c - '0'; left > 0 && file < 8;) {
                // A marked empty square splits the run around it.
                int run = 0;
                while (run < left && file + run < 8) {
                    const std::string name{static_cast<char>('a' + file + run),
                                           static_cast<char>('0' + rank)};
                    if (name == from || name == to) {
                        break;
                    }
                    ++run;
                }
                if (run == 0) {
                    square("", 1);
                    --left;
                } else {
                    square("", run);
                    left -= run;
                }
            }
        } else if (isPiece(static_cast<char>(std::toupper(static_cast<unsigned char>(c)))) &&
                   file < 8) {
            const char cls[2] = {c, '\0'};
            square(cls, 1);
        }
    }
    out += "</div>";
}

void appendTextBoard(std::string& out, const std::string& fen) {
    out += "<div class=\"board text\" data-fen=\"";
    appendEscaped(out, fen);
    out += "\">";
    static const std::string letters = "KQRBNPkqrbnp";
    static const char* const figures[] = {"\u2654", "\u2655", "\u2656", "\u2657",
                                          "\u2658", "\u2659", "\u265A", "\u265B",
                                          "\u265C", "\u265D", "\u265E", "\u265F\uFE0E"};
    for (const char c : fen.substr(0, fen.find(' '))) {
        if (c == '/') {
            out += '\n';
        } else if (c >= '1' && c <= '8') {
            for (int i = 0; i < c - '0'; ++i) {
                out += "\u00B7";  // a middle dot for an empty square
            }
        } else if (const auto at = letters.find(c); at != std::string::npos) {
            out += figures[at];
        }
    }
    out += "</div>";
}

std::string finalFen(const chess::PgnGame& game) {
    const auto& moves = game.mainLine.moves;
    if (moves.empty()) {
        return game.startFen.empty() ? kStartFen : game.startFen;
    }
    return moves.back().fenAfter.empty() ? game.finalFen : moves.back().fenAfter;
}

std::string positionLabel(const chess::PgnGame& game) {
    const auto& moves = game.mainLine.moves;
    return moves.empty() ? "Starting position" : "Position after " + moveLabel(moves.back());
}

}  // namespace vistrel::page
