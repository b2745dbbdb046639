#include "pgn/AppendNewMoves.h"

#include <exception>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"

namespace korvane {

namespace {

void ClearScanFields(Pgn& game) {
    for (Positions* list : {&game.GameStart, &game.GameEnd, &game.VarStart, &game.VarEnd,
                            &game.ComStart, &game.ComEnd, &game.TagStartSource, &game.TagEndSource,
                            &game.TagStartFinal, &game.TagEndFinal}) {
        list->clear();
    }
    game.bBlackLast = false;
    game.bWhiteLast = false;
}

// Each part of the scan lands in the record only when it succeeded.
void StoreScan(Pgn& game, const EditedScan& scan) {
    if (scan.steps >= 1) {
        StoreTags(game, scan.tags, 1);
    }
    if (scan.steps >= 2) {
        StorePieces(game, scan.pieces);
    }
    if (scan.steps >= 3) {
        StoreLastMove(game, scan.last);
    }
}

// Steps after the edited text was read: scan it, read the source copy, merge, save.
PgnError MergeIntoEditedFile(ProgramState& state, Pgn& game, const std::string& edited,
                             const std::string* sourceText, OpenFile& editedFile) {
    EditedScan scan;
    PgnError error = ParsePgnText(edited, game.PathFinal, scan);
    StoreScan(game, scan);
    if (error) {
        return error;
    }
    std::string source;
    if (sourceText != nullptr) {
        source = *sourceText;
    } else {
        LoadTextFile(state, game.PathTemp, source);
    }
    game.PgnTempAfterUpdate = source;

    TagSpans sourceTags;
    std::string merged;
    error = MergeScanned(edited, scan, source, EnsureTagsToChange(state.tagsToChange), sourceTags,
                         merged);
    if (sourceTags.lastTag > 0) {
        StoreTags(game, sourceTags, 2);
    }
    if (error) {
        return error;
    }
    editedFile.reset();
    // A failed save has told the operator itself; the cycle goes on either way.
    SaveFile(state, game.PathFinal, merged, false, true);
    state.bError = false;
    return std::nullopt;
}

}  // namespace

void ResetParseState(ProgramState& state, OpenFile& editedFile) {
    state.tagsToChange.clear();
    state.bError = false;
    editedFile.reset();
}

namespace {

void appendNewMoves(ProgramState& state, const std::string* sourceText) {
    OpenFile editedFile(nullptr, &std::fclose);
    PgnError error;
    try {
        Pgn& game = state.monitorList.Item(state.iCurrentPgn);
        ClearScanFields(game);
        state.ui.setStatus("Appends new moves to the edited file");

        std::string edited;
        editedFile = OpenTextFile(state, game.PathFinal, edited);
        if (edited.empty()) {
            error = std::string();
        } else {
            game.PgnBeforeUpdate = edited;
            error = MergeIntoEditedFile(state, game, edited, sourceText, editedFile);
        }
    } catch (const std::exception& e) {
        error = std::string(e.what());
    }
    if (error) {
        LogEvent(state, *error);
    }
    ResetParseState(state, editedFile);
}

}  // namespace

void AppendNewMoves(ProgramState& state) {
    appendNewMoves(state, nullptr);
}

void AppendNewMoves(ProgramState& state, const std::string& sourceText) {
    appendNewMoves(state, &sourceText);
}

}  // namespace korvane
