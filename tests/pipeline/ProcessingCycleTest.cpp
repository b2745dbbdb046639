// One scan over the monitor list: which games are taken in, what is converted and queued,
// how rejected edited games recover, and how missing or half-written sources are treated.

#include <algorithm>
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
    EXPECT_FALSE(htmlExists("c.htm"));
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
    pipeline.readSource = [&](const std::string& from, std::string& bytes) {
        // The board software writes the next move while the copy is made.
        bytes = readFile(from);
        if (rewriteOnce) {
            rewriteOnce = false;
            writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);
        }
        return std::error_code();
    };

    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u);
    EXPECT_EQ(game.LastTime, stamped);
    EXPECT_FALSE(game.bSleep);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 *");
}

// A copy taken between two writes of the board software looks unchanged around the copy,
// and the converter rejects it. It must cost one scan, not the game.
TEST_F(CycleTest, HalfWrittenSourceIsTakenInAgainWithoutAWord) {
    state.settings.bIntroPage = true;
    Pgn& game = addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    writeSource("b.pgn", "1. d4 d5 *", 4);
    CheckPgnFiles(pipeline);
    const std::string overviewBefore = readFile(state.tempDir + "allgames.pgn");

    writeSource("a.pgn", "1. e4 e5 2. REJECT", 5);  // the first half of the next write
    writeSource("b.pgn", "1. d4 d5 2. c4 *", 5);
    CheckPgnFiles(pipeline);
    EXPECT_FALSE(game.bSleep);
    EXPECT_EQ(ui.alarms, 0);
    EXPECT_EQ(ui.logText(), "");
    EXPECT_EQ(htmlPage("a.htm"), "") << "nothing of the torn copy is published";
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 *") << "the temporary copy keeps the last good one";
    EXPECT_TRUE(state.settings.bIntroPage);
    const std::string overview = readFile(state.tempDir + "allgames.pgn");
    EXPECT_EQ(overview.find("REJECT"), std::string::npos);
    EXPECT_NE(overview, overviewBefore) << "the other game's move is in it";

    writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);  // the write completed
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 *");
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 e5 2. Nf3 *");
    EXPECT_NE(readFile(state.tempDir + "allgames.pgn").find("Nf3"), std::string::npos);
    EXPECT_EQ(ui.logText(), "");
}

TEST_F(CycleTest, SourceWithoutAResultIsPublishedOnceItStaysSo) {
    addGame("a.pgn", "1. e4 *");
    writeSource("a.pgn", "1. e4 e5", 5);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u) << "held back: the board software may still be writing";
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5");
    EXPECT_EQ(ui.logText(), "");
}

TEST_F(CycleTest, SourceRejectedAgainUnchangedPutsTheGameToSleep) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    writeSource("a.pgn", "1. e4 REJECT *", 5);
    CheckPgnFiles(pipeline);
    EXPECT_FALSE(game.bSleep);
    EXPECT_EQ(ui.alarms, 0);

    CheckPgnFiles(pipeline);  // the file has not changed since
    EXPECT_TRUE(game.bSleep);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_TRUE(logHas("Error in a.pgn. The message from Vistrel reads: "));
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 *");
}

TEST_F(CycleTest, EditedGameOnAHalfWrittenSourceKeepsItsEditAndGoesOn) {
    Pgn& game = addGame("a.pgn", "1. e4 e5 *");
    const std::string edited = "[Event \"E\"]\r\n\r\n1. e4 {note} e5\r\n*\r\n";
    useEdited(game, edited);
    // Written in place over a longer text: it ends as a game ends, yet it is torn.
    writeSource("a.pgn", "[Event \"E\"]\r\n\r\n1. e4 e5 2. Nf3 REJECT 1-0", 5);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(readFile(game.PathFinal), edited);
    EXPECT_TRUE(game.bUseFinal());
    EXPECT_FALSE(game.bSleep);
    EXPECT_EQ(ui.alarms, 0);
    EXPECT_EQ(ui.logText(), "");

    writeSource("a.pgn", "[Event \"E\"]\r\n\r\n1. e4 e5 2. Nf3 *\r\n", 6);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "[Event \"E\"]\r\n\r\n1. e4 {note} e5 2. Nf3 *\r\n");
    EXPECT_EQ(ui.logText(), "");
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

TEST_F(CycleTest, StatusLineSaysWhichChangedGameOfHowManyIsConverted) {
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    useEdited(b, "1. d4 {note} *");
    Pgn& c = addGame("c.pgn", "1. c4 *");
    addGame("d.pgn", "1. f4 *");  // unchanged: not counted
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 c5 *", 5);
    const auto converting = [&] {
        Lines shown;
        std::copy_if(ui.statuses.begin(), ui.statuses.end(), std::back_inserter(shown),
                     [](const std::string& s) {
                         return s.find("Vistrel is processing") != std::string::npos;
                     });
        ui.statuses.clear();
        return shown;
    };

    CheckPgnFiles(pipeline);
    // Each run's text appears as it starts; an edited game's two runs are one game.
    EXPECT_EQ(converting(), (Lines{"Game 1 of 3: Vistrel is processing " + a.PathTemp,
                                   "Game 2 of 3: Vistrel is processing " + b.PathTemp,
                                   "Game 2 of 3: Vistrel is processing " + b.PathFinal,
                                   "Game 3 of 3: Vistrel is processing " + c.PathTemp}));

    writeSource("c.pgn", "1. c4 c5 2. Nc3 *", 6);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(converting(), Lines{"Vistrel is processing " + c.PathTemp});
}

