// The monitor window's logic: the countdown's tick arithmetic, STOP/START, scan-time
// changes, "Go !", one cycle at a time and the "Cancel Alarm" button; adding, refusing,
// removing, substituting, sleeping, waking and inspecting games.

#include "PipelineFixture.h"
#include "core/FileUtils.h"

namespace korvane::test {
namespace {

class MonitorTest : public MonitorWindowTest {
protected:
    MonitorTest() { state.settings.spubPathpgn = boards; }
    // Ticks until the next scan runs; returns the number of ticks it took (0: none in max).
    int ticksToNextScan(int max) {
        const long before = scans();
        for (int tick = 1; tick <= max; ++tick) {
            monitor.Timer1Tick();
            if (scans() > before) {
                return tick;
            }
        }
        return 0;
    }
    Lines keys() const {
        Lines result;
        for (const Pgn& game : state.monitorList) {
            result.push_back(game.Key);
        }
        return result;
    }
};

// The 10th tick shows 0, scans and restarts; STOP and START keep the elapsed seconds. Scan
// times over a minute count whole seconds; 0 counts as 10. A changed scan time restarts the
// whole count, and the count always restarts after a timed scan.
TEST_F(MonitorTest, CountDownStopStartAndScanTimeSetTheTicksBetweenScans) {
    monitor.cmdStartClick();
    EXPECT_EQ(ui.lastStatus(), "Seconds to next scan");
    view.countDown.clear();
    EXPECT_EQ(ticksToNextScan(10), 10);
    EXPECT_EQ(view.countDown, (Lines{"9", "8", "7", "6", "5", "4", "3", "2", "1", "0", "0", "10"}));
    for (int i = 0; i < 4; ++i) {
        monitor.Timer1Tick();
    }
    monitor.cmdStopClick();
    EXPECT_FALSE(view.timer1);
    EXPECT_EQ(view.countDown.back(), "0");
    monitor.cmdStartClick();
    EXPECT_EQ(view.countDown.back(), "10");
    EXPECT_EQ(ticksToNextScan(20), 6);

    state.settings.lpubScanTime = 300;
    for (int i = 0; i < 180; ++i) {
        monitor.Timer1Tick();
    }
    for (const auto& [seconds, ticks] : {std::pair{90L, 90}, {61L, 61}, {120L, 120}, {0L, 10}}) {
        state.settings.lpubScanTime = seconds;
        EXPECT_EQ(ticksToNextScan(1000), ticks) << seconds;
        EXPECT_EQ(ticksToNextScan(1000), ticks) << seconds;
    }
    EXPECT_TRUE(monitor.countRunning());
}

// "Go !" forces a cycle and leaves the count stopped; clicks and ticks while a cycle runs
// start no second one.
TEST_F(MonitorTest, GoForcesOneCycleAndNoCycleStartsDuringAnother) {
    useFakeConverter();
    addGame("a.pgn", "1. e4 *");
    state.settings.lpubScanTime = 1;
    int nested = 0;
    ui.onProcessEvents = [&] {
        if (monitor.cycleRunning()) {
            ++nested;
            monitor.cmdTestClick();
            monitor.Timer1Tick();
        }
    };
    monitor.cmdStartClick();
    monitor.Timer1Tick();
    EXPECT_GT(nested, 0);
    EXPECT_EQ(scans(), 1);
    monitor.cmdTestClick();
    EXPECT_EQ(scans(), 2);
    EXPECT_EQ(converterCalls().size(), 1u) << "an unchanged game is converted when forced";
    EXPECT_FALSE(state.bForceConversion);
    EXPECT_FALSE(monitor.countRunning());
    EXPECT_FALSE(pipeline.colChangedFiles) << "the backup step ran and released the list";
}

TEST_F(MonitorTest, CancellingTheAlarmGivesTheButtonBackToTheLog) {
    monitor.RaiseAlarm();
    EXPECT_EQ(view.clearLog.first, "Cancel Alarm");
    monitor.cmdClearLogClick();
    EXPECT_FALSE(monitor.alarmOn());
    EXPECT_EQ(view.clearLog,
              (std::pair<std::string, std::string>{"Clear Log", "Clear Message Log"}));
}

TEST_F(MonitorTest, AddTakesThePgnFilesOfASelection) {
    writeSource("a.pgn", "1. e4 *", 3);
    writeSource("b.PGN", "1. d4 *", 4);
    writeSource("notes.txt", "not a game", 4);
    monitor.cmdStartClick();
    dialog.choose(boards, {"a.pgn", "notes.txt", "b.PGN"});

    list.cmdAddPgnClick();

    EXPECT_FALSE(monitor.countRunning());
    EXPECT_TRUE(dialog.multiSelect);
    EXPECT_EQ(keys(), (Lines{"a.pgn", "b.PGN"}));
    EXPECT_EQ(view.lines, keys());
    const Pgn& b = state.monitorList.Item("b.pgn");
    EXPECT_EQ(b.PathTemp, state.tempDir + "b.PGN");
    EXPECT_EQ(b.NameHtml, "b.htm");
    EXPECT_EQ(b.LastTime, fs::last_write_time(boards + "b.PGN"));
    EXPECT_EQ(readFile(state.tempDir + "b.PGN"), "1. d4 *");
    EXPECT_EQ(readFile(state.backupDir + "b.PGN"), "1. d4 *");
}

struct Refusal {
    const char* name;
    Lines chosen;
    const char* title;
    const char* text;
    Lines keysAfter;
};

class RefusalTest : public MonitorTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, IsReportedAndLeavesTheOthers) {
    const Refusal& r = GetParam();
    addGame("a.pgn", "1. e4 *");
    for (const std::string& name : r.chosen) {
        fs::copy_file(boards + "a.pgn", boards + name, fs::copy_options::overwrite_existing);
    }
    dialog.choose(boards, r.chosen);
    ui.answerNext(Answer::Ok);

