#include "pipeline/Intake.h"

#include <functional>
#include <string_view>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/TextUtils.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

void reportUnreachable(ProgramState& state, const std::string& path) {
    LogEvent(state, "Couldn't access " + path + ".");
    state.ui.raiseAlarm();
    state.ui.processEvents();
}

// A source that is missing (deleted, renamed, an unmounted share) counts as unchanged; the
// first scan that misses it says so once.
bool sourceMissing(Pipeline& pipeline, const Pgn& game, const std::optional<SourceStamp>& stamp) {
    const std::string key = ToLower(game.Key);
    if (stamp) {
        pipeline.missingSourcesReported.erase(key);
        return false;
    }
    if (pipeline.missingSourcesReported.insert(key).second) {
        reportUnreachable(pipeline.state, game.PathSource);
    }
    return true;
}

// A source that could not be read: a denied access is reported as such, anything else as
// a failed copy with the system's reason (once while it lasts).
void reportUnreadable(ProgramState& state, const Pgn& game, const std::error_code& error) {
    if (error == std::errc::permission_denied) {
        reportUnreachable(state, game.PathSource);
        return;
    }
    if (state.fileFailures.failed(game.PathSource, error.value())) {
        LogDated(state, "Error copying " + game.PathSource + " to " + game.PathTemp + ": " +
                            error.message());
        state.ui.raiseAlarm();
    }
}

// Whether the text ends as every game ends, with its result or "*" (white space aside).
bool endsWithTermination(const std::string& text) {
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string::npos) {
        return false;
    }
    const std::string_view body(text.data(), last + 1);
    for (const std::string_view end : {"*", "1-0", "0-1", "1/2-1/2"}) {
        if (body.ends_with(end)) {
            return true;
        }
    }
    return false;
}

// A copy that does not end as a game ends was most likely taken between two writes of the
// board software (the result comes last). It is held back once; the same file seen again
// at the next scan, unchanged, goes on as it is.
bool heldBack(Pipeline& pipeline, const Candidate& candidate) {
    if (endsWithTermination(candidate.text)) {
        return false;
    }
    const std::string key = ToLower(candidate.game->Key);
    const auto earlier = pipeline.suspectSources.find(key);
    if (earlier != pipeline.suspectSources.end() && earlier->second == candidate.stamp) {
        return false;
    }
    pipeline.suspectSources[key] = candidate.stamp;
    return true;
}

// Phase 1 for one game: copies a changed source. Returns whether the game was taken in.
bool takeInIfChanged(Pipeline& pipeline, const std::shared_ptr<Pgn>& held,
                     std::vector<Candidate>& candidates) {
    ProgramState& state = pipeline.state;
    Pgn& game = *held;
    const std::optional<SourceStamp> before = StampOf(game.PathSource);
    if (sourceMissing(pipeline, game, before)) {
        return false;
    }
    if (before->time == game.LastTime && !state.bForceConversion) {
        return false;
    }
    Candidate candidate{held, {}, *before, std::nullopt};
    // A copy that failed leaves the game as it was (LastTime stays); the next scan tries
    // again.
    if (const std::error_code error = pipeline.readSource(game.PathSource, candidate.text)) {
        reportUnreadable(state, game, error);
        return false;
    }
    ReportRecovery(state, game.PathSource);
    // Board software rewrites the whole file; a copy made while it wrote may be torn.
    // Such a game is not taken in now (LastTime stays), so the next scan copies it again.
    if (StampOf(game.PathSource) != before || heldBack(pipeline, candidate)) {
        return false;
    }
    state.ui.processEvents();
    game.LastTime = before->time;
    const std::string target = IntakeTarget(state, game);
    if (target != game.PathTemp) {
        // Under a broadcast delay the copy waits as a snapshot until it comes of age.
        if (WriteCopy(state, game.PathSource, candidate.text, target)) {
            state.bError = false;
            game.LastTime.reset();
        } else {
            HoldBackTakenIn(state, game);
        }
        return false;
    }
    pipeline.colChangedFiles->push_back(game.PathTemp);
    candidates.push_back(std::move(candidate));
    return true;
}

// Under a broadcast delay a game goes out when a snapshot of it comes of age, whether or
// not its board moved in this scan.
void publishDelayed(Pipeline& pipeline, const std::shared_ptr<Pgn>& held,
                    std::vector<Candidate>& candidates) {
    ProgramState& state = pipeline.state;
    Pgn& game = *held;
    if (IntakeTarget(state, game) == game.PathTemp) {
        PublishDueSnapshot(state, game);  // a delay just switched off forgets its snapshots
        return;
    }
    Candidate candidate{held, {}, {}, std::string()};
    ReadWholeFile(game.PathTemp, *candidate.replacedCopy);
    if (!PublishDueSnapshot(state, game) || ReadWholeFile(game.PathTemp, candidate.text)) {
        return;
    }
    // A snapshot is known by its text.
    candidate.stamp.size = std::hash<std::string>{}(candidate.text);
    pipeline.colChangedFiles->push_back(game.PathTemp);
    candidates.push_back(std::move(candidate));
}

bool stillListed(const ProgramState& state, const Pgn& game) {
    const long position = state.monitorList.PositionOf(game.Key);
    return position != 0 && &state.monitorList.Item(position) == &game;
}

}  // namespace

std::vector<Candidate> TakeInChangedGames(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;
    // The games as they are listed now, held: the operator may remove one while the scan
    // lets events run, which must neither free it under the scan nor make it skip the next.
    std::vector<std::shared_ptr<Pgn>> games;
    for (long i = 1; i <= state.monitorList.Count(); ++i) {
        games.push_back(state.monitorList.Share(i));
    }
    std::vector<Candidate> candidates;
    for (const std::shared_ptr<Pgn>& game : games) {
        if (stillListed(state, *game) && !game->bSleep) {
            publishDelayed(pipeline, game, candidates);
            takeInIfChanged(pipeline, game, candidates);
        }
    }
    return candidates;
}

bool AcceptCandidate(Pipeline& pipeline, const Candidate& candidate) {
    ProgramState& state = pipeline.state;
    Pgn& game = *candidate.game;
    pipeline.suspectSources.erase(ToLower(game.Key));
    const bool written = !WriteCopy(state, game.PathSource, candidate.text, game.PathTemp);
    state.bError = false;
    if (written) {
        pipeline.convertedCopies.insert(ToLower(game.Key));
    } else {
        RetryNextScan(game);
    }
    return written;
}

bool RejectionConfirmed(Pipeline& pipeline, const Candidate& candidate) {
    if (candidate.replacedCopy) {
        WriteCopy(pipeline.state, candidate.game->PathTemp, *candidate.replacedCopy,
                  candidate.game->PathTemp);
        pipeline.state.bError = false;
    }
    const std::string key = ToLower(candidate.game->Key);
    const auto earlier = pipeline.suspectSources.find(key);
    if (earlier != pipeline.suspectSources.end() && earlier->second == candidate.stamp) {
        pipeline.suspectSources.erase(earlier);
        return true;
    }
    pipeline.suspectSources[key] = candidate.stamp;
    RetryNextScan(*candidate.game);
    return false;
}

void RetryNextScan(Pgn& game) {
    game.LastTime.reset();
}

}  // namespace korvane
