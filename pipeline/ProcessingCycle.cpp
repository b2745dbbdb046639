#include "pipeline/ProcessingCycle.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/TextUtils.h"
#include "pgn/AppendNewMoves.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Overview.h"
#include "pipeline/Pipeline.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

// What a source file looked like at one moment; a rewrite changes one or the other.
struct SourceStamp {
    FileTime time;
    std::uintmax_t size = 0;
    bool operator==(const SourceStamp&) const = default;
};

std::optional<SourceStamp> stampOf(const std::string& path) {
    std::error_code ec;
    SourceStamp stamp;
    stamp.time = fs::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    stamp.size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return stamp;
}

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

// Phase 1 for one game: copies a changed source over its temporary copy and takes it in.
// Returns whether the game was taken in.
bool takeInIfChanged(Pipeline& pipeline, Pgn& game) {
    ProgramState& state = pipeline.state;
    const std::optional<SourceStamp> before = stampOf(game.PathSource);
    if (sourceMissing(pipeline, game, before)) {
        return false;
    }
    if (before->time == game.LastTime && !state.bForceConversion) {
        return false;
    }
    const std::error_code copyError =
        pipeline.copySource(state, game.PathSource, IntakeTarget(state, game));
    state.bError = false;
    // A copy that failed left the previous temporary copy in place. Taking the game in would
    // stamp the new time on old moves and keep the page on them until the next move; the
    // next scan tries the copy again instead. A denied access is reported here, any other
    // failure has been reported by the copy.
    if (copyError) {
        if (copyError == std::errc::permission_denied) {
            reportUnreachable(state, game.PathSource);
        }
        return false;
    }
    // Board software rewrites the whole file; a copy made while it wrote may be torn.
    // Such a game is not taken in now (LastTime stays), so the next scan copies it again.
    if (stampOf(game.PathSource) != before) {
        return false;
    }
    state.ui.processEvents();
    game.LastTime = before->time;
    if (HoldBackTakenIn(state, game)) {
        return false;  // published when the broadcast delay has passed
    }
    pipeline.colChangedFiles->push_back(game.PathTemp);
    return true;
}

// Under a broadcast delay a game goes out when a snapshot of it comes of age, whether or
// not its board moved in this scan.
bool publishDelayed(Pipeline& pipeline, Pgn& game) {
    if (!PublishDueSnapshot(pipeline.state, game)) {
        return false;
    }
    pipeline.colChangedFiles->push_back(game.PathTemp);
    return true;
}

// A game whose taken-in copy was not published forgets when it was taken in, so the next
// scan in which it is awake takes it in and converts it again even if its source has not
// changed since (the last move of a finished game would otherwise never be published).
void retryNextScan(Pgn& game) {
    game.LastTime.reset();
}

// Puts a game to sleep because no page came out of its conversion.
void sleepUnpublished(Pgn& game) {
    game.bSleep = true;
    retryNextScan(game);
}

bool stillListed(const ProgramState& state, const Pgn& game) {
    const long position = state.monitorList.PositionOf(game.Key);
    return position != 0 && &state.monitorList.Item(position) == &game;
}

void setStatus(ProgramState& state, const std::string& text) {
    state.ui.setStatus(text);
    state.ui.processEvents();
}

