#pragma once
// What the monitor logic shows in the monitor window. The Qt layer implements it with the
// window's controls (named as below) and starts or stops its real timers when told;
// tests record the calls.

#include <string>

namespace korvane {

enum class StatusColour { Red, Green };  // shpStatus: stopped / counting

// The monitor window's buttons whose enabled state the logic sets.
enum class MonitorButton { cmdRemovePgn, cmdSleep, cmdActivate, cmdViewInfo };

class MonitorView {
public:
    virtual ~MonitorView() = default;

    // Timer1 (1000 ms, the countdown) and timAlarm (500 ms, the blinking alarm).
    virtual void setTimer1Enabled(bool on) = 0;
    virtual void setAlarmTimerEnabled(bool on) = 0;

    virtual void setCountDown(const std::string& text) = 0;  // lblCountDown
    virtual void setStatusColour(StatusColour colour) = 0;   // shpStatus fill
    virtual void setAlarmVisible(bool visible) = 0;          // lblAlarm
    // cmdClearLog: "Clear Log" / "Clear Message Log", or "Cancel Alarm" for both.
    virtual void setClearLogCaption(const std::string& caption, const std::string& tooltip) = 0;

    // lboPgnFiles: one line per game; the selected line, empty when none.
    virtual void addPgnLine(const std::string& line) = 0;
    virtual void removePgnLine(const std::string& line) = 0;
    virtual std::string selectedPgnLine() const = 0;
    // Marks a game's line as watched (published on change) or only polled by the scans.
    virtual void setPgnLineWatched(const std::string& line, bool watched) = 0;

    virtual void setButtonEnabled(MonitorButton button, bool enabled) = 0;
    // cmdRemovePgn: "Remove", and "Substitute" after the first upload.
    virtual void setRemoveCaption(const std::string& caption) = 0;
    virtual std::string removeCaption() const = 0;

    // Under a broadcast delay, after each cycle: how far the game's public page is behind
    // its board ("public 3:20 behind", "public up to date", "public in 12:05"); empty
    // without a delay.
    virtual void setPublicLag(const std::string& /*key*/, const std::string& /*text*/) {}
};

}  // namespace korvane
