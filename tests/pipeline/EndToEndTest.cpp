// The whole pipeline with the real converter: real games written move by move into their
// source files, as board software does, and the monitor's ticks taking them in.

#include <filesystem>
#include <regex>
#include <sstream>

#include "PipelineFixture.h"
#include "core/FileUtils.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

// A game of the fixture file: its header lines and its moves in SAN.
struct RealGame {
    std::vector<std::string> tags;
    std::vector<std::string> moves;
};

std::vector<RealGame> loadGames(const std::string& path) {
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

// The game as board software writes it after `plies` half-moves: CR LF lines, live result.
// A comment, when given, follows the first move (the operator's edited copy).
std::string liveText(const RealGame& game, std::size_t plies, const std::string& comment = "",
                     const std::string& extraMove = "") {
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
        if (i % 2 == 0) {
            text += std::to_string(i / 2 + 1) + ". ";
        }
        text += moves[i] + " ";
        if (i == 0 && !comment.empty()) {
            text += "{" + comment + "} ";
        }
    }
    return text + "*\r\n";
}

// The main line's moves as the page writes them ("1.e4 e5 2.Nf3"), without numbers,
// comments or variations.
std::vector<std::string> movesShown(const std::string& page) {
    const auto from = page.find("<div class=\"line\">");
    const auto to = page.find("<span class=\"res\">", from);
    if (from == std::string::npos || to == std::string::npos) {
        return {};
    }
    std::string line = page.substr(from, to - from);
    line = std::regex_replace(line, std::regex("<div class=\"var\">.*?</div>"), " ");
    line = std::regex_replace(line, std::regex("<span[^>]*>[^<]*</span>|<[^>]*>"), " ");
    std::vector<std::string> moves;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        word = std::regex_replace(word, std::regex("^[0-9]+\\.+"), "");
        if (!word.empty()) {
            moves.push_back(word);
        }
    }
    return moves;
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
    // The ticks of one scan interval.
    void scanInterval() {
        monitor.Timer1Tick();
        monitor.Timer1Tick();
    }

    std::vector<RealGame> games;
};

TEST_F(EndToEndTest, ThreeLiveGamesArePublishedMoveByMove) {
    ASSERT_EQ(games.size(), 3u);
    state.settings.bIntroPage = true;
    const std::vector<std::string> names{"board1.pgn", "board2.pgn", "board3.pgn"};
    for (std::size_t g = 0; g < 3; ++g) {
        addGame(names[g], liveText(games[g], 2));
    }
    const std::string comment = "A note from the operator";
    Pgn& edited = state.monitorList.Item("board3.pgn");
    useEdited(edited, liveText(games[2], 2, comment));
    monitor.cmdStartClick();

    for (int step = 1; step <= 4; ++step) {
        const std::size_t plies = 2 + 7 * step;
        for (std::size_t g = 0; g < 3; ++g) {
            writeSource(names[g], liveText(games[g], plies), step);
        }
        scanInterval();

        for (std::size_t g = 0; g < 3; ++g) {
            SCOPED_TRACE(names[g] + " after " + std::to_string(plies) + " plies");
            const std::string page = htmlPage(names[g].substr(0, 6) + ".htm");
            const auto shown = movesShown(page);
            EXPECT_EQ(shown.size(), plies);
            EXPECT_EQ(shown.empty() ? "" : shown.back(), games[g].moves[plies - 1]);
            EXPECT_EQ(readFile(state.backupDir + names[g]), liveText(games[g], plies));
        }
        EXPECT_NE(htmlPage("board3.htm").find(comment), std::string::npos);
        EXPECT_NE(readFile(edited.PathFinal).find(comment), std::string::npos);
        EXPECT_TRUE(htmlExists("allgames.htm"));
        EXPECT_EQ(ui.logText(), "") << "a smooth cycle writes no entries";
        EXPECT_EQ(ui.alarms, 0);
    }
    EXPECT_TRUE(monitor.countRunning());
    EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(EndToEndTest, IllegalMoveSleepsTheGameUntilRepairedAndActivated) {
    Pgn& game = addGame("board1.pgn", liveText(games[0], 2));
    view.lines = {"board1.pgn"};
    monitor.cmdStartClick();

    // White's king cannot reach e3 from e1.
    writeSource("board1.pgn", liveText(games[0], 2, "", "Ke3"), 1);
    scanInterval();
    EXPECT_TRUE(game.bSleep);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_TRUE(logHas("Error in board1.pgn. The message from Vistrel reads: \r\n"));
    EXPECT_TRUE(logHas("Ke3"));
    EXPECT_FALSE(htmlExists("board1.htm"));

    writeSource("board1.pgn", liveText(games[0], 3), 2);
    scanInterval();
    EXPECT_FALSE(htmlExists("board1.htm")) << "asleep";

    view.selected = "board1.pgn";
    list.cmdActivateClick();
    scanInterval();
    EXPECT_EQ(movesShown(htmlPage("board1.htm")).size(), 3u);
}

struct Recovery {
    const char* name;
    const char* editedVariation;  // inserted into the edited copy after the first move
    const char* sourceExtraMove;  // appended to the source's next write
    bool asleep;
    const char* entry;
};

class EditedRecoveryEndToEnd : public EndToEndTest,
                               public ::testing::WithParamInterface<Recovery> {};

TEST_P(EditedRecoveryEndToEnd, RestoresTheEditedPgnAndReports) {
    const Recovery& r = GetParam();
    Pgn& game = addGame("board1.pgn", liveText(games[0], 2));
    const std::string before = liveText(games[0], 2, r.editedVariation);
    useEdited(game, before);
    monitor.cmdStartClick();

    writeSource("board1.pgn", liveText(games[0], 6, "", r.sourceExtraMove), 1);
    scanInterval();

    EXPECT_EQ(readFile(game.PathFinal), before);
    EXPECT_FALSE(game.bUseFinal());
    EXPECT_EQ(game.bSleep, r.asleep);
    EXPECT_TRUE(logHas(r.entry)) << ui.logText();
    EXPECT_EQ(htmlExists("board1.htm"), !r.asleep);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditedRecoveryEndToEnd,
    ::testing::Values(
        Recovery{"EditedFaulty", "} (1. Ke3) {", "", false,
                 "There's a pgn error in the edited version of board1.pgn. The source pgn "
                 "file has no errors"},
        Recovery{"BothFaulty", "fine", "Ke3", true,
                 "Both the source and edited version of board1.pgn has errors"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvane::test
