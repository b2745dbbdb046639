#include "chess/San.h"

#include <algorithm>
#include <vector>

namespace chess {

namespace {

bool isFile(char ch) {
    return ch >= 'a' && ch <= 'h';
}
bool isRank(char ch) {
    return ch >= '1' && ch <= '8';
}

PieceType pieceFromLetter(char ch) {
    switch (ch) {
        case 'N':
            return Knight;
        case 'B':
            return Bishop;
        case 'R':
            return Rook;
        case 'Q':
            return Queen;
        case 'K':
            return King;
        case 'P':
            return Pawn;
        default:
            return NoType;
    }
}

PieceType promotionFromLetter(char ch) {
    switch (ch) {
        case 'N':
        case 'n':
            return Knight;
        case 'B':
        case 'b':
            return Bishop;
        case 'R':
        case 'r':
            return Rook;
        case 'Q':
        case 'q':
            return Queen;
        default:
            return NoType;
    }
}

// "O-O" / "O-O-O", also written with zeros. Returns Invalid when the text is no castling.
SanSyntaxStatus parseCastling(std::string_view text, SanSyntax& out, size_t& used) {
    for (std::string_view full : {"O-O-O", "0-0-0"}) {
        if (text.substr(0, 5) == full) {
            out.kind = SanSyntax::CastleQueenside;
            used = 5;
            return SanSyntaxStatus::Ok;
        }
        if (text.substr(0, 3) == full.substr(0, 3)) {
            out.kind = SanSyntax::CastleKingside;
            used = 3;
            // "O-O-" is the start of the long castling cut off.
            return text.size() == 4 && text[3] == '-' ? SanSyntaxStatus::Incomplete
                                                      : SanSyntaxStatus::Ok;
        }
        if (!text.empty() && full.substr(0, text.size()) == text) {
            return SanSyntaxStatus::Incomplete;
        }
    }
    return SanSyntaxStatus::Invalid;
}

}  // namespace

SanSyntaxStatus parseSanSyntax(std::string_view text, SanSyntax& out, size_t& used) {
    out = SanSyntax{};
    used = 0;
    if (text.empty()) {
        return SanSyntaxStatus::Invalid;
    }
    if (text[0] == 'O' || text[0] == '0') {
        return parseCastling(text, out, used);
    }
    size_t i = 0;
    if (pieceFromLetter(text[0]) != NoType) {
        out.piece = pieceFromLetter(text[0]);
        i = 1;
    } else if (!isFile(text[0])) {
        return SanSyntaxStatus::Invalid;
    }
    // Up to four coordinate characters: optional origin file and rank, then the target;
    // "x", ":" and "-" between them only mark a capture or a long-notation move.
    char coords[4];
    int count = 0;
    while (i < text.size() && count < 4) {
        const char ch = text[i];
        if (isFile(ch) || isRank(ch)) {
            coords[count++] = ch;
        } else if (!(ch == 'x' || ch == ':' || (ch == '-' && count > 0))) {
            break;
        }
        ++i;
        // Stop once a square is complete and no further square follows.
        if (count >= 2 && isRank(coords[count - 1]) && isFile(coords[count - 2]) &&
            !(i < text.size() &&
              (isFile(text[i]) || text[i] == 'x' || text[i] == ':' || text[i] == '-'))) {
            break;
        }
    }
    const bool endsOnJoiner =
        i > 0 && (text[i - 1] == 'x' || text[i - 1] == ':' || text[i - 1] == '-');
    if (count < 2 || !isFile(coords[count - 2]) || !isRank(coords[count - 1]) || endsOnJoiner) {
        // A lone piece letter, file or partial square at the end of the text is a move
        // cut short; anything else is no move.
        const bool allCoordsSoFar = i == text.size();
        return allCoordsSoFar ? SanSyntaxStatus::Incomplete : SanSyntaxStatus::Invalid;
    }
    out.to = makeSquare(coords[count - 2] - 'a', coords[count - 1] - '1');
    const int origin = count - 2;
    if (origin == 2) {
        if (!isFile(coords[0]) || !isRank(coords[1])) {
            return SanSyntaxStatus::Invalid;
        }
        out.fromFile = coords[0] - 'a';
        out.fromRank = coords[1] - '1';
    } else if (origin == 1) {
        (isFile(coords[0]) ? out.fromFile : out.fromRank) =
            isFile(coords[0]) ? coords[0] - 'a' : coords[0] - '1';
    }
    if (i < text.size() && text[i] == '=') {
        if (i + 1 == text.size()) {
            return SanSyntaxStatus::Incomplete;
        }
        out.promotion = promotionFromLetter(text[i + 1]);
        if (out.promotion == NoType) {
            return SanSyntaxStatus::Invalid;
        }
        i += 2;
    } else if (i < text.size() && out.piece == Pawn && promotionFromLetter(text[i]) != NoType) {
        out.promotion = promotionFromLetter(text[i]);
        ++i;
    }
    used = i;
    return SanSyntaxStatus::Ok;
}

namespace {

std::string castleReason(const Position& pos, bool kingside) {
    const Color us = pos.sideToMove();
    const int right = kingside ? (us == White ? WhiteKingside : BlackKingside)
                               : (us == White ? WhiteQueenside : BlackQueenside);
    const std::string side = kingside ? "kingside" : "queenside";
    if ((pos.castlingRights() & right) == 0) {
        return std::string(colorName(us)) + " may no longer castle " + side;
    }
    if (pos.inCheck()) {
        return std::string("the ") + colorName(us) + " king is in check";
    }
    const Square king = pos.kingSquare(us);
    const int step = kingside ? 1 : -1;
    for (Square sq = king + step; sq != (kingside ? king + 3 : king - 4); sq += step) {
        if (pos.at(sq) != kEmpty) {
            return "a piece stands between king and rook";
        }
    }
    return "the king would pass through or land on an attacked square";
}

std::string squareList(const std::vector<Square>& squares) {
    std::string out;
    for (size_t i = 0; i < squares.size(); ++i) {
        if (i > 0) {
            out += i + 1 == squares.size() ? " and " : ", ";
        }
        out += squareName(squares[i]);
    }
    return out;
}

bool sameOrigin(const Position& pos, const Move& m, const SanSyntax& s) {
    if (typeOf(pos.at(m.from)) != s.piece || m.to != s.to) {
        return false;
    }
    if (s.fromFile >= 0 && fileOf(m.from) != s.fromFile) {
        return false;
    }
    if (s.fromRank >= 0 && rankOf(m.from) != s.fromRank) {
        return false;
    }
    // A pawn written without its origin file moves straight ahead.
    return !(s.piece == Pawn && s.fromFile < 0 && fileOf(m.from) != fileOf(m.to));
}

std::string unreachableReason(const Position& pos, const SanSyntax& s, bool anyOrigin) {
    const std::string color = colorName(pos.sideToMove());
    if (anyOrigin) {
        return s.promotion == NoType ? "a pawn reaching the last rank must promote"
                                     : "only a pawn reaching the last rank can promote";
    }
    const Piece occupant = pos.at(s.to);
    if (occupant != kEmpty && colorOf(occupant) == pos.sideToMove()) {
        return "a " + color + " " + pieceName(typeOf(occupant)) + " stands on " + squareName(s.to);
    }
    if (s.piece == Pawn) {
        return "no " + color + " pawn can " + (s.fromFile >= 0 ? "capture on " : "move to ") +
               squareName(s.to);
    }
    if (s.piece == King) {
        return "the " + color + " king cannot reach " + squareName(s.to);
    }
    return "no " + color + " " + pieceName(s.piece) + " can reach " + squareName(s.to);
}

}  // namespace

SanMatch matchSan(const Position& pos, const SanSyntax& written, Move& move, std::string& why) {
    SanSyntax syntax = written;
    // Long notation without a piece letter ("g1f3") names the piece by its square.
    if (syntax.piece == Pawn && syntax.fromFile >= 0 && syntax.fromRank >= 0) {
        const Piece p = pos.at(makeSquare(syntax.fromFile, syntax.fromRank));
        if (p != kEmpty && colorOf(p) == pos.sideToMove()) {
            syntax.piece = typeOf(p);
        }
    }
    if (syntax.kind != SanSyntax::Normal) {
        const bool kingside = syntax.kind == SanSyntax::CastleKingside;
        const std::uint8_t flag = kingside ? CastleKingside : CastleQueenside;
        MoveList kingMoves;
        pos.generateMovesTo(pos.kingSquare(pos.sideToMove()) + (kingside ? 2 : -2), King,
                            kingMoves);
        for (const Move& m : kingMoves) {
            if ((m.flags & flag) && pos.isLegal(m)) {
                move = m;
                return SanMatch::Legal;
            }
        }
        why = castleReason(pos, syntax.kind == SanSyntax::CastleKingside);
        return SanMatch::Illegal;
    }
    int found = 0;
    bool pseudoFound = false;
    bool promotionMismatch = false;
    std::vector<Square> origins;
    MoveList candidates;
    pos.generateMovesTo(syntax.to, syntax.piece, candidates);
    for (const Move& m : candidates) {
        if (!sameOrigin(pos, m, syntax)) {
            continue;
        }
        if (m.promotion != syntax.promotion) {
            promotionMismatch = true;
            continue;
        }
        pseudoFound = true;
        if (!pos.isLegal(m)) {
            continue;
        }
        if (found++ == 0) {
            move = m;
        }
        origins.push_back(m.from);
    }
    if (found == 1) {
        return SanMatch::Legal;
    }
    const std::string color = colorName(pos.sideToMove());
    if (found > 1) {
        std::sort(origins.begin(), origins.end());
        why = color + " " + pieceName(syntax.piece) + "s on " + squareList(origins) +
              " can all move to " + squareName(syntax.to);
        if (found == 2) {
            why.replace(why.find("all"), 3, "both");
        }
        return SanMatch::Ambiguous;
    }
    if (pseudoFound) {
        why = syntax.piece == King
                  ? "the " + color + " king would be in check on " + squareName(syntax.to)
                  : "it would leave the " + color + " king in check";
    } else {
        why = unreachableReason(pos, syntax, promotionMismatch);
    }
    return SanMatch::Illegal;
}

std::string sanBody(const Position& pos, const Move& move) {
    if (move.flags & CastleKingside) {
        return "O-O";
    }
    if (move.flags & CastleQueenside) {
        return "O-O-O";
    }
    const PieceType piece = typeOf(pos.at(move.from));
    std::string out;
    if (piece == Pawn) {
        if (move.isCapture()) {
            out += static_cast<char>('a' + fileOf(move.from));
        }
    } else {
        out += pieceLetter(piece);
        // Name the origin file if that tells the pieces apart, else its rank, else both.
        bool clash = false, sameFile = false, sameRank = false;
        MoveList rivals;
        pos.generateMovesTo(move.to, piece, rivals);
        for (const Move& m : rivals) {
            if (m.from == move.from || !pos.isLegal(m)) {
                continue;
            }
            clash = true;
            sameFile |= fileOf(m.from) == fileOf(move.from);
            sameRank |= rankOf(m.from) == rankOf(move.from);
        }
        if (clash) {
            if (!sameFile) {
                out += static_cast<char>('a' + fileOf(move.from));
            } else if (!sameRank) {
                out += static_cast<char>('1' + rankOf(move.from));
            } else {
                out += squareName(move.from);
            }
        }
    }
    if (move.isCapture()) {
        out += 'x';
    }
    out += squareName(move.to);
    if (move.promotion != NoType) {
        out += '=';
        out += pieceLetter(move.promotion);
    }
    return out;
}

const char* checkSuffix(const Position& after) {
    if (!after.inCheck()) {
        return "";
    }
    return after.hasLegalMove() ? "+" : "#";
}

std::string sanText(const Position& pos, const Move& move) {
    Position next = pos;
    next.makeMove(move);
    return sanBody(pos, move) + checkSuffix(next);
}

bool parseSan(const Position& pos, std::string_view text, Move& move, std::string& why) {
    SanSyntax syntax;
    size_t used = 0;
    if (parseSanSyntax(text, syntax, used) != SanSyntaxStatus::Ok) {
        why = "not a move";
        return false;
    }
    for (size_t i = used; i < text.size(); ++i) {
        if (text[i] != '+' && text[i] != '#') {
            why = "not a move";
            return false;
        }
    }
    return matchSan(pos, syntax, move, why) == SanMatch::Legal;
}

}  // namespace chess
