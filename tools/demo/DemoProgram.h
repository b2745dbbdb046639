#pragma once
// The demo round's program directory: a korvane.cfg that points at the built converter,
// its ini files and an HTML directory inside the demo folder, with the overview page on
// and a short scan time, and a project file listing the simulator's boards with
// monitoring on. Korvane started from there asks to resume that project.

#include <string>

namespace korvane::demo {

struct DemoSetup {
    std::string programDir;  // where korvane.cfg and korvane.project go
    std::string boardsDir;   // where the simulator writes board1.pgn ... boardN.pgn
    std::string htmlDir;     // the HTML directory
    std::string vistrel;     // the converter
    std::string gameIni;
    std::string overviewIni;
    int boards = 8;
    long scanSeconds = 5;
};

// Writes both files (creating the directories). Returns false and sets error on failure.
bool WriteDemoProgram(const DemoSetup& setup, std::string& error);

}  // namespace korvane::demo
