#pragma once
// The operator interface on real windows: message boxes, the monitor window's log and
// status line, its alarm, the editors' buttons, the settings dialog and the event pump.

#include <functional>
#include <string>

#include "core/Operator.h"

namespace korvane {

class frmMain;

class QtOperator : public Operator {
public:
    // Shows one message box and returns the answer; tests put a scripted one in place.
    using BoxPresenter =
        std::function<Answer(const std::string& text, const std::string& title, Buttons, Icon)>;

    void attach(frmMain* main) { m_main = main; }
    void setBoxPresenter(BoxPresenter presenter) { m_presenter = std::move(presenter); }

    Answer messageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) override;
    std::string logText() const override;
    void setLogText(const std::string& text) override;
    bool monitorVisible() const override;
    void setStatus(const std::string& text) override;
    void raiseAlarm() override;
    void setEditorSaveButtonsVisible(bool visible) override;
    void enableEditorReload(const std::string& fileName) override;
    void showSettingsDialog() override;
    void processEvents() override;

private:
    frmMain* m_main = nullptr;
    BoxPresenter m_presenter;
};

// The system message box with the program's buttons, icon and title (the program's name
// when the title is empty).
Answer ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon);

}  // namespace korvane
