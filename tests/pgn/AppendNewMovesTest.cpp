// AppendNewMoves on real files: the saved merge, the log entry and untouched file on
// failure, and the tags-to-change list around a merge (the list's dialog is tested with
// the windows).

#include "pgn/AppendNewMoves.h"

#include <gtest/gtest.h>

#include "support/TestProgram.h"

namespace korvane {
namespace {

using test::readFile;

const std::string kSource =
    "[Event \"Open\"]\r\n[Clock \"0:50\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";

class AppendNewMovesTest : public testing::Test {
protected:
    AppendNewMovesTest() : game(program.state.addGame("round5.pgn")) {
        game.PathFinal = program.state.finalDir + "round5.pgn";
        game.PathTemp = program.state.tempDir + "round5.pgn";
        program.state.iCurrentPgn = 1;
        program.dir.write("temppgn/round5.pgn", kSource);
    }
    void writeEdited(const std::string& text) { program.dir.write("finalpgn/round5.pgn", text); }

    test::TestProgram program;
    Pgn& game;
};

TEST_F(AppendNewMovesTest, SavesMergeWithoutAnyBoxAndResetsTheTagList) {
    const std::string edited =
        "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Bold!} e5 2. "
        "Nf3\r\n*\r\n";
    writeEdited(edited);
    program.state.tagsToChange = {"Result"};  // the operator took Clock off the list

    AppendNewMoves(program.state);

    EXPECT_EQ(readFile(game.PathFinal),
              "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n"
              "1. e4 {Bold!} e5 2. Nf3  Nc6 *\r\n");
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_EQ(program.ui.logText(), "");
    EXPECT_EQ(program.ui.lastStatus(), "Appends new moves to the edited file");
    EXPECT_EQ(game.PgnBeforeUpdate, edited) << "kept to restore the edited file";
    EXPECT_EQ(game.PgnTempAfterUpdate, kSource);
    // The list returns to the defaults at the next merge: Clock is refreshed again.
    EXPECT_TRUE(program.state.tagsToChange.empty());
    AppendNewMoves(program.state);
    EXPECT_NE(readFile(game.PathFinal).find("[Clock \"0:50\"]"), std::string::npos);
}

TEST_F(AppendNewMovesTest, FailureIsLoggedAndLeavesEditedFileUnchanged) {
    const std::pair<std::string, std::string> cases[] = {
        // edited text, log entry
        {"", ""},
        {"[Event \"E\"]\r\n1. e4 {open", "There's a comment with no closing tag }"},
        {"[Event \"E\"]\r\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *",
         "The last movenumber 3 isn't in the source file.If moves have been removed "
         "from the source file you must edit the target pgn file too."},
    };
    for (const auto& [edited, entry] : cases) {
        writeEdited(edited);
        program.ui.setLogText("");
        program.state.bError = true;
        AppendNewMoves(program.state);
        EXPECT_EQ(readFile(game.PathFinal), edited);
        EXPECT_EQ(program.ui.logText(), program.clock.nowText() + "\r\n" + entry + "\r\n\r\n");
        EXPECT_FALSE(program.state.bError);
    }
}

}  // namespace
}  // namespace korvane
