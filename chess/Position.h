#pragma once
// A chess position on a 0x88 board with legal move generation and FEN reading/writing.

#include <string>
#include <string_view>

#include "chess/Types.h"

namespace chess {

constexpr const char* kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class Position {
public:
    Position();  // the standard start position

    // Reads a FEN (the two clock fields may be missing). On failure returns false and sets
    // error to the reason. Castling rights that the pieces on the board cannot have (king or
    // rook not on its square) are dropped, as are impossible en-passant squares: real files
    // carry such FENs and the game itself is still sound.
    bool setFen(std::string_view fen, std::string& error);
    std::string fen() const;

    Piece at(Square sq) const { return m_board[sq]; }
    Color sideToMove() const { return m_side; }
    int fullMoveNumber() const { return m_fullMove; }
    int halfMoveClock() const { return m_halfMove; }
    int castlingRights() const { return m_castling; }
    Square enPassantSquare() const { return m_epSquare; }
    Square kingSquare(Color c) const { return m_king[c]; }

    // True when a piece of colour by attacks sq.
    bool isAttacked(Square sq, Color by) const;
    bool inCheck() const { return isAttacked(m_king[m_side], opposite(m_side)); }

    // All moves that follow the piece rules, including those that leave the own king in check.
    void generatePseudoLegal(MoveList& list) const;
    // Only the legal moves.
    void generateLegal(MoveList& list) const;
    // True when m (taken from generatePseudoLegal) does not leave the own king in check.
    bool isLegal(const Move& m) const;
    bool hasLegalMove() const;

    // Plays a move from the generated lists; no checks.
    void makeMove(const Move& m);

private:
    void clear();
    void addPawnMoves(Square from, MoveList& list) const;
    void addPieceMoves(Square from, PieceType t, MoveList& list) const;
    void addCastling(MoveList& list) const;
    void sanitizeCastling();
    void sanitizeEnPassant();
    bool parseBoard(std::string_view field, std::string& error);

    Piece m_board[128];
    Square m_king[2];
    Color m_side;
    std::uint8_t m_castling;
    Square m_epSquare;
    int m_halfMove;
    int m_fullMove;
};

// Number of leaf nodes of the legal move tree to the given depth.
std::uint64_t perft(const Position& pos, int depth);

}  // namespace chess
