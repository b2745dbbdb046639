// One scan over the monitor list: which games are taken in, what is converted and queued,
// how rejected edited games recover, and how missing or half-written sources are treated.

#include <filesystem>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/ProcessingCycle.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class RecordingUploader : public Uploader {
public:
    bool hasServer() const override { return server; }
    bool hasPendingRetries() const override { return pending; }
    void Upload(UploadQueue& queue) override { batches.push_back(queue); }
    bool server = true;
    bool pending = false;
    std::vector<UploadQueue> batches;
};

class CycleTest : public PipelineTest {
protected:
    CycleTest() { useFakeConverter(); }
    std::size_t runs() const { return converterCalls().size(); }
};

TEST_F(CycleTest, OnlyChangedAwakeGamesAreConvertedUnlessForced) {
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    Pgn& c = addGame("c.pgn", "1. c4 *");
    c.bSleep = true;

    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u) << "a game just added waits for its first change";
    EXPECT_EQ(ui.lastStatus(), "Idle");
    EXPECT_FALSE(pipeline.colChangedFiles) << "no backup follows a scan without changes";

    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 c5 *", 5);
    CheckPgnFiles(pipeline);
    ASSERT_EQ(runs(), 1u);
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 *");
    EXPECT_EQ(*pipeline.colChangedFiles, std::vector<std::string>{b.PathTemp});
    EXPECT_EQ(b.LastTime, fs::last_write_time(b.PathSource));

    state.bForceConversion = true;
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 3u) << "forced: both awake games, never the sleeping one";
    EXPECT_EQ(*pipeline.colChangedFiles, (std::vector<std::string>{a.PathTemp, b.PathTemp}));
    EXPECT_FALSE(fs::exists(state.settings.spubPathHtml + "c.htm"));
    EXPECT_EQ(ui.saveButtonsVisible.back(), true) << "editors get Save back after the scan";
}

TEST_F(CycleTest, QueuedPagesGoToTheUploaderOnlyWithAServer) {
    RecordingUploader uploader;
    pipeline.uploader = &uploader;
    state.settings.bPgnUpload = true;
    addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 SILENT *", 5);

    CheckPgnFiles(pipeline);
    ASSERT_EQ(uploader.batches.size(), 1u);
    EXPECT_EQ(uploader.batches[0].html, std::vector<std::string>{"a.htm"})
        << "a game that produced no page is never queued";
    EXPECT_EQ(*uploader.batches[0].pgn, std::vector<std::string>{"a.pgn"});
    EXPECT_TRUE(state.monitorList.Item("b.pgn").bSleep);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(uploader.batches.size(), 1u) << "nothing changed, nothing to send";
    uploader.pending = true;
    CheckPgnFiles(pipeline);
    ASSERT_EQ(uploader.batches.size(), 2u) << "files of a failed upload go without a change";
    EXPECT_TRUE(uploader.batches[1].html.empty());
    EXPECT_EQ(ui.lastStatus(), "Idle");

    uploader.server = false;
    writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 9);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(uploader.batches.size(), 2u);
    EXPECT_EQ(ui.lastStatus(), "Not Connected To Remote Server");
}

TEST_F(CycleTest, MissingSourceIsReportedOnceAndTakenInWhenBack) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    const auto stamped = game.LastTime;
    fs::rename(game.PathSource, boards + "moved.pgn");

    state.bForceConversion = true;
    CheckPgnFiles(pipeline);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u);
    EXPECT_EQ(game.LastTime, stamped);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_EQ(ui.logText(),
              "06.12.2026 14:30:00\r\nCouldn't access " + game.PathSource + ".\r\n\r\n");

    state.bForceConversion = false;
    writeSource("a.pgn", "1. e4 e5 *", 7);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 1u);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
}

TEST_F(CycleTest, SourceRewrittenDuringTheCopyIsRetriedNextScan) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    const auto stamped = game.LastTime;
    writeSource("a.pgn", "1. e4 e5 *", 5);
    bool rewriteOnce = true;
    pipeline.copySource = [&](ProgramState& s, const std::string& from, const std::string& to) {
        // The board software writes the next move while the copy is made.
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        if (rewriteOnce) {
            rewriteOnce = false;
            writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);
        }
        s.bError = false;
        return std::error_code();
    };

    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u);
    EXPECT_EQ(game.LastTime, stamped);
    EXPECT_FALSE(game.bSleep);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 *");
}

