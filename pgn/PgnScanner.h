#pragma once
// The PGN text scanner: finds, by character position, the header tags, the top-level
// comments and variations, and the stretches of move text between them. It never looks at
// the moves themselves (LastMoveFinder does) and never changes the text. All positions are
// 1-based, as the Pgn record stores them.

#include <string>
#include <string_view>

#include "core/Pgn.h"
#include "pgn/PgnText.h"

namespace korvane {

// The header tags of one text: the "[" and "]" of each, and the "]" of the last one.
struct TagSpans {
    Positions start;
    Positions end;
    long lastTag = 0;
};

// The top-level comments and variations after the header, and the move-text stretches
// between them (move numbers, moves, glyphs, NAGs, the result and line breaks).
struct MovetextPieces {
    Positions comStart, comEnd;
    Positions varStart, varEnd;
    Positions gameStart, gameEnd;
};

// Position of the "]" that closes the tag opened at open: the first "]" after it, except
// that a "]" inside the tag's quoted value does not count. 0 when there is none.
long FindTagEnd(std::string_view text, long open);

// A rest-of-line comment starts at pos: a ";" anywhere in the move text, or a "%" escape at
// the start of a line. Either runs to the end of its line.
bool LineCommentAt(std::string_view text, long pos);
// Position of the line feed that ends the rest-of-line comment at pos (the end of the text
// when no line feed follows).
long LineCommentEnd(std::string_view text, long pos);

// Position of the ")" that closes the variation opened at open, counting nested variations
// and skipping comments inside it; 0 when it is never closed.
long VariationEnd(std::string_view text, long open);

// Position of the next "[" at or after from that opens a tag: one outside comments, ";"
// comments and "%" lines. 0 when there is none.
long NextTagOpen(std::string_view text, long from);

// Collects the header tags of every game in the text: brackets inside comments, ";"
// comments and "%" lines are not tags (a clock note inside a comment is no header). Fails
// with the scanner's messages, and when the text holds no tag at all.
PgnError FindLastTag(std::string_view text, TagSpans& tags);

// Collects comments, variations and stretches after the last header tag (lastTag). A
// rest-of-line comment is listed with the comments, from its ";" or "%" to its line feed.
PgnError MakeParseCollections(std::string_view text, long lastTag, MovetextPieces& pieces);

// Stores tag spans into the record: mode 1 into the fields of the edited text (…Final),
// mode 2 into those of the source copy (…Source).
void StoreTags(Pgn& game, const TagSpans& tags, int mode);
void StorePieces(Pgn& game, const MovetextPieces& pieces);

}  // namespace korvane
