// The converter run: what each kind of outcome leaves behind (page, queue, log entry,
// alarm, game state), the argument vector, and converters that outlive their wait.

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
    bool pgnError, remove, queued;
    const char* logFragment;
};

class BareRunTest : public PipelineTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(BareRunTest, LeavesTheExpectedTraces) {
    const Outcome& o = GetParam();
    useFakeConverter();
    state.converterWaitMs = 500;
    state.settings.bPgnUpload = true;
    Pgn& game = addGame("round1.pgn", o.content);
    // A log left by an earlier run must not pass for this run's verdict.
    program.dir.write("temppgn/vislog.txt", "stale");

    bool bPgnError = true, bRemove = true;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    EXPECT_EQ(bPgnError, o.pgnError);
    EXPECT_EQ(bRemove, o.remove);
    EXPECT_EQ(game.bSleep, o.pgnError) << "a rejected bare game sleeps";
    EXPECT_FALSE(state.bError) << ui.logText();
    EXPECT_EQ(ui.alarms, o.queued ? 0 : 1);
    EXPECT_FALSE(fs::exists(state.tempDir + "round1.htm"));
    if (o.queued) {
        EXPECT_EQ(pipeline.uploads.html, std::vector<std::string>{"round1.htm"});
        EXPECT_EQ(*pipeline.uploads.pgn, std::vector<std::string>{"round1.pgn"});
        EXPECT_EQ(htmlPage("round1.htm"), o.content);
    } else {
        EXPECT_TRUE(pipeline.uploads.html.empty());
        EXPECT_FALSE(htmlExists("round1.htm"));
    }
    EXPECT_TRUE(logHas(o.logFragment)) << ui.logText();
    EXPECT_EQ(zombieChildren(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BareRunTest,
    ::testing::Values(
        Outcome{"PageWritten", "1. e4 e5 *", false, false, true, ""},
        Outcome{"LogOnly", "1. e4 REJECT *", true, false, false,
                "06.12.2026 14:30:00\r\nError in round1.pgn. The message from Vistrel reads: "
                "\r\nIllegal move in round1.pgn\r\nThe Html and Pgn files will NOT be uploaded, "
                "and the pgn file has been removed from the monitor list."},
        Outcome{"Nothing", "1. e4 SILENT *", false, true, false,
                "The html file round1.htm was not created.\r\nIf the pgn file "},
        Outcome{"Hangs", "1. e4 HANG *", false, true, false,
                "\r\nThe file has been removed from the monitor list.\r\n\r\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PipelineTest, BlanksInEveryPathReachTheConverterIntact) {
    const std::string blanks = program.dir.path() + "/with blanks/";
    fs::create_directories(blanks + "temp dir");
    useFakeConverter();
    fs::rename(state.settings.spubPathVistrel, blanks + "my converter.sh");
    state.settings.spubPathVistrel = blanks + "my converter.sh";
    state.settings.spubPathIntroIni = blanks + "over view.ini";
    state.tempDir = blanks + "temp dir/";
    const std::string path = program.dir.write("with blanks/temp dir/all games.pgn", "1. d4 *");
    state.settings.spubIntroPgn = "all games.pgn";
    state.bMakingOverview = true;

    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, path, bPgnError, bRemove);

    ASSERT_EQ(converterCalls().size(), 1u);
    EXPECT_EQ(converterCalls()[0], path + "|" + blanks + "over view.ini|-x");
    EXPECT_EQ(htmlPage("all games.htm"), "1. d4 *");
}

TEST_F(PipelineTest, LeftOverConvertersAreReapedWhenTheyEndAndEndedAtExit) {
    useFakeConverter();
    state.converterWaitMs = 200;
    Pgn& game = addGame("round1.pgn", "1. e4 HANG *");
    bool bPgnError = false, bRemove = false;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);
    EXPECT_EQ(pipeline.converters.count(), 1u);
    // The hung run sleeps two seconds; poll the way the next runs do.
    for (int i = 0; i < 50 && pipeline.converters.reap() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(pipeline.converters.count(), 0u);
    EXPECT_EQ(zombieChildren(), 0);

    const std::string pidFile = program.dir.file("converter.pid");
    useConverterScript("echo $$ > '" + pidFile + "'\nexec sleep 30\n");
    {
        Pipeline shortLived(state);
        ProcessPgn(shortLived, game.PathTemp, bPgnError, bRemove);
        EXPECT_EQ(shortLived.converters.count(), 1u);
    }
    EXPECT_NE(::kill(std::stoi(readFile(pidFile)), 0), 0) << "the converter still runs";
    EXPECT_EQ(zombieChildren(), 0);
}

}  // namespace
}  // namespace korvane::test
