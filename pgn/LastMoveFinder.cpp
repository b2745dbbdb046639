#include "pgn/LastMoveFinder.h"

#include <algorithm>
#include <exception>

#include "core/TextUtils.h"

namespace korvane {

using namespace pgntext;

bool IsMoveDelimiter(char c) {
    return c == '$' || c == '!' || c == '?' || static_cast<unsigned char>(c) < 33;
}

bool IsMoveDelimiter(std::string_view c) {
    return c.empty() || IsMoveDelimiter(c.front());
}

bool IsAnnotationChar(char c) {
    return c == '$' || c == '!' || c == '?';
}

bool IsAnnotationChar(std::string_view c) {
    return c.size() == 1 && IsAnnotationChar(c.front());
}

long FindAnnotationChar(std::string_view s, long from) {
    for (char glyph : {'?', '!', '$'}) {
        if (const long at = FindChar(s, glyph, from)) {
            return at;
        }
    }
    return 0;
}

namespace {

// A letter starts a move: alphanumeric and above "9", so move numbers, results and
// castling written with zeros never do.
bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > '9' && dhIsCharAlphanumeric(u);
}

// Index just past the run of characters above blank that starts at index from.
long SkipRun(std::string_view s, long from) {
    while (from <= Length(s) && AboveBlank(At(s, from))) {
        ++from;
    }
    return from;
}

struct Token {
    std::string text;
    long end = 0;  // index of the delimiter that ended it; 0 when the piece ran out
};

// Token reading: "." is never collected, delimiters are skipped until something has
// been collected, and the first delimiter after that ends the token.
Token ReadToken(std::string_view piece, long from) {
    Token token;
    for (long i = std::max(from, 1L); i <= Length(piece); ++i) {
        const char c = At(piece, i);
        if (c == '.') {
            continue;
        }
        if (IsMoveDelimiter(c)) {
            if (token.text.empty()) {
                continue;
            }
            token.end = i;
            return token;
        }
        token.text += c;
    }
    return token;
}

// A stretch that holds something besides blanks, line breaks and glyphs or NAGs.
bool HoldsMoveText(std::string_view s) {
    long i = 1;
    while (i <= Length(s)) {
        const char c = At(s, i);
        if (!AboveBlank(c)) {
            ++i;
        } else if (IsAnnotationChar(c)) {
            i = SkipRun(s, i + 1);
        } else {
            return true;
        }
    }
    return false;
}

// Follows the numbered steps of the last-move search over the scanner's stretches.
// Positions in the text are 1-based; a "stretch text" leaves out the stretch's last
// character, and a "tail" of stretch i from offset p runs from GameStart(i) + p to
// GameEnd(i) inclusive.
class Finder {
public:
    Finder(std::string_view text, const TagSpans& tags, const MovetextPieces& pieces,
           LastMoveResult& result)
        : m_text(text), m_tags(tags), m_pieces(pieces), m_r(result) {}

    PgnError run(const std::string& path) {
        m_r = LastMoveResult();
        highestNumber();
        if (m_r.LastMove == 0) {
            // The start of the line after the last tag, whether lines end with CR LF or LF.
            const long next = LineAfter(m_text, m_tags.lastTag);
            m_paste = next == 0 || next > Length(m_text) ? m_tags.lastTag + 1 : next;
            placement();
            m_r.PastePoint = m_paste;
            return std::nullopt;
        }
        m_marker = Marker(m_r.LastMove);
        m_cur = m_k;
        if (!(m_k < count() && (blackInSameStretch() || replyAfterPiece()))) {
            whiteAndReply(m_k, m_p);
        }
        placement();
        if (m_r.sLastMove.size() < 2) {
            return m_marker + " " + m_r.sLastMove + " is not a valid move. " + "Error in " + path +
                   ". Korvane will use the source file.";
        }
        m_r.PastePoint = m_paste;
        return std::nullopt;
    }

private:
    long count() const { return static_cast<long>(m_pieces.gameStart.size()); }
    long start(long i) const { return m_pieces.gameStart[i - 1]; }
    long end(long i) const { return m_pieces.gameEnd[i - 1]; }
    std::string_view stretchText(long i) const { return Mid(m_text, start(i), end(i) - 1); }
    // The piece a reply is read from: the whole stretch, so that a move standing right
    // before a brace or at the very end of the text is read whole (the stretch text
    // would cut its last character).
    std::string_view readable(long i) const { return Mid(m_text, start(i), end(i)); }
    std::string_view tail(long i, long p) const { return Mid(m_text, start(i) + p, end(i)); }
    long markerLength() const { return Length(m_marker); }