    list.cmdAddPgnClick();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, r.title);
    EXPECT_EQ(ui.boxes[0].text, r.text);
    EXPECT_EQ(keys(), r.keysAfter);
    EXPECT_FALSE(state.bError) << "Add clears the refusal flag after the dialog";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(
        Refusal{"WrongType", {"game.txt"}, "Wrong File Type", "Not a *.PGN file", {"a.pgn"}},
        Refusal{"DuplicateInSelection",
                {"A.pgn", "c.pgn"},
                "Duplicate File Name",
                "All files must have unique names. A.pgn will be omitted.",
                {"a.pgn", "c.pgn"}},
        Refusal{"DuplicateSingle",
                {"A.PGN"},
                "Duplicate Filename",
                "A.PGN is already on the list. Filenames must be unique.The file will not be "
                "added.",
                {"a.pgn"}},
        Refusal{"OverviewName",
                {"AllGames.pgn"},
                "Invalid File Name allgames.pgn",
                "You have selected a pgn file with the same name as the overview page's pgn "
                "file. The file will be omitted.\r\n\r\nYou can either rename the game file or "
                "the overview page (Settings Dialog) and add the game once more.",
                {"a.pgn"}}),
    [](const auto& p) { return std::string(p.param.name); });

// Remove keeps at least one game; after the first upload it substitutes the source instead.
TEST_F(MonitorTest, RemoveKeepsOneGameAndSubstituteCopiesAFileUnderTheGamesName) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    useEdited(game, "1. e4 {note} *");
    addGame("b.pgn", "1. d4 *");
    view.lines = {"a.pgn", "b.pgn"};
    select("b.pgn");
    list.cmdRemovePgnClick();
    EXPECT_EQ(keys(), Lines{"a.pgn"});
    EXPECT_EQ(view.lines, Lines{"a.pgn"});
    EXPECT_FALSE(view.enabled[MonitorButton::cmdRemovePgn]);
    select("a.pgn");
    ui.answerNext(Answer::Ok);
    list.cmdRemovePgnClick();
    EXPECT_EQ(ui.boxes.at(0).text, "There must be at least one file in a project");
    EXPECT_EQ(keys(), Lines{"a.pgn"});

    const std::string repair = program.dir.path() + "/repair/";
    program.dir.write("repair/other.pgn", "1. e4 e5 *");
    list.FirstUploadDone();
    select("a.pgn");
    const auto substitute = [&] {
        ui.answerNext(Answer::Ok);  // "Please Read This Carefully!"
        dialog.choose(repair, {"other.pgn"});
        ui.answerNext(Answer::Ok);  // "File Renamed"
        list.cmdRemovePgnClick();
    };
    substitute();
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_NE(ui.boxes[1].text.find("\r\n\r\nKorvane will neglect the edited pgn file"),
              std::string::npos);
    EXPECT_EQ(ui.boxes[2].text,
              "The substitute file must have the same name as the original. Korvane has made a "
              "copy of other.pgn and renamed it to " +
                  repair + "a.pgn");
    EXPECT_EQ(game.PathSource, repair + "a.pgn");
    EXPECT_EQ(readFile(state.tempDir + "a.pgn"), "1. e4 e5 *");
    EXPECT_FALSE(game.bUseFinal());
    EXPECT_EQ(state.iCurrentPgn, 0);
    substitute();  // it would overwrite that copy
    EXPECT_EQ(ui.boxes.back().title, "Substitution Didn't Work");
}

TEST_F(MonitorTest, SleepActivateAndViewInfo) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    select("a.pgn");
    monitor.cmdStartClick();
    list.cmdSleepClick();
    EXPECT_TRUE(game.bSleep);
    EXPECT_TRUE(monitor.countRunning()) << "sleeping does not stop the count";
    EXPECT_TRUE(
        logHas("a.pgn\r\nhas been removed from the monitor list. Choose \"Activate\" to "
               "include it again.\r\n\r\n"));

    // The info describes the game even when its source is gone.
    useEdited(game, "1. e4 *");
    fs::remove(game.PathSource);
    list.cmdViewInfoClick();
    EXPECT_TRUE(
        logHas("Source file: a.pgn\r\nSource Directory: " + boards.substr(0, boards.size() - 1) +
               "\r\nMonitored: No\r\nEdited HTML source:" + game.PathFinal +
               "\r\nLast changed: (the file cannot be found)\r\n\r\n"))
        << ui.logText();

    monitor.cmdStopClick();
    list.cmdActivateClick();
    EXPECT_FALSE(game.bSleep);
    EXPECT_FALSE(monitor.countRunning()) << "activating does not start the count";
}

}  // namespace
}  // namespace korvane::test
