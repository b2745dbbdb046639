// Publishing on change with the real converter and real files: the watcher's
// notifications arrive through a running Qt event loop, as in the program.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "EndToEndFixture.h"
#include "core/FileUtils.h"
#include "pipeline/SourceWatcher.h"

namespace korvane::test {
namespace {

constexpr int kSettleMs = 30;

class PublishOnChangeTest : public EndToEndTest {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_pipeline";
        static char* argv[] = {name, nullptr};
        [[maybe_unused]] static auto* app = new QCoreApplication(argc, argv);
    }

    PublishOnChangeTest() {
        state.settings.bPublishOnChange = true;
        state.publishSettleMs = kSettleMs;
        // Events run at the cycle's own points, as the window's event loop does.
        ui.onProcessEvents = [this] {
            QCoreApplication::processEvents();
            if (duringCycle) {
                duringCycle();
            }
        };
    }
    ~PublishOnChangeTest() override { ui.onProcessEvents = nullptr; }

    // Lets events run until done() holds or `ms` have passed; returns done().
    static bool runUntil(const std::function<bool()>& done, qint64 ms = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return done();
    }
    // Lets events run long enough for any settled change to have started its cycle.
    void runQuietly() {
        runUntil([] { return false; }, std::max(kSettleMs, state.publishSettleMs) * 8);
    }

    std::string live(std::size_t plies) const { return liveText(games[0], plies); }
    bool pageShows(const std::string& name, std::size_t plies) const {
        return pliesShown(htmlPage(name.substr(0, name.size() - 4) + ".htm")) == plies;
    }
    bool waitForPage(const std::string& name, std::size_t plies) {
        return runUntil([&] { return pageShows(name, plies); });
    }
    // The board software's write: in place, or a temporary file renamed over the source.
    static void writeInPlace(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    void replaceByRename(const std::string& path, const std::string& text) {
        writeInPlace(path + ".tmp", text);
        fs::rename(path + ".tmp", path);
    }

    std::function<void()> duringCycle;
};

// Each settled change, in place or by rename, starts one cycle. The settle time is the
// program's own, well above the gaps between the quick writes below.
TEST_F(PublishOnChangeTest, InPlaceAndRenamedSourcesEachStartOneCycleAndStayWatched) {
    state.publishSettleMs = kDefaultSettleMs;
    const std::string one = addGame("board1.pgn", live(2)).PathSource;
    const std::string two = addGame("board2.pgn", live(2)).PathSource;
    monitor.cmdStartClick();
    EXPECT_TRUE(view.watched["board1.pgn"]);
    EXPECT_TRUE(view.watched["board2.pgn"]);

    // The board software writes from its own process (here a thread), ten times quickly.
    std::thread writer([&] {
        for (std::size_t plies = 3; plies <= 12; ++plies) {
            writeInPlace(one, live(plies));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const bool published = waitForPage("board1.pgn", 12);
    writer.join();
    ASSERT_TRUE(published);
    runQuietly();
    EXPECT_EQ(scans(), 1) << "converted once, with the last content";
    EXPECT_EQ(readFile(state.tempDir + "board1.pgn"), live(12));

    // A rename drops the plain watch: both the rename and the writes after it are seen.
    replaceByRename(two, live(3));
    ASSERT_TRUE(waitForPage("board2.pgn", 3));
    runQuietly();
    EXPECT_EQ(scans(), 2);
    writeInPlace(two, live(4));
    ASSERT_TRUE(waitForPage("board2.pgn", 4));
    replaceByRename(two, live(5));
    ASSERT_TRUE(waitForPage("board2.pgn", 5));
    runQuietly();
    EXPECT_EQ(scans(), 4);
    EXPECT_TRUE(monitor.countRunning()) << "the countdown goes on beside the watches";
    EXPECT_EQ(ui.logText(), "");
}

// While a cycle runs, a hundred boards move; they settle before it ends and one follow-up
// cycle publishes every one of them.
TEST_F(PublishOnChangeTest, ABurstDuringACycleIsPublishedByOneFollowUpCycle) {
    constexpr int kBoards = 101;
    std::vector<std::string> paths;
    for (int b = 0; b < kBoards; ++b) {
        paths.push_back(addGame("board" + std::to_string(b) + ".pgn", live(2)).PathSource);
    }
    monitor.cmdStartClick();
    bool burstWritten = false;
    // The burst comes once the first cycle has published board 0, after its intake.
    duringCycle = [&] {
        if (burstWritten || !pageShows("board0.pgn", 3)) {
            return;
        }
        burstWritten = true;
        for (int b = 1; b < kBoards; ++b) {
            replaceByRename(paths[b], live(4));
        }
        runQuietly();  // they settle while the first cycle still runs
    };
    writeInPlace(paths[0], live(3));
    ASSERT_TRUE(waitForPage("board100.pgn", 4));
    runQuietly();
    EXPECT_EQ(scans(), 2);
    EXPECT_TRUE(pageShows("board0.pgn", 3));
    for (int b = 1; b < kBoards; ++b) {
        EXPECT_TRUE(pageShows("board" + std::to_string(b) + ".pgn", 4)) << b;
    }
}

// Only the awake, watched games on the list of a running count start cycles, and only while
// the setting is on; the others, and changes made meanwhile, wait for the countdown's scans.
TEST_F(PublishOnChangeTest, WatchesFollowTheListTheCountAndTheSetting) {
    const std::string one = addGame("board1.pgn", live(2)).PathSource;
    const std::string two = addGame("board2.pgn", live(2)).PathSource;
    // A source on a file system without notifications is only polled.
    const std::string share = program.dir.path() + "/share";
    pipeline.refuseWatch = [&](const std::string& path) { return path.starts_with(share); };
    const std::string polled = program.dir.write("share/board3.pgn", live(2));
    dialog.choose(share, {"board3.pgn"});
    list.cmdAddPgnClick();
    select("board2.pgn");
    list.cmdRemovePgnClick();
    select("board1.pgn");
    list.cmdSleepClick();
    monitor.cmdStartClick();
    EXPECT_FALSE(view.watched["board1.pgn"]);
    EXPECT_FALSE(view.watched["board3.pgn"]);
    writeInPlace(two, live(3));
    replaceByRename(one, live(3));
    writeInPlace(polled, live(3));
    runQuietly();
    EXPECT_EQ(scans(), 0) << "removed, sleeping and unwatched games start nothing";
    scanInterval();
    EXPECT_TRUE(pageShows("board3.pgn", 3)) << "the countdown's scan publishes the polled game";

    list.cmdActivateClick();
    EXPECT_TRUE(view.watched["board1.pgn"]);
    writeInPlace(one, live(4));
    ASSERT_TRUE(waitForPage("board1.pgn", 4));
    EXPECT_EQ(scans(), 2);

    monitor.cmdStopClick();
    writeInPlace(one, live(5));
    runQuietly();
    EXPECT_EQ(scans(), 2) << "a stopped count takes no change";
    monitor.cmdStartClick();
    scanInterval();
    EXPECT_TRUE(pageShows("board1.pgn", 5)) << "the first scan after START finds it";

    state.settings.bPublishOnChange = false;
    monitor.cmdStartClick();
    EXPECT_FALSE(view.watched["board1.pgn"]);
    writeInPlace(one, live(6));
    runQuietly();
    EXPECT_FALSE(pageShows("board1.pgn", 6)) << "switched off, the games are only polled";
}

}  // namespace
}  // namespace korvane::test
