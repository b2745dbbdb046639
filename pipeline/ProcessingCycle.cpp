#include "pipeline/ProcessingCycle.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "pgn/AppendNewMoves.h"
#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/Intake.h"
#include "pipeline/Overview.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

// One changed game on its way through the conversion step: which runs it has among the
// cycle's converter inputs and how its edited pgn was brought up to date.
struct GameRuns {
    Candidate* candidate = nullptr;
    bool edited = false;         // the edited pgn is published
    bool mergeDeferred = false;  // the merge would fail: it runs once the source is known good
    std::size_t editedRun = 0;
    std::size_t bareRun = 0;
};

bool stillListed(const ProgramState& state, const Pgn& game) {
    const long position = state.monitorList.PositionOf(game.Key);
    return position != 0 && &state.monitorList.Item(position) == &game;
}

void setStatus(ProgramState& state, const std::string& text) {
    state.ui.setStatus(text);
    state.ui.processEvents();
}

// Puts a game to sleep because no page came out of its conversion.
void sleepUnpublished(Pgn& game) {
    game.bSleep = true;
    RetryNextScan(game);
}

void mergeNewMoves(ProgramState& state, const Pgn& game, const std::string& source) {
    state.iCurrentPgn = state.monitorList.PositionOf(game.Key);
    AppendNewMoves(state, source);
    state.ui.processEvents();
}

// Brings the edited pgn up to date and returns the text to convert. A merge that would
// fail is left for later: on a copy torn by the board software it would only log a
// failure that the next scan does not have.
std::string prepareEdited(ProgramState& state, GameRuns& runs) {
    Pgn& game = *runs.candidate->game;
    std::string edited;
    ReadWholeFile(game.PathFinal, edited);
    std::vector<std::string> tags = state.tagsToChange;
    const MergeOutcome trial =
        MergeNewMoves(edited, runs.candidate->text, EnsureTagsToChange(tags), game.PathFinal);
    if (trial.error) {
        runs.mergeDeferred = true;
        return edited;
    }
    mergeNewMoves(state, game, runs.candidate->text);
    ReadWholeFile(game.PathFinal, edited);
    return edited;
}

// The runs of one changed game: its edited pgn (when published) and its bare copy. The
// bare copy is always converted: it tells a faulty source from a faulty edit, and only a
// copy that converts replaces the temporary copy.
bool prepareRuns(Pipeline& pipeline, GameRuns& runs, std::vector<ConverterJob>& inputs) {
    ProgramState& state = pipeline.state;
    Pgn& game = *runs.candidate->game;
    if (game.bUseFinal() && !FileCheck(game.PathFinal)) {
        LogEvent(state, "The edited pgn " + game.PathFinal + " doesn't exist. Korvane will use " +
                            game.PathTemp + " instead.");
        state.ui.raiseAlarm();
        state.ui.processEvents();
        game.setUseFinal(false);
        RetryNextScan(game);
        return false;
    }
    runs.bareRun = inputs.size();
    inputs.push_back(ConverterJobFor(pipeline, game.PathTemp, runs.candidate->text, game.NameHtml));
    if (game.bUseFinal()) {
        runs.edited = true;
        const std::string text = prepareEdited(state, runs);
        runs.editedRun = inputs.size();
        inputs.push_back(ConverterJobFor(pipeline, game.PathFinal, text, game.NameHtml));
    }
    return true;
}

// "Vistrel is processing <file>", led by the game's place among the cycle's changed games
// when there are several, so the operator sees how far a long cycle has come. The count
// comes first: the status line is narrow and cuts a long path off at its end.
std::string processingText(const std::string& path, std::size_t game, std::size_t games) {
    const std::string text = "Vistrel is processing " + path;
    if (games < 2) {
        return text;
    }
    return "Game " + std::to_string(game) + " of " + std::to_string(games) + ": " + text;
}

void labelRuns(const std::vector<GameRuns>& games, std::vector<ConverterJob>& inputs) {
    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameRuns& runs = games[i];
        const Pgn& game = *runs.candidate->game;
        inputs[runs.bareRun].status = processingText(game.PathTemp, i + 1, games.size());
        if (runs.edited) {
            inputs[runs.editedRun].status = processingText(game.PathFinal, i + 1, games.size());
        }
    }
}