TEST_F(CycleTest, TemporaryCopyThatCannotBeWrittenIsRetriedNextScan) {
    // Something stands in the way of the temporary copy: the page goes out, and the copy
    // is taken in again until it can be kept, with one entry that says why.
    Pgn& game = addGame("a.pgn", "1. e4 *");
    fs::remove(game.PathTemp);
    fs::create_directories(game.PathTemp + "/x");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
    EXPECT_FALSE(game.LastTime);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_EQ(ui.logText(), "06.12.2026 14:30:00Error copying " + game.PathSource + " to " +
                                game.PathTemp + ": Is a directory\r\n\r\n");

    fs::remove_all(game.PathTemp);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 e5 *");
    EXPECT_TRUE(logHas("Copying and saving work again in " +
                       state.tempDir.substr(0, state.tempDir.size() - 1) + "."));
    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.lastStatus(), "Idle");
}

TEST_F(CycleTest, UnpublishedGameIsConvertedAgainWithoutANewMove) {
    // The last move of a game must reach the page even when no further move follows:
    // a's page cannot reach the HTML directory, b's converter hangs on a locked file.
    addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    const std::string locked = program.dir.file("locked");
    program.dir.write("locked", "");
    useConverterScript("if [ -e '" + locked +
                       "' ] && grep -q d4 \"$1\"; then sleep 2; exit 0; fi\n" +
                       "{ printf '<html><body>'; cat \"$1\"; printf '</body></html>'; } > "
                       "\"${1%????}.htm\"\n");
    state.converterWaitMs = 300;
    fs::create_directories(state.settings.spubPathHtml + "a.htm/x");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);
    CheckPgnFiles(pipeline);
    ASSERT_TRUE(b.bSleep);

    fs::remove_all(state.settings.spubPathHtml + "a.htm");
    fs::remove(locked);
    b.bSleep = false;  // the operator activates it
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 *");
    EXPECT_EQ(b.LastTime, fs::last_write_time(b.PathSource));

    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.lastStatus(), "Idle") << "once published, a game waits for its next move";
}

enum class Moment { AfterItsCopy, BeforeItsEditedRun, AfterItsEditedRun };

struct RemovalPoint {
    const char* name;
    Moment moment;  // when, during the scan, the operator removes game b
};

class RemovalDuringScanTest : public CycleTest, public ::testing::WithParamInterface<RemovalPoint> {
protected:
    bool isMoment(Moment moment) const {
        const auto& s = ui.statuses;
        const bool editedRunStarted = std::any_of(s.begin(), s.end(), [](const std::string& t) {
            return t.find("Vistrel is processing") != std::string::npos;
        });
        switch (moment) {
            case Moment::AfterItsCopy:
                return ui.lastStatus() == "Checking for updated pgn files." &&
                       state.monitorList.Contains("b.pgn") &&
                       state.monitorList.Item("b.pgn").LastTime ==
                           fs::last_write_time(boards + "b.pgn");
            case Moment::BeforeItsEditedRun:
                return ui.lastStatus().find("Vistrel is processing") != std::string::npos;
            case Moment::AfterItsEditedRun:
                return editedRunStarted && ui.lastStatus() == "Checking and copying HTML files";
        }
        return false;
    }
};

// The scan lets events run between its steps, and the operator's "Remove" may come then.
// The scan must go on with the other games without touching the removed record (under the
// address sanitizer a freed record shows as a fault here).
TEST_P(RemovalDuringScanTest, LeavesTheOtherGamesPublished) {
    ui.answerOkByDefault();
    addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    useEdited(b, "1. d4 {REJECT} *");  // its rejection leads the scan through its record
    addGame("c.pgn", "1. c4 *");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 c5 *", 5);
    bool removed = false;
    ui.onProcessEvents = [&] {
        if (!removed && isMoment(GetParam().moment)) {
            removed = true;
            state.monitorList.Remove("b.pgn");
        }
    };

    CheckPgnFiles(pipeline);
    EXPECT_TRUE(removed);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
    EXPECT_EQ(htmlPage("c.htm"), "1. c4 c5 *");
}

INSTANTIATE_TEST_SUITE_P(
    Moments, RemovalDuringScanTest,
    ::testing::Values(RemovalPoint{"AfterItsCopy", Moment::AfterItsCopy},
                      RemovalPoint{"BeforeItsEditedRun", Moment::BeforeItsEditedRun},
                      RemovalPoint{"AfterItsEditedRun", Moment::AfterItsEditedRun}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvane::test
