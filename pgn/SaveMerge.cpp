#include "pgn/SaveMerge.h"

#include <fstream>
#include <sstream>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "pgn/TagsToChange.h"

namespace korvane {

namespace {

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

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
        const std::optional<std::string> source = ReadBytes(game.PathTemp);
        if (!source) {
            MergeOutcome failed;
            failed.error = "The source copy " + game.PathTemp + " cannot be read.";
            return failed;
        }
        std::vector<std::string> tags = state.tagsToChange;
        return MergeNewMoves(text, *source, EnsureTagsToChange(tags), path);
    }
    return std::nullopt;
}

}  // namespace korvane
