#include "pipeline/Project.h"

#include <stdexcept>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/ProjectFile.h"
#include "core/SettingsRules.h"
#include "pipeline/MonitorList.h"
#include "pipeline/MonitorView.h"

namespace korvane {

namespace {

bool chooseGames(ProgramState& state, MonitorList& list, MonitorView& view) {
    try {
        for (const Pgn& game : state.monitorList) {
            view.removePgnLine(game.Key);
        }
        state.monitorList = PgnFiles();
        list.sDialogPurpose = kAddPgnFiles;
        const std::string initialDir = state.settings.spubPathpgn;
        list.OpenFileDialog("Select Pgn Files To Monitor", "PGN", state.settings.spubPathpgn,
                            initialDir, "multi");
        list.sDialogPurpose.clear();
        if (state.bError) {
            state.bError = false;
            return false;
        }
        if (CheckPaths(state)) {
            state.ui.showSettingsDialog();
        }
        if (state.monitorList.Count() == 0) {
            return false;
        }
        state.bPathsOk = true;
        return true;
    } catch (const std::exception& e) {
        list.sDialogPurpose.clear();
        state.ui.messageBox(std::string(e.what()) + kCrLf + "Error in procedure mnuFileNew.",
                            "Error starting new project", Buttons::Ok, Icon::Critical);
        return false;
    }
}

}  // namespace

bool NewProject(ProgramState& state, MonitorList& list, MonitorView& view) {
    const bool created = chooseGames(state, list, view);
    SaveProject(state);
    return created;
}

void CloseProject(ProgramState& state) {
    for (long position = state.monitorList.Count(); position >= 1; --position) {
        state.monitorList.Remove(position);
    }
}

void ReleaseTagsToChange(ProgramState& state) {
    state.tagsToChange.clear();
}

}  // namespace korvane
