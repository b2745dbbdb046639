#pragma once
// Start-up without the windows: settings, work directories and old work files.

#include <string>

namespace korvane {

struct ProgramState;

// The program directory: the executable's directory when it is writable, otherwise the
// per-user data location. Needs a QCoreApplication. Ends with a separator.
std::string ProgramDirectory();

// Reads "korvane.cfg" from state.programDir (or, on a first start, asks for the settings
// dialog), creates the work directories temppgn, backup and finalpgn, offers to resume the
// last project when its file lists games (a Yes, or bResumeWithoutAsking, leaves it in
// state.pendingResume for ResumeProject once the monitor window is open) and otherwise to
// delete PGN files left in the work directories, and sets the start-up values. Returns false
// when a failure ended start-up early (the operator has been told).
bool Main(ProgramState& state);

}  // namespace korvane
