#include "tools/boards/Simulator.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "chess/PgnReader.h"
#include "tools/boards/BoardScript.h"
#include "tools/boards/BoardWriter.h"

namespace fs = std::filesystem;

namespace boards {

namespace {

// One board while it runs: its files, the next one to write, and a cut write's remainder.
struct BoardRun {
    std::string name;  // "board3.pgn"
    fs::path path;
    std::vector<BoardFile> script;
    std::size_t next = 0;
    double due = 0;  // simulated seconds at which the next file is written
    int cutAtPly = 0;
    std::optional<std::string> rest;  // the whole file, while only its first half is written
    double restDue = 0;

    bool done() const { return next == script.size() && !rest; }
    double nextTime() const { return rest ? restDue : due; }
};

int faultFor(const std::map<int, int>& faults, int board, int none) {
    const auto it = faults.find(board);
    return it == faults.end() ? none : it->second;
}

bool checkFaultBoards(const std::map<int, int>& faults, const char* option, int boardCount,
                      std::string& error) {
    for (const auto& [board, ply] : faults) {
        if (board > boardCount) {
            error = std::string(option) + " names board " + std::to_string(board) +
                    ", but there are " + std::to_string(boardCount) + " boards";
            return false;
        }
    }
    return true;
}

std::vector<BoardRun> prepareBoards(const Options& options,
                                    const std::vector<chess::PgnGame>& games, int count) {
    std::vector<BoardRun> runs;
    for (int board = 1; board <= count; ++board) {
        ScriptOptions script;
        script.clock = options.clock;
        script.seed = options.seed * 7919u + static_cast<unsigned>(board);
        script.startPly = options.startPly;
        script.correctAtPly = faultFor(options.correctAtPly, board, 0);
        script.stopAfterPly = faultFor(options.stopAfterPly, board, -1);
        script.crlf = options.crlf;
        script.event = options.event;
        script.round = options.round;
        BoardRun run;
        run.name = "board" + std::to_string(board) + ".pgn";
        run.path = fs::path(options.outDir) / run.name;
        run.script = boardScript(games[board - 1], script);
        run.cutAtPly = faultFor(options.cutAtPly, board, 0);
        runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace

bool loadGames(const Options& options, std::vector<chess::PgnGame>& games, std::string& error) {
    for (const std::string& file : options.gameFiles) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            error = "cannot read " + file;
            return false;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        chess::PgnFile parsed;
        chess::PgnError fault;
        if (!chess::readPgn(bytes.str(), fs::path(file).filename().string(), parsed, fault)) {
            error = fault.message;
            return false;
        }
        for (chess::PgnGame& game : parsed.games) {
            if (!game.mainLine.moves.empty()) {
                games.push_back(std::move(game));
            }
        }
    }
    if (games.empty()) {
        error = "no game with moves in the given files";
        return false;
    }
    return true;
}

bool runBoards(const Options& options, const std::vector<chess::PgnGame>& games, std::ostream& log,
               const SimulatorHooks& hooks, std::string& error) {
    const int available = static_cast<int>(games.size());
    const int count = options.boardCount > 0 ? options.boardCount : available;
    if (count > available) {
        error = std::to_string(count) + " boards asked for, but the files hold only " +
                std::to_string(available) + " games";
        return false;
    }
    if (!checkFaultBoards(options.cutAtPly, "--cut-write", count, error) ||
        !checkFaultBoards(options.correctAtPly, "--correct", count, error) ||
        !checkFaultBoards(options.stopAfterPly, "--stop", count, error)) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(options.outDir, ec);

    std::vector<BoardRun> runs = prepareBoards(options, games, count);
    std::mt19937 random(options.seed);
    const double jitter = options.effectiveJitter();
    std::uniform_real_distribution<double> spread(-jitter, jitter);
    auto pause = [&] { return std::max(0.0, options.pace + spread(random)); };

    auto write = [&](BoardRun& run, const std::string& bytes, const std::string& note) {
        if (!writeBoardFile(run.path, bytes, error)) {
            return false;
        }
        if (!options.quiet) {
            log << run.name << "  " << note << std::endl;
        }
        if (hooks.written) {
            hooks.written(run.path.string(), bytes);
        }
        return true;
    };

    double now = 0;
    bool timeUp = false;
    for (;;) {
        BoardRun* run = nullptr;
        for (BoardRun& candidate : runs) {
            if (!candidate.done() && (!run || candidate.nextTime() < run->nextTime())) {
                run = &candidate;
            }
        }
        if (!run) {
            break;
        }
        if (options.duration >= 0 && run->nextTime() > options.duration) {
            if (hooks.sleep && options.duration > now) {
                hooks.sleep(options.duration - now);
            }
            timeUp = true;
            break;
        }
        if (run->nextTime() > now) {
            if (hooks.sleep) {
                hooks.sleep(run->nextTime() - now);
            }
            now = run->nextTime();
        }
        if (run->rest) {
            const std::string whole = std::move(*run->rest);
            run->rest.reset();
            if (!write(*run, whole, "(the rest of the cut write)")) {
                return false;
            }
            continue;
        }
        const BoardFile& file = run->script[run->next++];
        run->due = now + pause();
        if (file.ply == run->cutAtPly && !file.final && run->cutAtPly > 0) {
            run->rest = file.text;
            run->restDue = now + options.cutHold;
            run->due = std::max(run->due, run->restDue);
            run->cutAtPly = 0;  // one cut per board
            if (!write(*run, file.text.substr(0, file.text.size() / 2),
                       file.note + " (cut in the middle)")) {
                return false;
            }
        } else if (!write(*run, file.text, file.note)) {
            return false;
        }
    }
    if (!options.quiet) {
        log << (timeUp ? "The time is up." : "Every board has written its last file.") << std::endl;
    }
    return true;
}

}  // namespace boards
