#pragma once
// A test double for the operator: records every message box, log change, status text,
// alarm and editor signal, and answers boxes from a queue. A box that nobody scripted
// fails the test loudly.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Operator.h"

namespace korvane::test {

struct RecordedBox {
    std::string text;
    std::string title;
    Buttons buttons;
    Icon icon;
};

class ScriptedOperator : public Operator {
public:
    // Queues the answer to the next message box.
    void answerNext(Answer answer) { m_answers.push_back(answer); }
    // Lets every unscripted box be answered with Ok (for tests that only look at the boxes).
    void answerOkByDefault(bool on = true) { m_okByDefault = on; }

    Answer messageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) override {
        boxes.push_back({text, title, buttons, icon});
        if (m_answers.empty()) {
            if (!m_okByDefault) {
                ADD_FAILURE() << "Unscripted message box \"" << title << "\": " << text;
            }
            return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No
                                                                                : Answer::Ok;
        }
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::string logText() const override { return m_log; }
    void setLogText(const std::string& text) override { m_log = text; }
    bool monitorVisible() const override { return m_monitorVisible; }
    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void raiseAlarm() override { ++alarms; }
    void setEditorSaveButtonsVisible(bool visible) override {
        saveButtonsVisible.push_back(visible);
    }
    void enableEditorReload(const std::string& fileName) override { reloads.push_back(fileName); }
    void showSettingsDialog() override { ++settingsDialogs; }
    void processEvents() override {
        if (onProcessEvents) {
            onProcessEvents();
        }
    }

    void setMonitorVisible(bool visible) { m_monitorVisible = visible; }
    std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }

    std::vector<RecordedBox> boxes;
    std::vector<std::string> statuses;
    std::vector<bool> saveButtonsVisible;
    std::vector<std::string> reloads;
    int alarms = 0;
    int settingsDialogs = 0;
    // Runs whenever pending events are let run, as a click handled at that moment would.
    std::function<void()> onProcessEvents;

private:
    std::deque<Answer> m_answers;
    bool m_okByDefault = false;
    bool m_monitorVisible = true;
    std::string m_log;
};

}  // namespace korvane::test
