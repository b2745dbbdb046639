#pragma once
// The monitor window's countdown, manual cycle and alarm, as logic driven by explicit
// ticks: the Qt layer calls Timer1Tick every second and TimAlarmTick every 500 ms while
// the view has the timers on, and forwards the buttons' clicks. The pipeline raises the
// alarm through Operator::raiseAlarm, which the Qt layer forwards to RaiseAlarm here.

#include "pipeline/MonitorView.h"

namespace korvane {

struct Pipeline;

class Monitor {
public:
    Monitor(Pipeline& pipeline, MonitorView& view);

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

    bool countRunning() const { return m_timer1On; }
    bool alarmOn() const { return m_alarmOn; }
    bool cycleRunning() const { return m_cycleRunning; }

private:
    long scanTime() const;
    void TimerAction();
    // Tells the view how far each game's public page is behind its board.
    void showPublicLag();

    Pipeline& m_pipeline;
    MonitorView& m_view;

    bool m_timer1On = false;
    bool m_alarmOn = false;
    bool m_cycleRunning = false;

    long m_countScanTime = 0;  // the scan time the running count belongs to
    long m_elapsedSeconds = 0;
    long m_elapsedMinutes = 0;
    long m_targetMinutes = 0;
    long m_targetSeconds = 0;
    long m_shownCount = 0;  // the number lblCountDown shows
    long m_blinkCount = 0;
};

}  // namespace korvane
