#pragma once
// Appends the source's new moves to the edited pgn of the game at state.iCurrentPgn.

namespace korvane {

struct ProgramState;

void AppendNewMoves(ProgramState& state);

}  // namespace korvane
