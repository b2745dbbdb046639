#pragma once
// A project is the monitor list: New Project fills it from the open dialog, and closing the
// monitor window after the operator confirmed empties it.

namespace korvane {

struct ProgramState;
class MonitorList;
class MonitorView;

// Replaces the monitor list with the games chosen in the open dialog ("Select Pgn Files To
// Monitor"), checks the paths (showing the settings dialog when they need correcting) and
// returns true when the project holds at least one game; the main window then disables New
// Project and shows the Pgn menu. Cancelling, or choosing only refused files, returns false.
// The project file is written either way.
bool NewProject(ProgramState& state, MonitorList& list, MonitorView& view);

// The project closes: every game leaves the monitor list, last first. The project file is
// left to the caller: the operator closing the project writes it empty, the program's exit
// keeps it for the next start.
void CloseProject(ProgramState& state);

// The header tags to replace are forgotten whenever the monitor window closes.
void ReleaseTagsToChange(ProgramState& state);

}  // namespace korvane