    // Step 1: the highest n whose marker occurs in the stretches, each searched from the
    // stretch where the previous number was found, and there from just after it: a search
    // from the stretch's start for every number made a long game without comments cost
    // its length for each of its moves.
    void highestNumber() {
        for (long n = 1;; ++n) {
            const std::string marker = Marker(n);
            long found = 0;
            for (long i = m_k; i <= count() && found == 0; ++i) {
                const long from = i == m_k && n > 1 ? m_p + 1 : 1;
                if (const long q = InStr(stretchText(i), marker, from)) {
                    m_k = i;
                    found = m_p = q;
                }
            }
            if (found == 0) {
                return;
            }
            m_r.LastMove = n;
        }
    }

    // Step 4: Black's numbered move later in the same stretch.
    bool blackInSameStretch() {
        const std::string_view t = tail(m_k, m_p);
        const long q = InStr(t, m_marker);
        if (q == 0) {
            return false;
        }
        m_r.sLastMove = ReadToken(t, q + markerLength() + 1).text;
        m_r.bBlackLast = true;
        return true;
    }

    // The stretch where Black's reply to the move in stretch k can stand: the first later
    // one holding move text. A line break between two comments, or a lone glyph, forms a
    // stretch of its own and must not hide the reply behind it.
    long nextMoveStretch(long k) const {
        for (long i = k + 1; i <= count(); ++i) {
            if (HoldsMoveText(Mid(m_text, start(i), end(i)))) {
                return i;
            }
        }
        return 0;
    }

    // Steps 5 and 6: Black's reply after a comment or variation, numbered or not.
    bool replyAfterPiece() {
        const long next = nextMoveStretch(m_k);
        if (next == 0) {
            return false;
        }
        return blackNumberedAfterPiece(next) || blackUnnumberedAfterPiece(next);
    }

    bool blackNumberedAfterPiece(long next) {
        const std::string_view piece = readable(next);
        const long q = InStr(piece, m_marker);
        if (q == 0) {
            return false;
        }
        if (next != count()) {
            m_r.bBlackLast = true;
            whiteAndReply(next, q);
            return true;
        }
        const Token token = ReadToken(piece, q + markerLength());
        if (token.text.empty()) {
            return false;
        }
        m_r.sLastMove = token.text;
        m_r.bBlackLast = true;
        m_cur = next;
        m_paste = pasteAfterMove(token.end ? start(next) + token.end - 1 : end(next) + 1);
        return true;
    }

    bool blackUnnumberedAfterPiece(long next) {
        const std::string_view piece = readable(next);
        long first = 1;
        while (first <= Length(piece) && !IsLetter(At(piece, first))) {
            ++first;
        }
        if (first > Length(piece)) {
            return false;
        }
        long stop = first;
        while (stop <= Length(piece) && !IsMoveDelimiter(At(piece, stop))) {
            ++stop;
        }
        m_r.sLastMove = std::string(Mid(piece, first, stop - 1));
        m_r.bBlackLast = true;
        m_cur = next;
        if (next == count()) {
            m_paste = pasteAfterMove(start(next) + stop - 1);
        }
        return true;
    }

