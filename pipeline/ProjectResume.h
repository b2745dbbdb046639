#pragma once
// Taking up the project of the last session again once the monitor window is open.

namespace korvane {

struct ProgramState;
class Monitor;
class MonitorView;

// When start-up was told to resume a project (state.pendingResume), replaces the monitor
// list with its games as New Project builds a list, but keeps each game's state: where
// its source lies, whether it publishes its edited pgn, whether it sleeps, and when its
// source was last taken in, so the next cycle converts only the games whose source changed
// meanwhile. Starts monitoring again if it ran. Does nothing without a pending project.
void ResumeProject(ProgramState& state, Monitor& monitor, MonitorView& view);

}  // namespace korvane
