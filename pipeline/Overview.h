#pragma once
// The overview page: one PGN file holding every monitored game, headed by directive lines
// for the converter (which pages exist, which games are down), converted with the
// overview ini into one page that is uploaded with the others.

#include <string>

namespace korvane {

struct Pipeline;

// The default name of the overview pgn.
constexpr const char* kDefaultIntroPgn = "allgames.pgn";

// The overview pgn's text for the current monitor list; fills PgnTempAfterUpdate of the
// active games whose bare copy was read.
std::string BuildOverviewText(Pipeline& pipeline);

// Builds, saves, converts and backs up the overview pgn.
void MakeIntroFiles(Pipeline& pipeline);

}  // namespace korvane