    void completeToken(const std::string& token) {
        m_r.sLastMove = token;
        if (m_r.bWhiteLast) {
            m_r.bBlackLast = true;
            m_r.bWhiteLast = false;
        } else {
            m_r.bWhiteLast = true;
        }
    }

    // Step 7: White's move and Black's reply in one stretch, read from the marker's period
    // on, with glyphs after a move kept in front of the paste point.
    void whiteAndReply(long k, long p) {
        const std::string_view t = tail(k, p);
        const long n = Length(t);
        std::string token;
        bool open = false;
        long pasteIndex = 0;
        long glyphEnd = 0;
        long i = markerLength() - 1;
        while (i <= n) {
            const char c = At(t, i);
            if (open && IsMoveDelimiter(c)) {
                completeToken(token);
                pasteIndex = i;
                open = false;
            } else if (open && AboveBlank(c)) {
                token += c;
            } else if (!open && IsLetter(c)) {
                token.assign(1, c);
                open = true;
            }
            if (IsAnnotationChar(c)) {
                const long j = SkipRun(t, i + 1);
                pasteIndex = j - 1;
                glyphEnd = j;
                i = j;
                continue;
            }
            ++i;
        }
        if (open) {
            // The tail ended the move (at the end of the text, or right before a brace).
            completeToken(token);
            pasteIndex = n + 1;
        }
        if (glyphEnd > pasteIndex) {
            pasteIndex = glyphEnd;
        }
        m_cur = k;
        m_paste = start(k) + p - 1 + (pasteIndex > 0 ? pasteIndex : n + 1);
    }

    // Step 8: the paste point after a move read in the last stretch: the delimiter that
    // ended it, moved past every glyph or NAG that follows the move.
    long pasteAfterMove(long pos) const {
        const long L = Length(m_text);
        for (;;) {
            if (IsAnnotationChar(At(m_text, pos))) {
                pos = SkipRun(m_text, pos + 1);
                continue;
            }
            long next = pos;
            while (next <= L && !AboveBlank(At(m_text, next))) {
                ++next;
            }
            if (next > pos && next <= L && IsAnnotationChar(At(m_text, next))) {
                pos = next;
                continue;
            }
            return pos;
        }
    }

    // Step 9: new moves go after a comment or variation that follows the last move, and
    // after the glyphs or NAGs that follow that comment ("Nf3 {idea} $14"), which would
    // otherwise be cut off at every update.
    void placement() {
        const long lastCom = m_pieces.comEnd.empty() ? 0 : m_pieces.comEnd.back();
        const long lastVar = m_pieces.varEnd.empty() ? 0 : m_pieces.varEnd.back();
        const long C = std::max(lastCom, lastVar);
        const long currentEnd = m_r.LastMove == 0 ? m_tags.lastTag : end(m_cur);
        if (C > currentEnd) {
            m_paste = pasteAfterMove(C + 1);
            m_r.pastedAfterPieces = true;
        }
    }

    std::string_view m_text;
    const TagSpans& m_tags;
    const MovetextPieces& m_pieces;
    LastMoveResult& m_r;
    std::string m_marker;
    long m_k = 1;    // stretch of the highest marker
    long m_p = 0;    // the marker's position in that stretch text
    long m_cur = 0;  // stretch that holds the last move
    long m_paste = 0;
};

}  // namespace

PgnError FindLastMove(std::string_view text, const TagSpans& tags, const MovetextPieces& pieces,
                      const std::string& path, LastMoveResult& result) {
    try {
        return Finder(text, tags, pieces, result).run(path);
    } catch (const std::exception& e) {
        return std::string("Error in procedure FindLastMove.\r\n") + e.what();
    }
}

void StoreLastMove(Pgn& game, const LastMoveResult& result) {
    game.LastMove = result.LastMove;
    game.sLastMove = result.sLastMove;
    game.bWhiteLast = result.bWhiteLast;
    game.bBlackLast = result.bBlackLast;
    if (result.PastePoint > 0) {
        game.PastePoint = result.PastePoint;
    }
}

}  // namespace korvane
