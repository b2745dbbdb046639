// The board simulator: every file it writes is a PGN file a reader accepts, a full replay
// ends with each board holding its game, the files change as a watcher needs them to, and
// each fault option produces the fault it names.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <numeric>
#include <sstream>

#include "chess/PgnReader.h"
#include "support/TempDir.h"
#include "tools/boards/Options.h"
#include "tools/boards/Simulator.h"

namespace fs = std::filesystem;
using korvane::test::readFile;
using korvane::test::TempDir;

namespace {

const std::string kGames = std::string(KORVANE_SOURCE_DIR) + "/tools/boards/games/eight-games.pgn";

struct Write {
    std::string bytes;
    fs::file_time_type time;
};

// A run with every write recorded per board file name, and the waits it asked for.
struct SimulatedRun {
    std::map<std::string, std::vector<Write>> writes;
    std::vector<double> sleeps;
    std::string log;
    std::vector<chess::PgnGame> games;
};

SimulatedRun simulate(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.end(), {"--out", dir.path(), kGames});
    boards::Options options;
    std::string error;
    SimulatedRun run;
    EXPECT_TRUE(boards::parseOptions(args, options, error)) << error;
    EXPECT_TRUE(boards::loadGames(options, run.games, error)) << error;
    boards::SimulatorHooks hooks;
    hooks.sleep = [&](double seconds) { run.sleeps.push_back(seconds); };
    hooks.written = [&](const std::string& path, const std::string& bytes) {
        run.writes[fs::path(path).filename().string()].push_back(
            {bytes, fs::last_write_time(path)});
    };
    std::ostringstream log;
    EXPECT_TRUE(boards::runBoards(options, run.games, log, hooks, error)) << error;
    run.log = log.str();
    return run;
}

chess::PgnGame parseOne(const std::string& bytes) {
    chess::PgnFile file;
    chess::PgnError error;
    EXPECT_TRUE(chess::readPgn(bytes, "board.pgn", file, error)) << error.message << "\n" << bytes;
    EXPECT_EQ(file.games.size(), 1u);
    return file.games.empty() ? chess::PgnGame{} : file.games.front();
}

std::vector<std::string> sans(const chess::PgnGame& game) {
    std::vector<std::string> out;
    for (const auto& move : game.mainLine.moves) {
        out.push_back(move.san);
    }
    return out;
}

TEST(BoardSimulator, FullReplayWritesReadableFilesEndingInEachGame) {
    TempDir dir;
    const SimulatedRun run = simulate(
        dir, {"--pace", "0", "--clock", "90+30", "--crlf", "--event", "Demo Open", "--round", "5"});
    ASSERT_EQ(run.writes.size(), 8u);
    for (const auto& [name, writes] : run.writes) {
        const chess::PgnGame& source = run.games[name[5] - '1'];  // "boardN.pgn"
        // The empty board, one file per half-move, one with the result.
        ASSERT_EQ(writes.size(), source.mainLine.moves.size() + 2) << name;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            SCOPED_TRACE(name + " write " + std::to_string(i));
            const chess::PgnGame game = parseOne(writes[i].bytes);
            EXPECT_EQ(game.tag("Result"), i + 1 == writes.size() ? source.result : "*");
            EXPECT_EQ(game.mainLine.moves.size(), std::min(i, source.mainLine.moves.size()));
            std::size_t clocks = 0;
            for (auto at = writes[i].bytes.find("[%clk "); at != std::string::npos;
                 at = writes[i].bytes.find("[%clk ", at + 1)) {
                ++clocks;
            }
            EXPECT_EQ(clocks, game.mainLine.moves.size());
            EXPECT_EQ(writes[i].bytes.find("\n"), writes[i].bytes.find("\r\n") + 1);
            if (i > 0) {
                EXPECT_GT(writes[i].time, writes[i - 1].time);
            }
        }
        const chess::PgnGame final = parseOne(readFile(dir.file(name)));
        EXPECT_EQ(sans(final), sans(source)) << name;
        EXPECT_EQ(
            (std::vector{final.result, final.tag("White"), final.tag("Event"), final.tag("Round")}),
            (std::vector<std::string>{source.result, source.tag("White"), "Demo Open", "5"}));
    }
    EXPECT_TRUE(run.sleeps.empty());
}

