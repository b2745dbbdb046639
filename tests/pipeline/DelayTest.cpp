// The broadcast delay. Its snapshots and the hooks around them with a fixed clock: which
// text is due, what goes to the published copy, the converter and the monitor window. And
// end to end with the real converter: a game replayed into its board file at a fixed pace
// reaches the page, the overview and the published pgn exactly one delay after the board,
// behind an edited copy and through a restart.

#include <fstream>

#include "EndToEndFixture.h"
#include "core/Config.h"
#include "core/FileUtils.h"
#include "core/Startup.h"
#include "pipeline/DelayStore.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/ProcessingCycle.h"

using namespace std::chrono_literals;

namespace korvane::test {
namespace {

// Two games as board software may write them; the second from a position, with LF lines
// and a clock command at the start of a comment's line.
const std::string kGame =
    "[Event \"Open\"]\r\n[White \"Kovacs, Anna\"]\r\n[Black \"Lind, Per\"]\r\n"
    "[Result \"*\"]\r\n[WhiteClock \"1:29:51\"]\r\n[ECO \"C57\"]\r\n\r\n1. e4 e5 *\r\n\r\n"
    "[Event \"Open\"]\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n[PlyCount \"3\"]\n"
    "[Result \"1-0\"]\n\n1. Kb1 {\n[%clk 1:00:00]} Kg1 2. Kc1 1-0\n";

class DelayStoreTest : public MonitorWindowTest {
protected:
    DelayStoreTest() { state.settings.lpubDelay = 1; }

    // The cycle's intake of one copy of the board at the clock's time.
    void takeIn(const std::string& text) {
        std::ofstream(IntakeTarget(state, game), std::ios::binary) << text;
        ASSERT_TRUE(HoldBackTakenIn(state, game));
    }
    std::size_t snapshots() { return DelayStore(state).snapshots(game).size(); }
    std::optional<std::string> dueText() {
        const auto due = DelayStore(state).due(game);
        return due ? ReadBytes(due->path) : std::nullopt;
    }

