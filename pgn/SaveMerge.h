#pragma once
// Saving an edited pgn from the editor after the processing cycle has appended moves to the
// file: the editor's text predates those moves, so before it is written the game's latest
// source copy is merged into it with the cycle's own merge. Nothing typed and nothing
// appended is lost.

#include <optional>
#include <string>

#include "pgn/MoveMerge.h"

namespace korvane {

struct ProgramState;

// Title and text of the question asked when the merge fails (the reason is put in between).
constexpr const char* kSaveMergeTitle = "Beware";
std::string SaveMergeQuestion(const std::string& reason);

// The merge of the latest source copy of the game whose edited pgn is path into text.
// Nothing when path is no monitored game's edited pgn. The tags-to-change list is used as
// it stands and left for the cycle's next merge.
std::optional<MergeOutcome> MergeBeforeSave(ProgramState& state, const std::string& path,
                                            const std::string& text);

}  // namespace korvane
