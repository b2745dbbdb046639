#include "pipeline/Overview.h"

#include <stdexcept>
#include <vector>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/TextUtils.h"
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

// One game's part of the overview pgn.
struct OverviewGame {
    Pgn* game;
    std::string text;
    bool converted;  // the text is a copy that converted in this session
};

std::vector<OverviewGame> overviewGames(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    std::vector<OverviewGame> games;
    for (Pgn& game : state.monitorList) {
        const bool converted =
            !game.bSleep && pipeline.convertedCopies.count(ToLower(game.Key)) > 0;
        games.push_back({&game, gameText(state, game), converted});
    }
    return games;
}

std::string overviewText(const PgnFiles& list, const std::vector<OverviewGame>& games) {
    std::string text = directiveLines(list);
    for (std::size_t i = 0; i < games.size(); ++i) {
        text += (i == 0 ? "" : kCrLf) + games[i].text;
    }
    return text;
}

// A game's header with no moves: it keeps the game's place (and its players) in the
// overview when its text is faulty.
std::string headerOnly(const std::string& text) {
    if (text.rfind('[', 0) != 0) {
        return "*\r\n";
    }
    std::size_t end = text.find("\n\r\n");
    end = end == std::string::npos ? text.find("\n\n") : end;
    return (end == std::string::npos ? text : text.substr(0, end + 1)) + "\r\n*\r\n";
}

// The converter rejected the overview. Games whose text has not converted in this session
// (a copy taken when the game was added, a sleeping game's backup) are converted on their
// own; those it rejects stand in the overview with their header only, so that one faulty
// game cannot switch the overview off. Returns whether any game was left out.
bool leaveOutFaultyGames(Pipeline& pipeline, std::vector<OverviewGame>& games) {
    const Settings& settings = pipeline.state.settings;
    std::vector<ConverterJob> inputs;
    std::vector<OverviewGame*> tried;
    for (OverviewGame& g : games) {
        if (!g.converted) {
            inputs.push_back({g.game->Key, g.text, settings.spubPathVisIni, g.game->NameHtml, {}});
            tried.push_back(&g);
        }
    }
    if (inputs.empty()) {
        return false;
    }
    const std::vector<ConverterOutcome> outcomes = RunConversions(pipeline, inputs);
    bool leftOut = false;
    for (std::size_t i = 0; i < tried.size(); ++i) {
        if (outcomes[i].kind == ConverterOutcome::Kind::Rejected) {
            tried[i]->text = headerOnly(tried[i]->text);
            leftOut = true;
        }
    }
    return leftOut;
}

// Saves the overview pgn; false (logged once while the fault lasts) when it cannot be written.
bool saveOverview(Pipeline& pipeline, const std::string& path, const std::string& text) {
    ProgramState& state = pipeline.state;
    SaveFile(state, path, text, false, true);
    if (state.bError) {
        if (!pipeline.overviewSaveReported) {
            LogEvent(state, "Could not write overview pgn file.");
            pipeline.overviewSaveReported = true;
        }
        state.bError = false;
        return false;
    }
    pipeline.overviewSaveReported = false;
    return true;
}

ConverterOutcome convertOverview(Pipeline& pipeline, const std::string& path,
                                 const std::string& text) {
    const std::string page = OverviewPageName(pipeline.state.settings.spubIntroPgn);
    ConverterJob job = ConverterJobFor(pipeline, path, text, page);
    job.status = "Vistrel is processing " + path;
    return RunConversions(pipeline, {job}).front();
}

void makeIntroFiles(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    std::vector<OverviewGame> games = overviewGames(pipeline);
    std::string text = overviewText(state.monitorList, games);
    if (state.settings.spubIntroPgn.empty()) {
        state.settings.spubIntroPgn = kDefaultIntroPgn;
    }
    const std::string tempPath = state.tempDir + state.settings.spubIntroPgn;
    if (!saveOverview(pipeline, tempPath, text)) {
        return;
    }
    ConverterOutcome outcome = convertOverview(pipeline, tempPath, text);
    if (outcome.kind == ConverterOutcome::Kind::Rejected && leaveOutFaultyGames(pipeline, games)) {
        text = overviewText(state.monitorList, games);
        if (!saveOverview(pipeline, tempPath, text)) {
            return;
        }
        outcome = convertOverview(pipeline, tempPath, text);
    }
    bool bPgnError = false;
    bool bRemove = false;
    state.bError = false;
    ApplyConversion(pipeline, tempPath, outcome, bPgnError, bRemove);
    if (state.bError) {
        // The failure has been logged; the overview's backup copy is left as it was.
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
    return overviewText(pipeline.state.monitorList, overviewGames(pipeline));
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
