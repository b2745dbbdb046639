// Resuming after a restart: the project file follows every change of the list, and a new
// program on the same directory gets the round back as it was and goes on with only the
// games that moved while it was down.

#include <filesystem>

#include "PipelineFixture.h"
#include "core/Config.h"
#include "core/ProjectFile.h"
#include "core/Startup.h"
#include "pipeline/ProjectResume.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class ProjectResumeTest : public MonitorWindowTest {
protected:
    ProjectResumeTest() {
        state.settings.spubPathpgn = boards;
        program.dir.write("game.ini", "");
        program.dir.write("overview.ini", "");
        useFakeConverter();
    }
    void select(const std::string& line) {
        view.selected = line;
        list.lboPgnFilesClick();
    }
    Project savedProject() const {
        Project project;
        std::string why;
        EXPECT_TRUE(ParseProject(readFile(program.dir.file(kProjectFileName)), project, why))
            << why;
        return project;
    }
};

// The same program directory opened by a new program, as after a crash or a restart.
struct Restarted {
    explicit Restarted(const std::string& programDir) { state.programDir = programDir; }
    ScriptedOperator ui;
    FixedClock clock;
    ProgramState state{ui, clock};
    Pipeline pipeline{state};
    RecordingView view;
    Monitor monitor{pipeline, view};
};

TEST_F(ProjectResumeTest, EveryChangeOfTheListIsWrittenAtOnce) {
    writeSource("a.pgn", "1. e4 *", 1);
    writeSource("b.pgn", "1. d4 *", 1);
    dialog.choose(boards, {"a.pgn", "b.pgn"});
    list.cmdAddPgnClick();
    Project project = savedProject();
    ASSERT_EQ(project.games.size(), 2u);
    EXPECT_EQ(project.games[1].pathSource, boards + "b.pgn");
    EXPECT_EQ(project.games[1].lastTime, fs::last_write_time(boards + "b.pgn"));

    select("a.pgn");
    list.cmdSleepClick();
    EXPECT_TRUE(savedProject().games[0].sleep);
    list.cmdActivateClick();
    EXPECT_FALSE(savedProject().games[0].sleep);

    monitor.cmdStartClick();
    EXPECT_TRUE(savedProject().monitoring);
    monitor.cmdStopClick();
    EXPECT_FALSE(savedProject().monitoring);

    list.cmdRemovePgnClick();
    project = savedProject();
    ASSERT_EQ(project.games.size(), 1u);
    EXPECT_EQ(project.games[0].key, "b.pgn");
}

TEST_F(ProjectResumeTest, RestartResumesTheRoundAndConvertsOnlyWhatMovedMeanwhile) {
    for (const char* name : {"a.pgn", "b.pgn", "c.pgn", "d.pgn"}) {
        writeSource(name, "1. e4 *", 1);
    }
    dialog.choose(boards, {"a.pgn", "b.pgn", "c.pgn", "d.pgn"});
    list.cmdAddPgnClick();
    useEdited(state.monitorList.Item("b.pgn"), "1. e4 {the operator's comment} *");
    select("c.pgn");
    list.cmdSleepClick();
    monitor.cmdStartClick();
    monitor.cmdTestClick();  // a cycle publishes the games and saves when each was taken in
    ASSERT_TRUE(htmlExists("d.htm"));
    SaveCfg(state);

    // While Korvane is down, one board moves and a work copy is lost.
    writeSource("d.pgn", "1. e4 e5 *", 2);
    fs::remove(state.tempDir + "a.pgn");

    Restarted next(state.programDir);
    next.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(next.state));
    EXPECT_EQ(next.ui.boxes.at(0).text, "Resume the last project (4 games)?");
    next.monitor.Load();
    ResumeProject(next.state, next.monitor, next.view);

    EXPECT_EQ(next.view.lines, (Lines{"a.pgn", "b.pgn", "c.pgn", "d.pgn"}));
    const Pgn& edited = next.state.monitorList.Item("b.pgn");
    EXPECT_TRUE(edited.bUseFinal());
    EXPECT_EQ(edited.PathFinal, next.state.finalDir + "b.pgn");
    EXPECT_EQ(readFile(edited.PathFinal), "1. e4 {the operator's comment} *");
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
    // Each run converts a copy of its game in a directory of its own under the temporary one.
    const std::string converted = calls.back().substr(0, calls.back().find('|'));
    EXPECT_EQ(fs::path(converted).filename(), "d.pgn");
    EXPECT_EQ(converted.rfind(next.state.tempDir, 0), 0u) << converted;
    EXPECT_EQ(htmlPage("d.htm"), "1. e4 e5 *");
    EXPECT_EQ(savedProject().games[3].lastTime, fs::last_write_time(boards + "d.pgn"));
}

TEST_F(ProjectResumeTest, UnderADelayALostWorkCopyIsNotMadeAgainFromTheLiveBoard) {
    state.settings.lpubDelay = 1;
    writeSource("a.pgn", "[White \"A\"]\r\n[Black \"B\"]\r\n\r\n1. e4 e5 *\r\n", 1);
    dialog.choose(boards, {"a.pgn"});
    list.cmdAddPgnClick();
    SaveCfg(state);
    fs::remove(state.tempDir + "a.pgn");

    Restarted next(state.programDir);
    next.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(next.state));
    next.monitor.Load();
    ResumeProject(next.state, next.monitor, next.view);
    const std::string published = readFile(next.state.tempDir + "a.pgn");
    EXPECT_NE(published.find("[White \"A\"]"), std::string::npos);
    EXPECT_EQ(published.find("e4"), std::string::npos) << published;
}

TEST_F(ProjectResumeTest, WithoutAPendingProjectNothingChanges) {
    writeSource("a.pgn", "1. e4 *", 1);
    dialog.choose(boards, {"a.pgn"});
    list.cmdAddPgnClick();
    ResumeProject(state, monitor, view);
    EXPECT_EQ(view.lines, Lines{"a.pgn"});
    EXPECT_EQ(state.monitorList.Count(), 1);
    EXPECT_FALSE(monitor.countRunning());
}

}  // namespace
}  // namespace korvane::test
