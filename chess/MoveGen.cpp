// Attack tests, move generation and making moves on the 0x88 board.

#include "chess/BoardGeometry.h"
#include "chess/Position.h"

namespace chess {

bool Position::isAttacked(Square sq, Color by) const {
    // Pawns attack diagonally forward, so look diagonally backward from the target.
    const int back = -pawnStep(by);
    const Piece pawn = makePiece(by, Pawn);
    for (int side : {-1, 1}) {
        const Square from = sq + back + side;
        if (onBoard(from) && m_board[from] == pawn) {
            return true;
        }
    }
    const Piece knight = makePiece(by, Knight);
    for (int step : kKnightSteps) {
        const Square from = sq + step;
        if (onBoard(from) && m_board[from] == knight) {
            return true;
        }
    }
    const Piece king = makePiece(by, King);
    for (int step : kKingSteps) {
        const Square from = sq + step;
        if (onBoard(from) && m_board[from] == king) {
            return true;
        }
    }
    const Piece queen = makePiece(by, Queen);
    const Piece bishop = makePiece(by, Bishop);
    const Piece rook = makePiece(by, Rook);
    for (int step : kBishopSteps) {
        Square from = sq + step;
        while (onBoard(from) && m_board[from] == kEmpty) {
            from += step;
        }
        if (onBoard(from) && (m_board[from] == bishop || m_board[from] == queen)) {
            return true;
        }
    }
    for (int step : kRookSteps) {
        Square from = sq + step;
        while (onBoard(from) && m_board[from] == kEmpty) {
            from += step;
        }
        if (onBoard(from) && (m_board[from] == rook || m_board[from] == queen)) {
            return true;
        }
    }
    return false;
}

void Position::addPawnMoves(Square from, MoveList& list) const {
    const int step = pawnStep(m_side);
    const int lastRank = m_side == White ? 7 : 0;
    const int startRank = m_side == White ? 1 : 6;
    auto add = [&](Square to, std::uint8_t flags) {
        Move m{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), NoType, flags};
        if (rankOf(to) == lastRank) {
            for (PieceType t : {Queen, Rook, Bishop, Knight}) {
                m.promotion = t;
                list.add(m);
            }
        } else {
            list.add(m);
        }
    };
    const Square one = from + step;
    if (onBoard(one) && m_board[one] == kEmpty) {
        add(one, Quiet);
        if (rankOf(from) == startRank && m_board[one + step] == kEmpty) {
            add(one + step, DoublePush);
        }
    }
    for (int side : {-1, 1}) {
        const Square to = one + side;
        if (!onBoard(to)) {
            continue;
        }
        if (m_board[to] != kEmpty && colorOf(m_board[to]) != m_side) {
            add(to, Capture);
        } else if (to == m_epSquare) {
            add(to, EnPassant);
        }
    }
}

void Position::addPieceMoves(Square from, PieceType t, MoveList& list) const {
    const int* steps = t == Knight ? kKnightSteps
                       : t == King ? kKingSteps
                       : t == Rook ? kRookSteps
                                   : (t == Bishop ? kBishopSteps : kKingSteps);
    const int count = (t == Bishop || t == Rook) ? 4 : 8;
    const bool slides = t == Bishop || t == Rook || t == Queen;
    for (int i = 0; i < count; ++i) {
        Square to = from + steps[i];
        while (onBoard(to)) {
            const Piece target = m_board[to];
            if (target != kEmpty) {
                if (colorOf(target) != m_side) {
                    list.add({static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                              NoType, Capture});
                }
                break;
            }
            list.add(
                {static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), NoType, Quiet});
            if (!slides) {
                break;
            }
            to += steps[i];
        }
    }
}

void Position::addCastling(MoveList& list) const {
    const Color them = opposite(m_side);
    const Square king = m_side == White ? kE1 : kE8;
    const std::uint8_t kingside = m_side == White ? WhiteKingside : BlackKingside;
    const std::uint8_t queenside = m_side == White ? WhiteQueenside : BlackQueenside;
    if ((m_castling & (kingside | queenside)) == 0 || m_king[m_side] != king ||
        isAttacked(king, them)) {
        return;
    }
    // The king may not pass through or land on an attacked square; the squares between
    // king and rook must be empty.
    if ((m_castling & kingside) && m_board[king + 1] == kEmpty && m_board[king + 2] == kEmpty &&
        !isAttacked(king + 1, them) && !isAttacked(king + 2, them)) {
        list.add({static_cast<std::uint8_t>(king), static_cast<std::uint8_t>(king + 2), NoType,
                  CastleKingside});
    }
    if ((m_castling & queenside) && m_board[king - 1] == kEmpty && m_board[king - 2] == kEmpty &&
        m_board[king - 3] == kEmpty && !isAttacked(king - 1, them) && !isAttacked(king - 2, them)) {
        list.add({static_cast<std::uint8_t>(king), static_cast<std::uint8_t>(king - 2), NoType,
                  CastleQueenside});
    }
}

void Position::generatePseudoLegal(MoveList& list) const {
    list.size = 0;
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const Square sq = makeSquare(file, rank);
            const Piece p = m_board[sq];
            if (p == kEmpty || colorOf(p) != m_side) {
                continue;
            }
            if (typeOf(p) == Pawn) {
                addPawnMoves(sq, list);
            } else {
                addPieceMoves(sq, typeOf(p), list);
            }
        }
    }
    addCastling(list);
}

