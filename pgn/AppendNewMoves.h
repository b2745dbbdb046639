#pragma once
// Appends the source's new moves to the edited pgn of the game at state.iCurrentPgn: reads
// the edited file and the temporary copy of the source, merges them (pgn/MoveMerge.h),
// refreshes the listed header tags and saves the result over the edited file. Fills the
// game's scan fields and PgnBeforeUpdate / PgnTempAfterUpdate. A failure goes to the
// message log and leaves the edited file as it was. On return state.bError is clear.

#include <string>

#include "core/FileUtils.h"

namespace korvane {

struct ProgramState;

void AppendNewMoves(ProgramState& state);
// The same with the source's text given: the copy the cycle has taken in and not yet
// written over the temporary copy.
void AppendNewMoves(ProgramState& state, const std::string& sourceText);

// The clean-up after every merge: the tags-to-change list returns to its defaults at the
// next use, bError is cleared, and the edited file is closed if it is still open.
void ResetParseState(ProgramState& state, OpenFile& editedFile);

}  // namespace korvane
