#pragma once
// The pages in the local HTML directory, for opening them in the desktop's browser: a
// preview of what spectators see, without a web server.

#include <string>

namespace korvane {

struct ProgramState;

// The page of the game listed under key (HTML directory + NameHtml); empty when the game
// is not on the list.
std::string LocalPagePath(const ProgramState& state, const std::string& key);
// The overview page (HTML directory + the overview pgn's name with ".htm").
std::string LocalOverviewPath(const ProgramState& state);

// True when the page exists. Otherwise tells the operator why there is nothing to open yet
// (the overview switched off, or no scan has written the page) and returns false.
bool LocalPageReady(ProgramState& state, const std::string& path, bool overview);

}  // namespace korvane