TEST_F(CycleTest, DeniedSourceIsRetriedNextScan) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    pipeline.copySource = [](ProgramState&, const std::string&, const std::string&) {
        return std::make_error_code(std::errc::permission_denied);
    };
    CheckPgnFiles(pipeline);
    EXPECT_TRUE(logHas("Couldn't access " + game.PathSource + "."));
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_NE(game.LastTime, fs::last_write_time(game.PathSource));
}

struct EditedCase {
    const char* name;
    const char* source;
    const char* edited;
    bool asleep;
    bool useFinalAfter;
    const char* page;  // the published page's content ("edited": the merged edited pgn)
    const char* entry;
};

class EditedRecoveryTest : public CycleTest, public ::testing::WithParamInterface<EditedCase> {};

TEST_P(EditedRecoveryTest, PublishesWhatConvertsAndKeepsTheEditedText) {
    const EditedCase& c = GetParam();
    Pgn& game = addGame("a.pgn", "1. e4 *");
    useEdited(game, c.edited);
    writeSource("a.pgn", c.source, 5);

    CheckPgnFiles(pipeline);

    EXPECT_EQ(game.bSleep, c.asleep);
    EXPECT_EQ(game.bUseFinal(), c.useFinalAfter);
    EXPECT_EQ(htmlPage("a.htm"),
              c.page == std::string("edited") ? readFile(game.PathFinal) : c.page);
    if (!c.useFinalAfter) {
        // Rejected after the merge: the edited pgn is back to its text before the merge.
        EXPECT_EQ(readFile(game.PathFinal), c.edited);
        EXPECT_TRUE(game.PgnBeforeUpdate.empty());
    }
    EXPECT_TRUE(logHas(c.entry)) << ui.logText();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditedRecoveryTest,
    ::testing::Values(
        EditedCase{"EditedConverts", "1. e4 e5 *", "1. e4 {fine} *", false, true, "edited", ""},
        EditedCase{"EditedFaultySourceSound", "1. e4 e5 *", "1. e4 {REJECT} *", false, false,
                   "1. e4 e5 *",
                   "There's a pgn error in the edited version of a.pgn. The source pgn file "
                   "has no errors, so Korvane has: \r\n1. Created an Html file based on the "
                   "source file instead.\r\n2. Disabled processing of the edited file.\r\n"
                   "Until you have repaired"},
        EditedCase{"BothFaulty", "1. e4 REJECT *", "1. e4 {REJECT} *", true, false, "",
                   "Both the source and edited version of a.pgn has errors, so the error is "
                   "probably in the new move(s) since the last update. Korvane has therefore: "
                   "\r\n1. Removed a.pgn from the monitor list.\r\n2. Removed the new move(s) "
                   "from the edited version.\r\nOnce the source file"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CycleTest, DeletedEditedPgnFallsBackToTheBareCopyAfterOneScan) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    useEdited(game, "1. e4 {note} *");
    fs::remove(game.PathFinal);

    writeSource("a.pgn", "1. e4 e5 *", 5);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u);
    EXPECT_FALSE(game.bUseFinal());
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_TRUE(logHas("The edited pgn " + game.PathFinal + " doesn't exist. Korvane will use " +
                       game.PathTemp + " instead."));

    writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 *");
    EXPECT_EQ(ui.alarms, 1);
}

TEST_F(CycleTest, FailedPageCopyOfOneGameDoesNotPutTheNextToSleep) {
    // The first game's page cannot reach the HTML directory (a directory is in its way);
    // the failure it reports must not be taken for a failure of the next, edited game.
    addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    useEdited(b, "1. d4 {note} *");
    fs::create_directories(state.settings.spubPathHtml + "a.htm/x");
    ui.answerOkByDefault();
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);

    CheckPgnFiles(pipeline);
    EXPECT_FALSE(b.bSleep);
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 {note} *");
}

}  // namespace
}  // namespace korvane::test
