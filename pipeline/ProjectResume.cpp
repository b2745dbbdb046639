#include "pipeline/ProjectResume.h"

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/ProjectFile.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Monitor.h"
#include "pipeline/MonitorView.h"

namespace korvane {

namespace {

// One record as "Add" makes it, with the state the game had when the project was saved.
// The work copies' paths are those of this session's work directories.
void restoreGame(ProgramState& state, const ProjectGame& saved) {
    Pgn& game = state.addGame(saved.key);
    game.NameSource = saved.key;
    game.NameTemp = saved.key;
    game.NameFinal = saved.key;
    // A game's page is named by the rule of the overview's page (".htm" for the last four
    // characters); the file names it, a hand-edited one may not.
    game.NameHtml = saved.nameHtml.empty() ? OverviewPageName(saved.key) : saved.nameHtml;
    game.PathSource = saved.pathSource;
    game.PathTemp = state.tempDir + saved.key;
    game.PathFinal = state.finalDir + saved.key;
    game.LastTime = saved.lastTime;
    game.bSleep = saved.sleep;
    if (saved.useFinal) {
        game.setUseFinal(true);
    }
    // A work copy lost with the crash is made again from the source, as "Add" makes it
    // (under a broadcast delay the live text is then held back again); one that is there
    // is the game as last taken in and stays.
    bool copied = false;
    for (const std::string& copy : {game.PathTemp, state.backupDir + saved.key}) {
        if (!FileCheck(copy) && FileCheck(saved.pathSource)) {
            CopyOneFile(state, saved.pathSource, copy);
            state.bError = false;
            copied = true;
        }
    }
    if (copied) {
        HoldBackLiveCopies(state, game);
    }
}

}  // namespace

void ResumeProject(ProgramState& state, Monitor& monitor, MonitorView& view) {
    if (!state.pendingResume) {
        return;
    }
    const Project project = std::move(*state.pendingResume);
    state.pendingResume.reset();

    for (const Pgn& game : state.monitorList) {
        view.removePgnLine(game.Key);
    }
    state.monitorList = PgnFiles();
    for (const ProjectGame& saved : project.games) {
        restoreGame(state, saved);
        view.addPgnLine(saved.key);
    }
    LogEvent(state, "The last project has been resumed (" + std::to_string(project.games.size()) +
                        " games).");
    if (project.monitoring) {
        monitor.cmdStartClick();
    }
    SaveProject(state);
}

}  // namespace korvane
