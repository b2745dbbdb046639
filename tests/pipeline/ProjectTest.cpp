// New Project, closing the project, the file dialog's rules, and resuming after a restart:
// the project file follows every change of the list, and a new program on the same
// directory gets the round back as it was and goes on with only the games that moved.

#include <filesystem>

#include "PipelineFixture.h"
#include "core/Config.h"
#include "core/FileUtils.h"
#include "core/ProjectFile.h"
#include "core/Startup.h"
#include "pipeline/Project.h"
#include "pipeline/ProjectResume.h"

namespace korvane::test {
namespace {

class ProjectTest : public MonitorWindowTest {
protected:
    ProjectTest() {
        useFakeConverter();
        program.dir.write("game.ini", "[page]\n");
        program.dir.write("overview.ini", "");
        state.settings.spubPathpgn = boards;
        writeSource("a.pgn", "1. e4 *", 1);
        writeSource("b.pgn", "1. d4 *", 1);
    }
    Project savedProject() const {
        Project project;
        std::string why;
        EXPECT_TRUE(ParseProject(readFile(program.dir.file(kProjectFileName)), project, why))
            << why;
        return project;
    }
};

TEST_F(ProjectTest, NewProjectReplacesTheListWithTheChosenGamesOrLeavesNone) {
    dialog.answers.push_back(std::nullopt);
    EXPECT_FALSE(NewProject(state, list, view)) << "cancelled";
    // Games from a reserved directory: refused; neither the error flag nor the directory stays.
    ui.answerNext(Answer::Ok);
    dialog.choose(state.tempDir, {"a.pgn", "b.pgn"});
    EXPECT_FALSE(NewProject(state, list, view));
    EXPECT_EQ(ui.boxes.at(0).title, "Sorry!");
    EXPECT_EQ(ui.boxes.at(0).text,
              state.tempDir + " is reserved. Source pgn files are not allowed in this directory.");
    EXPECT_FALSE(state.bError);
    EXPECT_EQ(state.settings.spubPathpgn, boards);
    EXPECT_EQ(state.monitorList.Count(), 0);

    addGame("old.pgn", "1. c4 *");
    view.addPgnLine("old.pgn");
    dialog.choose(boards, {"a.pgn", "b.pgn"});
    ASSERT_TRUE(NewProject(state, list, view));
    EXPECT_EQ(view.lines, (Lines{"a.pgn", "b.pgn"}));
    EXPECT_EQ(state.monitorList.Count(), 2);
    EXPECT_TRUE(dialog.multiSelect);
    EXPECT_TRUE(state.bPathsOk);
    EXPECT_TRUE(list.sDialogPurpose.empty());
    EXPECT_EQ(ui.settingsDialogs, 0);

    state.settings.spubPathVistrel.clear();
    ui.answerNext(Answer::Ok);
    dialog.choose(boards, {"a.pgn", "b.pgn"});
    EXPECT_TRUE(NewProject(state, list, view));
    EXPECT_EQ(ui.boxes.back().title, "Path Needed");
    EXPECT_EQ(ui.settingsDialogs, 1) << "unusable paths open the settings dialog";
}

TEST_F(ProjectTest, ClosingEmptiesTheListLastFirst) {
    addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    auto held = state.monitorList.Share(1);  // a cycle still working on a game
    state.tagsToChange = {"WhiteClock"};
    CloseProject(state);
    ReleaseTagsToChange(state);
    EXPECT_EQ(state.monitorList.Count(), 0);
    EXPECT_TRUE(state.tagsToChange.empty());
    EXPECT_EQ(held->Key, "a.pgn");
}

TEST(ParseMultiFileName, SplitsTheSystemsMultipleSelection) {
    const FileSelection several = ParseMultiFileName(std::string("/games\0a.pgn\0b.pgn\0\0", 20));
    EXPECT_EQ(several.directory, "/games");
    EXPECT_EQ(several.names, (Lines{"a.pgn", "b.pgn"}));
    const FileSelection one = ParseMultiFileName("/games/round 1/a.pgn");
    EXPECT_EQ(one.directory, "/games/round 1");
    EXPECT_EQ(one.names, Lines{"a.pgn"});
    const FileSelection bare = ParseMultiFileName("/a.pgn");
    EXPECT_EQ(bare.directory, "");
    EXPECT_EQ(bare.names, Lines{"/a.pgn"});
}

TEST_F(ProjectTest, OneFileIsChosenByTypeButProgramsNeedNoExtension) {
    dialog.choose(boards, {"vistrel"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel", "EXE", ""), boards + "vistrel");
    ui.answerNext(Answer::Ok);
    dialog.choose(boards, {"game.pgn"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""), "");
    EXPECT_EQ(ui.boxes.back().text, "Not a *.INI file");
    EXPECT_EQ(ui.boxes.back().title, "Wrong File Type");
    dialog.choose(boards, {"Game.INI"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""),
              boards + "Game.INI");
    dialog.answers.push_back(std::nullopt);
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""), "");
}

// Every change of the list is written to the project file at once; a new program on the
// same directory resumes the round from it as it was.
TEST_F(ProjectTest, RestartResumesTheRoundAndConvertsOnlyWhatMovedMeanwhile) {
    for (const char* name : {"c.pgn", "d.pgn", "e.pgn"}) {
        writeSource(name, "1. e4 *", 1);
    }
    dialog.choose(boards, {"a.pgn", "b.pgn", "c.pgn", "d.pgn", "e.pgn"});
    list.cmdAddPgnClick();
    ResumeProject(state, monitor, view);
    EXPECT_EQ(view.lines.size(), 5u) << "without a pending project nothing changes";
    EXPECT_FALSE(monitor.countRunning());
    ASSERT_EQ(savedProject().games.size(), 5u);
    EXPECT_EQ(savedProject().games[1].pathSource, boards + "b.pgn");
    EXPECT_EQ(savedProject().games[1].lastTime, fs::last_write_time(boards + "b.pgn"));
    select("e.pgn");
    list.cmdRemovePgnClick();
    EXPECT_EQ(savedProject().games.size(), 4u);
    useEdited(state.monitorList.Item("b.pgn"), "1. d4 {the operator's comment} *");
    select("a.pgn");
    list.cmdSleepClick();
    EXPECT_TRUE(savedProject().games[0].sleep);
    list.cmdActivateClick();
    EXPECT_FALSE(savedProject().games[0].sleep);
    select("c.pgn");
    list.cmdSleepClick();
    monitor.cmdStartClick();
    EXPECT_TRUE(savedProject().monitoring);
    monitor.cmdStopClick();
    EXPECT_FALSE(savedProject().monitoring);
    monitor.cmdStartClick();
    monitor.cmdTestClick();  // a cycle publishes the games and saves when each was taken in
    ASSERT_TRUE(htmlExists("d.htm"));
    SaveCfg(state);

    // While Korvane is down, one board moves and a work copy is lost.
    writeSource("d.pgn", "1. e4 e5 *", 2);
    fs::remove(state.tempDir + "a.pgn");

    Restarted next(state, program.clock);
    next.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(next.state));
    EXPECT_EQ(next.ui.boxes.at(0).text, "Resume the last project (4 games)?");
    next.monitor.Load();
    ResumeProject(next.state, next.monitor, next.view);

