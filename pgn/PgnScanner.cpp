#include "pgn/PgnScanner.h"

#include <algorithm>
#include <exception>

namespace korvane {

using namespace pgntext;

long FindTagEnd(std::string_view text, long open) {
    const long firstClose = FindChar(text, ']', open + 1);
    // A "]" inside the quoted value (a site such as "Barcelona [Nogueiras,J]") does not
    // end the tag. A value whose quote is not closed on its own line is not trusted: the
    // first "]" then ends the tag, as it does for any text without quotes.
    bool inQuote = false;
    for (long i = open + 1; i <= Length(text); ++i) {
        const char c = At(text, i);
        if (inQuote) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inQuote = false;
            } else if (c == '\r' || c == '\n') {
                return firstClose;
            }
        } else if (c == '"') {
            inQuote = true;
        } else if (c == ']') {
            return i;
        }
    }
    return firstClose;
}

PgnError FindLastTag(std::string_view text, TagSpans& tags) {
    try {
        TagSpans found;
        const bool holdsComment = FindChar(text, '{') > 0;
        for (long open = NextTagOpen(text, 1); open > 0;) {
            const long close = FindTagEnd(text, open);
            if (close == 0) {
                return holdsComment ? "Missing ] in header tags." : "Missing ] in pgn";
            }
            found.start.push_back(open);
            found.end.push_back(close);
            open = NextTagOpen(text, close + 1);
        }
        if (found.end.empty()) {
            return "Error in procedure FindLastTag.";
        }
        found.lastTag = found.end.back();
        tags = std::move(found);
        return std::nullopt;
    } catch (const std::exception&) {
        return "Error in procedure FindLastTag.";
    }
}

bool LineCommentAt(std::string_view text, long pos) {
    const char c = At(text, pos);
    return c == ';' || (c == '%' && (pos == 1 || At(text, pos - 1) == '\n'));
}

long LineCommentEnd(std::string_view text, long pos) {
    const long lf = FindChar(text, '\n', pos + 1);
    return lf == 0 ? Length(text) : lf;
}

namespace {

// When a comment ("{...}", ";" to the line end, or a "%" line) starts at i, the position of
// its last character, 0 when its "}" is missing; otherwise i itself.
long CommentEndAt(std::string_view text, long i) {
    if (At(text, i) == '{') {
        return FindChar(text, '}', i + 1);
    }
    return LineCommentAt(text, i) ? LineCommentEnd(text, i) : i;
}

}  // namespace

// A "[" in a comment, a ";" comment or a "%" line is no tag: a clock note, a reference
// such as "; see [Event ...]" or an escape line would otherwise pass for a header, and a
// later game's header in a file whose earlier game holds a comment would be missed.
long NextTagOpen(std::string_view text, long from) {
    for (long i = std::max(from, 1L); i <= Length(text); ++i) {
        if (At(text, i) == '[') {
            return i;
        }
        i = CommentEndAt(text, i);
        if (i == 0) {
            return 0;
        }
    }
    return 0;
}