    Pgn& game = addGame("board1.pgn", "live");
};

TEST_F(DelayStoreTest, TheNewestSnapshotOneDelayOldGoesOutOnceUntilTheDelayIsOff) {
    takeIn("A");
    program.clock.advance(20s);
    takeIn("B");
    takeIn("B");  // the same position again is not a new snapshot
    program.clock.advance(20s);
    takeIn("C");
    ASSERT_EQ(snapshots(), 3u);
    EXPECT_FALSE(fs::exists(IntakeTarget(state, game)));
    EXPECT_EQ(PublicLagText(state, game), "public in 0:20");

    program.clock.advance(19s);
    EXPECT_EQ(dueText(), std::nullopt) << "59 seconds are not a minute";
    EXPECT_FALSE(PublishDueSnapshot(state, game));
    EXPECT_EQ(readFile(game.PathTemp), "live");
    program.clock.advance(1s);
    EXPECT_TRUE(PublishDueSnapshot(state, game));
    EXPECT_EQ(readFile(game.PathTemp), "A");
    EXPECT_EQ(PublicLagText(state, game), "public 0:40 behind") << "since B was taken in";
    EXPECT_FALSE(PublishDueSnapshot(state, game)) << "already published";
    state.bForceConversion = true;
    EXPECT_TRUE(PublishDueSnapshot(state, game));
    state.bForceConversion = false;
    game.LastTime.reset();  // what the cycle does when a publication failed
    EXPECT_TRUE(PublishDueSnapshot(state, game));

    program.clock.advance(20s);
    EXPECT_EQ(dueText(), "B");
    EXPECT_EQ(snapshots(), 2u) << "A is no longer needed";
    // A clock set back keeps the snapshots in the order they were taken in.
    program.clock.advance(-30min);
    takeIn("D");
    program.clock.advance(31min);
    EXPECT_EQ(dueText(), "D");
    EXPECT_EQ(snapshots(), 1u);
    EXPECT_EQ(PublicLagText(state, game), "public up to date");
    // A due snapshot that the converter rejects gives the published copy back.
    useFakeConverter();
    takeIn("REJECT");
    program.clock.advance(1min);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(readFile(game.PathTemp), "A");

    // Switched off, the scan's intake publishes the live board; set again, the delay must
    // not bring back snapshots that the live pages have left behind.
    game.LastTime = fs::last_write_time(game.PathSource);  // as a scan stamps it
    state.settings.lpubDelay = 0;
    EXPECT_EQ(PublicLagText(state, game), "");
    EXPECT_FALSE(PublishDueSnapshot(state, game));
    EXPECT_FALSE(game.LastTime.has_value());
    EXPECT_FALSE(HoldBackTakenIn(state, game));
    state.settings.lpubDelay = 1;
    EXPECT_EQ(snapshots(), 0u);
    EXPECT_FALSE(PublishDueSnapshot(state, game));
}

TEST_F(DelayStoreTest, AGameAddedUnderADelayShowsNoLiveMovesButWhatIsDue) {
    state.monitorList.Remove("board1.pgn");
    writeSource("board2.pgn", kGame, 0);
    dialog.choose(boards, {"board2.pgn"});
    list.cmdAddPgnClick();
    Pgn& added = state.monitorList.Item("board2.pgn");
    // Each game with only the tags that name it.
    const std::string withoutMoves =
        "[Event \"Open\"]\r\n[White \"Kovacs, Anna\"]\r\n[Black \"Lind, Per\"]\r\n"
        "[Result \"*\"]\r\n\r\n*\r\n\r\n"
        "[Event \"Open\"]\r\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\r\n[Result \"*\"]\r\n\r\n*\r\n";
    EXPECT_EQ(readFile(added.PathTemp), withoutMoves);
    EXPECT_EQ(readFile(state.backupDir + "board2.pgn"), withoutMoves);
    EXPECT_FALSE(added.LastTime.has_value()) << "the next scan keeps the live source as a snapshot";

    // Added again later (a restart), the game puts back the text that is due.
    std::ofstream(IntakeTarget(state, added), std::ios::binary) << kGame;
    ASSERT_TRUE(HoldBackTakenIn(state, added));
    program.clock.advance(60s);
    state.monitorList.Remove("board2.pgn");
    dialog.choose(boards, {"board2.pgn"});
    list.cmdAddPgnClick();
    EXPECT_EQ(readFile(state.monitorList.Item("board2.pgn").PathTemp), kGame);
}

TEST_F(DelayStoreTest, TheConverterReadsACopyThatNamesTheDelay) {
    const std::string path = program.dir.write("temppgn/board1.pgn", "\xEF\xBB\xBF" + kGame);
    state.settings.lpubDelay = 15;
    const std::string input = ConverterInput(state, path);
    EXPECT_EQ(FileNameOf(input), "board1.pgn");
    EXPECT_EQ(readFile(input), "\xEF\xBB\xBF%vis3 delay, 15\r\n" + kGame);
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF" + kGame) << "the published copy stays as it is";
    state.settings.lpubDelay = 0;
    EXPECT_EQ(ConverterInput(state, path), path);
}

// What the board held from a moment on.
struct BoardState {
    DateTime since;
    std::size_t plies = 0;
    bool decided = false;  // White has won
};

class DelayEndToEndTest : public EndToEndTest {
protected:
    DelayEndToEndTest() {
        state.settings.lpubDelay = 1;
        state.settings.bIntroPage = true;
        state.settings.bPgnUpload = true;
        boardWrites(2);
        addBoard(list, dialog);
        monitor.cmdStartClick();
        scan(monitor);
    }

