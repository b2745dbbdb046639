#pragma once
// What a converted game page shows, read back from its markup for the tests' checks.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace korvane::test {

// The main line's moves as the page writes them ("1.e4 e5 2.Nf3"), without numbers,
// comments or variations.
inline std::vector<std::string> movesShown(const std::string& page) {
    const auto from = page.find("<div class=\"line\">");
    const auto to = page.find("<span class=\"res\">", from);
    if (from == std::string::npos || to == std::string::npos) {
        return {};
    }
    std::string line = page.substr(from, to - from);
    line = std::regex_replace(line, std::regex("<div class=\"var\">.*?</div>"), " ");
    line = std::regex_replace(line, std::regex("<span[^>]*>[^<]*</span>|<[^>]*>"), " ");
    std::vector<std::string> moves;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        word = std::regex_replace(word, std::regex("^[0-9]+\\.+"), "");
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
