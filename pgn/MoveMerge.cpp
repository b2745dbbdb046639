#include "pgn/MoveMerge.h"

#include <cctype>
#include <exception>

#include "pgn/TagReplacement.h"

namespace korvane {

using namespace pgntext;

namespace {

const char* const kEditTarget =
    "If moves have been removed from the source file you must edit the target pgn file too.";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Position just past the comment or variation opened at pos (variations nest); 0 when it
// is never closed.
long SkipPiece(std::string_view text, long pos) {
    if (At(text, pos) == '{') {
        const long close = FindChar(text, '}', pos + 1);
        return close == 0 ? 0 : close + 1;
    }
    const long close = VariationEnd(text, pos);
    return close == 0 ? 0 : close + 1;
}

// First position at or after from, outside comments and variations, where matches holds.
template <typename Match>
long FindInMoveText(std::string_view text, long from, Match matches) {
    long i = std::max(from, 1L);
    while (i <= Length(text)) {
        const char c = At(text, i);
        if (c == '{' || c == '(') {
            i = SkipPiece(text, i);
            if (i == 0) {
                return 0;
            }
        } else if (LineCommentAt(text, i)) {
            i = LineCommentEnd(text, i) + 1;
        } else if (matches(i)) {
            return i;
        } else {
            ++i;
        }
    }
    return 0;
}

// The marker of move n in the move text: its digits and "." with no digit before them,
// so that 2. is not found inside 12. nor in a date or a clock comment.
long FindMarker(std::string_view text, long n, long from) {
    const std::string marker = Marker(n);
    return FindInMoveText(text, from, [&](long i) {
        return !IsDigit(At(text, i - 1)) && Mid(text, i, i + Length(marker) - 1) == marker;
    });
}

// Where Black's move of the pair that starts at the marker can be: after White's move, so
// that a reply whose text White's move contains (Bxf6 Bxf6, Rxd8+ Rxd8) is not taken
// for it. A marker written with three dots ("12...") is followed by Black's move itself.
long AfterWhiteMove(std::string_view text, long marker, long markerLength) {
    long i = marker + markerLength;
    if (At(text, i) == '.') {
        return i;
    }
    for (;;) {
        while (i <= Length(text) && !AboveBlank(At(text, i))) {
            ++i;
        }
        if (At(text, i) != '{' && At(text, i) != '(') {
            break;
        }
        i = SkipPiece(text, i);
        if (i == 0) {
            return marker;
        }
    }
    while (i <= Length(text) && AboveBlank(At(text, i)) && At(text, i) != '{' &&
           At(text, i) != '(') {
        ++i;
    }
    return i;
}

// Position after the comments, variations and glyphs that directly follow a move: the
// source's own notes on the last move, which the edited game already keeps.
long SkipMoveNotes(std::string_view text, long pos) {
    long kept = pos;
    for (;;) {
        long i = kept;
        while (i <= Length(text) && !AboveBlank(At(text, i))) {
            ++i;
        }
        const char c = At(text, i);
        long next = 0;
        if (c == '{' || c == '(') {
            next = SkipPiece(text, i);
        } else if (c == '$' || c == '!' || c == '?') {
            next = i + 1;
            while (next <= Length(text) && AboveBlank(At(text, next)) && At(text, next) != '{' &&
                   At(text, next) != '(') {
                ++next;
            }
        }
        if (next == 0) {
            return kept;
        }
        kept = next;
    }
}

// Whether the text kept before the paste point ends inside a rest-of-line comment.
bool EndsInLineComment(std::string_view edited, const MovetextPieces& pieces, long pastePoint) {
    return !pieces.comStart.empty() && LineCommentAt(edited, pieces.comStart.back()) &&
           At(edited, pieces.comEnd.back()) != '\n' && pastePoint > pieces.comEnd.back();
}

// 1-based start of the continuation in the source, or the failure.
PgnError ContinuationStart(std::string_view source, const LastMoveResult& last, long lastTag,
                           long& start, bool& sourceHasMoves) {
    sourceHasMoves = true;
    if (last.LastMove == 0) {
        start = FindMarker(source, 1, lastTag);
        if (start == 0) {
            const long next = LineAfter(source, lastTag);
            start = next > 0 ? next : lastTag + 3;
            sourceHasMoves = false;
        }
        return std::nullopt;
    }
    const long marker = FindMarker(source, last.LastMove, lastTag + 1);
    if (marker == 0) {
        return "The last movenumber " + std::to_string(last.LastMove) +
               " isn't in the source file." + kEditTarget;
    }
    const long searchFrom =
        last.bBlackLast ? AfterWhiteMove(source, marker, Length(Marker(last.LastMove))) : marker;
    // The last move belongs to its own move number. When the board's software corrected
    // it, the same text can stand at a later move; taking it from there would drop the
    // moves in between and keep the wrong one.
    const long nextMarker = FindMarker(source, last.LastMove + 1, searchFrom);
    const long q = FindInMoveText(source, searchFrom, [&](long i) {
        return (nextMarker == 0 || i < nextMarker) &&
               InStr(Mid(source, i, i + Length(last.sLastMove) - 1), last.sLastMove) == 1;
    });
    if (q == 0) {
        return "The last move, " + last.sLastMove + " isn't in the source file." + kEditTarget;
    }
    const long afterMove = q + Length(last.sLastMove);
    if (last.bBlackLast) {
        start = FindMarker(source, last.LastMove + 1, q);
        if (start > 0) {
            return std::nullopt;
        }
    }
    // The continuation starts right after the move. When the edited game keeps comments
    // or variations after its last move, the source's notes on that move are already
    // there (or replaced by the operator's): taking them again would repeat them at every
    // update.
    start = last.pastedAfterPieces ? SkipMoveNotes(source, afterMove) : afterMove;
    return std::nullopt;
}

// A main-line move as both texts write it: no number, no check sign or glyph, castling
// with letters. Empty for anything that is not a move (numbers, results, glyphs).
std::string MoveOf(std::string_view token) {
    std::size_t first = 0;
    while (first < token.size() && IsDigit(token[first])) {
        ++first;
    }
    if (first > 0 && first < token.size() && token[first] == '.') {
        while (first < token.size() && token[first] == '.') {
            ++first;
        }
        token.remove_prefix(first);
    }
    while (!token.empty() &&
           std::string_view("+#!?").find(token.back()) != std::string_view::npos) {
        token.remove_suffix(1);
    }
    if (token == "0-0" || token == "0-0-0") {
        return token == "0-0" ? "O-O" : "O-O-O";
    }
    if (token.empty() || !std::isalpha(static_cast<unsigned char>(token.front())) ||
        token == "e.p.") {
        return std::string();
    }
    return std::string(token);
}

// The main-line moves between from and before to, outside comments, variations and
// rest-of-line comments.
std::vector<std::string> MainLineMoves(std::string_view text, long from, long to) {
    std::vector<std::string> moves;
    long i = std::max(from, 1L);
    while (i < to && i <= Length(text)) {
        const char c = At(text, i);
        if (c == '{' || c == '(') {
            i = SkipPiece(text, i);
            if (i == 0) {
                break;
            }
        } else if (LineCommentAt(text, i)) {
            i = LineCommentEnd(text, i) + 1;
        } else if (!AboveBlank(c)) {
            ++i;
        } else {
            long end = i;
            while (end < to && AboveBlank(At(text, end)) && At(text, end) != '{' &&
                   At(text, end) != '(') {
                ++end;
            }
            if (std::string move = MoveOf(Mid(text, i, end - 1)); !move.empty()) {
                moves.push_back(std::move(move));
            }
            i = end;
        }
    }
    return moves;
}

// A move corrected on the board earlier than the last move: the source's moves up to the
// continuation must be the edited game's, or the merged game would keep the old move and
// go on with the new ones.
PgnError EarlierMovesDiffer(std::string_view edited, long editedFrom, long pastePoint,
                            std::string_view source, long sourceFrom, long start) {
    const std::vector<std::string> kept = MainLineMoves(edited, editedFrom, pastePoint);
    const std::vector<std::string> played = MainLineMoves(source, sourceFrom, start);
    for (std::size_t i = 0; i < kept.size() && i < played.size(); ++i) {
        if (kept[i] != played[i]) {
            const std::string number = std::to_string(i / 2 + 1) + (i % 2 == 0 ? ". " : "... ");
            return "The move " + number + kept[i] + " isn't in the source file." + kEditTarget;
        }
    }
    return std::nullopt;
}

// The line end the edited text uses, so that what the merge adds keeps the file consistent:
// CR LF unless the text has line feeds and no CR LF.
std::string_view LineEndOf(std::string_view text) {
    const bool lfOnly =
        text.find('\n') != std::string_view::npos && text.find("\r\n") == std::string_view::npos;
    return lfOnly ? "\n" : "\r\n";
}

}  // namespace

PgnError ParsePgnText(std::string_view edited, const std::string& path, EditedScan& scan) {
    scan = EditedScan();
    if (PgnError error = FindLastTag(edited, scan.tags)) {
        return error;
    }
    scan.steps = 1;
    if (PgnError error = MakeParseCollections(edited, scan.tags.lastTag, scan.pieces)) {
        return error;
    }
    scan.steps = 2;
    PgnError error = FindLastMove(edited, scan.tags, scan.pieces, path, scan.last);
    scan.steps = 3;
    return error;
}

PgnError AppendSourceMoves(std::string& edited, std::string_view source, const EditedScan& scan,
                           const TagSpans& sourceTags) {
    try {
        const LastMoveResult& last = scan.last;
        long start = 0;
        bool sourceHasMoves = true;
        if (PgnError error =
                ContinuationStart(source, last, sourceTags.lastTag, start, sourceHasMoves)) {
            return error;
        }
        if (last.LastMove > 0) {
            if (PgnError error = EarlierMovesDiffer(edited, scan.tags.lastTag + 1, last.PastePoint,
                                                    source, sourceTags.lastTag + 1, start)) {
                return error;
            }
        }
        const std::string_view lineEnd = LineEndOf(edited);
        std::string merged = edited.substr(0, static_cast<std::size_t>(last.PastePoint - 1));
        if (last.LastMove == 0 && sourceHasMoves) {
            merged += lineEnd;
        }
        if (EndsInLineComment(edited, scan.pieces, last.PastePoint)) {
            // A ";" comment without a line feed closes the kept text: a blank would put
            // the new moves inside it.
            merged += lineEnd;
        } else if (last.LastMove > 0 && (merged.empty() || merged.back() != ' ')) {
            merged += ' ';
        }
        merged += Mid(source, start, Length(source));
        edited = std::move(merged);
        return std::nullopt;
    } catch (const std::exception&) {
        return std::string();
    }
}

PgnError MergeScanned(std::string_view edited, const EditedScan& scan, std::string_view source,
                      const std::vector<std::string>& tagsToChange, TagSpans& sourceTags,
                      std::string& merged) {
    if (PgnError error = FindLastTag(source, sourceTags)) {
        return error;
    }
    std::string text(edited);
    if (PgnError error = AppendSourceMoves(text, source, scan, sourceTags)) {
        return error;
    }
    if (PgnError error = ReplaceHeaderTags(text, source, scan.tags, sourceTags, tagsToChange)) {
        return error;
    }
    merged = std::move(text);
    return std::nullopt;
}

MergeOutcome MergeNewMoves(std::string_view edited, std::string_view source,
                           const std::vector<std::string>& tagsToChange,
                           const std::string& editedPath) {
    MergeOutcome outcome;
    if (edited.empty()) {
        outcome.error = std::string();
        return outcome;
    }
    EditedScan scan;
    TagSpans sourceTags;
    outcome.error = ParsePgnText(edited, editedPath, scan);
    if (!outcome.error) {
        outcome.error =
            MergeScanned(edited, scan, source, tagsToChange, sourceTags, outcome.merged);
    }
    return outcome;
}

}  // namespace korvane
