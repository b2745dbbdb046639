#include "pipeline/Backups.h"

#include <stdexcept>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

void backUpChanged(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    for (const std::string& path : *pipeline.colChangedFiles) {
        const std::string name = FileNameOf(path);
        // A game removed from the list since the cycle has nothing left to back up.
        if (!state.monitorList.Contains(name)) {
            continue;
        }
        const Pgn& game = state.monitorList.Item(name);
        if (game.bSleep) {
            continue;
        }
        CopyOneFile(state, game.PathTemp, state.backupDir + name);
        state.bError = false;
        state.ui.enableEditorReload(name);
    }
}

void checkLogSize(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    const std::size_t size = state.ui.logText().size();
    if (size <= kLogLimit) {
        pipeline.bLogWarned = false;
    } else if (!pipeline.bLogWarned) {
        LogDated(state,
                 "The log is getting close to max size and will "
                 "be cleared after the next upload. If you want to save the present log, "
                 "stop the timer, select the text,"
                 "copy by pressing CTRL + C and paste "
                 "to a text file in e.g. NotePad. ");
        pipeline.bLogWarned = true;
        state.ui.raiseAlarm();
    } else {
        state.ui.setLogText(state.clock.nowText() + " Log cleared");
    }
}

}  // namespace

void BackupFiles(Pipeline& pipeline) {
    if (!pipeline.colChangedFiles) {
        return;
    }
    const InCycle inCycle(pipeline.state);
    try {
        backUpChanged(pipeline);
        pipeline.colChangedFiles.reset();
        checkLogSize(pipeline);
    } catch (const std::exception& e) {
        pipeline.colChangedFiles.reset();
        LogRaw(pipeline.state, pipeline.state.clock.nowText() + kCrLf + e.what() + kCrLf +
                                   "Error in Procedure BackUpFiles." + kCrLf + kCrLf);
    }
}

}  // namespace korvane