TEST(BoardSimulator, PaceAndJitterSetTheWaitsAndStartPlySkipsTheOpening) {
    TempDir dir, again;
    const std::vector<std::string> args = {"--boards",    "1",  "--pace", "12", "--jitter", "3",
                                           "--start-ply", "10", "--seed", "7"};
    const SimulatedRun run = simulate(dir, args);
    const std::vector<Write>& writes = run.writes.at("board1.pgn");
    EXPECT_EQ(parseOne(writes.front().bytes).mainLine.moves.size(), 10u);
    ASSERT_EQ(run.sleeps.size(), writes.size() - 1);
    // The waits vary within 12 +- 3 seconds, and the same seed gives the same run.
    const auto [low, high] = std::minmax_element(run.sleeps.begin(), run.sleeps.end());
    EXPECT_TRUE(*low >= 9.0 && *high <= 15.0 && *low < *high) << *low << " to " << *high;
    EXPECT_EQ(simulate(again, args).sleeps, run.sleeps);
}

// One run with a fault on each board: board 1 records half-move 9 wrongly, board 2 writes
// half-move 6 cut in the middle, board 3 stops after half-move 15.
TEST(BoardSimulator, EachFaultOptionProducesItsFault) {
    TempDir dir;
    const SimulatedRun run =
        simulate(dir, {"--boards", "3", "--pace", "10", "--jitter", "0", "--correct", "1:9",
                       "--cut-write", "2:6", "--cut-hold", "4", "--stop", "3:15"});

    // A corrected move is wrong for two writes, then right for good.
    const std::vector<Write>& first = run.writes.at("board1.pgn");
    const std::vector<std::string> real = sans(run.games[0]);
    const auto atWrite = [&](std::size_t i) { return sans(parseOne(first[i].bytes)); };
    std::vector<std::string> wrong = atWrite(9);
    ASSERT_EQ(wrong.size(), 9u);
    EXPECT_NE(wrong[8], real[8]);
    EXPECT_TRUE(std::equal(real.begin(), real.begin() + 8, wrong.begin()));
    // The next half-move is recorded behind the wrong one when it is legal there.
    wrong.push_back(real[9]);
    EXPECT_EQ(atWrite(10), wrong);
    EXPECT_EQ(atWrite(11), std::vector<std::string>(real.begin(), real.begin() + 11));
    EXPECT_EQ(atWrite(first.size() - 1), real);

    // A cut file holds half the bytes until the hold is over, then the whole; the next move
    // comes no sooner than the pace allows. Write 0 is the empty board.
    const std::vector<Write>& second = run.writes.at("board2.pgn");
    const std::string& whole = second[7].bytes;
    EXPECT_EQ(second[6].bytes, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(parseOne(whole).mainLine.moves.size(), 6u);
    EXPECT_EQ(parseOne(second[8].bytes).mainLine.moves.size(), 7u);
    EXPECT_NE(run.log.find("board2.pgn  3... "), std::string::npos);
    EXPECT_NE(run.log.find("(cut in the middle)"), std::string::npos);
    std::vector<double> times(run.sleeps.size());
    std::partial_sum(run.sleeps.begin(), run.sleeps.end(), times.begin());
    EXPECT_NE(std::find(times.begin(), times.end(), 64.0), times.end());  // 6 * 10 + 4

    // A stopped board keeps its position and gets no result.
    EXPECT_EQ(run.writes.at("board3.pgn").size(), 16u);
    const chess::PgnGame stopped = parseOne(readFile(dir.file("board3.pgn")));
    EXPECT_EQ(stopped.mainLine.moves.size(), 15u);
    EXPECT_EQ(stopped.tag("Result"), "*");
}

// The program: exit status 2 for a bad command line, 1 for games it cannot read or options
// that do not fit them (refused before anything is written).
TEST(BoardSimulator, ProgramRunsFromTheCommandLineAndRefusesWhatDoesNotFit) {
    TempDir dir;
    const auto run = [&](const std::string& args) {
        const std::string command =
            std::string(KORVANE_BOARDS) + " -q " + args + " >/dev/null 2>&1";
        return WEXITSTATUS(std::system(command.c_str()));
    };
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--pace 0 -o " + dir.file("round") + " " + kGames), 0);
    EXPECT_TRUE(fs::exists(dir.file("round/board8.pgn")));
    for (const char* bad : {"", "--pace -1 g.pgn", "--pace fast g.pgn", "--boards 0 g.pgn",
                            "--clock 90+ g.pgn", "--cut-write 2 g.pgn", "--correct 0:5 g.pgn",
                            "--stop 1:x g.pgn", "--frobnicate g.pgn", "g.pgn --out"}) {
        EXPECT_EQ(run(bad), 2) << bad;
    }
    EXPECT_EQ(run(dir.file("missing.pgn")), 1);
    for (const char* misfit : {"--boards=9", "--stop=9:3"}) {
        EXPECT_EQ(run(std::string(misfit) + " -o " + dir.file("none") + " " + kGames), 1) << misfit;
    }
    EXPECT_FALSE(fs::exists(dir.file("none")));
}

}  // namespace
