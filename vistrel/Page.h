#pragma once
// The converter's two page writers: one page for the games of a PGN file, and the
// overview page with a small board for every game of the overview pgn.

#include <string>

#include "chess/PgnGame.h"
#include "vistrel/Ini.h"

namespace vistrel {

// The largest page the converter writes. Past it the writers stop adding games and the
// converter refuses the file, so a pathological file cannot fill the disk or the memory.
inline constexpr std::size_t kMaxPageBytes = 50 * 1024 * 1024;

// Parses the ini text; on error returns false and sets error to a message naming the ini line.
bool parseIni(const std::string& text, PageIni& out, std::string& error);

// The whole HTML document (UTF-8) for the games of file: board, move list, navigation and,
// while a game is in progress, refreshing itself.
std::string renderGamePage(const chess::PgnFile& file, const PageIni& ini);

// The whole HTML document for the overview pgn: one small board per game, with the links
// and "down" marks of its "%vis3 over," directive lines.
std::string renderOverviewPage(const chess::PgnFile& file, const PageIni& ini);

}  // namespace vistrel
