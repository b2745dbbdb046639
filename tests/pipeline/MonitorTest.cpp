// The countdown's tick arithmetic, STOP/START, scan-time changes, "Go !", one cycle at a
// time, and the "Cancel Alarm" button.

#include <algorithm>

#include "PipelineFixture.h"

namespace korvane::test {
namespace {

class MonitorTest : public MonitorWindowTest {
protected:
    int scans() const {
        return static_cast<int>(
            std::count(ui.statuses.begin(), ui.statuses.end(), "Checking for updated pgn files."));
    }
    // Ticks until the next scan runs; returns the number of ticks it took (0: none in max).
    int ticksToNextScan(int max) {
        const int before = scans();
        for (int tick = 1; tick <= max; ++tick) {
            monitor.Timer1Tick();
            if (scans() > before) {
                return tick;
            }
        }
        return 0;
    }
};

TEST_F(MonitorTest, CountDownRunsToZeroAndStopStartKeepsTheElapsedSeconds) {
    monitor.cmdStartClick();
    EXPECT_EQ(ui.lastStatus(), "Seconds to next scan");
    view.countDown.clear();
    EXPECT_EQ(ticksToNextScan(10), 10);
    EXPECT_EQ(view.countDown, (Lines{"9", "8", "7", "6", "5", "4", "3", "2", "1", "0", "0", "10"}))
        << "the 10th tick shows 0, scans (0) and restarts";

    for (int i = 0; i < 4; ++i) {
        monitor.Timer1Tick();
    }
    monitor.cmdStopClick();
    EXPECT_FALSE(view.timer1);
    EXPECT_EQ(view.countDown.back(), "0");
    monitor.cmdStartClick();
    EXPECT_EQ(view.countDown.back(), "10");
    EXPECT_EQ(ticksToNextScan(20), 6);
}

// Scan times over a minute count whole seconds; 0 counts as 10. A changed scan time
// restarts the whole count, and the count always restarts after a timed scan.
TEST_F(MonitorTest, ScanTimeSetsTheTicksBetweenScans) {
    state.settings.lpubScanTime = 300;
    monitor.cmdStartClick();
    for (int i = 0; i < 180; ++i) {
        monitor.Timer1Tick();
    }
    for (const auto& [seconds, ticks] : {std::pair{90L, 90}, {61L, 61}, {120L, 120}, {0L, 10}}) {
        state.settings.lpubScanTime = seconds;
        EXPECT_EQ(ticksToNextScan(1000), ticks) << seconds;
        EXPECT_EQ(ticksToNextScan(1000), ticks) << seconds;
    }
    EXPECT_TRUE(monitor.countRunning());
}

TEST_F(MonitorTest, GoForcesOneCycleAndLeavesTheCountStopped) {
    useFakeConverter();
    addGame("a.pgn", "1. e4 *");
    monitor.cmdStartClick();
    monitor.cmdTestClick();

    EXPECT_EQ(converterCalls().size(), 1u) << "an unchanged game is converted when forced";
    EXPECT_FALSE(state.bForceConversion);
    EXPECT_FALSE(monitor.countRunning());
    EXPECT_FALSE(pipeline.colChangedFiles) << "the backup step ran and released the list";
}

TEST_F(MonitorTest, ClicksAndTicksDuringACycleDoNotStartASecond) {
    state.settings.lpubScanTime = 1;
    int nested = 0;
    ui.onProcessEvents = [&] {
        if (monitor.cycleRunning()) {
            ++nested;
            monitor.cmdTestClick();
            monitor.Timer1Tick();
        }
    };
    monitor.cmdStartClick();
    monitor.Timer1Tick();
    EXPECT_GT(nested, 0);
    EXPECT_EQ(scans(), 1);
}

TEST_F(MonitorTest, CancellingTheAlarmGivesTheButtonBackToTheLog) {
    monitor.RaiseAlarm();
    EXPECT_EQ(view.clearLog.first, "Cancel Alarm");
    monitor.cmdClearLogClick();
    EXPECT_FALSE(monitor.alarmOn());
    EXPECT_EQ(view.clearLog,
              (std::pair<std::string, std::string>{"Clear Log", "Clear Message Log"}));
}

}  // namespace
}  // namespace korvane::test
