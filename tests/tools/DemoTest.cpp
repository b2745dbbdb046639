// The demo round end to end, headless: the demo program directory written as
// scripts/run.sh --demo writes it, Korvane started on it and resuming its project, the
// simulator playing its games, and every board's page following its file.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "chess/PgnReader.h"
#include "core/ProgramState.h"
#include "core/Startup.h"
#include "pipeline/Monitor.h"
#include "pipeline/Pipeline.h"
#include "pipeline/ProjectResume.h"
#include "support/FixedClock.h"
#include "support/ScriptedOperator.h"
#include "support/TempDir.h"
#include "tools/boards/Options.h"
#include "tools/boards/Simulator.h"
#include "tools/demo/DemoProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

// What the monitor window shows, kept only as far as this test looks at it.
class QuietView : public MonitorView {
public:
    void setTimer1Enabled(bool on) override { timer1 = on; }
    void setAlarmTimerEnabled(bool) override {}
    void setCountDown(const std::string&) override {}
    void setStatusColour(StatusColour) override {}
    void setAlarmVisible(bool) override {}
    void setClearLogCaption(const std::string&, const std::string&) override {}
    void addPgnLine(const std::string& line) override { lines.push_back(line); }
    void removePgnLine(const std::string&) override {}
    std::string selectedPgnLine() const override { return {}; }
    void setPgnLineWatched(const std::string&, bool) override {}
    void setButtonEnabled(MonitorButton, bool) override {}
    void setRemoveCaption(const std::string&) override {}
    std::string removeCaption() const override { return "Remove"; }
    bool timer1 = false;
    std::vector<std::string> lines;
};

// Korvane on the demo program directory, driven one timer tick per simulated second.
struct Korvane {
    explicit Korvane(const std::string& programDir) {
        state.programDir = programDir + "/";
        state.bResumeWithoutAsking = true;  // started as the demo script starts it
    }
    void start() {
        ASSERT_TRUE(Main(state));
        EXPECT_TRUE(ui.boxes.empty()) << "the demo opens without a question";
        monitor.Load();
        ResumeProject(state, monitor, view);
        started = true;
    }
    void tick(int seconds) {
        for (int i = 0; i < seconds && view.timer1; ++i) {
            monitor.Timer1Tick();
        }
    }
    ScriptedOperator ui;
    FixedClock clock;
    ProgramState state{ui, clock};
    Pipeline pipeline{state};
    QuietView view;
    Monitor monitor{pipeline, view};
    bool started = false;
};

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
    TempDir demo;
    const std::string source = KORVANE_SOURCE_DIR;
    demo::DemoSetup setup{demo.file("program"),
                          demo.file("boards"),
                          demo.file("html"),
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

    // Korvane starts once the boards have written their first files, and its countdown
    // runs while the simulated time passes.
    Korvane korvane(setup.programDir);
    double now = 0;
    boards::SimulatorHooks hooks;
    hooks.sleep = [&](double seconds) {
        if (!korvane.started) {
            korvane.start();
        }
        const double before = now;
        now += seconds;
        korvane.tick(static_cast<int>(std::floor(now) - std::floor(before)));
    };
    std::ostringstream log;
    ASSERT_TRUE(boards::runBoards(options, games, log, hooks, error)) << error;
    ASSERT_TRUE(korvane.started);
    EXPECT_EQ(korvane.view.lines.size(), 8u);
    korvane.tick(static_cast<int>(setup.scanSeconds));  // one more scan after the last move

    for (int board = 1; board <= 8; ++board) {
        const std::string name = "board" + std::to_string(board);
        const std::string pgn = readFile(setup.boardsDir + "/" + name + ".pgn");
        const std::string page = readFile(setup.htmlDir + "/" + name + ".htm");
        ASSERT_FALSE(page.empty()) << name << "\n" << korvane.ui.logText();
        EXPECT_EQ(pageFen(page), lastFen(pgn)) << name;
    }
    const std::string overview = readFile(setup.htmlDir + "/allgames.htm");
    EXPECT_NE(overview.find("board8.htm"), std::string::npos);
    // The demo project's boards moved: they hold more than their first six half-moves.
    EXPECT_NE(readFile(setup.boardsDir + "/board1.pgn").find("5. "), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
