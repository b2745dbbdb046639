#include "pgn/EditedGames.h"

#include <chrono>
#include <exception>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace korvane {

namespace {

// The finalpgn directory as the operator reads it: no trailing separator.
std::string FinalDirName(const ProgramState& state) {
    return state.programDir + "finalpgn";
}

std::string ModificationText(const ProgramState& state, const std::string& path) {
    std::error_code error;
    const auto changed = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::string();
    }
    const auto sys = std::chrono::file_clock::to_sys(changed);
    return state.clock.format(std::chrono::time_point_cast<DateTime::duration>(sys));
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

void CopySourceToFinal(ProgramState& state, const Pgn& game, bool tell) {
    state.bError = false;
    CopyOneFile(state, game.PathSource, game.PathFinal);
    // A failed copy has been reported by the copy routine; no "File Created" then.
    if (!state.bError && tell) {
        state.ui.messageBox(
            "Korvane has copied the source pgn file " + game.Key + " to " + FinalDirName(state),
            "File Created", Buttons::Ok, Icon::None);
    }
    state.bError = false;
}

// The file a missing one is created from, empty when there is none.
std::string CopyOrigin(const ProgramState& state, EditKind kind, const Pgn& game,
                       const std::string& key) {
    const std::string& first = kind == EditKind::SourceCopy ? game.PathSource : game.PathTemp;
    if (FileExists(first)) {
        return first;
    }
    const std::string backup = state.backupDir + key;
    return FileExists(backup) ? backup : std::string();
}

}  // namespace

std::string EditPgnSelectExplanation(const ProgramState& state) {
    return std::string("Instead of using a \"naked\", uncommented pgn file ") +
           "for the webpage you can choose an edited version of the same file with e.g. " +
           "comments and variations, written as the game goes along. New moves from e.g. " +
           "electronic board sensor software will be appended automatically." + kCrLf + kCrLf +
           "Select or deselect files. Edited files MUST be stored in" + kCrLf + FinalDirName(state);
}

void CreateEditedCopy(ProgramState& state, long index) {
    const Pgn& game = state.monitorList.Item(index);
    const bool exists = FileExists(game.PathFinal);
    if (game.ChangedToFromFinal) {
        if (!exists) {
            CopySourceToFinal(state, game, true);
        }
        return;
    }
    if (!exists) {
        CopySourceToFinal(state, game, true);
        return;
    }
    const std::string question = "There's already a file, " + game.Key +
                                 " (Date & Time: " + ModificationText(state, game.PathFinal) +
                                 "). Do you want to keep this file? If you choose \"No\", " +
                                 "Korvane will copy the original source pgn. ";
    if (state.ui.messageBox(question, "Keep Older File?", Buttons::YesNo, Icon::Question) ==
        Answer::No) {
        CopySourceToFinal(state, game, false);
    }
}

std::optional<EditKind> EditKindOf(const std::string& purpose) {
    if (purpose == "Select Source File") {
        return EditKind::SourceFile;
    }
    if (purpose == "Select Source Copy") {
        return EditKind::SourceCopy;
    }
    if (purpose == "Select Commented Pgn") {
        return EditKind::CommentedPgn;
    }
    return std::nullopt;
}

std::string EditDirectory(const ProgramState& state, EditKind kind) {
    switch (kind) {
        case EditKind::SourceFile:
            return WithTrailingSep(state.settings.spubPathpgn);
        case EditKind::SourceCopy:
            return state.tempDir;
        case EditKind::CommentedPgn:
            break;
    }
    return state.finalDir;
}

std::string SelectForEditExplanation(const std::string& directory) {
    return directory + kCrLf + "Select the file(s) you want to edit.";
}

bool IsOpenInEditor(const std::vector<std::string>& captions, const std::string& path) {
    for (const std::string& caption : captions) {
        if (EqualsNoCase(caption, path)) {
            return true;
        }
    }
    return false;
}

std::optional<FileToEdit> PrepareFileToEdit(ProgramState& state, EditKind kind,
                                            const std::string& key,
                                            const std::vector<std::string>& openCaptions) {
    try {
        FileToEdit file{EditDirectory(state, kind) + key, std::string(),
                        kind == EditKind::CommentedPgn, false};
        if (IsOpenInEditor(openCaptions, file.path)) {
            return std::nullopt;
        }
        if (!FileExists(file.path)) {
            const std::string origin = CopyOrigin(state, kind, state.monitorList.Item(key), key);
            if (origin.empty()) {
                LogEvent(state, "File " + key + "not found. Unable to create it from another " +
                                    "source.");
                return std::nullopt;
            }
            file.createdEditedCopy = kind == EditKind::CommentedPgn;
            state.bError = false;
            CopyOneFile(state, origin, file.path);
            if (state.bError) {
                state.bError = false;
                return std::nullopt;
            }
            LogEvent(state, file.path + " created as a copy of " + origin);
        }
        if (!LoadTextFile(state, file.path, file.text) || file.text.empty()) {
            return std::nullopt;
        }
        return file;
    } catch (const std::exception& e) {
        LogStandard(state, e.what(), "Error Opening File");
        return std::nullopt;
    }
}

}  // namespace korvane
