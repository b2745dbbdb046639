// The readers on crafted input: how large a page grows from a small file, how long a merge
// of a long edited game and a settings file of many lines take. Prints the figures;
// asserts nothing.

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "chess/PgnReader.h"
#include "core/Config.h"
#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"
#include "support/TestProgram.h"
#include "vistrel/Page.h"

using namespace korvane;

namespace {

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string repeated(const std::string& piece, long times) {
    std::string out;
    for (long i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// Input bytes, page bytes and time from the PGN text to the finished game page.
void pageFigures(const char* what, const std::string& pgn) {
    std::string page, message;
    const double ms = millisecondsOf([&] {
        chess::PgnFile file;
        chess::PgnError error;
        if (chess::readPgn(pgn, "bench.pgn", file, error)) {
            page = vistrel::renderGamePage(file, {});
        } else {
            message = error.message;
        }
    });
    std::printf("%-44s %9zu B in  %11zu B page  %8.1f ms  %s\n", what, pgn.size(), page.size(), ms,
                message.c_str());
}

// "n. Nf3 Nf6 n+1. Ng1 Ng8 ..." with note after every move.
std::string knightShuffle(long pairs, const std::string& note) {
    std::string text;
    for (long n = 1; n <= pairs; ++n) {
        text += std::to_string(n) + (n % 2 == 1 ? ". Nf3" : ". Ng1") + note +
                (n % 2 == 1 ? " Nf6" : " Ng8") + note + " ";
    }
    return text;
}

void mergeFigures(const char* what, long pairs, const std::string& note) {
    const std::string header = "[Event \"Bench\"]\r\n[Result \"*\"]\r\n\r\n";
    const std::string edited = header + knightShuffle(pairs, note) + "; late note\r\n";
    const std::string source =
        header + knightShuffle(pairs, "") + std::to_string(pairs + 1) + ". Nf3 *\r\n";
    MergeOutcome out;
    const double ms = millisecondsOf(
        [&] { out = MergeNewMoves(edited, source, DefaultTagsToChange(), "bench.pgn"); });
    std::printf("%-44s %9zu B edited  %8.1f ms  %s\n", what, edited.size(), ms,
                out.error ? "failed" : "merged");
}

void settingsFigures(const char* what, const std::string& text) {
    test::TestProgram program;
    const double ms = millisecondsOf([&] { ReadCfgText(program.state, text); });
    std::printf("%-44s %9zu B  %8.1f ms  scan time %ld\n", what, text.size(), ms,
                program.state.settings.lpubScanTime);
}

}  // namespace

int main() {
    std::printf("Pages from small files\n");
    pageFigures("8,192 \"* \"", repeated("* ", 8192));
    pageFigures("512 KB of \"* \"", repeated("* ", 262144));
    pageFigures("one game and 8,192 \"* \"", "[White \"a\"]\n1. e4 *\n" + repeated("* ", 8192));
    pageFigures("2,048 games \"e4 *\" without tags", repeated("e4 * ", 2048));
    pageFigures("2,048 games of one tag", repeated("[White \"a\"]\n", 2048));
    pageFigures("512 KB of \"e4 * \" (writer stops past 50 MB)", repeated("e4 * ", 104858));

    std::printf("\nMerges of a long edited game with a \";\" note at its end\n");
    mergeFigures("4,000 moves with clock comments", 2000, " {[%clk 1:29:51]}");
    mergeFigures("8,000 moves with clock comments", 4000, " {[%clk 1:29:51]}");
    mergeFigures("8,000 moves with variations", 4000, " (1. d4 {idea} d5)");
    mergeFigures("20,000 moves without comments", 10000, "");
    mergeFigures("40,000 moves without comments", 20000, "");

    std::printf("\nSettings files\n");
    settingsFigures("600 KB of lines without \"=\"",
                    repeated("; note\r\n", 75000) + "lpubScanTime=7\r\n");
    settingsFigures("600 KB of LF lines without \"=\"",
                    repeated("; note\n", 85000) + "lpubScanTime=7\n");
    return 0;
}
