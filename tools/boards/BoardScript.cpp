#include "tools/boards/BoardScript.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "chess/Position.h"
#include "chess/San.h"

namespace boards {

namespace {

constexpr std::size_t kLineWidth = 79;

// One half-move as the board records it.
struct Recorded {
    int moveNumber = 1;
    bool white = true;
    std::string san;
    int clockSeconds = -1;  // -1: no clock comment
};

std::string clockText(int seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

std::string escapeTagValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// Appends a token to the move text, breaking lines before kLineWidth.
void appendToken(std::string& text, std::size_t& lineLength, const std::string& token,
                 const std::string& eol) {
    if (lineLength > 0 && lineLength + 1 + token.size() > kLineWidth) {
        text += eol;
        lineLength = 0;
    } else if (lineLength > 0) {
        text += ' ';
        ++lineLength;
    }
    text += token;
    lineLength += token.size();
}

std::string fileText(const chess::PgnGame& game, const std::vector<Recorded>& moves,
                     const std::string& result, const ScriptOptions& options) {
    const std::string eol = options.crlf ? "\r\n" : "\n";
    std::string text;
    for (const auto& [name, value] : game.tags) {
        std::string shown = name == "Result" ? result : value;
        if (name == "Event" && !options.event.empty()) {
            shown = options.event;
        } else if (name == "Round" && !options.round.empty()) {
            shown = options.round;
        }
        text += "[" + name + " \"" + escapeTagValue(shown) + "\"]" + eol;
    }
    text += eol;
    std::size_t lineLength = 0;
    bool numberNeeded = true;  // after a comment, a black move repeats its number
    for (const Recorded& move : moves) {
        if (move.white) {
            appendToken(text, lineLength, std::to_string(move.moveNumber) + ".", eol);
        } else if (numberNeeded) {
            appendToken(text, lineLength, std::to_string(move.moveNumber) + "...", eol);
        }
        appendToken(text, lineLength, move.san, eol);
        numberNeeded = move.clockSeconds >= 0;
        if (numberNeeded) {
            appendToken(text, lineLength, "{[%clk " + clockText(move.clockSeconds) + "]}", eol);
        }
    }
    appendToken(text, lineLength, result, eol);
    return text + eol;
}

// The clock of the mover after each half-move: thinking times drawn from the seed, the
// increment added, never below zero.
std::vector<int> clockAfterEachMove(const chess::Line& line, const ScriptOptions& options) {
    std::vector<int> clocks;
    if (options.clock.baseSeconds <= 0) {
        return clocks;
    }
    std::mt19937 random(options.seed);
    int remaining[2] = {options.clock.baseSeconds, options.clock.baseSeconds};
    for (const chess::MoveNode& move : line.moves) {
        int& own = remaining[move.white ? 0 : 1];
        const int thinking = 5 + static_cast<int>(random() % 176);
        own = std::max(0, own - thinking) + options.clock.incrementSeconds;
        clocks.push_back(own);
    }
    return clocks;
}

std::string fenBefore(const chess::PgnGame& game, int ply) {
    return ply <= 1 ? game.startFen : game.mainLine.moves[ply - 2].fenAfter;
}

std::string moveLabel(const Recorded& move) {
    return std::to_string(move.moveNumber) + (move.white ? ". " : "... ") + move.san;
}

}  // namespace

std::string wrongMoveFor(const chess::PgnGame& game, int ply) {
    const auto& moves = game.mainLine.moves;
    if (ply < 1 || ply > static_cast<int>(moves.size())) {
        return {};
    }
    chess::Position before;
    std::string error;
    if (!before.setFen(fenBefore(game, ply), error)) {
        return {};
    }
    chess::MoveList legal;
    before.generateLegal(legal);
    std::vector<std::pair<std::string, bool>> candidates;  // SAN, next move still legal
    for (int i = 0; i < legal.size; ++i) {
        const chess::Move& move = legal.moves[i];
        const std::string san = chess::sanText(before, move);
        chess::Position after = before;
        after.makeMove(move);
        if (after.fen() == moves[ply - 1].fenAfter) {
            continue;  // the game's own move
        }
        bool nextLegal = false;
        if (ply < static_cast<int>(moves.size())) {
            chess::Move next;
            nextLegal = chess::parseSan(after, moves[ply].san, next, error);
        }
        candidates.emplace_back(san, nextLegal);
    }
    // Sorted so that the same game always gets the same wrong move.
    std::sort(candidates.begin(), candidates.end());
    for (const auto& [san, nextLegal] : candidates) {
        if (nextLegal) {
            return san;
        }
    }
    return candidates.empty() ? std::string() : candidates.front().first;
}

std::vector<BoardFile> boardScript(const chess::PgnGame& game, const ScriptOptions& options) {
    const auto& line = game.mainLine.moves;
    const int plies = static_cast<int>(line.size());
    const std::vector<int> clocks = clockAfterEachMove(game.mainLine, options);

    std::vector<Recorded> real;
    for (int i = 0; i < plies; ++i) {
        real.push_back(
            {line[i].moveNumber, line[i].white, line[i].san, clocks.empty() ? -1 : clocks[i]});
    }
    const int wrongPly = options.correctAtPly;
    Recorded wrong;
    if (wrongPly >= 1 && wrongPly <= plies) {
        wrong = real[wrongPly - 1];
        wrong.san = wrongMoveFor(game, wrongPly);
    }
    const bool correcting = !wrong.san.empty();

    std::vector<BoardFile> script;
    for (int ply = 0; ply <= plies; ++ply) {
        std::vector<Recorded> recorded(real.begin(), real.begin() + ply);
        std::string note = ply == 0 ? "start" : moveLabel(real[ply - 1]);
        // The wrong move stands for its own half-move and the next one; the half-move
        // after that comes with the corrected record.
        if (correcting && ply >= wrongPly && ply < wrongPly + 2) {
            recorded.resize(wrongPly - 1);
            recorded.push_back(wrong);
            note = moveLabel(wrong) + " (recorded wrongly)";
            if (ply == wrongPly + 1) {
                chess::Position after;
                std::string error;
                chess::Move move;
                after.setFen(fenBefore(game, wrongPly), error);
                chess::parseSan(after, wrong.san, move, error);
                after.makeMove(move);
                if (chess::parseSan(after, real[ply - 1].san, move, error)) {
                    recorded.push_back(real[ply - 1]);
                    note = moveLabel(real[ply - 1]) + " (after the wrong move)";
                }
            }
        } else if (correcting && ply == wrongPly + 2) {
            note += " (corrected " + moveLabel(real[wrongPly - 1]) + ")";
        }
        script.push_back({ply, false, note, fileText(game, recorded, "*", options)});
    }
    const bool decided = !game.result.empty() && game.result != "*";
    if (decided) {
        script.push_back({plies, true, game.result, fileText(game, real, game.result, options)});
    }

    // A board that stops writes nothing after its last half-move; a later start drops the
    // files before the first one.
    std::erase_if(script, [&](const BoardFile& file) {
        const bool stopped =
            options.stopAfterPly >= 0 && (file.ply > options.stopAfterPly || file.final);
        return stopped || file.ply < std::min(options.startPly, plies);
    });
    return script;
}

}  // namespace boards
