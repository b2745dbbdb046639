// The demo round end to end, headless: the demo program directory written as
// scripts/run.sh --demo writes it, Korvane started on it and resuming its project, the
// simulator playing its games, and every board's page following its file.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "chess/PgnReader.h"
#include "core/Startup.h"
#include "pipeline/PipelineFixture.h"
#include "pipeline/ProjectResume.h"
#include "tools/boards/Options.h"
#include "tools/boards/Simulator.h"
#include "tools/demo/DemoProgram.h"

namespace korvane::test {
namespace {

// The position after the last move of a file, as FEN.
std::string lastFen(const std::string& pgn) {
    chess::PgnFile file;
    chess::PgnError error;
    EXPECT_TRUE(chess::readPgn(pgn, "board.pgn", file, error)) << error.message;
    const auto& moves = file.games.at(0).mainLine.moves;
    return moves.empty() ? file.games[0].startFen : moves.back().fenAfter;
}

// The position a game page's board shows; the page opens at the last move.
std::string pageFen(const std::string& page) {
    const auto start = page.rfind("data-fen=\"") + 10;
    return start < 10 ? std::string() : page.substr(start, page.find('"', start) - start);
}

TEST(Demo, KorvaneOnTheDemoRoundPublishesEveryBoardAsItMoves) {
    // Korvane on the demo program directory, started as the demo script starts it.
    TestProgram korvane;
    korvane.state.bResumeWithoutAsking = true;
    Pipeline pipeline{korvane.state};
    RecordingView view;
    Monitor monitor{pipeline, view};
    const std::string source = KORVANE_SOURCE_DIR;
    demo::DemoSetup setup{korvane.dir.path(),
                          korvane.dir.file("boards"),
                          korvane.dir.file("html"),
                          KORVANE_VISTREL,
                          source + "/data/vistrel-game.ini",
                          source + "/data/vistrel-overview.ini"};
    std::string error;
    ASSERT_TRUE(demo::WriteDemoProgram(setup, error)) << error;

    boards::Options options;
    ASSERT_TRUE(boards::parseOptions(
        {"--out", setup.boardsDir, "--pace", "12", "--jitter", "2", "--start-ply", "6", "--clock",
         "90+30", "--duration", "40", "-q", source + "/tools/boards/games/eight-games.pgn"},
        options, error))
        << error;
    std::vector<chess::PgnGame> games;
    ASSERT_TRUE(boards::loadGames(options, games, error)) << error;

    // Korvane starts once the boards have written their first files; its countdown runs
    // one timer tick per simulated second.
    bool started = false;
    const auto tick = [&](int seconds) {
        for (int i = 0; i < seconds && view.timer1; ++i) {
            monitor.Timer1Tick();
        }
    };
    double now = 0;
    boards::SimulatorHooks hooks;
    hooks.sleep = [&](double seconds) {
        if (!started) {
            ASSERT_TRUE(Main(korvane.state));
            EXPECT_TRUE(korvane.ui.boxes.empty()) << "the demo opens without a question";
            monitor.Load();
            ResumeProject(korvane.state, monitor, view);
            started = true;
        }
        tick(static_cast<int>(std::floor(now + seconds) - std::floor(now)));
        now += seconds;
    };
    std::ostringstream log;
    ASSERT_TRUE(boards::runBoards(options, games, log, hooks, error)) << error;
    ASSERT_TRUE(started);
    EXPECT_EQ(view.lines.size(), 8u);
    tick(static_cast<int>(setup.scanSeconds));  // one more scan after the last move

    for (int board = 1; board <= 8; ++board) {
        const std::string name = "board" + std::to_string(board);
        const std::string pgn = readFile(setup.boardsDir + "/" + name + ".pgn");
        const std::string page = readFile(setup.htmlDir + "/" + name + ".htm");
        ASSERT_FALSE(page.empty()) << name << "\n" << korvane.ui.logText();
        EXPECT_EQ(pageFen(page), lastFen(pgn)) << name;
    }
    EXPECT_NE(readFile(setup.htmlDir + "/allgames.htm").find("board8.htm"), std::string::npos);
    // The demo project's boards moved: they hold more than their first six half-moves.
    EXPECT_NE(readFile(setup.boardsDir + "/board1.pgn").find("5. "), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
