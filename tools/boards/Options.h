#pragma once
// The simulator's command line.

#include <map>
#include <string>
#include <vector>

#include "tools/boards/BoardScript.h"

namespace boards {

struct Options {
    std::vector<std::string> gameFiles;
    std::string outDir = ".";
    int boardCount = 0;    // 0: one board per game read
    double pace = 20;      // seconds between two half-moves on one board
    double jitter = -1;    // -1: a quarter of the pace
    double cutHold = 5;    // seconds a cut file stays half-written
    double duration = -1;  // seconds after which the run ends; -1: when every game is over
    unsigned seed = 1;
    int startPly = 0;
    ClockSetting clock;
    bool crlf = false;
    std::string event;  // the Event tag of every board; empty: the games' own
    std::string round;  // the Round tag of every board; empty: the games' own
    bool quiet = false;
    bool help = false;
    // Faults, by board number (1-based): the half-move concerned.
    std::map<int, int> cutAtPly;
    std::map<int, int> correctAtPly;
    std::map<int, int> stopAfterPly;

    double effectiveJitter() const { return jitter >= 0 ? jitter : pace / 4; }
};

// Reads the arguments (without the program name). Returns false and sets error on a bad
// argument; help is set for -h/--help.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The --help text.
std::string helpText();

}  // namespace boards
