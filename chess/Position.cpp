#include "chess/Position.h"

#include <cstring>

namespace chess {

namespace {

constexpr int kKnightSteps[8] = {33, 31, 18, 14, -33, -31, -18, -14};
constexpr int kKingSteps[8] = {1, -1, 16, -16, 15, 17, -15, -17};
constexpr int kBishopSteps[4] = {15, 17, -15, -17};
constexpr int kRookSteps[4] = {1, -1, 16, -16};

constexpr Square kE1 = makeSquare(4, 0), kA1 = makeSquare(0, 0), kH1 = makeSquare(7, 0);
constexpr Square kE8 = makeSquare(4, 7), kA8 = makeSquare(0, 7), kH8 = makeSquare(7, 7);

int pawnStep(Color c) {
    return c == White ? 16 : -16;
}

// The castling rights that survive a move touching sq (king or rook moved or captured).
std::uint8_t castlingMaskFor(Square sq) {
    switch (sq) {
        case kE1:
            return static_cast<std::uint8_t>(~(WhiteKingside | WhiteQueenside));
        case kA1:
            return static_cast<std::uint8_t>(~WhiteQueenside);
        case kH1:
            return static_cast<std::uint8_t>(~WhiteKingside);
        case kE8:
            return static_cast<std::uint8_t>(~(BlackKingside | BlackQueenside));
        case kA8:
            return static_cast<std::uint8_t>(~BlackQueenside);
        case kH8:
            return static_cast<std::uint8_t>(~BlackKingside);
        default:
            return 0xff;
    }
}

Piece pieceFromChar(char ch) {
    const Color c = (ch >= 'a' && ch <= 'z') ? Black : White;
    switch (ch | 0x20) {
        case 'p':
            return makePiece(c, Pawn);
        case 'n':
            return makePiece(c, Knight);
        case 'b':
            return makePiece(c, Bishop);
        case 'r':
            return makePiece(c, Rook);
        case 'q':
            return makePiece(c, Queen);
        case 'k':
            return makePiece(c, King);
        default:
            return kEmpty;
    }
}

bool parseCount(std::string_view text, int& out) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            return false;
        }
        value = value * 10 + (ch - '0');
    }
    out = value;
    return true;
}

}  // namespace

Position::Position() {
    std::string error;
    setFen(kStartFen, error);
}

void Position::clear() {
    std::memset(m_board, 0, sizeof m_board);
    m_king[White] = m_king[Black] = kNoSquare;
    m_side = White;
    m_castling = 0;
    m_epSquare = kNoSquare;
    m_halfMove = 0;
    m_fullMove = 1;
    m_inCheck = -1;
}

bool Position::parseBoard(std::string_view field, std::string& error) {
    int rank = 7;
    int file = 0;
    for (char ch : field) {
        if (ch == '/') {
            if (file != 8 || rank == 0) {
                error = "rank " + std::to_string(rank + 1) + " does not have eight squares";
                return false;
            }
            --rank;
            file = 0;
        } else if (ch >= '1' && ch <= '8') {
            file += ch - '0';
        } else {
            const Piece p = pieceFromChar(ch);
            if (p == kEmpty) {
                error = std::string("unknown piece letter '") + ch + "'";
                return false;
            }
            if (file > 7) {
                error = "rank " + std::to_string(rank + 1) + " has more than eight squares";
                return false;
            }
            if (typeOf(p) == King) {
                if (m_king[colorOf(p)] != kNoSquare) {
                    error = std::string("more than one ") + colorName(colorOf(p)) + " king";
                    return false;
                }
                m_king[colorOf(p)] = makeSquare(file, rank);
            }
            if (typeOf(p) == Pawn && (rank == 0 || rank == 7)) {
                error = "a pawn stands on rank " + std::to_string(rank + 1);
                return false;
            }
            m_board[makeSquare(file, rank)] = p;
            ++file;
        }
        if (file > 8) {
            error = "rank " + std::to_string(rank + 1) + " has more than eight squares";
            return false;
        }
    }
    if (file != 8 || rank != 0) {
        error = rank != 0 ? "the board does not have eight ranks"
                          : "rank 1 does not have eight squares";
        return false;
    }
    for (Color c : {White, Black}) {
        if (m_king[c] == kNoSquare) {
            error = std::string("there is no ") + colorName(c) + " king";
            return false;
        }
    }
    return true;
}

