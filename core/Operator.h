#pragma once
// The one channel through which the program's logic talks to the operator.
// The Qt layer implements it with real windows; tests use a scripted double.

#include <string>

namespace korvane {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

class Operator {
public:
    virtual ~Operator() = default;

    // A modal message box; returns the button the operator pressed.
    virtual Answer messageBox(const std::string& text, const std::string& title, Buttons buttons,
                              Icon icon) = 0;

    // The monitor window's message log (txtErrors), newest entry first. The entry forms
    // are built by MessageLog; this only stores and shows the whole text.
    virtual std::string logText() const = 0;
    virtual void setLogText(const std::string& text) = 0;
    // Whether the monitor window is open, so reports go to its log instead of a box.
    virtual bool monitorVisible() const = 0;

    // The one-line status text (lblCurrentAction).
    virtual void setStatus(const std::string& text) = 0;
    // Starts the blinking alarm.
    virtual void raiseAlarm() = 0;

    // Editors: Save/Save As shown or hidden while a cycle runs; Reload enabled in every
    // editor whose file has the given file name (compared without regard to case).
    virtual void setEditorSaveButtonsVisible(bool visible) = 0;
    virtual void enableEditorReload(const std::string& fileName) = 0;

    // Shows the settings dialog modally (start-up asks for it when settings are incomplete).
    virtual void showSettingsDialog() = 0;

    // Lets pending window events (clicks, timer ticks) run.
    virtual void processEvents() = 0;
};

}  // namespace korvane
