// The operator's edited copy of a game: creating it, opening it, the cycle's merge of new
// moves into it (AppendNewMoves) and the merge when a stale editor saves.

#include "pgn/EditedGames.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "pgn/AppendNewMoves.h"
#include "pgn/SaveMerge.h"
#include "support/TestProgram.h"

namespace korvane {
namespace {

using test::readFile;

class EditedGamesTest : public testing::Test {
protected:
    EditedGamesTest() : game(program.state.addGame("round5.pgn")) {
        auto& state = program.state;
        state.settings.spubPathpgn = program.dir.path() + "/boards";
        game.PathSource = state.settings.spubPathpgn + "/round5.pgn";
        game.PathTemp = state.tempDir + "round5.pgn";
        game.PathFinal = state.finalDir + "round5.pgn";
        state.iCurrentPgn = 1;
        program.dir.write("boards/round5.pgn", kSource);
    }
    void write(const std::string& path, const std::string& text) {
        program.dir.write(path.substr(program.dir.path().size() + 1), text);
    }
    std::string entry(const std::string& text) {
        return program.clock.nowText() + "\r\n" + text + "\r\n\r\n";
    }

    static inline const std::string kSource =
        "[Event \"Open\"]\r\n[Clock \"0:50\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";
    test::TestProgram program;
    Pgn& game;
};

TEST_F(EditedGamesTest, CreateEditedCopyCopiesOrAsksToKeepOlderFile) {
    auto& ui = program.ui;
    ui.answerNext(Answer::Ok);
    CreateEditedCopy(program.state, 1);
    EXPECT_EQ(readFile(game.PathFinal), kSource);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "File Created");
    EXPECT_EQ(ui.boxes[0].text, "Korvane has copied the source pgn file round5.pgn to " +
                                    program.state.programDir + "finalpgn");

    // An older edited file, game never switched: the operator is asked; "No" copies quietly.
    write(game.PathFinal, "old");
    ui.answerNext(Answer::Yes);
    CreateEditedCopy(program.state, 1);
    EXPECT_EQ(readFile(game.PathFinal), "old");
    EXPECT_EQ(ui.boxes.back().title, "Keep Older File?");
    EXPECT_EQ(ui.boxes.back().icon, Icon::Question);
    EXPECT_EQ(ui.boxes.back().text.find("There's already a file, round5.pgn (Date & Time: "), 0u);
    ui.answerNext(Answer::No);
    CreateEditedCopy(program.state, 1);
    EXPECT_EQ(readFile(game.PathFinal), kSource);
    EXPECT_EQ(ui.boxes.size(), 3u);

    // Once switched, an existing file is kept without a question.
    game.setUseFinal(true);
    write(game.PathFinal, "commented");
    CreateEditedCopy(program.state, 1);
    EXPECT_EQ(readFile(game.PathFinal), "commented");
    EXPECT_EQ(ui.boxes.size(), 3u);

    // A copy that fails (the source gone) announces no file.
    game.setUseFinal(false);
    std::filesystem::remove(game.PathFinal);
    std::filesystem::remove(game.PathSource);
    ui.answerOkByDefault();
    CreateEditedCopy(program.state, 1);
    for (std::size_t i = 3; i < ui.boxes.size(); ++i) {
        EXPECT_NE(ui.boxes[i].title, "File Created");
    }
    EXPECT_FALSE(program.state.bError);
}

// Each kind opens from its directory, once; a missing file falls back to the backup, then
// gives up. (Creating the missing edited pgn from the source copy is tested with the editor
// windows.)
TEST_F(EditedGamesTest, PrepareFileToEditFindsTheFileOrGivesUp) {
    write(game.PathTemp, kSource);
    const auto copy =
        PrepareFileToEdit(program.state, *EditKindOf("Select Source Copy"), "round5.pgn", {});
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->path, game.PathTemp);
    EXPECT_EQ(copy->text, kSource);
    EXPECT_FALSE(copy->annotationButtons);
    // Already open, with the name written in other case: no second editor.
    EXPECT_FALSE(PrepareFileToEdit(program.state, EditKind::CommentedPgn, "round5.pgn",
                                   {"/x/a.pgn", program.state.finalDir + "ROUND5.PGN"}));