// Converts the edited pgn after merging the source's new moves into it; when the
// converter rejects it, restores it and publishes the bare copy instead.
void convertEdited(Pipeline& pipeline, Pgn& game, const std::string& name) {
    ProgramState& state = pipeline.state;
    bool bPgnError = false;
    bool bRemove = false;

    const std::string fin = game.PathFinal;
    state.iCurrentPgn = state.monitorList.PositionOf(name);
    AppendNewMoves(state);
    state.ui.processEvents();

    setStatus(state, "Vistrel is processing " + fin);
    state.bError = false;
    ProcessPgn(pipeline, fin, bPgnError, bRemove);
    if (state.bError) {
        state.bError = false;
        sleepUnpublished(game);
        return;
    }
    if (bPgnError) {
        // An empty text means the merge never read the edited pgn: writing it back would
        // wipe the operator's work, so the file is left as it is.
        if (!game.PgnBeforeUpdate.empty()) {
            SaveFile(state, fin, game.PgnBeforeUpdate, false, true);
        }
        state.bError = false;
        game.PgnBeforeUpdate.clear();

        setStatus(state, "Vistrel is processing " + game.PathTemp);
        ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);
        if (state.bError) {
            state.bError = false;
            sleepUnpublished(game);
            return;
        }
        if (bPgnError) {
            game.bSleep = true;
            LogEvent(state,
                     "Both the source and edited version of " + name + " has errors, " +
                         "so the error is probably in the new move(s) since the last update. " +
                         "Korvane has therefore: " + kCrLf + "1. Removed " + name +
                         " from the monitor list." + kCrLf +
                         "2. Removed the new move(s) from the edited version." + kCrLf +
                         "Once the source file has been repaired, you can put it back on the " +
                         "monitorlist by selecting it and click \"Activate\".");
            state.ui.processEvents();
            return;
        }
        if (!bRemove) {
            LogEvent(state, "There's a pgn error in the edited version of " + name +
                                ". The source pgn file has no errors, so Korvane has: " + kCrLf +
                                "1. Created an Html file based on the source file instead." +
                                kCrLf + "2. Disabled processing of the edited file." + kCrLf +
                                "Until you have repaired the edited version and enabled its use, " +
                                "Korvane will process the source Pgn.");
            game.setUseFinal(false);
            state.ui.processEvents();
        }
    }
    if (bRemove) {
        sleepUnpublished(game);
    }
}

// Phase 2 for one changed game.
void convertChanged(Pipeline& pipeline, const std::string& tmp) {
    ProgramState& state = pipeline.state;
    const std::string name = FileNameOf(tmp);
    // The operator may have removed the game while the scan let events run.
    if (!state.monitorList.Contains(name)) {
        return;
    }
    // Held, not borrowed: the scan lets events run, and the operator may remove the game.
    const std::shared_ptr<Pgn> held = state.monitorList.Share(name);
    Pgn& game = *held;

    if (game.bUseFinal() && !FileCheck(game.PathFinal)) {
        LogEvent(state, "The edited pgn " + game.PathFinal + " doesn't exist. Korvane will use " +
                            game.PathTemp + " instead.");
        state.ui.raiseAlarm();
        state.ui.processEvents();
        game.setUseFinal(false);
        return;
    }
    if (game.bUseFinal()) {
        convertEdited(pipeline, game, name);
        return;
    }
    bool bPgnError = false;
    bool bRemove = false;
    state.bError = false;
    ProcessPgn(pipeline, tmp, bPgnError, bRemove);
    // The run has logged its outcome, and a rejected game sleeps. A run that failed (the
    // converter did not start, the page did not reach the HTML directory) is repeated by
    // the next scan.
    if (state.bError) {
        state.bError = false;
        retryNextScan(game);
    }
    if (bRemove) {
        sleepUnpublished(game);
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

}  // namespace

void CheckPgnFiles(Pipeline& pipeline) {
    ProgramState& state = pipeline.state;

    // Phase 1: which games changed?
    setStatus(state, "Checking for updated pgn files.");
    pipeline.colChangedFiles.emplace();
    pipeline.uploads = UploadQueue{};
    if (state.settings.bPgnUpload) {
        pipeline.uploads.pgn.emplace();
    }
    state.ui.setEditorSaveButtonsVisible(false);

    // The games as they are listed now, held: the operator may remove one while the scan
    // lets events run, which must neither free it under the scan nor make it skip the next.
    std::vector<std::shared_ptr<Pgn>> games;
    for (long i = 1; i <= state.monitorList.Count(); ++i) {
        games.push_back(state.monitorList.Share(i));
    }
    bool anyChanged = false;
    for (const std::shared_ptr<Pgn>& game : games) {
        if (stillListed(state, *game) && !game->bSleep) {
            const bool due = publishDelayed(pipeline, *game);
            const bool taken = takeInIfChanged(pipeline, *game);
            anyChanged = anyChanged || due || taken;
        }
    }
    if (!anyChanged) {
        // Files of an earlier failed upload still go, even when nothing changed.
        Uploader* uploader = pipeline.uploader;
        if (uploader != nullptr && uploader->hasServer() && uploader->hasPendingRetries()) {
            upload(pipeline);
        }
        endScan(pipeline, false);
        return;
    }

    // Phase 2: convert. An unexpected failure ends the scan without overview and upload.
    try {
        for (const std::string& tmp : *pipeline.colChangedFiles) {
            convertChanged(pipeline, tmp);
        }
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