namespace {

long FindLineComment(std::string_view text, long from) {
    for (long i = std::max(from, 1L); i <= Length(text); ++i) {
        if (LineCommentAt(text, i)) {
            return i;
        }
    }
    return 0;
}

PgnError CollectPieces(std::string_view text, long lastTag, MovetextPieces& pieces) {
    const long L = Length(text);
    long i = lastTag;
    bool lookForComments = true;
    bool lookForVariations = true;
    bool lookForLineComments = true;
    bool noneLeft = false;
    // The next "{", "(" and line comment. Each search goes on from where it stopped: one
    // found beyond the piece just read is still the next. Searching again from every
    // piece made a game with thousands of comments and one late ";" take seconds.
    long B = 0;
    long P = 0;
    long S = 0;
    while (i + 1 <= L) {
        if (lookForComments && B <= i) {
            B = FindChar(text, '{', i + 1);
        }
        lookForComments = B > 0;
        if (lookForVariations && P <= i) {
            P = FindChar(text, '(', i + 1);
        }
        lookForVariations = P > 0;
        if (lookForLineComments && S <= i) {
            S = FindLineComment(text, i + 1);
        }
        lookForLineComments = S > 0;
        if (!lookForComments && !lookForVariations && !lookForLineComments) {
            noneLeft = true;
            break;
        }
        long stretchEnd = 0;
        long e = 0;
        // A ";" comment is a piece of its own, so that its words are never read as moves
        // and the merge pastes behind it, on the next line, instead of cutting it off.
        if (lookForLineComments && (!lookForComments || S < B) && (!lookForVariations || S < P)) {
            e = LineCommentEnd(text, S);
            stretchEnd = S - 1;
            pieces.comStart.push_back(S);
            pieces.comEnd.push_back(e);
        } else if (lookForVariations && (!lookForComments || P < B)) {
            e = VariationEnd(text, P);
            if (e == 0) {
                return "There's a variation not closed with ).";
            }
            stretchEnd = P - 1;
            pieces.varStart.push_back(P);
            pieces.varEnd.push_back(e);
        } else {
            e = FindChar(text, '}', B + 1);
            if (e == 0) {
                return lookForVariations ? "There's a missing } to close a comment."
                                         : "There's a comment with no closing tag }";
            }
            stretchEnd = B - 1;
            pieces.comStart.push_back(B);
            pieces.comEnd.push_back(e);
        }
        // An empty stretch, or a single character such as the blank between "}" and "(",
        // is not recorded.
        if (stretchEnd > i + 1) {
            pieces.gameStart.push_back(i + 1);
            pieces.gameEnd.push_back(stretchEnd);
        }
        i = e;
    }
    if (noneLeft && L > i + 1) {
        pieces.gameStart.push_back(i + 1);
        pieces.gameEnd.push_back(L);
    }
    return std::nullopt;
}

}  // namespace

// The ")" that closes the variation opened at open, counting nested variations to any
// depth and skipping comments inside it (a ")" in a comment such as {:)} closes nothing).
// Taking the first ")" with no "(" since the previous one would end a variation nested
// three deep too early; the merge would then cut one of its ")" or read the rest of it as
// the last move. 0 when a ")" or the "}" of an inner comment is missing.
long VariationEnd(std::string_view text, long open) {
    int depth = 0;
    for (long i = open; i <= Length(text); ++i) {
        const long commentEnd = CommentEndAt(text, i);
        if (commentEnd != i) {
            if (commentEnd == 0) {
                return 0;
            }
            i = commentEnd;
            continue;
        }
        const char c = At(text, i);
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return i;
        }
    }
    return 0;
}

PgnError MakeParseCollections(std::string_view text, long lastTag, MovetextPieces& pieces) {
    try {
        MovetextPieces found;
        if (PgnError error = CollectPieces(text, lastTag, found)) {
            return error;
        }
        pieces = std::move(found);
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string("Error in procedure MakeParseCollections.\r\n") + e.what();
    }
}

void StoreTags(Pgn& game, const TagSpans& tags, int mode) {
    if (mode == 1) {
        game.TagStartFinal = tags.start;
        game.TagEndFinal = tags.end;
        game.LastTagFinal = tags.lastTag;
    } else {
        game.TagStartSource = tags.start;
        game.TagEndSource = tags.end;
        game.LastTagSource = tags.lastTag;
    }
}

void StorePieces(Pgn& game, const MovetextPieces& pieces) {
    game.ComStart = pieces.comStart;
    game.ComEnd = pieces.comEnd;
    game.VarStart = pieces.varStart;
    game.VarEnd = pieces.varEnd;
    game.GameStart = pieces.gameStart;
    game.GameEnd = pieces.gameEnd;
}

}  // namespace korvane