    std::string boardText(const BoardState& shown) const {
        std::string text = liveText(games[0], shown.plies);
        if (shown.decided) {
            text.replace(text.find("[Result \"*\"]"), 12, "[Result \"1-0\"]");
            text.replace(text.rfind('*'), 1, "1-0");
        }
        return text;
    }
    void boardWrites(std::size_t plies, bool decided = false) {
        board = BoardState{program.clock.now(), plies, decided};
        writeSource("board1.pgn", boardText(board), ++writes);
    }
    // One scan interval; the monitor takes the board in.
    void scan(Monitor& running) {
        running.Timer1Tick();
        running.Timer1Tick();
        takenIn.push_back(BoardState{program.clock.now(), board.plies, board.decided});
    }
    void addBoard(MonitorList& monitorList, ScriptedFileDialog& fileDialog) {
        fileDialog.choose(boards, {"board1.pgn"});
        monitorList.cmdAddPgnClick();
    }
    // Steps of ten seconds up to `until`: the board moves every other step up to its 16th
    // ply and makes its result at step 30. A running monitor scans at every step, and the
    // public then shows exactly what is due.
    void playUntil(int until, Monitor* running) {
        while (step < until) {
            ++step;
            program.clock.advance(10s);
            if (step == 30) {
                boardWrites(board.plies, true);
            } else if (step % 2 == 0 && board.plies < 16) {
                boardWrites(board.plies + 1);
            }
            if (running) {
                scan(*running);
                expectPublicShows(dueNow());
            }
        }
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

    // The page, the overview and the published pgn show exactly what is due, nothing newer.
    void expectPublicShows(const std::optional<BoardState>& due) {
        SCOPED_TRACE(testing::Message() << "at " << program.clock.format(program.clock.now()));
        if (!due) {
            EXPECT_FALSE(htmlExists("board1.htm")) << "no page before a delay has passed";
            EXPECT_EQ(readFile(state.tempDir + "board1.pgn").find("1. "), std::string::npos);
            return;
        }
        const std::string page = htmlPage("board1.htm");
        const std::string overview = htmlPage("allgames.htm");
        const std::size_t n = due->plies;
        const std::string lastMove =
            std::to_string((n + 1) / 2) + (n % 2 ? ". " : "... ") + games[0].moves[n - 1];
        EXPECT_EQ(pliesShown(page), n);
        EXPECT_EQ(page.find("<span class=\"result\">1-0</span>") != std::string::npos,
                  due->decided);
        EXPECT_NE(overview.find("Last move: " + lastMove), std::string::npos);
        for (const std::string& shown : {page, overview}) {
            EXPECT_NE(shown.find("moves delayed by 1 minute"), std::string::npos);
        }
        EXPECT_EQ(readFile(state.tempDir + "board1.pgn"), boardText(*due));
        EXPECT_EQ(readFile(state.backupDir + "board1.pgn"), boardText(*due));
    }

    BoardState board;
    std::vector<BoardState> takenIn;
    int writes = 0;
    int step = 0;
};

TEST_F(DelayEndToEndTest, CommentsGoOutOnTheDelayedMovesAndARestartLosesNoMove) {
    playUntil(7, &monitor);
    // The operator comments the published game while the board is already further on; the
    // comment goes out with the next move that comes of age.
    const std::string comment = "A note on the public moves";
    Pgn& game = state.monitorList.Item("board1.pgn");
    ASSERT_EQ(readFile(game.PathTemp), liveText(games[0], 2));
    useEdited(game, liveText(games[0], 2, comment));
    while (step < 15) {
        playUntil(step + 1, &monitor);
        SCOPED_TRACE(step);
        EXPECT_NE(htmlPage("board1.htm").find(comment), std::string::npos);
        EXPECT_NE(readFile(game.PathFinal).find(comment), std::string::npos);
        EXPECT_TRUE(game.bUseFinal());
    }
    SaveCfg(state);

    // The program is gone for half a minute while the board goes on.
    playUntil(18, nullptr);
    Restarted next(state, program.clock);
    next.ui.answerNext(Answer::No);  // not the saved project: the board is added again
    next.ui.answerNext(Answer::No);  // resuming: keep the work files
    ASSERT_TRUE(Main(next.state));
    EXPECT_EQ(next.state.settings.lpubDelay, 1);
    ASSERT_EQ(next.ui.boxes.size(), 2u);
    EXPECT_EQ(next.ui.boxes[0].title, "Resume Project");
    EXPECT_NE(next.ui.boxes[1].text.find(next.state.delayDir), std::string::npos);
    next.monitor.Load();
    addBoard(next.list, next.dialog);
    next.monitor.cmdStartClick();

    playUntil(40, &next.monitor);
    EXPECT_EQ(dueNow()->plies, 16u);
    EXPECT_TRUE(dueNow()->decided) << "the result went out one delay after it was made";
    EXPECT_EQ(next.view.publicLag["board1.pgn"], "public up to date");
    EXPECT_EQ(ui.logText() + next.ui.logText(), "");
    EXPECT_EQ(ui.alarms + next.ui.alarms, 0);
}

}  // namespace
}  // namespace korvane::test
