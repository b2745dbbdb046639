#include "chess/Position.h"

#include <cstring>

#include "chess/BoardGeometry.h"

namespace chess {

namespace {

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

}  // namespace chess
