// The board simulator: every file it writes is a PGN file a reader accepts, a full replay
// ends with each board holding its game, the files change as a watcher needs them to, and
// each fault option produces the fault it names.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "chess/PgnReader.h"
#include "support/TempDir.h"
#include "tools/boards/Options.h"
#include "tools/boards/Simulator.h"

namespace fs = std::filesystem;

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

SimulatedRun simulate(const korvane::test::TempDir& dir, std::vector<std::string> args) {
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

int clockComments(const chess::PgnGame& game) {
    int count = 0;
    for (const auto& move : game.mainLine.moves) {
        for (const auto& comment : move.commentsAfter) {
            count += comment.find("[%clk ") != std::string::npos;
        }
    }
    return count;
}

TEST(BoardSimulator, FullReplayWritesReadableFilesEndingInEachGame) {
    korvane::test::TempDir dir;
    const SimulatedRun run = simulate(
        dir, {"--pace", "0", "--clock", "90+30", "--crlf", "--event", "Demo Open", "--round", "5"});
    ASSERT_EQ(run.writes.size(), 8u);
    for (int board = 1; board <= 8; ++board) {
        const std::string name = "board" + std::to_string(board) + ".pgn";
        const chess::PgnGame& source = run.games[board - 1];
        const std::vector<Write>& writes = run.writes.at(name);
        // The empty board, one file per half-move, one with the result.
        ASSERT_EQ(writes.size(), source.mainLine.moves.size() + 2) << name;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            const chess::PgnGame game = parseOne(writes[i].bytes);
            const bool last = i + 1 == writes.size();
            EXPECT_EQ(game.tag("Result"), last ? source.result : "*") << name << " write " << i;
            EXPECT_EQ(game.mainLine.moves.size(), std::min(i, source.mainLine.moves.size()));
            EXPECT_EQ(clockComments(game), static_cast<int>(game.mainLine.moves.size()));
            EXPECT_EQ(writes[i].bytes.find("\n"), writes[i].bytes.find("\r\n") + 1);
            if (i > 0) {
                EXPECT_GT(writes[i].time, writes[i - 1].time) << name << " write " << i;
            }
        }
        const chess::PgnGame final = parseOne(korvane::test::readFile(dir.file(name)));
        EXPECT_EQ(sans(final), sans(source)) << name;
        EXPECT_EQ(final.result, source.result) << name;
        EXPECT_EQ(final.tag("White"), source.tag("White"));
        EXPECT_EQ(final.tag("Event"), "Demo Open");
        EXPECT_EQ(final.tag("Round"), "5");
    }
    EXPECT_TRUE(run.sleeps.empty());
}

TEST(BoardSimulator, PaceAndJitterSetTheWaitsAndStartPlySkipsTheOpening) {
    korvane::test::TempDir dir;
    const SimulatedRun run = simulate(dir, {"--boards", "1", "--pace", "12", "--jitter", "3",
                                            "--start-ply", "10", "--seed", "7"});
    const std::vector<Write>& writes = run.writes.at("board1.pgn");
    EXPECT_EQ(parseOne(writes.front().bytes).mainLine.moves.size(), 10u);
    ASSERT_EQ(run.sleeps.size(), writes.size() - 1);
    for (double wait : run.sleeps) {
        EXPECT_GE(wait, 9.0);
        EXPECT_LE(wait, 15.0);
    }
    // The waits vary, and the same seed gives the same run.
    EXPECT_NE(*std::min_element(run.sleeps.begin(), run.sleeps.end()),
              *std::max_element(run.sleeps.begin(), run.sleeps.end()));
    korvane::test::TempDir again;
    EXPECT_EQ(simulate(again, {"--boards", "1", "--pace", "12", "--jitter", "3", "--start-ply",
                               "10", "--seed", "7"})
                  .sleeps,
              run.sleeps);
}

