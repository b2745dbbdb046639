// The converter run: what each kind of outcome leaves behind (page, queue, log entry,
// alarm, game state), the argument vector, runs made at once, and converters that outlive
// their wait.

#include <filesystem>
#include <fstream>
#include <thread>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/ProcessingCycle.h"

namespace korvane::test {
namespace {

// What the fake converter meets, and a fragment of the entry it leaves (none: the page).
struct Outcome {
    const char* name;
    const char* content;
    const char* entry;
};

class BareRunTest : public PipelineTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(BareRunTest, LeavesTheExpectedTraces) {
    const Outcome& o = GetParam();
    const bool published = *o.entry == '\0';
    const bool rejected = std::string(o.content).find("REJECT") != std::string::npos;
    useFakeConverter();
    state.converterWaitMs = 500;
    state.settings.bPgnUpload = true;
    Pgn& game = addGame("round1.pgn", o.content);

    bool bPgnError = true, bRemove = true;
    ProcessPgn(pipeline, game.PathTemp, bPgnError, bRemove);

    EXPECT_EQ(bPgnError, rejected);
    EXPECT_EQ(bRemove, !published && !rejected);
    EXPECT_EQ(game.bSleep, rejected) << "a rejected bare game sleeps";
    EXPECT_FALSE(state.bError) << ui.logText();
    EXPECT_EQ(ui.alarms, published ? 0 : 1);
    EXPECT_FALSE(fs::exists(state.tempDir + "round1.htm"));
    EXPECT_EQ(htmlExists("round1.htm"), published);
    EXPECT_EQ(pipeline.uploads.html, published ? Lines{"round1.htm"} : Lines{});
    if (published) {
        EXPECT_EQ(*pipeline.uploads.pgn, Lines{"round1.pgn"});
        EXPECT_EQ(htmlPage("round1.htm"), o.content);
    }
    EXPECT_TRUE(logHas(o.entry)) << ui.logText();
    if (!published && !rejected) {
        // One entry that says what happened, between the sentences the operator knows.
        EXPECT_TRUE(ui.logText().starts_with(
            "06.12.2026 14:30:00\r\nThe html file round1.htm was not created.\r\n"))
            << ui.logText();
        EXPECT_TRUE(logHas(".\r\nThe file has been removed from the monitor list.\r\n\r\n"));
        EXPECT_FALSE(logHas("MS-DOS"));
    }
    EXPECT_EQ(zombieChildren(), 0);
}

constexpr const char* kNotHtml = "that is not complete HTML, so it has not been published.";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BareRunTest,
    ::testing::Values(
        Outcome{"PageWritten", "1. e4 e5 *", ""},
        Outcome{"LogOnly", "1. e4 REJECT *",
                "06.12.2026 14:30:00\r\nError in round1.pgn. The message from Vistrel reads: "
                "\r\nIllegal move in round1.pgn\r\nThe Html and Pgn files will NOT be uploaded, "
                "and the pgn file has been removed from the monitor list."},
        Outcome{"Nothing", "1. e4 SILENT *",
                "Vistrel ended without writing the page or a message for "},
        Outcome{"Hangs", "1. e4 HANG *", "after 1 second and has been stopped."},
        Outcome{"Crashes", "1. e4 CRASH *", "Vistrel crashed while converting "},
        Outcome{"ExitsWithoutLog", "1. e4 EXITCODE *",
                "Vistrel ended with exit code 3 while converting "},
        Outcome{"WritesGarbage", "1. e4 GARBAGE *", kNotHtml},
        Outcome{"WritesHalfAPage", "1. e4 HALFPAGE *", kNotHtml},
        Outcome{"WritesAnEmptyPage", "1. e4 EMPTYPAGE *", "Vistrel wrote an empty page for "}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CompleteHtml, NeedsItsStartAndItsEnd) {
    EXPECT_TRUE(IsCompleteHtml("<!DOCTYPE html>\n<html lang=\"en\">\n<body></body>\n</html>\n"));
    EXPECT_TRUE(IsCompleteHtml("\xEF\xBB\xBF  <HTML><body>x</body></HTML>  \r\n"));
    EXPECT_FALSE(IsCompleteHtml("1. e4 e5 *\n</html>"));
}

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
    const std::string call = converterCalls()[0];
    // Each run converts a copy in a directory of its own, made in the temporary directory.
    EXPECT_EQ(call.rfind(state.tempDir, 0), 0u) << call;
    EXPECT_NE(call.find("/all games.pgn|" + blanks + "over view.ini|-x"), std::string::npos)
        << call;
    EXPECT_EQ(htmlPage("all games.htm"), "1. d4 *");
    EXPECT_EQ(std::distance(fs::directory_iterator(state.tempDir), fs::directory_iterator()), 1)
        << "the run's directory is gone";
}

// Whether a process is still running (a zombie left to init counts as ended).
bool running(const std::string& pidFile) {
    std::ifstream stat("/proc/" + std::to_string(std::atoi(readFile(pidFile).c_str())) + "/stat");
    std::string line;
    return std::getline(stat, line) && line.substr(line.rfind(')') + 2, 1) != "Z";
}

TEST_F(PipelineTest, HungConvertersAreKilledWithWhatTheyStartedWithinOneWait) {
    state.converterWaitMs = 300;
    pipeline.converterParallel = 3;
    const std::string dir = program.dir.path() + "/";
    // Each run starts a helper of its own and waits for it, as a converter stuck on a
    // locked file might.
    useConverterScript("cd '" + dir +
                       "'; n=$(basename \"$1\" .pgn); sleep 30 & echo $! > $n.child; "
                       "echo $$ > $n.pid; wait\n");
    for (const char* name : {"a.pgn", "b.pgn", "c.pgn"}) {
        addGame(name, "1. e4 *");
        writeSource(name, "1. e4 e5 *", 5);
    }

    CheckPgnFiles(pipeline);

    for (const char* name : {"a", "b", "c"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(state.monitorList.Item(std::string(name) + ".pgn").bSleep);
        EXPECT_FALSE(running(dir + name + ".pid")) << "the converter";
        // The helper was killed with the converter; on a busy machine its end may take a
        // moment after the converter has been collected.
        for (int i = 0; i < 100 && running(dir + name + ".child"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_FALSE(running(dir + name + ".child")) << "what the converter started";
    }
    EXPECT_EQ(zombieChildren(), 0);
    EXPECT_EQ(ui.alarms, 3);
}

class RunsAtOnceTest : public PipelineTest, public ::testing::WithParamInterface<int> {};

TEST_P(RunsAtOnceTest, ChangedGamesAreConvertedAtOnce) {
    // Each converter waits until all four have started: made one after the other, every
    // run would wait in vain until it is stopped. With fewer places than runs, a run that
    // goes on for long leaves its place to the next.
    const std::string started = program.dir.path() + "/started";
    state.converterWaitMs = 10000;
    pipeline.converterParallel = GetParam();
    useConverterScript("echo x >> '" + started + "'; while [ $(wc -l < '" + started +
                       "') -lt 4 ]; do sleep 0.02; done; { printf '<html><body>'; cat \"$1\"; "
                       "printf '</body></html>'; } > \"${1%????}.htm\"\n");
    for (const char* name : {"a.pgn", "b.pgn", "c.pgn", "d.pgn"}) {
        addGame(name, "1. e4 *");
        writeSource(name, std::string("1. e4 e5 {") + name + "} *", 5);
    }

    CheckPgnFiles(pipeline);

    for (const char* name : {"a", "b", "c", "d"}) {
        EXPECT_EQ(htmlPage(std::string(name) + ".htm"),
                  std::string("1. e4 e5 {") + name + ".pgn} *");
    }
    EXPECT_EQ(ui.logText(), "");
}

INSTANTIATE_TEST_SUITE_P(Places, RunsAtOnceTest, ::testing::Values(4, 1),
                         [](const auto& p) { return "Places" + std::to_string(p.param); });

}  // namespace
}  // namespace korvane::test
