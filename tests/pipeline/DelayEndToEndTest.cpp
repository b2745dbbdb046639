// The broadcast delay end to end, with the real converter and a fixed clock: a game replayed
// into its board file at a fixed pace reaches the page, the overview and the published pgn
// exactly one delay after the board, through a restart and behind an edited copy.

#include <filesystem>

#include "EndToEndFixture.h"
#include "core/Config.h"
#include "core/FileUtils.h"
#include "core/Startup.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace korvane::test {
namespace {

// What a board file held from a moment on.
struct BoardState {
    DateTime since;
    std::size_t plies = 0;
    std::string result = "*";
};

class DelayEndToEndTest : public EndToEndTest {
protected:
    DelayEndToEndTest() {
        state.settings.lpubDelay = 1;
        state.settings.bIntroPage = true;
        state.settings.bPgnUpload = true;
    }

    std::string boardText(const BoardState& shown) const {
        std::string text = liveText(games[0], shown.plies);
        if (shown.result != "*") {
            text.replace(text.find("[Result \"*\"]"), 12, "[Result \"" + shown.result + "\"]");
            text.replace(text.rfind('*'), 1, shown.result);
        }
        return text;
    }
    void boardWrites(std::size_t plies, const std::string& result = "*") {
        board = BoardState{program.clock.now(), plies, result};
        writeSource("board1.pgn", boardText(board), ++m_writes);
    }
    // One scan interval of ten seconds on the fixed clock; the monitor takes the board in.
    void scan(Monitor& monitorWindow) {
        monitorWindow.Timer1Tick();
        monitorWindow.Timer1Tick();
        takenIn.push_back(BoardState{program.clock.now(), board.plies, board.result});
    }
    // The newest board state taken in at least one delay ago: all the public may see now.
    std::optional<BoardState> dueNow() const {
        std::optional<BoardState> due;
        for (const BoardState& s : takenIn) {
            if (s.since <= program.clock.now() - 1min) {
                due = s;
            }
        }
        return due;
    }
    void addBoard(MonitorList& monitorList, ScriptedDialog& fileDialog) {
        fileDialog.choose(boards, {"board1.pgn"});
        monitorList.cmdAddPgnClick();
    }

    // The page, the overview and the published pgn show exactly what is due, nothing newer.
    void expectPublicShows(const std::optional<BoardState>& due) {
        SCOPED_TRACE(testing::Message() << "at " << program.clock.format(program.clock.now()));
        if (!due) {
            EXPECT_FALSE(htmlExists("board1.htm")) << "no page before a delay has passed";
            EXPECT_EQ(readFile(state.tempDir + "board1.pgn").find("1. "), std::string::npos);
            return;
        }
        const std::string page = htmlPage("board1.htm");
        EXPECT_EQ(pliesShown(page), due->plies);
        EXPECT_EQ(page.find("<span class=\"result\">1-0</span>") != std::string::npos,
                  due->result == "1-0");
        EXPECT_NE(page.find("moves delayed by 1 minute"), std::string::npos);
        const std::string overview = htmlPage("allgames.htm");
        EXPECT_NE(overview.find("Last move: " + label(due->plies)), std::string::npos);
        EXPECT_NE(overview.find("moves delayed by 1 minute"), std::string::npos);
        EXPECT_EQ(readFile(state.tempDir + "board1.pgn"), boardText(*due));
        EXPECT_EQ(readFile(state.backupDir + "board1.pgn"), boardText(*due));
    }
    std::string label(std::size_t ply) const {
        return std::to_string((ply + 1) / 2) + (ply % 2 == 1 ? ". " : "... ") +
               games[0].moves[ply - 1];
    }

    // A move every twenty seconds up to `lastPly`, then the result.
    void boardMovesAt(int step, std::size_t lastPly, int resultStep) {
        if (step == resultStep) {
            boardWrites(board.plies, "1-0");
        } else if (step % 2 == 0 && board.plies < lastPly) {
            boardWrites(board.plies + 1);
        }
    }

