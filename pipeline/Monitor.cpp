#include "pipeline/Monitor.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/MessageLog.h"
#include "core/ProjectFile.h"
#include "pipeline/Backups.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Pipeline.h"
#include "pipeline/ProcessingCycle.h"
#include "pipeline/SourceWatcher.h"

namespace korvane {

namespace {

// A scan time of 0 (a settings file without the line) would never reach its target.
constexpr long kFallbackScanTime = 10;
// The alarm blink count wraps back to this value when it reaches kBlinkWrap.
constexpr long kBlinkWrap = 60;
constexpr long kBlinkRestart = 2;

}  // namespace

Monitor::Monitor(Pipeline& pipeline, MonitorView& view) : m_pipeline(pipeline), m_view(view) {}

Monitor::~Monitor() = default;

void Monitor::Load() {
    m_timer1On = false;
    m_view.setTimer1Enabled(false);
    for (MonitorButton button : {MonitorButton::cmdActivate, MonitorButton::cmdRemovePgn,
                                 MonitorButton::cmdSleep, MonitorButton::cmdViewInfo}) {
        m_view.setButtonEnabled(button, false);
    }
}

long Monitor::scanTime() const {
    const long seconds = m_pipeline.state.settings.lpubScanTime;
    return seconds > 0 ? seconds : kFallbackScanTime;
}

void Monitor::Timer1Tick() {
    try {
        const long scan = scanTime();
        if (scan != m_countScanTime) {
            // A new scan time restarts the whole count, its minute target included.
            m_countScanTime = scan;
            m_elapsedSeconds = 0;
            m_elapsedMinutes = 0;
            m_targetMinutes = scan / 60;
            m_targetSeconds = scan % 60;
        }
        ++m_elapsedSeconds;
        --m_shownCount;
        m_view.setCountDown(std::to_string(m_shownCount));
        if (scan > 60) {
            if (m_elapsedSeconds == 60) {
                ++m_elapsedMinutes;
                m_elapsedSeconds = 0;
            }
            if (m_elapsedMinutes == m_targetMinutes && m_elapsedSeconds == m_targetSeconds) {
                m_elapsedMinutes = 0;
                m_elapsedSeconds = 0;
                TimerAction();
            }
        } else if (m_elapsedSeconds == scan) {
            m_elapsedSeconds = 0;
            TimerAction();
        }
    } catch (const std::exception& e) {
        LogEvent(m_pipeline.state, e.what());
    }
}

namespace {

// Marks a cycle as running for the lifetime of the guard.
class CycleGuard {
public:
    explicit CycleGuard(bool& running) : m_running(running) { m_running = true; }
    ~CycleGuard() { m_running = false; }
    CycleGuard(const CycleGuard&) = delete;
    CycleGuard& operator=(const CycleGuard&) = delete;

private:
    bool& m_running;
};

}  // namespace

// Both cycles let window events run at many points (the countdown's own steps included);
// a tick or "Go !" that arrives meanwhile must not start a second cycle.
void Monitor::TimerAction() {
    if (m_cycleRunning) {
        // A scan due while a cycle on change runs is that cycle's follow-up.
        m_followUp = m_followUp || publishingOnChange();
        return;
    }
    {
        CycleGuard guard(m_cycleRunning);
        m_followUp = false;
        StopCountdown();
        CheckPgnFiles(m_pipeline);
        m_pipeline.state.bForceConversion = false;
        StartCountdown();
        BackupFiles(m_pipeline);
        SaveProject(m_pipeline.state);
        showPublicLag();
    }
    RunFollowUps();
}

bool Monitor::publishingOnChange() const {
    return m_pipeline.state.settings.bPublishOnChange && m_watcher != nullptr;
}

// Called from the watcher's timer: nothing may escape into the event loop.
void Monitor::SourcesSettled() {
    try {
        if (!publishingOnChange()) {
            return;
        }
        if (m_cycleRunning) {
            m_followUp = true;
            return;
        }
        // Changes while monitoring is stopped wait for the first scan after START.
        if (m_timer1On) {
            m_followUp = true;
            RunFollowUps();
        }
    } catch (const std::exception& e) {
        LogEvent(m_pipeline.state, e.what());
    }
}

// A cycle on change leaves the countdown running: the next scan comes when it is due.
void Monitor::RunFollowUps() {
    if (m_cycleRunning) {
        return;
    }
    while (m_followUp && m_timer1On) {
        CycleGuard guard(m_cycleRunning);
        m_followUp = false;
        CheckPgnFiles(m_pipeline);
        m_pipeline.state.bForceConversion = false;
        BackupFiles(m_pipeline);
        SaveProject(m_pipeline.state);
        showPublicLag();
    }
    m_followUp = false;
    FollowList();
}

// The watcher, once made, lives as long as the monitor: this may run inside its own
// report, so switching the setting off only drops its watches.
void Monitor::FollowList() {
    const ProgramState& state = m_pipeline.state;
    std::vector<std::string> sources;
    // Notifications arrive through the event loop; a program without one only polls.
    if (state.settings.bPublishOnChange && QCoreApplication::instance() != nullptr) {
        if (!m_watcher) {
            m_watcher = std::make_unique<SourceWatcher>(
                [this] { SourcesSettled(); }, state.publishSettleMs, m_pipeline.refuseWatch);
        }
        for (const Pgn& game : state.monitorList) {
            if (!game.bSleep) {
                sources.push_back(game.PathSource);
            }
        }
    }
    if (m_watcher) {
        m_watcher->Follow(sources);
    }
    showWatched();
}

bool Monitor::isWatched(const std::string& key) const {
    const PgnFiles& list = m_pipeline.state.monitorList;
    return list.Contains(key) && isWatched(list.Item(key));
}

bool Monitor::isWatched(const Pgn& game) const {
    return publishingOnChange() && !game.bSleep && m_watcher->isWatched(game.PathSource);
}

// The list marks each game as watched or only polled; only changes are passed on.
void Monitor::showWatched() {
    std::map<std::string, bool> shown;
    for (const Pgn& game : m_pipeline.state.monitorList) {
        const bool watched = isWatched(game);
        const auto before = m_shownWatched.find(game.Key);
        if (before == m_shownWatched.end() || before->second != watched) {
            m_view.setPgnLineWatched(game.Key, watched);
        }
        shown[game.Key] = watched;
    }
    m_shownWatched = std::move(shown);
}

void Monitor::showPublicLag() {
    for (const Pgn& game : m_pipeline.state.monitorList) {
        m_view.setPublicLag(game.Key, PublicLagText(m_pipeline.state, game));
    }
}

void Monitor::cmdTestClick() {
    if (m_cycleRunning) {
        return;
    }
    CycleGuard guard(m_cycleRunning);
    StopCountdown();
    m_pipeline.state.bForceConversion = true;
    CheckPgnFiles(m_pipeline);
    m_pipeline.state.bForceConversion = false;
    BackupFiles(m_pipeline);
    SaveProject(m_pipeline.state);
    showPublicLag();
}

void Monitor::StopCountdown() {
    m_timer1On = false;
    m_view.setTimer1Enabled(false);
    m_view.setStatusColour(StatusColour::Red);
    m_shownCount = 0;
    m_view.setCountDown("0");
    m_pipeline.state.ui.processEvents();
}

void Monitor::StartCountdown() {
    const long scan = scanTime();
    if (scan > 60) {
        m_targetMinutes = scan / 60;
        m_targetSeconds = scan % 60;
    }
    m_view.setStatusColour(StatusColour::Green);
    m_shownCount = scan;
    m_view.setCountDown(std::to_string(scan));
    m_pipeline.state.ui.setStatus("Seconds to next scan");
    m_pipeline.state.ui.processEvents();
    m_timer1On = true;
    m_view.setTimer1Enabled(true);
    FollowList();
}

void Monitor::cmdStartClick() {
    m_pipeline.state.monitoringStarted = true;
    StartCountdown();
    SaveProject(m_pipeline.state);
}

void Monitor::cmdStopClick() {
    StopCountdown();
    m_pipeline.state.ui.setStatus("Timer Stopped");
    m_pipeline.state.monitoringStarted = false;
    SaveProject(m_pipeline.state);
}

void Monitor::RaiseAlarm() {
    if (m_alarmOn) {
        return;
    }
    m_alarmOn = true;
    m_view.setAlarmTimerEnabled(true);
    m_view.setClearLogCaption("Cancel Alarm", "Cancel Alarm");
}

void Monitor::TimAlarmTick() {
    ++m_blinkCount;
    m_view.setAlarmVisible(m_blinkCount % 2 == 1);
    if (m_blinkCount == kBlinkWrap) {
        m_blinkCount = kBlinkRestart;
    }
    m_pipeline.state.ui.processEvents();
}

void Monitor::cmdClearLogClick() {
    if (m_alarmOn) {
        m_alarmOn = false;
        m_view.setAlarmTimerEnabled(false);
        m_view.setAlarmVisible(false);
        m_view.setClearLogCaption("Clear Log", "Clear Message Log");
        return;
    }
    m_pipeline.state.ui.setLogText("");
}

}  // namespace korvane
