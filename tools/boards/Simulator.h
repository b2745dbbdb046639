#pragma once
// Runs the boards side by side: each board writes its files at its own pace, with the
// faults the options ask for.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "chess/PgnGame.h"
#include "tools/boards/Options.h"

namespace boards {

struct SimulatorHooks {
    // Waits this many seconds; the program sleeps, tests only count.
    std::function<void(double seconds)> sleep;
    // Called after every write with the file's path and the bytes now in it.
    std::function<void(const std::string& path, const std::string& bytes)> written;
};

// Reads every game of the options' files, in order. Games without moves are skipped.
// Returns false and sets error when a file cannot be read or holds no game.
bool loadGames(const Options& options, std::vector<chess::PgnGame>& games, std::string& error);

// Writes every board's files until each board has written its last one. Returns false and
// sets error when the options do not fit the games or a file cannot be written.
bool runBoards(const Options& options, const std::vector<chess::PgnGame>& games, std::ostream& log,
               const SimulatorHooks& hooks, std::string& error);

}  // namespace boards
