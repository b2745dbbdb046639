#include "chess/Types.h"

namespace chess {

std::string squareName(Square sq) {
    return {static_cast<char>('a' + fileOf(sq)), static_cast<char>('1' + rankOf(sq))};
}

Square parseSquare(char file, char rank) {
    if (file < 'a' || file > 'h' || rank < '1' || rank > '8') {
        return kNoSquare;
    }
    return makeSquare(file - 'a', rank - '1');
}

char pieceLetter(PieceType t) {
    constexpr const char letters[] = " PNBRQK";
    return letters[t];
}

const char* pieceName(PieceType t) {
    constexpr const char* names[] = {"", "pawn", "knight", "bishop", "rook", "queen", "king"};
    return names[t];
}

const char* colorName(Color c) {
    return c == White ? "white" : "black";
}

std::string uciText(const Move& m) {
    std::string out = squareName(m.from) + squareName(m.to);
    if (m.promotion != NoType) {
        out += static_cast<char>(pieceLetter(m.promotion) | 0x20);
    }
    return out;
}

}  // namespace chess
