// Speed of the PGN reader (which replays and checks every move) on a whole file.
//   bench_pgn validate <file> [repeats]   prints games, moves and seconds per run
//   bench_pgn generate <games> <file>     writes reproducible legal games to a file

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "chess/PgnReader.h"
#include "chess/Position.h"
#include "chess/San.h"

namespace {

int validate(const char* path, int repeats) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();
    double best = 1e9;
    chess::PgnFile file;
    for (int i = 0; i < repeats; ++i) {
        chess::PgnError error;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = chess::readPgn(bytes, path, file, error);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            std::cerr << error.message << '\n';
            return 1;
        }
        best = std::min(best, took.count());
    }
    size_t moves = 0;
    for (const auto& g : file.games) {
        moves += g.mainLine.moves.size();
    }
    std::cout << file.games.size() << " games, " << moves << " moves, " << bytes.size() / 1024
              << " KiB: best of " << repeats << " runs " << best << " s ("
              << static_cast<long>(moves / best) << " moves/s)\n";
    return 0;
}

// Plays games by a fixed pseudo-random choice among the legal moves, so every run of the
// benchmark reads the same file.
int generate(int games, const char* path) {
    std::ofstream out(path, std::ios::binary);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int g = 1; g <= games; ++g) {
        out << "[Event \"Generated\"]\n[Round \"" << g << "\"]\n[White \"White " << g
            << "\"]\n[Black \"Black " << g << "\"]\n\n";
        chess::Position pos;
        std::string line;
        std::string result = "*";
        for (int ply = 0; ply < 120; ++ply) {
            chess::MoveList list;
            pos.generateLegal(list);
            if (list.size == 0) {
                if (pos.inCheck()) {
                    result = pos.sideToMove() == chess::White ? "0-1" : "1-0";
                }
                break;
            }
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const chess::Move move = list.moves[(state >> 33) % static_cast<unsigned>(list.size)];
            if (pos.sideToMove() == chess::White) {
                line += std::to_string(pos.fullMoveNumber()) + ". ";
            }
            line += chess::sanText(pos, move) + ' ';
            pos.makeMove(move);
            if (line.size() > 70) {
                out << line << '\n';
                line.clear();
            }
        }
        out << line << result << "\n\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "validate" && argc >= 3) {
        return validate(argv[2], argc > 3 ? std::stoi(argv[3]) : 3);
    }
    if (mode == "generate" && argc == 4) {
        return generate(std::stoi(argv[2]), argv[3]);
    }
    std::cerr << "usage: bench_pgn validate <file> [repeats] | generate <games> <file>\n";
    return 2;
}
