#pragma once
// What a converted game page shows, read back from its markup for the tests' checks.

#include <sstream>
#include <string>
#include <vector>

namespace korvane::test {

// The main line's moves as the page writes them ("1.e4 e5 2.Nf3"), without numbers,
// comments or variations: the text of the line's own level, outside any element within it.
inline std::vector<std::string> movesShown(const std::string& page) {
    const std::string start = "<div class=\"line\">";
    const auto from = page.find(start);
    const auto to = page.find("<span class=\"res\">", from);
    if (from == std::string::npos || to == std::string::npos) {
        return {};
    }
    std::string text;
    int depth = 0;  // elements open within the line: comments, NAGs, variations
    for (auto i = from + start.size(); i < to; ++i) {
        if (page[i] == '<') {
            depth += page[i + 1] == '/' ? -1 : 1;
            i = page.find('>', i);
            text += ' ';
        } else if (depth == 0) {
            text += page[i];
        }
    }
    std::vector<std::string> moves;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        word.erase(0, word.find_first_not_of("0123456789."));  // "12." or "12..."
        if (!word.empty()) {
            moves.push_back(word);
        }
    }
    return moves;
}

inline std::size_t pliesShown(const std::string& page) {
    return movesShown(page).size();
}

inline std::string lastMoveShown(const std::string& page) {
    const auto moves = movesShown(page);
    return moves.empty() ? std::string() : moves.back();
}

}  // namespace korvane::test
