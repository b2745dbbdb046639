// Choosing and creating the files the operator edits, and the merge that keeps appended
// moves when a stale editor saves.

#include "pgn/EditedGames.h"

#include <gtest/gtest.h>

#include <filesystem>

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
        program.dir.write("boards/round5.pgn", kSource);
    }
    void write(const std::string& path, const std::string& text) {
        program.dir.write(path.substr(program.dir.path().size() + 1), text);
    }
    std::string entry(const std::string& text) {
        return program.clock.nowText() + "\r\n" + text + "\r\n\r\n";
    }

    static inline const std::string kSource =
        "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";
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
}

TEST_F(EditedGamesTest, FailedCopyShowsNoFileCreatedBox) {
    std::filesystem::remove(game.PathSource);
    program.ui.answerOkByDefault();
    CreateEditedCopy(program.state, 1);
    for (const auto& box : program.ui.boxes) {
        EXPECT_NE(box.title, "File Created");
    }
    EXPECT_FALSE(program.state.bError);
}

TEST_F(EditedGamesTest, MissingEditedPgnIsCreatedFromTheSourceCopy) {
    write(game.PathTemp, kSource);
    const auto file = PrepareFileToEdit(program.state, EditKind::CommentedPgn, "round5.pgn", {});
    ASSERT_TRUE(file);
    EXPECT_EQ(file->path, game.PathFinal);
    EXPECT_EQ(file->text, kSource);
    EXPECT_TRUE(file->annotationButtons);
    EXPECT_TRUE(file->createdEditedCopy);
    EXPECT_EQ(program.ui.logText(),
              entry(game.PathFinal + " created as a copy of " + game.PathTemp));

    // Already open (in another case): no second editor.
    EXPECT_FALSE(PrepareFileToEdit(program.state, EditKind::CommentedPgn, "round5.pgn",
                                   {program.state.finalDir + "Round5.pgn"}));
    // The source copy opens from its own directory, without the annotation buttons.
    const auto copy = PrepareFileToEdit(program.state, *EditKindOf("Select Source Copy"),
                                        "round5.pgn", {program.state.finalDir + "Round5.pgn"});
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->path, game.PathTemp);
    EXPECT_FALSE(copy->annotationButtons);
}

TEST_F(EditedGamesTest, MissingFileFallsBackToBackupThenGivesUp) {
    write(program.state.backupDir + "round5.pgn", "[Event \"B\"]\r\n");
    std::filesystem::remove(game.PathSource);
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

TEST_F(EditedGamesTest, StaleSaveMergesTheLatestSourceCopy) {
    // The operator's text knows moves up to 1... e5; the cycle has since taken in 2. Nf3 Nc6.
    write(game.PathTemp, kSource);
    const std::string typed = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Sharp} e5 *\r\n";
    const auto outcome = MergeBeforeSave(program.state, game.PathFinal, typed);
    ASSERT_TRUE(outcome);
    ASSERT_FALSE(outcome->error) << *outcome->error;
    EXPECT_NE(outcome->merged.find("{Sharp}"), std::string::npos);
    EXPECT_NE(outcome->merged.find("Nc6"), std::string::npos);
    // The list the operator set up is left for the cycle.
    EXPECT_TRUE(program.state.tagsToChange.empty());

    // A file that is no game's edited copy is saved as typed.
    EXPECT_FALSE(MergeBeforeSave(program.state, program.state.tempDir + "round5.pgn", typed));
}

}  // namespace
}  // namespace korvane
