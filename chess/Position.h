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
    bool inCheck() const {
        if (m_inCheck < 0) {
            m_inCheck = isAttacked(m_king[m_side], opposite(m_side)) ? 1 : 0;
        }
        return m_inCheck == 1;
    }

    // All moves that follow the piece rules, including those that leave the own king in check.
    void generatePseudoLegal(MoveList& list) const;
    // The pseudo-legal moves of the side to move's pieces of type t that land on to
    // (castling counts as a king move). Much cheaper than generating every move.
    void generateMovesTo(Square to, PieceType t, MoveList& list) const;
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
    void addPawnMovesTo(Square to, MoveList& list) const;
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
    mutable std::int8_t m_inCheck = -1;  // -1 not known yet, else whether the side to move is
};

// Number of leaf nodes of the legal move tree to the given depth.
std::uint64_t perft(const Position& pos, int depth);

}  // namespace chess
