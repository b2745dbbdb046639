#include "tools/boards/Options.h"

#include <charconv>
#include <functional>

namespace boards {

namespace {

bool readInt(const std::string& text, int& out, int minimum) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= minimum;
}

bool readSeconds(const std::string& text, double& out) {
    std::size_t used = 0;
    try {
        out = std::stod(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && out >= 0 && out < 1e6;
}

// "B:PLY", board from 1, half-move from minimumPly.
bool readBoardPly(const std::string& text, std::map<int, int>& faults, int minimumPly) {
    const auto colon = text.find(':');
    int board = 0;
    int ply = 0;
    if (colon == std::string::npos || !readInt(text.substr(0, colon), board, 1) ||
        !readInt(text.substr(colon + 1), ply, minimumPly)) {
        return false;
    }
    faults[board] = ply;
    return true;
}

// "MIN" or "MIN+SEC".
bool readClock(const std::string& text, ClockSetting& clock) {
    const auto plus = text.find('+');
    int minutes = 0;
    int increment = 0;
    if (!readInt(text.substr(0, plus), minutes, 1) ||
        (plus != std::string::npos && !readInt(text.substr(plus + 1), increment, 0))) {
        return false;
    }
    clock.baseSeconds = minutes * 60;
    clock.incrementSeconds = increment;
    return true;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    using Reader = std::function<bool(const std::string&)>;
    const std::map<std::string, Reader> withValue = {
        {"--out",
         [&](const std::string& v) {
             options.outDir = v;
             return !v.empty();
         }},
        {"--event",
         [&](const std::string& v) {
             options.event = v;
             return !v.empty();
         }},
        {"--round",
         [&](const std::string& v) {
             options.round = v;
             return !v.empty();
         }},
        {"--boards", [&](const std::string& v) { return readInt(v, options.boardCount, 1); }},
        {"--pace", [&](const std::string& v) { return readSeconds(v, options.pace); }},
        {"--jitter", [&](const std::string& v) { return readSeconds(v, options.jitter); }},
        {"--cut-hold", [&](const std::string& v) { return readSeconds(v, options.cutHold); }},
        {"--duration", [&](const std::string& v) { return readSeconds(v, options.duration); }},
        {"--seed",
         [&](const std::string& v) {
             int seed = 0;
             if (!readInt(v, seed, 0)) {
                 return false;
             }
             options.seed = static_cast<unsigned>(seed);
             return true;
         }},
        {"--start-ply", [&](const std::string& v) { return readInt(v, options.startPly, 0); }},
        {"--clock", [&](const std::string& v) { return readClock(v, options.clock); }},
        {"--cut-write", [&](const std::string& v) { return readBoardPly(v, options.cutAtPly, 1); }},
        {"--correct",
         [&](const std::string& v) { return readBoardPly(v, options.correctAtPly, 1); }},
        {"--stop", [&](const std::string& v) { return readBoardPly(v, options.stopAfterPly, 0); }},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (arg == "-o") {
            arg = "--out";
        } else if (arg == "-n") {
            arg = "--boards";
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--crlf") {
            options.crlf = true;
        } else if (const auto reader = withValue.find(arg); reader != withValue.end()) {
            if (!hasValue) {
                if (i + 1 == args.size()) {
                    error = arg + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            if (!reader->second(value)) {
                error = "bad value \"" + value + "\" for " + arg;
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            options.gameFiles.push_back(arg);
        }
    }
    if (options.gameFiles.empty() && !options.help) {
        error = "no PGN file of games given";
        return false;
    }
    return true;
}

std::string helpText() {
    return R"(Usage: boards [options] GAMES.pgn [MORE.pgn ...]

Replays real games as electronic chess boards record them: one file per board,
board1.pgn ... boardN.pgn, each holding one game (the files' games in order).
After every half-move the board rewrites its whole file, so the file gets a new
modification time. The header's Result is "*" until the last move has been
played; then the file is written once more with the game's result. Comments and
variations of the source games are not written.

Options:
  -o, --out DIR        folder for the board files (default: the current folder);
                       created when missing
  -n, --boards N       number of boards (default: one per game read)
      --pace SECONDS   seconds between two half-moves on one board (default 20);
                       0 writes every file at once, without waiting
      --jitter SECONDS each pause is longer or shorter at random by up to this
                       much (default: a quarter of the pace)
      --seed N         seed for the jitter and the clock times (default 1); the
                       same seed gives the same run
      --start-ply N    the first file of every board already holds N half-moves
      --clock MIN[+SEC]
                       add a [%clk] comment after every move: each player starts
                       with MIN minutes, thinks a random time per move and gains
                       SEC seconds a move
      --event TEXT     write TEXT as every board's Event tag (default: the
                       games' own)
      --round TEXT     write TEXT as every board's Round tag (default: the
                       games' own)
      --crlf           end lines with CR LF (default: LF)
      --duration SECONDS
                       end the run after this many seconds (default: when every
                       board has written its last file)
  -q, --quiet          print nothing while running
  -h, --help           show this text

Faults, for testing (B is a board number from 1, PLY a half-move from 1;
each option may be given once per board):
      --cut-write B:PLY
                       board B writes the file for half-move PLY in two parts:
                       the first half of the bytes, then after --cut-hold
                       seconds (default 5) the whole file, as when a reader
                       catches a rewrite in the middle
      --correct B:PLY  board B records half-move PLY wrongly (another legal
                       move), records the next half-move after it when that is
                       legal, and rewrites the file with the right moves at the
                       half-move after that (two moves later)
      --stop B:PLY     board B stops after half-move PLY (0: before the first
                       move): its file keeps that position and "*" for good

The program ends when every board has written its last file, or when the
--duration has passed.
)";
}

}  // namespace boards