void restoreEdited(ProgramState& state, Pgn& game) {
    // An empty text means the merge never read the edited pgn: writing it back would
    // wipe the operator's work, so the file is left as it is.
    if (!game.PgnBeforeUpdate.empty()) {
        SaveFile(state, game.PathFinal, game.PgnBeforeUpdate, false, true);
    }
    state.bError = false;
    game.PgnBeforeUpdate.clear();
}

void logBothFaulty(ProgramState& state, const std::string& name) {
    LogEvent(state, "Both the source and edited version of " + name + " has errors, " +
                        "so the error is probably in the new move(s) since the last update. " +
                        "Korvane has therefore: " + kCrLf + "1. Removed " + name +
                        " from the monitor list." + kCrLf +
                        "2. Removed the new move(s) from the edited version." + kCrLf +
                        "Once the source file has been repaired, you can put it back on the " +
                        "monitorlist by selecting it and click \"Activate\".");
}

void logEditedFaulty(ProgramState& state, const std::string& name) {
    LogEvent(state, "There's a pgn error in the edited version of " + name +
                        ". The source pgn file has no errors, so Korvane has: " + kCrLf +
                        "1. Created an Html file based on the source file instead." + kCrLf +
                        "2. Disabled processing of the edited file." + kCrLf +
                        "Until you have repaired the edited version and enabled its use, " +
                        "Korvane will process the source Pgn.");
}

// The converter rejected the edited pgn: it is restored and the bare copy published.
void recoverFromEditedError(Pipeline& pipeline, Pgn& game, const ConverterOutcome& bare) {
    ProgramState& state = pipeline.state;
    const std::string name = game.Key;
    restoreEdited(state, game);
    setStatus(state, "Vistrel is processing " + game.PathTemp);
    if (!stillListed(state, game)) {
        return;
    }
    bool bPgnError = false;
    bool bRemove = false;
    ApplyConversion(pipeline, game.PathTemp, bare, bPgnError, bRemove);
    if (state.bError) {
        state.bError = false;
        sleepUnpublished(game);
        return;
    }
    if (bPgnError) {
        game.bSleep = true;
        logBothFaulty(state, name);
        state.ui.processEvents();
        return;
    }
    if (bRemove) {
        sleepUnpublished(game);
        return;
    }
    logEditedFaulty(state, name);
    game.setUseFinal(false);
    state.ui.processEvents();
}

// The outcomes of an edited game: the edited page is published, or on a rejection the
// edited pgn is restored and the bare copy published instead.
void applyEdited(Pipeline& pipeline, GameRuns& runs, const ConverterOutcome& edited,
                 const ConverterOutcome& bare) {
    ProgramState& state = pipeline.state;
    Pgn& game = *runs.candidate->game;
    if (runs.mergeDeferred) {
        mergeNewMoves(state, game, runs.candidate->text);
        if (!stillListed(state, game)) {
            return;
        }
    }
    bool bPgnError = false;
    bool bRemove = false;
    state.bError = false;
    ApplyConversion(pipeline, game.PathFinal, edited, bPgnError, bRemove);
    if (state.bError) {
        state.bError = false;
        sleepUnpublished(game);
        return;
    }
    if (bPgnError) {
        recoverFromEditedError(pipeline, game, bare);
        return;
    }
    if (bRemove) {
        sleepUnpublished(game);
    }
}

void applyBare(Pipeline& pipeline, Pgn& game, const ConverterOutcome& bare) {
    ProgramState& state = pipeline.state;
    bool bPgnError = false;
    bool bRemove = false;
    state.bError = false;
    ApplyConversion(pipeline, game.PathTemp, bare, bPgnError, bRemove);
    // The run has logged its outcome, and a rejected game sleeps. A run that failed (the
    // converter did not start, the page did not reach the HTML directory) is repeated by
    // the next scan.
    if (state.bError) {
        state.bError = false;
        RetryNextScan(game);
    }
    if (bRemove) {
        sleepUnpublished(game);
    }
}

