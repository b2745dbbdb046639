// The converter run: what each kind of converter outcome leaves behind (page, queue, log
// entry, alarm, game state), the argument vector, stale logs, and left-over processes.

#include <signal.h>

#include <filesystem>
#include <thread>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/ConverterRun.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

struct Outcome {
    const char* name;
    const char* content;  // the fake converter reacts to REJECT, SILENT and HANG
    bool pgnError;
    bool remove;
    bool queued;
    bool asleep;
    const char* logFragment;
};

class BareRunTest : public PipelineTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(BareRunTest, LeavesTheExpectedTraces) {
    const Outcome& o = GetParam();
    useFakeConverter();
    state.converterWaitMs = 500;
    state.settings.bPgnUpload = true;
    Pgn& game = addGame("round1.pgn", o.content);

    bool bPgnError = true, bRemove = true;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    EXPECT_EQ(bPgnError, o.pgnError);
    EXPECT_EQ(bRemove, o.remove);
    EXPECT_EQ(game.bSleep, o.asleep);
    EXPECT_FALSE(state.bError) << ui.logText();
    EXPECT_EQ(ui.alarms, o.queued ? 0 : 1);
    EXPECT_EQ(fs::exists(state.settings.spubPathHtml + "round1.htm"), o.queued);
    EXPECT_FALSE(fs::exists(state.tempDir + "round1.htm")) << "the work-directory page is removed";
    if (o.queued) {
        EXPECT_EQ(pipeline.uploads.html, std::vector<std::string>{"round1.htm"});
        ASSERT_TRUE(pipeline.uploads.pgn);
        EXPECT_EQ(*pipeline.uploads.pgn, std::vector<std::string>{"round1.pgn"});
        EXPECT_EQ(htmlPage("round1.htm"), o.content);
    } else {
        EXPECT_TRUE(pipeline.uploads.html.empty());
        EXPECT_FALSE(pipeline.uploads.pgn && !pipeline.uploads.pgn->empty());
    }
    EXPECT_TRUE(logHas(o.logFragment)) << ui.logText();
    EXPECT_EQ(ui.lastStatus(), "Checking and copying HTML files");
    EXPECT_EQ(zombieChildren(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BareRunTest,
    ::testing::Values(
        Outcome{"PageWritten", "1. e4 e5 *", false, false, true, false, ""},
        Outcome{"LogOnly", "1. e4 REJECT *", true, false, false, true,
                "06.12.2026 14:30:00\r\nError in round1.pgn. The message from Vistrel reads: "
                "\r\nIllegal move in round1.pgn\r\nThe Html and Pgn files will NOT be uploaded, "
                "and the pgn file has been removed from the monitor list."},
        Outcome{"Nothing", "1. e4 SILENT *", false, true, false, false,
                "The html file round1.htm was not created.\r\nIf the pgn file "},
        Outcome{"Hangs", "1. e4 HANG *", false, true, false, false,
                "\r\nThe file has been removed from the monitor list.\r\n\r\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PipelineTest, RejectedEditedPgnFallsBackWithoutAlarm) {
    useFakeConverter();
    Pgn& game = addGame("round1.pgn", "1. e4 *");
    useEdited(game, "1. e4 {REJECT} *");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathFinal, bPgnError, bRemove);

    EXPECT_TRUE(bPgnError);
    EXPECT_FALSE(game.bUseFinal());
    EXPECT_FALSE(game.bSleep);
    EXPECT_FALSE(state.bError) << "a missing page is no deletion failure";
    EXPECT_EQ(ui.alarms, 0);
    EXPECT_TRUE(
        logHas("There's an error in the edited version of round1.pgn. The message "
               "from Vistrel reads: \r\nIllegal move in round1.pgn\r\nKorvane will now "
               "process the uncommented version"));
}

TEST_F(PipelineTest, StaleConverterLogDoesNotFailTheNextRun) {
    useFakeConverter();
    Pgn& game = addGame("round1.pgn", "1. e4 *");
    program.dir.write("temppgn/vislog.txt", "left from an earlier run");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    EXPECT_FALSE(bPgnError);
    EXPECT_EQ(pipeline.uploads.html, std::vector<std::string>{"round1.htm"});
}

TEST_F(PipelineTest, BlanksInEveryPathReachTheConverterIntact) {
    const std::string blanks = program.dir.path() + "/with blanks/";
    fs::create_directories(blanks + "temp dir");
    useFakeConverter();
    fs::rename(state.settings.spubPathVistrel, blanks + "my converter.sh");
    state.settings.spubPathVistrel = blanks + "my converter.sh";
    state.settings.spubPathVisIni = blanks + "game page.ini";
    state.tempDir = blanks + "temp dir/";
    Pgn& game = addGame("round 1.pgn", "1. d4 *");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    ASSERT_EQ(converterCalls().size(), 1u);
    EXPECT_EQ(converterCalls()[0], blanks + "temp dir/round 1.pgn|" + blanks + "game page.ini|-x");
    EXPECT_EQ(htmlPage("round 1.htm"), "1. d4 *");
}

TEST_F(PipelineTest, OverviewUsesItsIniAndPageNameAndSwitchesOffOnError) {
    useFakeConverter();
    state.settings.bIntroPage = true;
    state.settings.bPgnUpload = true;
    state.bMakingOverview = true;
    const std::string path = program.dir.write("temppgn/allgames.pgn", "1. e4 *");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, path, bPgnError, bRemove);
    EXPECT_EQ(converterCalls().back(), path + "|" + state.settings.spubPathIntroIni + "|-x");
    EXPECT_EQ(pipeline.uploads.html, std::vector<std::string>{"allgames.htm"});
    EXPECT_EQ(*pipeline.uploads.pgn, std::vector<std::string>{"allgames.pgn"});

    program.dir.write("temppgn/allgames.pgn", "1. e4 REJECT *");
    ProcessPgn(pipeline, path, bPgnError, bRemove);
    EXPECT_TRUE(bPgnError);
    EXPECT_FALSE(state.settings.bIntroPage);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_TRUE(
        logHas("Error in allgames.pgn. The message from Vistrel reads: \r\nIllegal move "
               "in allgames.pgn\r\nThe html overview page will NOT be uploaded, "));
}

TEST_F(PipelineTest, MissingConverterIsAnUnexpectedFailure) {
    state.settings.spubPathVistrel = program.dir.path() + "/no-such-converter";
    Pgn& game = addGame("round1.pgn", "1. e4 *");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    EXPECT_TRUE(state.bError);
    EXPECT_NE(ui.logText().find("\r\nError processing pgn file with Vistrel. Procedure "
                                "ProcessPgn.\r\n"),
              std::string::npos);
}

TEST_F(PipelineTest, HungConverterIsReapedWhenItEnds) {
    useFakeConverter();
    state.converterWaitMs = 200;
    Pgn& game = addGame("round1.pgn", "1. e4 HANG *");

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);
    EXPECT_TRUE(bRemove);
    EXPECT_EQ(pipeline.converters.count(), 1u);

    // The hung run sleeps two seconds; poll the way the monitor's ticks do.
    for (int i = 0; i < 50 && pipeline.converters.reap() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(pipeline.converters.count(), 0u);
    EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(PipelineTest, LeftOverConverterIsEndedAtExit) {
    const std::string pidFile = program.dir.file("converter.pid");
    useConverterScript("echo $$ > '" + pidFile + "'\nexec sleep 30\n");
    state.converterWaitMs = 200;
    Pgn& game = addGame("round1.pgn", "1. e4 *");
    {
        Pipeline shortLived(state);
        bool bPgnError = false, bRemove = false;
        ProcessPgn(shortLived, game.PathTemp, bPgnError, bRemove);
        EXPECT_EQ(shortLived.converters.count(), 1u);
    }
    const pid_t pid = std::stoi(readFile(pidFile));
    EXPECT_NE(::kill(pid, 0), 0) << "the converter still runs";
    EXPECT_EQ(zombieChildren(), 0);
}

}  // namespace
}  // namespace korvane::test
