// AppendNewMoves on real files: the saved merge and the record fields it fills, the log
// entry and untouched file on failure, and the tags-to-change list around a merge.

#include "pgn/AppendNewMoves.h"

#include <gtest/gtest.h>

#include "pgn/TagsToChange.h"
#include "support/TestProgram.h"

namespace korvane {
namespace {

using test::readFile;

class AppendNewMovesTest : public testing::Test {
protected:
    AppendNewMovesTest() : game(program.state.addGame("round5.pgn")) {
        game.PathFinal = program.state.finalDir + "round5.pgn";
        game.PathTemp = program.state.tempDir + "round5.pgn";
        program.state.iCurrentPgn = 1;
    }
    void write(const std::string& path, const std::string& text) {
        program.dir.write(path.substr(program.dir.path().size() + 1), text);
    }
    std::string logEntry(const std::string& text) {
        return program.clock.nowText() + "\r\n" + text + "\r\n\r\n";
    }

    test::TestProgram program;
    Pgn& game;
};

const std::string kEdited =
    "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n1. e4 {Bold!} e5 2. "
    "Nf3\r\n*\r\n";
const std::string kSource =
    "[Event \"Open\"]\r\n[Clock \"0:50\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";

TEST_F(AppendNewMovesTest, SavesMergeAndFillsRecordWithoutAnyBox) {
    write(game.PathFinal, kEdited);
    write(game.PathTemp, kSource);
    program.state.tagsToChange = {"Result"};  // the operator took Clock off the list

    AppendNewMoves(program.state);

    EXPECT_EQ(readFile(game.PathFinal),
              "[Event \"Open\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n"
              "1. e4 {Bold!} e5 2. Nf3  Nc6 *\r\n");
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_EQ(program.ui.logText(), "");
    EXPECT_EQ(program.ui.lastStatus(), "Appends new moves to the edited file");
    EXPECT_EQ(game.PgnBeforeUpdate, kEdited);
    EXPECT_EQ(game.PgnTempAfterUpdate, kSource);
    EXPECT_EQ(game.LastMove, 2);
    EXPECT_EQ(game.sLastMove, "Nf3");
    EXPECT_TRUE(game.bWhiteLast);
    EXPECT_EQ(game.PastePoint, static_cast<long>(kEdited.find("\r\n*")) + 1);
    EXPECT_EQ(game.LastTagSource, static_cast<long>(kSource.find("]\r\n\r\n")) + 1);
    EXPECT_FALSE(program.state.bError);
    // The list returns to the defaults at the next merge: Clock is refreshed again.
    EXPECT_TRUE(program.state.tagsToChange.empty());
    AppendNewMoves(program.state);
    EXPECT_NE(readFile(game.PathFinal).find("[Clock \"0:50\"]"), std::string::npos);
}

struct FailureCase {
    std::string name;
    std::string edited;
    std::string logText;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class AppendNewMovesFailure : public AppendNewMovesTest,
                              public testing::WithParamInterface<FailureCase> {};

TEST_P(AppendNewMovesFailure, LogsAndLeavesEditedFileUnchanged) {
    const FailureCase& c = GetParam();
    write(game.PathFinal, c.edited);
    write(game.PathTemp, kSource);
    program.state.bError = true;

    AppendNewMoves(program.state);

    EXPECT_EQ(readFile(game.PathFinal), c.edited);
    EXPECT_EQ(program.ui.logText(), logEntry(c.logText));
    EXPECT_FALSE(program.state.bError);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, AppendNewMovesFailure,
    testing::Values(FailureCase{"EmptyEditedFile", "", ""},
                    FailureCase{"UnclosedComment", "[Event \"E\"]\r\n1. e4 {open",
                                "There's a comment with no closing tag }"},
                    FailureCase{
                        "MovesTakenBack", "[Event \"E\"]\r\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *",
                        "The last movenumber 3 isn't in the source file.If moves have been removed "
                        "from the source file you must edit the target pgn file too."}),
    [](const auto& row) { return row.param.name; });

TEST(TagsToChangeEditor, AddsRejectsDuplicatesAndKeepsResult) {
    std::vector<std::string> list;
    TagsToChangeEditor dialog(list);
    ASSERT_EQ(list, DefaultTagsToChange());
    EXPECT_EQ(dialog.rows().size(), 6u);

    dialog.setNewTag("clock");
    dialog.addTag();
    EXPECT_EQ(dialog.errorText(), "clock is already on the list.");
    EXPECT_FALSE(dialog.addEnabled());

    dialog.setNewTag("Round");
    dialog.addTag();
    EXPECT_EQ(list.back(), "Round");
    EXPECT_TRUE(dialog.rows().back().selected);

    for (std::size_t row = 0; row < dialog.rows().size(); ++row) {
        dialog.setSelected(row, row == 1);  // keep only "Time"
    }
    dialog.ok();
    EXPECT_EQ(list, (std::vector<std::string>{"Time", "Result"}));
}

}  // namespace
}  // namespace korvane
