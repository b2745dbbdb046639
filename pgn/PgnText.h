#pragma once
// Small helpers shared by the PGN scanner, the last-move finder and the merge. They work
// with the 1-based character positions that the Pgn record stores (0 = not found), so the
// numbered algorithms read the same in code as on paper.

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The outcome of a PGN step that can fail: no value on success, the message otherwise. A
// failure may carry an empty message; its log entry then shows only the date and time.
using PgnError = std::optional<std::string>;

namespace pgntext {

// The character at 1-based position pos; 0 outside the text.
inline char At(std::string_view text, long pos) {
    return pos >= 1 && pos <= static_cast<long>(text.size()) ? text[pos - 1] : '\0';
}

inline long Length(std::string_view text) {
    return static_cast<long>(text.size());
}

// The characters from 1-based position from up to and including to (empty when to < from).
inline std::string_view Mid(std::string_view text, long from, long to) {
    if (from < 1) {
        from = 1;
    }
    if (to > Length(text)) {
        to = Length(text);
    }
    return to < from ? std::string_view() : text.substr(from - 1, to - from + 1);
}

// 1-based position of needle in text at or after from, ignoring ASCII letter case; 0 when
// absent.
long InStr(std::string_view text, std::string_view needle, long from = 1);

// Position of the first occurrence of ch at or after from; 0 when absent.
long FindChar(std::string_view text, char ch, long from = 1);

// Start of the line after the one holding position pos: just past the first line feed
// after pos (a CR LF or a lone LF line end); 0 when no line feed follows.
inline long LineAfter(std::string_view text, long pos) {
    const long lf = FindChar(text, '\n', pos + 1);
    return lf == 0 ? 0 : lf + 1;
}

// The marker of move n: its decimal digits followed by ".", as in "12.".
inline std::string Marker(long n) {
    return std::to_string(n) + ".";
}

// Above blank: every character code from 33 up (bytes of accented letters included).
inline bool AboveBlank(char c) {
    return static_cast<unsigned char>(c) > 32;
}

}  // namespace pgntext
}  // namespace korvane
