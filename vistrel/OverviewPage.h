#pragma once
// The overview pgn's directive lines: "%vis3 over,<page name>" once per game in list
// order, then "%vis3 over, N, Down" for every game (1-based) that is not being updated.

#include <set>
#include <string>
#include <vector>

#include "chess/PgnGame.h"

namespace vistrel {

struct OverviewDirectives {
    std::vector<std::string> pages;           // page name of game 1, 2, ...
    std::set<std::size_t> down;               // 1-based numbers of the games marked down
    std::vector<std::size_t> pageLines = {};  // index into the escape lines of each page name
};

// Reads the escape lines of the overview pgn (text after the "%"); other escape lines
// are ignored.
OverviewDirectives parseDirectives(const std::vector<std::string>& escapeLines);

// Whether a link to name stays on this site, beside the overview page: no scheme, no
// "//", no ".." and no "/" at the start. Names in a subdirectory are fine.
bool isLocalPageName(const std::string& name);

// The message for the first directive whose page name is not local, naming its line of
// the file; empty when every link is.
std::string checkPageLinks(const chess::PgnFile& file, const std::string& fileName);

}  // namespace vistrel
