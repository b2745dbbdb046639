// The broadcast delay's snapshots and the hooks around them, with a fixed clock: which text
// is due, what goes to the published copy, the converter and the monitor window.

#include <filesystem>
#include <fstream>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/DelayStore.h"
#include "pipeline/DelayedPublishing.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace korvane::test {
namespace {

const std::string kGame =
    "[Event \"Open\"]\r\n[White \"Kovacs, Anna\"]\r\n[Black \"Lind, Per\"]\r\n"
    "[Result \"*\"]\r\n[WhiteClock \"1:29:51\"]\r\n[ECO \"C57\"]\r\n\r\n1. e4 e5 *\r\n";

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

    program.clock.advance(19s);
    EXPECT_EQ(dueText(), std::nullopt) << "59 seconds are not a minute";
    EXPECT_FALSE(PublishDueSnapshot(state, game));
    EXPECT_EQ(readFile(game.PathTemp), "live");
    program.clock.advance(1s);
    EXPECT_TRUE(PublishDueSnapshot(state, game));
    EXPECT_EQ(readFile(game.PathTemp), "A");
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

    // Switched off, the scan's intake publishes the live board; set again, the delay must
    // not bring back D, which the live pages have left behind.
    game.LastTime = fs::last_write_time(game.PathSource);  // as a scan stamps it
    state.settings.lpubDelay = 0;
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
    const std::string withoutMoves =
        "[Event \"Open\"]\r\n[White \"Kovacs, Anna\"]\r\n[Black \"Lind, Per\"]\r\n"
        "[Result \"*\"]\r\n\r\n*\r\n";
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

TEST_F(DelayStoreTest, GamesWithoutMovesKeepTheNamesOfEveryGame) {
    const std::string two = kGame + "\r\n" +
                            "[Event \"Open\"]\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n"
                            "[PlyCount \"3\"]\n[Result \"1-0\"]\n\n"
                            "1. Kb1 {\n[%clk 1:00:00]} Kg1 2. Kc1 1-0\n";
    EXPECT_EQ(GamesWithoutMoves(two),
              "[Event \"Open\"]\r\n[White \"Kovacs, Anna\"]\r\n[Black \"Lind, Per\"]\r\n"
              "[Result \"*\"]\r\n\r\n*\r\n\r\n"
              "[Event \"Open\"]\r\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\r\n"
              "[Result \"*\"]\r\n\r\n*\r\n");
    EXPECT_EQ(GamesWithoutMoves("1. e4 *"), "");
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

TEST_F(DelayStoreTest, TheMonitorWindowShowsHowFarThePublicPageIsBehind) {
    EXPECT_EQ(PublicLagText(state, game), "");
    takeIn("A");
    program.clock.advance(15s);
    EXPECT_EQ(PublicLagText(state, game), "public in 0:45");
    program.clock.advance(45s);
    EXPECT_EQ(PublicLagText(state, game), "public up to date");
    takeIn("B");
    program.clock.advance(20s);
    EXPECT_EQ(PublicLagText(state, game), "public 0:20 behind");
    state.settings.lpubDelay = 90;
    program.clock.advance(2h);
    takeIn("C");
    program.clock.advance(50min);
    EXPECT_EQ(PublicLagText(state, game), "public 50:00 behind");
    state.settings.lpubDelay = 0;
    EXPECT_EQ(PublicLagText(state, game), "");
}

}  // namespace
}  // namespace korvane::test
