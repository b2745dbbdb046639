#pragma once
// Basic chess types: 0x88 squares, pieces, colours and moves.

#include <cstdint>
#include <string>

namespace chess {

// A square in 0x88 layout: index = rank * 16 + file; (sq & 0x88) != 0 means off the board.
using Square = int;
constexpr Square kNoSquare = -1;

constexpr Square makeSquare(int file, int rank) {
    return rank * 16 + file;
}
constexpr int fileOf(Square sq) {
    return sq & 7;
}
constexpr int rankOf(Square sq) {
    return sq >> 4;
}
constexpr bool onBoard(Square sq) {
    return (sq & 0x88) == 0;
}

enum Color : std::uint8_t { White = 0, Black = 1 };
constexpr Color opposite(Color c) {
    return c == White ? Black : White;
}

enum PieceType : std::uint8_t { NoType = 0, Pawn, Knight, Bishop, Rook, Queen, King };

// A piece: type in the low three bits, colour in bit 3; 0 is an empty square.
using Piece = std::uint8_t;
constexpr Piece kEmpty = 0;
constexpr Piece makePiece(Color c, PieceType t) {
    return static_cast<Piece>((c << 3) | t);
}
constexpr PieceType typeOf(Piece p) {
    return static_cast<PieceType>(p & 7);
}
constexpr Color colorOf(Piece p) {
    return static_cast<Color>(p >> 3);
}

// Castling rights as bits.
enum CastlingRight : std::uint8_t {
    WhiteKingside = 1,
    WhiteQueenside = 2,
    BlackKingside = 4,
    BlackQueenside = 8
};

// Move flags: what the move does besides moving one piece.
enum MoveFlag : std::uint8_t {
    Quiet = 0,
    Capture = 1,
    DoublePush = 2,
    EnPassant = 4,
    CastleKingside = 8,
    CastleQueenside = 16
};

// Left uninitialised by default so that a MoveList costs nothing to create; use Move{} for
// a zeroed move.
struct Move {
    std::uint8_t from;
    std::uint8_t to;
    PieceType promotion;
    std::uint8_t flags;

    bool isCastle() const { return (flags & (CastleKingside | CastleQueenside)) != 0; }
    bool isCapture() const { return (flags & (Capture | EnPassant)) != 0; }
    bool operator==(const Move&) const = default;
};

// Fixed-size move list: generation never allocates.
struct MoveList {
    Move moves[256];
    int size = 0;

    void add(const Move& m) { moves[size++] = m; }
    const Move* begin() const { return moves; }
    const Move* end() const { return moves + size; }
};

// "e4" for a square.
std::string squareName(Square sq);
// The square named by "e4", or kNoSquare.
Square parseSquare(char file, char rank);
// "K", "Q", ... as used in SAN; "" for a pawn.
char pieceLetter(PieceType t);
// "knight", "bishop", ... for messages.
const char* pieceName(PieceType t);
const char* colorName(Color c);
// Long algebraic (UCI) text of a move, e.g. "e7e8q".
std::string uciText(const Move& m);

}  // namespace chess
