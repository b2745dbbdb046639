// The whole pipeline with the real converter: real games written move by move into their
// source files, as board software does, and the monitor's ticks taking them in.

#include "EndToEndFixture.h"
#include "core/FileUtils.h"

namespace korvane::test {
namespace {

// Board software that writes each file in two steps: a scan that comes between them copies
// half a game, which the converter rejects. Every board must still reach its last move, on
// its page and on the overview, with no game asleep and no alarm.
TEST_F(EndToEndTest, TwentyBoardsWrittenInTwoStepsArePublishedToTheirEnd) {
    constexpr std::size_t kBoards = 20;
    constexpr std::size_t kPliesPerWrite = 9;
    state.settings.bIntroPage = true;
    std::vector<std::string> names;
    for (std::size_t b = 0; b < kBoards; ++b) {
        names.push_back("board" + std::to_string(b + 1) + ".pgn");
        addGame(names[b], liveText(games[b % 3], 2));
    }
    const std::string comment = "A note by the operator";
    Pgn& edited = state.monitorList.Item(names[4]);
    useEdited(edited, liveText(games[4 % 3], 2, comment));
    monitor.cmdStartClick();

    int stamp = 0;
    bool allAtTheEnd = false;
    for (std::size_t plies = 2 + kPliesPerWrite; !allAtTheEnd; plies += kPliesPerWrite) {
        allAtTheEnd = true;
        std::vector<std::string> texts;
        for (std::size_t b = 0; b < kBoards; ++b) {
            const RealGame& game = games[b % 3];
            allAtTheEnd = allAtTheEnd && plies >= game.moves.size();
            texts.push_back(liveText(game, std::min(plies, game.moves.size())));
            writeSource(names[b], texts[b].substr(0, texts[b].size() / 2), ++stamp);
        }
        scanInterval();  // between the two writes
        for (std::size_t b = 0; b < kBoards; ++b) {
            writeSource(names[b], texts[b], ++stamp);
        }
        scanInterval();
    }
    scanInterval();

    const std::string overview = htmlPage("allgames.htm");
    for (std::size_t b = 0; b < kBoards; ++b) {
        SCOPED_TRACE(names[b]);
        const RealGame& game = games[b % 3];
        const std::string page = htmlPage(names[b].substr(0, names[b].size() - 4) + ".htm");
        EXPECT_EQ(pliesShown(page), game.moves.size());
        EXPECT_EQ(readFile(state.backupDir + names[b]), liveText(game, game.moves.size()));
        EXPECT_FALSE(state.monitorList.Item(names[b]).bSleep);
        const std::size_t card = overview.find("id=\"ov-" + std::to_string(b + 1) + "\"");
        ASSERT_NE(card, std::string::npos);
        const std::size_t last = overview.find("Last move: ", card);
        EXPECT_NE(overview.substr(last, 40).find(game.moves.back()), std::string::npos)
            << overview.substr(last, 40);
    }
    const std::string editedPage = htmlPage("board5.htm");
    EXPECT_EQ(editedPage.find(comment), editedPage.rfind(comment)) << "the note is kept once";
    EXPECT_NE(editedPage.find(comment), std::string::npos);
    EXPECT_NE(readFile(edited.PathFinal).find(comment), std::string::npos);
    EXPECT_EQ(ui.alarms, 0);
    EXPECT_EQ(ui.logText(), "");
    EXPECT_TRUE(monitor.countRunning());
    EXPECT_EQ(zombieChildren(), 0);
}

// A game the converter rejects: its source (an illegal move), the operator's edited copy, or
// both. The rejection is taken for a half-written copy once, and for a fault when the copy
// is rejected again unchanged; the edited copy is kept for the operator, a faulty source
// sleeps until repaired and activated.
struct Fault {
    const char* name;
    const char* edited;     // inserted into the edited copy after the first move; none: no copy
    const char* extraMove;  // appended to the source's next write
    bool asleep;
    const char* entry;
};

class FaultyGameEndToEnd : public EndToEndTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultyGameEndToEnd, IsReportedKeptAndPublishedOnceRepaired) {
    const Fault& f = GetParam();
    Pgn& game = addGame("board1.pgn", liveText(games[0], 2));
    const std::string edited = f.edited ? liveText(games[0], 2, f.edited) : "";
    if (f.edited) {
        useEdited(game, edited);
    }
    monitor.cmdStartClick();

    writeSource("board1.pgn", liveText(games[0], 6, "", f.extraMove), 1);
    scanInterval();
    EXPECT_FALSE(game.bSleep) << "a copy taken while the board wrote would look the same";
    EXPECT_EQ(ui.alarms, 0);
    scanInterval();
    EXPECT_EQ(game.bSleep, f.asleep);
    EXPECT_TRUE(logHas(f.entry)) << ui.logText();
    EXPECT_EQ(htmlExists("board1.htm"), !f.asleep);
    if (f.edited) {
        EXPECT_EQ(readFile(game.PathFinal), edited);
        EXPECT_FALSE(game.bUseFinal());
    } else {
        EXPECT_EQ(ui.alarms, 1);
        EXPECT_EQ(readFile(game.PathTemp), liveText(games[0], 2)) << "the last good copy stays";
    }

    writeSource("board1.pgn", liveText(games[0], 7), 2);
    scanInterval();
    EXPECT_EQ(htmlExists("board1.htm"), !f.asleep) << "a sleeping game waits for Activate";
    select("board1.pgn");
    list.cmdActivateClick();
    scanInterval();
    EXPECT_EQ(pliesShown(htmlPage("board1.htm")), 7u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FaultyGameEndToEnd,
    ::testing::Values(
        Fault{"SourceFaulty", nullptr, "Ke3", true,
              "Error in board1.pgn. The message from Vistrel reads: \r\nboard1.pgn, line 10: "
              "illegal move 4. Ke3"},
        Fault{"EditedFaulty", "} (1. Ke3) {", "", false,
              "There's a pgn error in the edited version of board1.pgn. The source pgn "
              "file has no errors"},
        Fault{"BothFaulty", "fine", "Ke3", true,
              "Both the source and edited version of board1.pgn has errors"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvane::test
