#include "pgn/PgnText.h"

namespace korvane::pgntext {

namespace {
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

long InStr(std::string_view text, std::string_view needle, long from) {
    if (from < 1) {
        from = 1;
    }
    const long n = Length(needle);
    for (long i = from; i + n - 1 <= Length(text); ++i) {
        long j = 0;
        while (j < n && Lower(text[i - 1 + j]) == Lower(needle[j])) {
            ++j;
        }
        if (j == n) {
            return i;
        }
    }
    return 0;
}

long FindChar(std::string_view text, char ch, long from) {
    if (from < 1) {
        from = 1;
    }
    if (from > Length(text)) {
        return 0;
    }
    const std::size_t at = text.find(ch, static_cast<std::size_t>(from - 1));
    return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

}  // namespace korvane::pgntext
