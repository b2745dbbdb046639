#pragma once
// The intake of a processing cycle: which awake games changed since they were last taken
// in, and a copy of each changed source. The copy is held until the converter has seen it:
// only an accepted copy replaces the game's temporary copy, which therefore always holds
// the last text that converted (the overview and the backup read it). A copy that does
// not end as a game ends, or that the converter rejects, was most likely taken while the
// board software was still writing the file: the game is taken in again at the next scan,
// and only a source that looks the same again without having changed counts as it is.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Pgn.h"
#include "pipeline/SourceStamp.h"

namespace korvane {

struct Pipeline;

// A changed game taken in by this scan: its source's text and stamp at the copy.
struct Candidate {
    std::shared_ptr<Pgn> game;
    std::string text;
    SourceStamp stamp;
    // Under a broadcast delay a due snapshot is written over the temporary copy before it
    // is converted: the copy it replaced, put back when the converter rejects the snapshot.
    std::optional<std::string> replacedCopy;
};

// Phase 1: copies every changed awake game's source (in list order), stamps LastTime and
// lists the game's temporary copy in colChangedFiles. Under a broadcast delay the copy is
// kept as a snapshot instead, and the snapshot that has come of age is what is converted.
std::vector<Candidate> TakeInChangedGames(Pipeline& pipeline);

// The converter accepted the copy: it becomes the game's temporary copy. False when that
// could not be written (reported); the game is then taken in again at the next scan.
bool AcceptCandidate(Pipeline& pipeline, const Candidate& candidate);

// The converter rejected the copy. True when the source counts as faulty: it was rejected
// before with the same stamp. Otherwise the game is taken in again at the next scan.
// Either way the temporary copy keeps the last copy that converted.
bool RejectionConfirmed(Pipeline& pipeline, const Candidate& candidate);

// The game forgets when it was taken in, so the next scan in which it is awake takes it in
// and converts it again even if its source has not changed since.
void RetryNextScan(Pgn& game);

}  // namespace korvane
