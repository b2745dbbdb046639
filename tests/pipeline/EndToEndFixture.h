#pragma once
// Real games replayed into their source files move by move, as board software writes them,
// with the real converter behind the monitor's ticks.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "PipelineFixture.h"
#include "support/PageText.h"

namespace korvane::test {

// A game of the fixture file: its header lines and its moves in SAN.
struct RealGame {
    std::vector<std::string> tags;
    std::vector<std::string> moves;
};

inline std::vector<RealGame> loadGames(const std::string& path) {
    std::vector<RealGame> games;
    std::istringstream in(readFile(path));
    // In move text every SAN token starts with a letter; numbers and results do not.
    const std::regex san(R"([A-Za-z][^\s.]*)");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("[Event ", 0) == 0) {
            games.emplace_back();
        }
        if (line.rfind("[", 0) == 0) {
            if (line.rfind("[Result ", 0) != 0) {
                games.back().tags.push_back(line);
            }
            continue;
        }
        for (std::sregex_iterator it(line.begin(), line.end(), san), end; it != end; ++it) {
            games.back().moves.push_back(it->str());
        }
    }
    return games;
}

// The game as board software writes it after `plies` half-moves (and `extraMove`, if any):
// CR LF lines, live result. A comment, when given, follows the first move.
inline std::string liveText(const RealGame& game, std::size_t plies,
                            const std::string& comment = "", const std::string& extraMove = "") {
    std::string text;
    for (const std::string& tag : game.tags) {
        text += tag + "\r\n";
    }
    text += "[Result \"*\"]\r\n\r\n";
    std::vector<std::string> moves(game.moves.begin(), game.moves.begin() + plies);
    if (!extraMove.empty()) {
        moves.push_back(extraMove);
    }
    for (std::size_t i = 0; i < moves.size(); ++i) {
        text += (i % 2 == 0 ? std::to_string(i / 2 + 1) + ". " : "") + moves[i] + " ";
        if (i == 0 && !comment.empty()) {
            text += "{" + comment + "} ";
        }
    }
    return text + "*\r\n";
}

class EndToEndTest : public MonitorWindowTest {
protected:
    EndToEndTest() {
        state.settings.spubPathVistrel = KORVANE_VISTREL;
        state.settings.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
        state.settings.spubPathIntroIni =
            std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini";
        state.settings.lpubScanTime = 2;
        state.converterWaitMs = 15000;
        games = loadGames(std::string(KORVANE_TEST_DATA) + "/pipeline-three-games.pgn");
    }
    // The ticks of one scan interval (two seconds).
    void scanInterval() {
        monitor.Timer1Tick();
        monitor.Timer1Tick();
    }

    std::vector<RealGame> games;
};

}  // namespace korvane::test
