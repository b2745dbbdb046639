// Publishing on change with the real converter and real files: the watcher's
// notifications arrive through a running Qt event loop, as in the program.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/SourceWatcher.h"
#include "support/PageText.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

constexpr int kSettleMs = 30;
const char* const kScanStatus = "Checking for updated pgn files.";

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "test_pipeline";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// A live game after `plies` half-moves of a fixed line of play.
std::string liveGame(int plies) {
    static const char* const kMoves[] = {"e4",  "e5",  "Nf3", "Nc6", "Bb5", "a6", "Ba4", "Nf6",
                                         "O-O", "Be7", "Re1", "b5",  "Bb3", "d6", "c3",  "O-O"};
    std::string text =
        "[Event \"Club\"]\r\n[White \"A\"]\r\n[Black \"B\"]\r\n[Result \"*\"]\r\n\r\n";
    for (int i = 0; i < plies; ++i) {
        if (i % 2 == 0) {
            text += std::to_string(i / 2 + 1) + ". ";
        }
        text += std::string(kMoves[i]) + " ";
    }
    return text + "*\r\n";
}

class PublishOnChangeTest : public MonitorWindowTest {
protected:
    static void SetUpTestSuite() { application(); }

    PublishOnChangeTest() {
        state.settings.spubPathVistrel = KORVANE_VISTREL;
        state.settings.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
        state.settings.bPublishOnChange = true;
        state.settings.lpubScanTime = 2;
        state.converterWaitMs = 15000;
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

    // Runs the event loop until done() holds (or a generous limit passes).
    static bool runUntil(const std::function<bool()>& done) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        poll.start(5);
        if (!done()) {
            loop.exec();
        }
        return done();
    }
    // Runs the event loop long enough for any settled change to have started its cycle.
    void runQuietly() {
        QEventLoop loop;
        QTimer::singleShot(std::max(kSettleMs, state.publishSettleMs) * 8, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }

    long cycles() const { return std::count(ui.statuses.begin(), ui.statuses.end(), kScanStatus); }
    std::string pageOf(const std::string& name) const {
        const std::string page =
            state.settings.spubPathHtml + name.substr(0, name.size() - 4) + ".htm";
        return fs::exists(page) ? readFile(page) : std::string();
    }
    bool pageShows(const std::string& name, std::size_t plies) const {
        return pliesShown(pageOf(name)) == plies;
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

TEST_F(PublishOnChangeTest, InPlaceAndRenamedSourcesEachStartOneCycleAndStayWatched) {
    const std::string one = addGame("board1.pgn", liveGame(2)).PathSource;
    const std::string two = addGame("board2.pgn", liveGame(2)).PathSource;
    monitor.cmdStartClick();
    EXPECT_TRUE(view.watched["board1.pgn"]);
    EXPECT_TRUE(view.watched["board2.pgn"]);

    writeInPlace(one, liveGame(3));
    ASSERT_TRUE(runUntil([&] { return pageShows("board1.pgn", 3); }));
    runQuietly();
    EXPECT_EQ(cycles(), 1);

    // A rename drops the plain watch: both the rename and the writes after it are seen.
    replaceByRename(two, liveGame(3));
    ASSERT_TRUE(runUntil([&] { return pageShows("board2.pgn", 3); }));
    runQuietly();
    EXPECT_EQ(cycles(), 2);
    writeInPlace(two, liveGame(4));
    ASSERT_TRUE(runUntil([&] { return pageShows("board2.pgn", 4); }));
    replaceByRename(two, liveGame(5));
    ASSERT_TRUE(runUntil([&] { return pageShows("board2.pgn", 5); }));
    runQuietly();
    EXPECT_EQ(cycles(), 4);
    EXPECT_TRUE(monitor.countRunning()) << "the countdown goes on beside the watches";
    EXPECT_EQ(ui.logText(), "");
}

// The board software writes from its own process: here a thread, every 5 ms. The settle
// time is the program's own, well above the gaps between the writes.
TEST_F(PublishOnChangeTest, AFileWrittenTenTimesQuicklyIsConvertedOnceWithItsLastContent) {
    state.publishSettleMs = kDefaultSettleMs;
    const std::string path = addGame("board1.pgn", liveGame(2)).PathSource;
    monitor.cmdStartClick();
    std::thread writer([&] {
        for (int plies = 3; plies <= 12; ++plies) {
            writeInPlace(path, liveGame(plies));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const bool published = runUntil([&] { return pageShows("board1.pgn", 12); });
    writer.join();
    ASSERT_TRUE(published);
    runQuietly();
    EXPECT_EQ(cycles(), 1);
    EXPECT_EQ(readFile(state.tempDir + "board1.pgn"), liveGame(12));
}

// While a cycle runs, a hundred boards move; they settle before it ends and one follow-up
// cycle publishes every one of them.
TEST_F(PublishOnChangeTest, ABurstDuringACycleIsPublishedByOneFollowUpCycle) {
    constexpr int kBoards = 101;
    std::vector<std::string> paths;
    for (int b = 0; b < kBoards; ++b) {
        paths.push_back(addGame("board" + std::to_string(b) + ".pgn", liveGame(2)).PathSource);
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
            replaceByRename(paths[b], liveGame(4));
        }
        runQuietly();  // they settle while the first cycle still runs
    };
    writeInPlace(paths[0], liveGame(3));
    ASSERT_TRUE(runUntil([&] { return pageShows("board100.pgn", 4); }));
    runQuietly();
    EXPECT_EQ(cycles(), 2);
    EXPECT_TRUE(pageShows("board0.pgn", 3));
    for (int b = 1; b < kBoards; ++b) {
        EXPECT_TRUE(pageShows("board" + std::to_string(b) + ".pgn", 4)) << b;
    }
}

// A source on a file system without notifications is only polled: the countdown's scans
// still publish every move, and the list says the game is not watched.
TEST_F(PublishOnChangeTest, WithoutNotificationsTheCountdownPublishesEveryMove) {
    const std::string share = program.dir.path() + "/share";
    fs::create_directories(share);
    pipeline.refuseWatch = [&](const std::string& path) { return path.starts_with(share); };
    const std::string polled = share + "/board1.pgn";
    writeInPlace(polled, liveGame(2));
    dialog.choose(share, {"board1.pgn"});
    list.cmdAddPgnClick();
    addGame("board2.pgn", liveGame(2));
    monitor.cmdStartClick();
    EXPECT_FALSE(view.watched["board1.pgn"]);
    EXPECT_TRUE(view.watched["board2.pgn"]);

    for (int plies = 3; plies <= 5; ++plies) {
        writeInPlace(polled, liveGame(plies));
        runQuietly();
        EXPECT_FALSE(pageShows("board1.pgn", plies)) << "no notification, no cycle";
        monitor.Timer1Tick();
        monitor.Timer1Tick();
        EXPECT_TRUE(pageShows("board1.pgn", plies));
    }
}

TEST_F(PublishOnChangeTest, RemovedAndSleepingGamesStartNothing) {
    const std::string one = addGame("board1.pgn", liveGame(2)).PathSource;
    const std::string two = addGame("board2.pgn", liveGame(2)).PathSource;
    view.lines = {"board1.pgn", "board2.pgn"};
    view.selected = "board2.pgn";
    list.cmdRemovePgnClick();
    view.selected = "board1.pgn";
    list.cmdSleepClick();
    monitor.cmdStartClick();
    EXPECT_FALSE(view.watched["board1.pgn"]);

    writeInPlace(two, liveGame(3));
    replaceByRename(one, liveGame(3));
    runQuietly();
    EXPECT_EQ(cycles(), 0);

    list.cmdActivateClick();
    EXPECT_TRUE(view.watched["board1.pgn"]);
    writeInPlace(one, liveGame(4));
    ASSERT_TRUE(runUntil([&] { return pageShows("board1.pgn", 4); }));
    EXPECT_EQ(cycles(), 1);
}

TEST_F(PublishOnChangeTest, SwitchedOffTheGamesAreOnlyPolledAgain) {
    const std::string one = addGame("board1.pgn", liveGame(2)).PathSource;
    monitor.cmdStartClick();
    EXPECT_TRUE(view.watched["board1.pgn"]);
    state.settings.bPublishOnChange = false;
    monitor.cmdStartClick();
    EXPECT_FALSE(view.watched["board1.pgn"]);
    writeInPlace(one, liveGame(3));
    runQuietly();
    EXPECT_EQ(cycles(), 0);
}

// A stopped count takes no change; START's first scan finds it.
TEST_F(PublishOnChangeTest, ChangesWhileStoppedWaitForTheScans) {
    const std::string one = addGame("board1.pgn", liveGame(2)).PathSource;
    monitor.cmdStartClick();
    monitor.cmdStopClick();
    writeInPlace(one, liveGame(3));
    runQuietly();
    EXPECT_EQ(cycles(), 0);
    monitor.cmdStartClick();
    monitor.Timer1Tick();
    monitor.Timer1Tick();
    EXPECT_TRUE(pageShows("board1.pgn", 3));
}

}  // namespace
}  // namespace korvane::test
