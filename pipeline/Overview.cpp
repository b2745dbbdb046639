#include "pipeline/Overview.h"

#include <stdexcept>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

std::string directiveLines(const PgnFiles& list) {
    std::string text;
    for (const Pgn& game : list) {
        text += "%vis3 over," + game.NameHtml + kCrLf;
    }
    long position = 0;
    for (const Pgn& game : list) {
        ++position;
        if (game.bSleep) {
            text += "%vis3 over, " + std::to_string(position) + ", Down" + kCrLf;
        }
    }
    return text + kCrLf;
}

// The bare source text that stands for one game: a sleeping game's last good copy from
// backup, otherwise its temporary copy, which only ever holds a copy that converted. An
// edited game's text from its last merge may be a copy that the converter rejected (one
// taken while the board software wrote the file), so it is not used here.
std::string gameText(ProgramState& state, Pgn& game) {
    std::string text;
    if (game.bSleep) {
        LoadTextFile(state, state.backupDir + game.Key, text);
    } else {
        LoadTextFile(state, game.PathTemp, text);
        if (!game.bUseFinal()) {
            game.PgnTempAfterUpdate = text;
        }
    }
    return text;
}

void makeIntroFiles(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    std::string text = BuildOverviewText(pipeline);
    if (state.settings.spubIntroPgn.empty()) {
        state.settings.spubIntroPgn = kDefaultIntroPgn;
    }
    const std::string tempPath = state.tempDir + state.settings.spubIntroPgn;

    bool bPgnError = false;
    bool bRemove = false;
    SaveFile(state, tempPath, text, false, true);
    if (state.bError) {
        LogEvent(state, "Could not write overview pgn file.");
        state.bError = false;
        return;
    }
    ProcessPgn(pipeline, tempPath, bPgnError, bRemove);
    if (state.bError) {
        // ProcessPgn has logged its failure; the overview's backup copy is left as it was.
        state.bError = false;
        return;
    }
    if (!bPgnError && !bRemove) {
        CopyOneFile(state, tempPath, state.backupDir + state.settings.spubIntroPgn);
        if (state.bError) {
            state.bError = false;
            LogEvent(state, "Could not save the backup pgn file for the overview page.");
        }
    }
}

}  // namespace

std::string BuildOverviewText(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    std::string text = directiveLines(state.monitorList);
    bool first = true;
    for (Pgn& game : state.monitorList) {
        if (!first) {
            text += kCrLf;
        }
        first = false;
        text += gameText(state, game);
    }
    return text;
}

void MakeIntroFiles(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    state.bMakingOverview = true;
    try {
        makeIntroFiles(pipeline);
    } catch (const std::exception& e) {
        LogEventSingleBreak(state, std::string(e.what()) + kCrLf +
                                       "Error creating overview page. Procedure MakeIntroFiles.");
        state.ui.processEvents();
    }
    state.bMakingOverview = false;
}

}  // namespace korvane