TEST(BoardSimulator, CutWriteLeavesHalfTheFileForAWhileThenTheWhole) {
    korvane::test::TempDir dir;
    const SimulatedRun run = simulate(dir, {"--boards", "2", "--pace", "10", "--jitter", "0",
                                            "--cut-write", "2:6", "--cut-hold", "4"});
    const std::vector<Write>& writes = run.writes.at("board2.pgn");
    // Write 0 is the empty board, so the cut file for half-move 6 is write 6.
    const std::string& half = writes[6].bytes;
    const std::string& whole = writes[7].bytes;
    EXPECT_EQ(half, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(parseOne(whole).mainLine.moves.size(), 6u);
    EXPECT_EQ(parseOne(writes[8].bytes).mainLine.moves.size(), 7u);
    EXPECT_NE(run.log.find("board2.pgn  3... "), std::string::npos);
    EXPECT_NE(run.log.find("(cut in the middle)"), std::string::npos);
    // The rest comes after the hold, and the next move no sooner than the pace allows.
    double now = 0;
    std::vector<double> times;
    for (double wait : run.sleeps) {
        now += wait;
        times.push_back(now);
    }
    EXPECT_NE(std::find(times.begin(), times.end(), 64.0), times.end());  // 6 * 10 + 4
    // Every other write of both boards is whole.
    for (const auto& [name, boardWrites] : run.writes) {
        for (std::size_t i = 0; i < boardWrites.size(); ++i) {
            if (name != "board2.pgn" || i != 6) {
                parseOne(boardWrites[i].bytes);
            }
        }
    }
}

TEST(BoardSimulator, CorrectedMoveIsWrongForTwoWritesThenRight) {
    korvane::test::TempDir dir;
    const SimulatedRun run = simulate(dir, {"--boards", "1", "--pace", "0", "--correct", "1:9"});
    const std::vector<Write>& writes = run.writes.at("board1.pgn");
    const std::vector<std::string> real = sans(run.games[0]);
    const auto atWrite = [&](std::size_t i) { return sans(parseOne(writes[i].bytes)); };

    const std::vector<std::string> wrong = atWrite(9);
    ASSERT_EQ(wrong.size(), 9u);
    EXPECT_NE(wrong[8], real[8]);
    EXPECT_TRUE(std::equal(real.begin(), real.begin() + 8, wrong.begin()));
    // The next half-move is recorded behind the wrong one when it is legal there.
    const std::vector<std::string> behind = atWrite(10);
    EXPECT_EQ(behind[8], wrong[8]);
    EXPECT_EQ(behind.size(), 10u);
    EXPECT_EQ(behind[9], real[9]);
    // Two half-moves later the record is right again, and stays right.
    EXPECT_EQ(atWrite(11), std::vector<std::string>(real.begin(), real.begin() + 11));
    EXPECT_EQ(atWrite(writes.size() - 1), real);
}

TEST(BoardSimulator, StoppedBoardKeepsItsPositionAndNoResult) {
    korvane::test::TempDir dir;
    const SimulatedRun run = simulate(dir, {"--boards", "3", "--pace", "0", "--stop", "3:15"});
    const std::vector<Write>& writes = run.writes.at("board3.pgn");
    ASSERT_EQ(writes.size(), 16u);
    const chess::PgnGame last = parseOne(korvane::test::readFile(dir.file("board3.pgn")));
    EXPECT_EQ(last.mainLine.moves.size(), 15u);
    EXPECT_EQ(last.tag("Result"), "*");
    EXPECT_EQ(parseOne(korvane::test::readFile(dir.file("board2.pgn"))).result,
              run.games[1].result);
}

TEST(BoardSimulator, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--pace", "-1", "g.pgn"},
        {"--pace", "fast", "g.pgn"},
        {"--boards", "0", "g.pgn"},
        {"--clock", "90+", "g.pgn"},
        {"--cut-write", "2", "g.pgn"},
        {"--correct", "0:5", "g.pgn"},
        {"--stop", "1:x", "g.pgn"},
        {"--frobnicate", "g.pgn"},
        {"g.pgn", "--out"},
    };
    for (const auto& args : bad) {
        boards::Options options;
        std::string error;
        EXPECT_FALSE(boards::parseOptions(args, options, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
    // Options that do not fit the games are refused before anything is written.
    korvane::test::TempDir dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--boards", "9", kGames},
                                                 std::vector<std::string>{"--stop=9:3", kGames}}) {
        boards::Options options;
        std::string error;
        ASSERT_TRUE(boards::parseOptions(args, options, error));
        options.outDir = dir.path();
        std::vector<chess::PgnGame> games;
        ASSERT_TRUE(boards::loadGames(options, games, error));
        std::ostringstream log;
        EXPECT_FALSE(boards::runBoards(options, games, log, {}, error));
        EXPECT_NE(error.find("9"), std::string::npos) << error;
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}

TEST(BoardSimulator, ProgramRunsFromTheCommandLineAndExplainsEveryOption) {
    korvane::test::TempDir dir;
    const std::string program = KORVANE_BOARDS;
    const std::string help = dir.file("help.txt");
    ASSERT_EQ(std::system((program + " --help > " + help).c_str()), 0);
    const std::string text = korvane::test::readFile(help);
    for (const char* option :
         {"--out", "--boards", "--pace", "--jitter", "--seed", "--start-ply", "--clock", "--crlf",
          "--duration", "--cut-write", "--cut-hold", "--correct", "--stop", "[%clk]", "\"*\""}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
    const std::string out = dir.file("round");
    ASSERT_EQ(std::system((program + " -q --pace 0 -o " + out + " " + kGames).c_str()), 0);
    EXPECT_TRUE(fs::exists(out + "/board8.pgn"));
    EXPECT_NE(std::system((program + " " + dir.file("missing.pgn") + " 2>/dev/null").c_str()), 0);
}

}  // namespace