    BoardState board;
    std::vector<BoardState> takenIn;
    int m_writes = 0;
};

TEST_F(DelayEndToEndTest, TheBoardReachesThePublicExactlyOneDelayLater) {
    boardWrites(2);
    addBoard(list, dialog);
    monitor.cmdStartClick();
    scan(monitor);
    for (int step = 1; step <= 36; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 14, 28);
        scan(monitor);
        expectPublicShows(dueNow());
        // Every board state is taken in when it is written, so this is the board itself.
        ASSERT_EQ(dueNow().has_value(), step >= 6);
    }
    EXPECT_EQ(dueNow()->result, "1-0") << "the result went out one delay after it was made";
    EXPECT_EQ(view.publicLag["board1.pgn"], "public up to date");
    EXPECT_EQ(ui.logText(), "");
    EXPECT_EQ(ui.alarms, 0);
}

TEST_F(DelayEndToEndTest, ARestartCarriesTheDelayOnAndLosesNoMove) {
    boardWrites(2);
    addBoard(list, dialog);
    monitor.cmdStartClick();
    scan(monitor);
    int step = 1;
    for (; step <= 15; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 16, 30);
        scan(monitor);
        expectPublicShows(dueNow());
    }
    SaveCfg(state);

    // The program is gone for half a minute while the board goes on.
    for (; step <= 18; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 16, 30);
    }
    ScriptedOperator ui2;
    ProgramState state2{ui2, program.clock};
    state2.programDir = state.programDir;
    ui2.answerNext(Answer::No);  // resuming: keep the work files
    ASSERT_TRUE(Main(state2));
    EXPECT_EQ(state2.settings.lpubDelay, 1);
    ASSERT_EQ(ui2.boxes.size(), 1u);
    EXPECT_NE(ui2.boxes[0].text.find(state2.delayDir), std::string::npos);
    Pipeline pipeline2{state2};
    RecordingView view2;
    ScriptedDialog dialog2;
    Monitor monitor2{pipeline2, view2};
    monitor2.Load();
    MonitorList list2{state2, monitor2, view2, dialog2};
    addBoard(list2, dialog2);
    monitor2.cmdStartClick();

    for (; step <= 40; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 16, 30);
        scan(monitor2);
        expectPublicShows(dueNow());
    }
    EXPECT_EQ(dueNow()->plies, 16u);
    EXPECT_EQ(dueNow()->result, "1-0");
    EXPECT_EQ(ui2.logText(), "");
}

TEST_F(DelayEndToEndTest, TheEditedGameKeepsItsCommentsOnTheDelayedMoves) {
    boardWrites(2);
    addBoard(list, dialog);
    monitor.cmdStartClick();
    scan(monitor);
    int step = 1;
    for (; step <= 7; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 12, 0);
        scan(monitor);
    }
    // The operator comments the published game while the board is already further on; the
    // comment goes out with the next move that comes of age.
    const std::string comment = "A note on the public moves";
    Pgn& game = state.monitorList.Item("board1.pgn");
    ASSERT_EQ(readFile(game.PathTemp), liveText(games[0], 2));
    useEdited(game, liveText(games[0], 2, comment));

    for (; step <= 30; ++step) {
        program.clock.advance(10s);
        boardMovesAt(step, 12, 0);
        scan(monitor);
        SCOPED_TRACE(step);
        const std::string page = htmlPage("board1.htm");
        EXPECT_EQ(pliesShown(page), dueNow()->plies) << "the merge took no younger move";
        EXPECT_NE(page.find(comment), std::string::npos);
        EXPECT_NE(readFile(game.PathFinal).find(comment), std::string::npos);
        EXPECT_TRUE(game.bUseFinal());
    }
    EXPECT_EQ(dueNow()->plies, 12u);
    EXPECT_EQ(ui.logText(), "");
}

}  // namespace
}  // namespace korvane::test