bool Position::setFen(std::string_view fen, std::string& error) {
    std::string_view fields[6];
    int count = 0;
    size_t i = 0;
    while (i < fen.size()) {
        while (i < fen.size() && (fen[i] == ' ' || fen[i] == '\t')) {
            ++i;
        }
        const size_t start = i;
        while (i < fen.size() && fen[i] != ' ' && fen[i] != '\t') {
            ++i;
        }
        if (i > start) {
            if (count == 6) {
                error = "too many fields";
                return false;
            }
            fields[count++] = fen.substr(start, i - start);
        }
    }
    if (count < 4 && count != 2) {
        error = count == 0 ? "it is empty" : "fields are missing";
        return false;
    }
    clear();
    if (!parseBoard(fields[0], error)) {
        return false;
    }
    if (fields[1] != "w" && fields[1] != "b") {
        error = "the side to move must be w or b";
        return false;
    }
    m_side = fields[1] == "w" ? White : Black;
    if (count >= 4) {
        if (fields[2] != "-") {
            for (char ch : fields[2]) {
                const char* letters = "KQkq";
                const char* at = std::strchr(letters, ch);
                if (at == nullptr || ch == '\0') {
                    error = "bad castling field \"" + std::string(fields[2]) + "\"";
                    return false;
                }
                m_castling |= static_cast<std::uint8_t>(1 << (at - letters));
            }
        }
        if (fields[3] != "-") {
            if (fields[3].size() != 2 ||
                (m_epSquare = parseSquare(fields[3][0], fields[3][1])) == kNoSquare) {
                error = "bad en-passant square \"" + std::string(fields[3]) + "\"";
                return false;
            }
        }
    }
    if (count >= 5 && !parseCount(fields[4], m_halfMove)) {
        error = "bad half-move clock \"" + std::string(fields[4]) + "\"";
        return false;
    }
    if (count >= 6 && !parseCount(fields[5], m_fullMove)) {
        error = "bad move number \"" + std::string(fields[5]) + "\"";
        return false;
    }
    // Some programs write move number 0; the game still starts at move 1.
    if (m_fullMove == 0) {
        m_fullMove = 1;
    }
    if (isAttacked(m_king[opposite(m_side)], m_side)) {
        error = std::string("the ") + colorName(opposite(m_side)) +
                " king is in check although it is not to move";
        return false;
    }
    sanitizeCastling();
    sanitizeEnPassant();
    return true;
}

void Position::sanitizeCastling() {
    const Piece wk = makePiece(White, King), wr = makePiece(White, Rook);
    const Piece bk = makePiece(Black, King), br = makePiece(Black, Rook);
    if (m_board[kE1] != wk || m_board[kH1] != wr) {
        m_castling &= static_cast<std::uint8_t>(~WhiteKingside);
    }
    if (m_board[kE1] != wk || m_board[kA1] != wr) {
        m_castling &= static_cast<std::uint8_t>(~WhiteQueenside);
    }
    if (m_board[kE8] != bk || m_board[kH8] != br) {
        m_castling &= static_cast<std::uint8_t>(~BlackKingside);
    }
    if (m_board[kE8] != bk || m_board[kA8] != br) {
        m_castling &= static_cast<std::uint8_t>(~BlackQueenside);
    }
}

void Position::sanitizeEnPassant() {
    if (m_epSquare == kNoSquare) {
        return;
    }
    // The square must lie just behind a pawn of the side that is not to move, which has
    // just moved two squares: the square itself and the pawn's start square are empty.
    const int step = pawnStep(m_side);
    const int wantedRank = m_side == White ? 5 : 2;
    const Square pawnSq = m_epSquare - step;
    const Square startSq = m_epSquare + step;
    if (rankOf(m_epSquare) != wantedRank || m_board[m_epSquare] != kEmpty ||
        m_board[startSq] != kEmpty || m_board[pawnSq] != makePiece(opposite(m_side), Pawn)) {
        m_epSquare = kNoSquare;
    }
}

std::string Position::fen() const {
    // Built in a fixed buffer: the reader writes one FEN per move.
    static constexpr char kLetters[16] = {'.', 'P', 'N', 'B', 'R', 'Q', 'K', '.',
                                          '.', 'p', 'n', 'b', 'r', 'q', 'k', '.'};
    char out[128];
    int n = 0;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const Piece p = m_board[makeSquare(file, rank)];
            if (p == kEmpty) {
                ++empty;
                continue;
            }
            if (empty > 0) {
                out[n++] = static_cast<char>('0' + empty);
                empty = 0;
            }
            out[n++] = kLetters[p & 15];
        }
        if (empty > 0) {
            out[n++] = static_cast<char>('0' + empty);
        }
        if (rank > 0) {
            out[n++] = '/';
        }
    }
    out[n++] = ' ';
    out[n++] = m_side == White ? 'w' : 'b';
    out[n++] = ' ';
    if (m_castling == 0) {
        out[n++] = '-';
    } else {
        const char* letters = "KQkq";
        for (int bit = 0; bit < 4; ++bit) {
            if (m_castling & (1 << bit)) {
                out[n++] = letters[bit];
            }
        }
    }
    out[n++] = ' ';
    if (m_epSquare == kNoSquare) {
        out[n++] = '-';
    } else {
        out[n++] = static_cast<char>('a' + fileOf(m_epSquare));
        out[n++] = static_cast<char>('1' + rankOf(m_epSquare));
    }
    for (int number : {m_halfMove, m_fullMove}) {
        char digits[12];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number > 0 && count < 12);
        out[n++] = ' ';
        while (count > 0) {
            out[n++] = digits[--count];
        }
    }
    return std::string(out, static_cast<size_t>(n));
}

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

// The step leading from a to b along a rank, file or diagonal; 0 when they share none.
static int lineStep(Square a, Square b) {
    const int df = fileOf(b) - fileOf(a), dr = rankOf(b) - rankOf(a);
    if ((df == 0 && dr == 0) || (df != 0 && dr != 0 && df != dr && df != -dr)) {
        return 0;
    }
    return (dr > 0 ? 16 : dr < 0 ? -16 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
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
