#include "pgn/SaveMerge.h"

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "pgn/TagsToChange.h"

namespace korvane {

std::string SaveMergeQuestion(const std::string& reason) {
    return std::string("New moves have been appended to this file since you loaded it, and ") +
           "they could not be merged into your text:" + kCrLf + reason + kCrLf + kCrLf +
           "Save your text anyway, without those moves?" + kCrLf +
           "Choose \"No\" to keep the file as it is and reload it.";
}

std::optional<MergeOutcome> MergeBeforeSave(ProgramState& state, const std::string& path,
                                            const std::string& text) {
    for (const Pgn& game : state.monitorList) {
        if (!EqualsNoCase(game.PathFinal, path)) {
            continue;
        }
        std::string source;
        if (ReadWholeFile(game.PathTemp, source)) {
            MergeOutcome failed;
            failed.error = "The source copy " + game.PathTemp + " cannot be read.";
            return failed;
        }
        std::vector<std::string> tags = state.tagsToChange;
        return MergeNewMoves(text, source, EnsureTagsToChange(tags), path);
    }
    return std::nullopt;
}

}  // namespace korvane