    write(program.state.backupDir + "round5.pgn", "[Event \"B\"]\r\n");
    std::filesystem::remove(game.PathSource);
    std::filesystem::remove(game.PathTemp);
    const auto fromBackup =
        PrepareFileToEdit(program.state, EditKind::SourceCopy, "round5.pgn", {});
    ASSERT_TRUE(fromBackup);
    EXPECT_FALSE(fromBackup->annotationButtons);
    EXPECT_EQ(fromBackup->text, "[Event \"B\"]\r\n");

    std::filesystem::remove(game.PathTemp);
    std::filesystem::remove(program.state.backupDir + "round5.pgn");
    program.ui.setLogText("");
    EXPECT_FALSE(PrepareFileToEdit(program.state, EditKind::CommentedPgn, "round5.pgn", {}));
    EXPECT_EQ(program.ui.logText(),
              entry("File round5.pgnnot found. Unable to create it from another source."));

    // An empty file is not opened.
    write(game.PathFinal, "");
    EXPECT_FALSE(PrepareFileToEdit(program.state, EditKind::CommentedPgn, "round5.pgn", {}));
}

TEST_F(EditedGamesTest, CycleMergeIsSavedWithoutAnyBoxOrLoggedWhenItFails) {
    const std::string commented =
        "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Bold!} e5 2. "
        "Nf3\r\n*\r\n";
    write(game.PathTemp, kSource);
    write(game.PathFinal, commented);
    program.state.tagsToChange = {"Result"};  // the operator took Clock off the list

    AppendNewMoves(program.state);

    EXPECT_EQ(readFile(game.PathFinal),
              "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n"
              "1. e4 {Bold!} e5 2. Nf3  Nc6 *\r\n");
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_EQ(program.ui.logText(), "");
    EXPECT_EQ(program.ui.lastStatus(), "Appends new moves to the edited file");
    EXPECT_EQ(game.PgnBeforeUpdate, commented) << "kept to restore the edited file";
    EXPECT_EQ(game.PgnTempAfterUpdate, kSource);
    // The list returns to the defaults at the next merge: Clock is refreshed again.
    EXPECT_TRUE(program.state.tagsToChange.empty());
    AppendNewMoves(program.state);
    EXPECT_NE(readFile(game.PathFinal).find("[Clock \"0:50\"]"), std::string::npos);

    // A merge that fails is logged and leaves the edited file unchanged.
    const std::pair<std::string, std::string> cases[] = {
        // edited text, log entry
        {"", ""},
        {"[Event \"E\"]\r\n1. e4 {open", "There's a comment with no closing tag }"},
        {"[Event \"E\"]\r\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *",
         "The last movenumber 3 isn't in the source file.If moves have been removed "
         "from the source file you must edit the target pgn file too."},
    };
    for (const auto& [edited, logged] : cases) {
        write(game.PathFinal, edited);
        program.ui.setLogText("");
        program.state.bError = true;
        AppendNewMoves(program.state);
        EXPECT_EQ(readFile(game.PathFinal), edited);
        EXPECT_EQ(program.ui.logText(), entry(logged));
        EXPECT_FALSE(program.state.bError);
    }
}

// (The merge itself, and the question when it fails, are tested with the editor windows.)
TEST_F(EditedGamesTest, StaleSaveMergesTheEditedCopyOnlyAndKeepsTheTagList) {
    write(game.PathTemp, kSource);
    const std::string typed = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Sharp} e5 *\r\n";
    const auto outcome = MergeBeforeSave(program.state, game.PathFinal, typed);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->merged,
              "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Sharp} e5 2. Nf3 Nc6 *\r\n");
    EXPECT_TRUE(program.state.tagsToChange.empty()) << "the operator's list is left for the cycle";
    EXPECT_FALSE(MergeBeforeSave(program.state, program.state.tempDir + "round5.pgn", typed));
}

}  // namespace
}  // namespace korvane
