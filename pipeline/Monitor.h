#pragma once
// The monitor window's countdown, manual cycle and alarm, as logic driven by explicit
// ticks: the Qt layer calls Timer1Tick every second and TimAlarmTick every 500 ms while
// the view has the timers on, and forwards the buttons' clicks. The pipeline raises the
// alarm through Operator::raiseAlarm, which the Qt layer forwards to RaiseAlarm here.
//
// With publishing on change, the monitored sources are watched as well: while the count
// runs, a source that changed and settled starts a cycle at once, and changes that settle
// while a cycle runs are taken by one follow-up cycle after it. The countdown goes on
// beside them, so a change whose notification never came is found by the next scan.

#include <map>
#include <memory>
#include <string>

#include "pipeline/MonitorView.h"

namespace korvane {

struct Pipeline;

class Pgn;
class SourceWatcher;

class Monitor {
public:
    Monitor(Pipeline& pipeline, MonitorView& view);
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // The window opened: timers off, the list buttons disabled, count stopped.
    void Load();

    void Timer1Tick();
    void TimAlarmTick();

    void StartCountdown();
    void StopCountdown();
    // Starts the blinking alarm; an alarm that is on stays as it is.
    void RaiseAlarm();

    // START and STOP also record in the project whether monitoring runs.
    void cmdStartClick();
    void cmdStopClick();
    // "Go !": one forced cycle; the count stays stopped afterwards.
    void cmdTestClick();
    // Cancels the alarm when it is on, otherwise clears the log.
    void cmdClearLogClick();

    // The watches follow the monitor list: every awake game's source is watched when
    // publishing on change is on, nothing otherwise. Called whenever the list or a game's
    // sleep changes; each countdown start tries refused watches again.
    void FollowList();
    // The watcher's report: changed sources have settled.
    void SourcesSettled();
    // Whether a game's changes are notified (otherwise it is only polled).
    bool isWatched(const std::string& key) const;

    bool countRunning() const { return m_timer1On; }
    bool alarmOn() const { return m_alarmOn; }
    bool cycleRunning() const { return m_cycleRunning; }

private:
    long scanTime() const;
    void TimerAction();
    // The cycles of changes that settled meanwhile, while the count runs.
    void RunFollowUps();
    bool isWatched(const Pgn& game) const;
    bool publishingOnChange() const;
    void showWatched();
    // Tells the view how far each game's public page is behind its board.
    void showPublicLag();

    Pipeline& m_pipeline;
    MonitorView& m_view;

    bool m_timer1On = false;
    bool m_alarmOn = false;
    bool m_cycleRunning = false;
    bool m_followUp = false;  // changes settled while a cycle ran

    std::unique_ptr<SourceWatcher> m_watcher;    // only while publishing on change
    std::map<std::string, bool> m_shownWatched;  // what the list shows per game

    long m_countScanTime = 0;  // the scan time the running count belongs to
    long m_elapsedSeconds = 0;
    long m_elapsedMinutes = 0;
    long m_targetMinutes = 0;
    long m_targetSeconds = 0;
    long m_shownCount = 0;  // the number lblCountDown shows
    long m_blinkCount = 0;
};

}  // namespace korvane