    EXPECT_EQ(next.view.lines, (Lines{"a.pgn", "b.pgn", "c.pgn", "d.pgn"}));
    const Pgn& edited = next.state.monitorList.Item("b.pgn");
    EXPECT_TRUE(edited.bUseFinal());
    EXPECT_EQ(edited.PathFinal, next.state.finalDir + "b.pgn");
    EXPECT_EQ(readFile(edited.PathFinal), "1. d4 {the operator's comment} *");
    EXPECT_TRUE(next.state.monitorList.Item("c.pgn").bSleep);
    EXPECT_FALSE(next.state.monitorList.Item("d.pgn").bSleep);
    EXPECT_EQ(readFile(next.state.tempDir + "a.pgn"), "1. e4 *");
    EXPECT_TRUE(next.state.monitoringStarted);
    EXPECT_TRUE(next.monitor.countRunning());

    const std::size_t callsBefore = converterCalls().size();
    for (long second = 0; second < next.state.settings.lpubScanTime; ++second) {
        next.monitor.Timer1Tick();
    }
    const Lines calls = converterCalls();
    ASSERT_EQ(calls.size(), callsBefore + 1) << next.ui.logText();
    EXPECT_EQ(fs::path(calls.back().substr(0, calls.back().find('|'))).filename(), "d.pgn");
    EXPECT_EQ(htmlPage("d.htm"), "1. e4 e5 *");
    EXPECT_EQ(savedProject().games[3].lastTime, fs::last_write_time(boards + "d.pgn"));
}

TEST_F(ProjectTest, UnderADelayALostWorkCopyIsNotMadeAgainFromTheLiveBoard) {
    state.settings.lpubDelay = 1;
    writeSource("a.pgn", "[White \"A\"]\r\n[Black \"B\"]\r\n\r\n1. e4 e5 *\r\n", 1);
    dialog.choose(boards, {"a.pgn"});
    list.cmdAddPgnClick();
    SaveCfg(state);
    fs::remove(state.tempDir + "a.pgn");

    Restarted next(state, program.clock);
    next.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(next.state));
    next.monitor.Load();
    ResumeProject(next.state, next.monitor, next.view);
    const std::string published = readFile(next.state.tempDir + "a.pgn");
    EXPECT_NE(published.find("[White \"A\"]"), std::string::npos);
    EXPECT_EQ(published.find("e4"), std::string::npos) << published;
}

}  // namespace
}  // namespace korvane::test
