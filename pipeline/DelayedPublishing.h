#pragma once
// The broadcast delay at the places where a game's text moves towards the public: the
// cycle's intake and its choice of what to publish, the monitor list's copies of a newly
// added source, the converter's input and the monitor window's display. With a delay of D
// minutes the published copy of a game (its file in temppgn, and from it the backup, the
// merge into the edited pgn, the overview, the page and the uploaded pgn) is always the
// board as it stood D minutes ago; the live copies wait as snapshots (DelayStore).

#include <string>

namespace korvane {

class Pgn;
struct ProgramState;

// Where the cycle copies a changed source: the published copy without a delay, the delay's
// intake file with one.
std::string IntakeTarget(const ProgramState& state, const Pgn& game);

// After the cycle accepted the copy at IntakeTarget. With a delay: keeps it as a snapshot
// and returns true (the game goes out when the snapshot is due, not now). Without one:
// returns false, and the copy goes out at once.
// A copy that cannot be kept is reported and taken in again at the next scan.
bool HoldBackTakenIn(ProgramState& state, Pgn& game);

// With a delay: when the game's due snapshot differs from its published copy, or the game
// must go out again (forced, or its last publication failed, which cleared LastTime),
// writes the snapshot over the published copy and returns true, so that the cycle
// converts and uploads it as a changed game. Runs before the intake of the same scan.
// Without a delay, a game still holding snapshots from one just switched off loses them
// and its LastTime, so that the intake publishes its board at once.
bool PublishDueSnapshot(ProgramState& state, Pgn& game);

// With a delay, after the monitor list copied a live source over the game's published and
// backup copies (adding or substituting a game): puts the published text back (its due
// snapshot, or the game without moves when none is due yet) and clears LastTime, so that
// the next scan keeps the live source as a snapshot.
void HoldBackLiveCopies(ProgramState& state, Pgn& game);

// The file the converter is to read for path: path itself without a delay; with one, a
// copy headed by the directive line "%vis3 delay, N" from which the page says that its
// moves are delayed. Falls back to path when the copy cannot be written.
std::string ConverterInput(const ProgramState& state, const std::string& path);
// The text the converter is to read for a PGN text: the text itself without a delay; with
// one, the text headed by the directive line "%vis3 delay, N".
std::string DelayNoted(const ProgramState& state, const std::string& text);

// How far the public page of the game is behind its board, for the monitor window; empty
// without a delay.
std::string PublicLagText(const ProgramState& state, const Pgn& game);

// The games of a PGN text as they stood before the first move: only the tags naming the
// event, the players and a start position, result "*" and no moves. What the overview
// shows of a game none of whose snapshots is due yet.
std::string GamesWithoutMoves(const std::string& text);

}  // namespace korvane