void Position::addPawnMovesTo(Square to, MoveList& list) const {
    const int step = pawnStep(m_side);
    const Piece pawn = makePiece(m_side, Pawn);
    MoveList all;
    auto collect = [&](Square from) {
        if (onBoard(from) && m_board[from] == pawn) {
            all.size = 0;
            addPawnMoves(from, all);
            for (const Move& m : all) {
                if (m.to == to) {
                    list.add(m);
                }
            }
        }
    };
    if (m_board[to] == kEmpty) {
        collect(to - step);
        if (onBoard(to - step) && m_board[to - step] == kEmpty) {
            collect(to - 2 * step);
        }
    }
    collect(to - step - 1);
    collect(to - step + 1);
}

void Position::generateMovesTo(Square to, PieceType t, MoveList& list) const {
    list.size = 0;
    if (!onBoard(to)) {
        return;
    }
    if (t == Pawn) {
        addPawnMovesTo(to, list);
        return;
    }
    const Piece target = m_board[to];
    if (target != kEmpty && colorOf(target) == m_side) {
        return;
    }
    const std::uint8_t flags = target != kEmpty ? Capture : Quiet;
    const Piece piece = makePiece(m_side, t);
    // Look from the target square back along the piece's own steps: the moves are symmetric.
    const int* steps = t == Knight   ? kKnightSteps
                       : t == Rook   ? kRookSteps
                       : t == Bishop ? kBishopSteps
                                     : kKingSteps;
    const int count = (t == Bishop || t == Rook) ? 4 : 8;
    const bool slides = t == Bishop || t == Rook || t == Queen;
    for (int i = 0; i < count; ++i) {
        Square from = to + steps[i];
        while (onBoard(from)) {
            if (m_board[from] == piece) {
                list.add({static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), NoType,
                          flags});
            }
            if (m_board[from] != kEmpty || !slides) {
                break;
            }
            from += steps[i];
        }
    }
    if (t == King) {
        MoveList castles;
        addCastling(castles);
        for (const Move& m : castles) {
            if (m.to == to) {
                list.add(m);
            }
        }
    }
}

bool Position::isLegal(const Move& m) const {
    // Out of check, a move by another piece than the king (en passant aside, which takes a
    // second piece off the line) is illegal only if the piece is pinned: it leaves the line
    // from its king to an enemy slider.
    if (typeOf(m_board[m.from]) != King && !(m.flags & EnPassant) && !inCheck()) {
        const Square king = m_king[m_side];
        const int step = lineStep(king, m.from);
        if (step == 0 || lineStep(king, m.to) == step) {
            return true;
        }
        for (Square sq = king + step; sq != m.from; sq += step) {
            if (m_board[sq] != kEmpty) {
                return true;
            }
        }
        for (Square sq = m.from + step; onBoard(sq); sq += step) {
            const Piece p = m_board[sq];
            if (p == kEmpty) {
                continue;
            }
            const bool diagonal = step == 15 || step == 17 || step == -15 || step == -17;
            return colorOf(p) == m_side ||
                   !(typeOf(p) == Queen || typeOf(p) == (diagonal ? Bishop : Rook));
        }
        return true;
    }
    Position next = *this;
    next.makeMove(m);
    return !next.isAttacked(next.m_king[m_side], next.m_side);
}

void Position::generateLegal(MoveList& list) const {
    MoveList pseudo;
    generatePseudoLegal(pseudo);
    list.size = 0;
    for (const Move& m : pseudo) {
        if (isLegal(m)) {
            list.add(m);
        }
    }
}

bool Position::hasLegalMove() const {
    MoveList pseudo;
    generatePseudoLegal(pseudo);
    for (const Move& m : pseudo) {
        if (isLegal(m)) {
            return true;
        }
    }
    return false;
}

void Position::makeMove(const Move& m) {
    const Square from = m.from, to = m.to;
    const Piece piece = m_board[from];
    const bool resetsClock = typeOf(piece) == Pawn || m_board[to] != kEmpty;
    if (m.flags & EnPassant) {
        m_board[to - pawnStep(m_side)] = kEmpty;
    }
    m_board[to] = m.promotion != NoType ? makePiece(m_side, m.promotion) : piece;
    m_board[from] = kEmpty;
    if (typeOf(piece) == King) {
        m_king[m_side] = to;
        if (m.flags & CastleKingside) {
            m_board[to - 1] = m_board[to + 1];
            m_board[to + 1] = kEmpty;
        } else if (m.flags & CastleQueenside) {
            m_board[to + 1] = m_board[to - 2];
            m_board[to - 2] = kEmpty;
        }
    }
    m_castling &= castlingMaskFor(from) & castlingMaskFor(to);
    m_epSquare = (m.flags & DoublePush) ? from + pawnStep(m_side) : kNoSquare;
    m_halfMove = resetsClock ? 0 : m_halfMove + 1;
    if (m_side == Black) {
        ++m_fullMove;
    }
    m_side = opposite(m_side);
    m_inCheck = -1;
}

std::uint64_t perft(const Position& pos, int depth) {
    MoveList list;
    pos.generateLegal(list);
    if (depth <= 1) {
        return depth == 1 ? static_cast<std::uint64_t>(list.size) : 1;
    }
    std::uint64_t nodes = 0;
    for (const Move& m : list) {
        Position next = pos;
        next.makeMove(m);
        nodes += perft(next, depth - 1);
    }
    return nodes;
}

}  // namespace chess
