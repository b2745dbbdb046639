// One scan over the monitor list: which games are taken in, what is converted and queued,
// how rejected edited games recover, and how missing or half-written sources are treated.

#include <algorithm>
#include <filesystem>
#include <utility>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/ProcessingCycle.h"

namespace korvane::test {
namespace {

class RecordingUploader : public Uploader {
public:
    bool hasServer() const override { return server; }
    void Upload(UploadQueue& queue) override { batches.push_back(queue); }
    bool server = true;
    std::vector<UploadQueue> batches;
};

class CycleTest : public PipelineTest {
protected:
    CycleTest() { useFakeConverter(); }
    std::size_t runs() const { return converterCalls().size(); }
};

TEST_F(CycleTest, OnlyChangedAwakeGamesAreConvertedAndSentUnlessForced) {
    RecordingUploader uploader;
    pipeline.uploader = &uploader;
    state.settings.bPgnUpload = true;
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    Pgn& c = addGame("c.pgn", "1. c4 *");
    c.bSleep = true;

    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u) << "a game just added waits for its first change";
    EXPECT_EQ(ui.lastStatus(), "Idle");
    EXPECT_FALSE(pipeline.colChangedFiles) << "no backup follows a scan without changes";
    EXPECT_TRUE(uploader.batches.empty()) << "nothing changed, nothing to send";

    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 c5 *", 5);
    CheckPgnFiles(pipeline);
    ASSERT_EQ(runs(), 1u);
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 *");
    EXPECT_NE(
        std::find(ui.statuses.begin(), ui.statuses.end(), "Vistrel is processing " + b.PathTemp),
        ui.statuses.end())
        << "one changed game: no count";
    EXPECT_EQ(*pipeline.colChangedFiles, Lines{b.PathTemp});
    EXPECT_EQ(b.LastTime, fs::last_write_time(b.PathSource));
    ASSERT_EQ(uploader.batches.size(), 1u);
    EXPECT_EQ(uploader.batches[0].html, Lines{"b.htm"});
    EXPECT_EQ(*uploader.batches[0].pgn, Lines{"b.pgn"});

    state.bForceConversion = true;
    uploader.server = false;
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 3u) << "forced: both awake games, never the sleeping one";
    EXPECT_EQ(*pipeline.colChangedFiles, (Lines{a.PathTemp, b.PathTemp}));
    EXPECT_FALSE(htmlExists("c.htm"));
    EXPECT_EQ(ui.saveButtonsVisible.back(), true) << "editors get Save back after the scan";
    EXPECT_EQ(uploader.batches.size(), 1u);
    EXPECT_EQ(ui.lastStatus(), "Not Connected To Remote Server");
}

TEST_F(CycleTest, SourceRewrittenDuringTheCopyOrMissingIsTakenInOnceItIsSound) {
    Pgn& game = addGame("a.pgn", "1. e4 *");
    const auto stamped = game.LastTime;
    writeSource("a.pgn", "1. e4 e5 *", 5);
    const SourceReader read = pipeline.readSource;
    bool rewriteOnce = true;
    pipeline.readSource = [&](const std::string& from, std::string& bytes) {
        const std::error_code error = read(from, bytes);
        if (std::exchange(rewriteOnce, false)) {
            writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);  // the next move, while copying
        }
        return error;
    };
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 0u);
    EXPECT_EQ(game.LastTime, stamped);
    EXPECT_FALSE(game.bSleep);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 *");

    // A source that is gone is reported once, forced or not, and taken in when it is back.
    const auto published = game.LastTime;
    fs::rename(game.PathSource, boards + "moved.pgn");
    state.bForceConversion = true;
    CheckPgnFiles(pipeline);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(runs(), 1u);
    EXPECT_EQ(game.LastTime, published);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_EQ(ui.logText(),
              "06.12.2026 14:30:00\r\nCouldn't access " + game.PathSource + ".\r\n\r\n");
    state.bForceConversion = false;
    writeSource("a.pgn", "1. e4 e5 2. Nf3 Nc6 *", 7);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 Nc6 *");
}

