#pragma once
// Everything program-wide in one object that is passed by reference: the settings, the
// monitor list, the work directories, the flags through which routines report to their
// callers, and the two seams to the outside world (the operator and the clock).

#include <optional>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/FailureReports.h"
#include "core/Operator.h"
#include "core/PgnFiles.h"
#include "core/ProjectFile.h"
#include "core/Settings.h"

namespace korvane {

struct ProgramState {
    ProgramState(Operator& op, Clock& clk) : ui(op), clock(clk) {}

    Operator& ui;
    Clock& clock;

    Settings settings;
    PgnFiles monitorList;

    // The program directory and the work directories under it; each ends with a separator.
    std::string programDir;
    std::string tempDir;    // temppgn
    std::string finalDir;   // finalpgn
    std::string backupDir;  // backup
    std::string delayDir;   // delay: the snapshots that hold the published games back
    // Where the running program lies; a first start looks there for the converter and its
    // ini files. Empty in tests that do not need it.
    std::string executableDir;

    bool bError = false;              // a callee reports failure; its caller tests and clears it
    bool bForceConversion = false;    // the next cycle treats every awake game as changed
    bool bMakingOverview = false;     // the overview page is being converted
    bool bLowerCase = true;           // remote file names are lower-cased
    long iCurrentPgn = 0;             // 1-based position of the game being merged
    int converterWaitMs = 15000;      // longest wait for one converter run
    int publishSettleMs = 100;        // a changed source is taken once quiet this long
    bool bPathsOk = false;            // the settings dialog accepted every field
    bool settingsIncomplete = false;  // set by ReadCfg when a required path is unusable

    // A processing cycle (or its backup step) runs: failed copies and saves are reported
    // in the log, each failure once while it lasts (fileFailures), not in boxes.
    bool bInCycle = false;
    // Copies and saves that failed in a cycle and were reported, until they succeed again.
    FailureReports fileFailures;

    // The operator started monitoring (START) and has not stopped it; kept in the project
    // file so that a resumed project monitors again.
    bool monitoringStarted = false;
    // The project that start-up was told to resume; the monitor window rebuilds its list
    // from it once it is open.
    std::optional<Project> pendingResume;
    // Start-up resumes the last project without asking (the program was started with
    // --resume, as the demo round does).
    bool bResumeWithoutAsking = false;
    // The project file's text as last written or read, and whether the last write failed.
    std::string savedProjectText;
    bool projectSaveFailed = false;

    // Header-tag names the next merge refreshes from the source (pgn/TagsToChange.h).
    // Empty means not yet created: first use fills the defaults, each merge empties it.
    std::vector<std::string> tagsToChange;

    // Serial number for the next Pgn record's ClassDebugID; the first record gets 1.
    long nextClassDebugId() { return ++m_classDebugCounter; }

    // Adds a game record to the monitor list under its own key, numbered in creation order.
    Pgn& addGame(const std::string& key) { return monitorList.Add(key, key, nextClassDebugId()); }

private:
    long m_classDebugCounter = 0;
};

}  // namespace korvane
