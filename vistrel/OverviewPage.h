#pragma once
// The overview pgn's directive lines: "%vis3 over,<page name>" once per game in list
// order, then "%vis3 over, N, Down" for every game (1-based) that is not being updated.

#include <set>
#include <string>
#include <vector>

namespace vistrel {

struct OverviewDirectives {
    std::vector<std::string> pages;  // page name of game 1, 2, ...
    std::set<std::size_t> down;      // 1-based numbers of the games marked down
};

// Reads the escape lines of the overview pgn (text after the "%"); other escape lines
// are ignored.
OverviewDirectives parseDirectives(const std::vector<std::string>& escapeLines);

}  // namespace vistrel
