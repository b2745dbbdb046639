#pragma once
// The round the pipeline benchmarks run on: the program's work directories, the boards'
// folder and the HTML directory under one root, with the real converter and its ini files.

#include <filesystem>
#include <string>

#include "core/ProgramState.h"

namespace korvane::bench {

// Creates the directories under root and points the state at them and at the converter;
// returns the boards' folder (ends with "/").
inline std::string PrepareRound(ProgramState& state, const std::string& root) {
    state.programDir = root + "/";
    state.tempDir = root + "/temppgn/";
    state.finalDir = root + "/finalpgn/";
    state.backupDir = root + "/backup/";
    const std::string boards = root + "/boards/";
    for (const std::string& dir :
         {state.tempDir, state.finalDir, state.backupDir, boards, root + "/html/"}) {
        std::filesystem::create_directories(dir);
    }
    Settings& s = state.settings;
    s.spubPathHtml = root + "/html/";
    s.spubPathVistrel = KORVANE_VISTREL;
    s.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
    s.spubPathIntroIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini";
    s.spubIntroPgn = "allgames.pgn";
    return boards;
}

}  // namespace korvane::bench