// A copy taken between two writes of the board software looks unchanged around the copy:
// the converter rejects it, or it does not end as a game ends. It must cost one scan, not
// the game nor the operator's edited copy, and none of it is published.
TEST_F(CycleTest, HalfWrittenSourceIsTakenInAgainWithoutAWord) {
    state.settings.bIntroPage = true;
    Pgn& game = addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    Pgn& edited = addGame("c.pgn", "1. e4 e5 *");
    const std::string note = "[Event \"E\"]\r\n\r\n1. e4 {note} e5\r\n*\r\n";
    useEdited(edited, note);
    writeSource("b.pgn", "1. d4 d5 *", 4);
    CheckPgnFiles(pipeline);
    const std::string overviewBefore = readFile(state.tempDir + "allgames.pgn");

    writeSource("a.pgn", "1. e4 e5 2. REJECT", 5);  // the first half of the next write
    writeSource("b.pgn", "1. d4 d5 2. c4 *", 5);
    // Written in place over a longer text: it ends as a game ends, yet it is torn.
    writeSource("c.pgn", "[Event \"E\"]\r\n\r\n1. e4 e5 2. Nf3 REJECT 1-0", 5);
    CheckPgnFiles(pipeline);
    EXPECT_FALSE(game.bSleep || edited.bSleep);
    EXPECT_EQ(ui.alarms, 0);
    EXPECT_EQ(htmlPage("a.htm"), "");
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 *") << "the temporary copy keeps the last good one";
    EXPECT_EQ(readFile(edited.PathFinal), note);
    EXPECT_TRUE(edited.bUseFinal());
    EXPECT_TRUE(state.settings.bIntroPage);
    const std::string overview = readFile(state.tempDir + "allgames.pgn");
    EXPECT_EQ(overview.find("REJECT"), std::string::npos);
    EXPECT_NE(overview, overviewBefore) << "the other game's move is in it";

    writeSource("a.pgn", "1. e4 e5 2. Nf3", 6);  // no result yet: the board may still write
    writeSource("c.pgn", "[Event \"E\"]\r\n\r\n1. e4 e5 2. Nf3 *\r\n", 6);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "");
    EXPECT_EQ(htmlPage("c.htm"), "[Event \"E\"]\r\n\r\n1. e4 {note} e5 2. Nf3 *\r\n");
    CheckPgnFiles(pipeline);  // it stays so: taken as it is
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3");
    EXPECT_EQ(readFile(game.PathTemp), "1. e4 e5 2. Nf3");
    EXPECT_NE(readFile(state.tempDir + "allgames.pgn").find("Nf3"), std::string::npos);
    EXPECT_EQ(ui.logText(), "");
}

// A page that cannot reach the HTML directory (a directory is in its way) or a converter
// stuck on a locked file costs neither the next game nor the move: once the way is free,
// the next scan converts the game again without a new move.
TEST_F(CycleTest, UnpublishedGamesAreConvertedAgainWithoutANewMove) {
    ui.answerOkByDefault();
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    useEdited(b, "1. d4 {note} *");
    Pgn& c = addGame("c.pgn", "1. c4 *");
    addGame("d.pgn", "1. f4 *");  // unchanged
    const std::string lock = program.dir.write("converter.sh.locked", "");
    state.converterWaitMs = 300;
    fs::create_directories(state.settings.spubPathHtml + "a.htm/x");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 LOCKED *", 5);
    CheckPgnFiles(pipeline);
    // The status line shows each run as it starts, led by its game's place among the
    // changed games; an edited game's two runs are one game.
    Lines shown;
    std::copy_if(ui.statuses.begin(), ui.statuses.end(), std::back_inserter(shown),
                 [](const std::string& status) { return status.starts_with("Game "); });
    EXPECT_EQ(shown, (Lines{"Game 1 of 3: Vistrel is processing " + a.PathTemp,
                            "Game 2 of 3: Vistrel is processing " + b.PathTemp,
                            "Game 2 of 3: Vistrel is processing " + b.PathFinal,
                            "Game 3 of 3: Vistrel is processing " + c.PathTemp}));
    EXPECT_FALSE(b.bSleep) << "a's failed copy is not taken for the edited game's";
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 {note} *");
    ASSERT_TRUE(c.bSleep);

    fs::remove_all(state.settings.spubPathHtml + "a.htm");
    fs::remove(lock);
    c.bSleep = false;  // the operator activates it
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
    EXPECT_EQ(htmlPage("c.htm"), "1. c4 LOCKED *");
    EXPECT_EQ(c.LastTime, fs::last_write_time(c.PathSource));
    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.lastStatus(), "Idle") << "once published, a game waits for its next move";
}

// Something stands in the way of the temporary copy: the page goes out, and the copy is
// taken in again until it can be kept, with one entry that says why.
TEST_F(CycleTest, TemporaryCopyThatCannotBeWrittenIsRetriedNextScan) {
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

class RemovalDuringScanTest : public CycleTest, public ::testing::WithParamInterface<int> {};

// The scan lets events run between its steps, and the operator's "Remove" may come at any
// of them. The scan must go on with the other games without touching the removed record
// (under the address sanitizer a freed record shows as a fault here); game b's rejected
// edited copy leads the scan through its record.
TEST_P(RemovalDuringScanTest, LeavesTheOtherGamesPublished) {
    ui.answerOkByDefault();
    addGame("a.pgn", "1. e4 *");
    useEdited(addGame("b.pgn", "1. d4 *"), "1. d4 {REJECT} *");
    addGame("c.pgn", "1. c4 *");
    writeSource("a.pgn", "1. e4 e5 *", 5);
    writeSource("b.pgn", "1. d4 d5 *", 5);
    writeSource("c.pgn", "1. c4 c5 *", 5);
    int pumps = 0;
    ui.onProcessEvents = [&] {
        if (++pumps == GetParam()) {
            state.monitorList.Remove("b.pgn");
        }
    };

    CheckPgnFiles(pipeline);
    ASSERT_GE(pumps, GetParam()) << "the scan let events run less often";
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 *");
    EXPECT_EQ(htmlPage("c.htm"), "1. c4 c5 *");
}

// From before b's copy through its edited run to the pages' copying.
INSTANTIATE_TEST_SUITE_P(AtEventPump, RemovalDuringScanTest, ::testing::Range(1, 12));

}  // namespace
}  // namespace korvane::test