// Phase 2 for one changed game, in list order, once every run of the cycle has ended.
void applyOutcomes(Pipeline& pipeline, GameRuns& runs,
                   const std::vector<ConverterOutcome>& outcomes) {
    ProgramState& state = pipeline.state;
    Pgn& game = *runs.candidate->game;
    if (!stillListed(state, game)) {
        return;
    }
    const ConverterOutcome& bare = outcomes[runs.bareRun];
    if (bare.kind == ConverterOutcome::Kind::Rejected &&
        !RejectionConfirmed(pipeline, *runs.candidate)) {
        // Most likely a copy torn by the board software: nothing is published, nothing
        // is said, and the game is taken in again at the next scan.
        if (runs.edited && !runs.mergeDeferred) {
            restoreEdited(state, game);
        }
        return;
    }
    if (bare.isPage()) {
        AcceptCandidate(pipeline, *runs.candidate);
    }
    if (runs.edited) {
        applyEdited(pipeline, runs, outcomes[runs.editedRun], bare);
    } else {
        applyBare(pipeline, game, bare);
    }
}

// Phase 2: every changed game's runs are made at once, then their outcomes are applied in
// list order, so the log reads as if the games had been converted one after the other.
void convertChanged(Pipeline& pipeline, std::vector<Candidate>& candidates) {
    ProgramState& state = pipeline.state;
    std::vector<GameRuns> games;
    std::vector<ConverterJob> inputs;
    for (Candidate& candidate : candidates) {
        GameRuns runs;
        runs.candidate = &candidate;
        // The operator may have removed the game while the scan let events run.
        if (stillListed(state, *candidate.game) && prepareRuns(pipeline, runs, inputs)) {
            games.push_back(runs);
        }
    }
    labelRuns(games, inputs);
    const std::vector<ConverterOutcome> outcomes = RunConversions(pipeline, inputs);
    for (GameRuns& runs : games) {
        applyOutcomes(pipeline, runs, outcomes);
    }
}

void endScan(Pipeline& pipeline, bool keepChangedList) {
    ProgramState& state = pipeline.state;
    if (!keepChangedList) {
        state.bForceConversion = false;
        setStatus(state, "Idle");
        pipeline.colChangedFiles.reset();
        pipeline.uploads = UploadQueue{};
    }
    state.ui.setEditorSaveButtonsVisible(true);
}

void upload(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    if (pipeline.uploader != nullptr && pipeline.uploader->hasServer()) {
        pipeline.uploader->Upload(pipeline.uploads);
    } else {
        state.ui.setStatus("Not Connected To Remote Server");
    }
    pipeline.uploads = UploadQueue{};
}

void beginScan(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    setStatus(state, "Checking for updated pgn files.");
    pipeline.colChangedFiles.emplace();
    pipeline.uploads = UploadQueue{};
    if (state.settings.bPgnUpload) {
        pipeline.uploads.pgn.emplace();
    }
    state.ui.setEditorSaveButtonsVisible(false);
}

}  // namespace

void CheckPgnFiles(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    const InCycle inCycle(state);
    beginScan(pipeline);

    // Phase 1, intake: which games changed? Their copies are held until converted.
    std::vector<Candidate> candidates = TakeInChangedGames(pipeline);
    if (candidates.empty()) {
        // Files of an earlier failed upload still go, even when nothing changed.
        Uploader* uploader = pipeline.uploader;
        if (uploader != nullptr && uploader->hasServer() && uploader->hasPendingRetries()) {
            upload(pipeline);
        }
        endScan(pipeline, false);
        return;
    }

    // Phase 2, conversion, then publishing. An unexpected failure ends the scan without
    // overview and upload.
    try {
        convertChanged(pipeline, candidates);
        if (state.settings.bIntroPage) {
            MakeIntroFiles(pipeline);
        }
        upload(pipeline);
    } catch (const std::exception& e) {
        LogEvent(state, e.what());
        endScan(pipeline, false);
        return;
    }
    state.ui.processEvents();
    endScan(pipeline, true);
}

}  // namespace korvane
