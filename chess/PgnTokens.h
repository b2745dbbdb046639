#pragma once
// The small pieces of PGN move text: results, glyphs, null moves, blanks and move labels.

#include <string>
#include <string_view>

#include "chess/PgnGame.h"

namespace chess::pgn {

// NAG number of an annotation glyph written as text ("!?" is 5, "+-" is 18); 0 if none.
int glyphNag(std::string_view word);
// True for "1-0", "0-1", "1/2-1/2", "*" (and "\u00BD-\u00BD"), with the result's usual form.
bool resultOf(std::string_view word, std::string& result);
// The beginning of a result cut off, e.g. "1/2-".
bool isResultPrefix(std::string_view word);
bool isNullMove(std::string_view word);
// Blank as the C locale sees it, without the call.
inline bool isBlank(char ch) {
    return ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}
// Characters that end a word of move text.
bool isWordEnd(char ch);
std::string trimmed(std::string_view text);
std::string lowered(std::string text);
// "12. " for White, "12... " for Black.
std::string moveNumberText(int number, bool white);
// "12... Nxe4"
std::string labelOf(const MoveNode& node);

}  // namespace chess::pgn
