#pragma once
// Shared set-up for the pipeline tests: a program in a temporary directory, the pipeline,
// a recording monitor view, a scripted open dialog, fake converters written as shell
// scripts, and source games written the way board software writes them.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/FileDialog.h"
#include "pipeline/Monitor.h"
#include "pipeline/MonitorList.h"
#include "pipeline/MonitorView.h"
#include "pipeline/Pipeline.h"
#include "support/TestProgram.h"

namespace korvane::test {

using Lines = std::vector<std::string>;

// The converted text inside a page the fake converter wrote (any other page unchanged).
std::string FakePageText(const std::string& page);

class RecordingView : public MonitorView {
public:
    void setTimer1Enabled(bool on) override { timer1 = on; }
    void setAlarmTimerEnabled(bool on) override { alarmTimer = on; }
    void setCountDown(const std::string& text) override { countDown.push_back(text); }
    void setStatusColour(StatusColour c) override { colour = c; }
    void setAlarmVisible(bool visible) override { alarmVisible = visible; }
    void setClearLogCaption(const std::string& caption, const std::string& tip) override {
        clearLog = {caption, tip};
    }
    void addPgnLine(const std::string& line) override { lines.push_back(line); }
    void removePgnLine(const std::string& line) override { std::erase(lines, line); }
    std::string selectedPgnLine() const override { return selected; }
    void setPgnLineWatched(const std::string& line, bool on) override { watched[line] = on; }
    void setButtonEnabled(MonitorButton b, bool on) override { enabled[b] = on; }
    void setRemoveCaption(const std::string& caption) override { removeButton = caption; }
    std::string removeCaption() const override { return removeButton; }
    void setPublicLag(const std::string& key, const std::string& text) override {
        publicLag[key] = text;
    }

    bool timer1 = false, alarmTimer = false, alarmVisible = false;
    Lines countDown;
    StatusColour colour = StatusColour::Red;
    std::pair<std::string, std::string> clearLog{"Clear Log", "Clear Message Log"};
    Lines lines;
    std::string selected;
    std::map<std::string, bool> watched;  // as the list marks each game
    std::map<MonitorButton, bool> enabled;
    std::string removeButton = "Remove";
    std::map<std::string, std::string> publicLag;
};

class ScriptedDialog : public FileDialog {
public:
    std::optional<FileSelection> open(const std::string& title, const std::string&,
                                      const std::string&, bool multi) override {
        multiSelect = multi;
        if (answers.empty()) {
            ADD_FAILURE() << "Unscripted open dialog " << title;
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void choose(const std::string& dir, Lines names) {
        answers.push_back(FileSelection{dir, std::move(names)});
    }

    std::deque<std::optional<FileSelection>> answers;
    bool multiSelect = false;  // as asked by the last call
};

class PipelineTest : public ::testing::Test {
protected:
    PipelineTest();

    // A converter script: it records its arguments, then, by what the file holds, rejects
    // it with a message in vislog.txt ("REJECT", and the overview once
    // "converter.sh.reject-overview" exists), writes nothing ("SILENT"), sleeps ("HANG",
    // and "LOCKED" while "converter.sh.locked" exists), crashes ("CRASH"), exits with 3
    // ("EXITCODE"), writes a broken page ("GARBAGE", "HALFPAGE", "EMPTYPAGE"), or else
    // writes the page: the file inside an HTML frame.
    void useFakeConverter();
    // Writes an executable shell script with the given body as the converter.
    void useConverterScript(const std::string& body);
    // The argument lines the fake converter recorded, one per run.
    Lines converterCalls() const;

    // Writes a source pgn in the boards directory with a modification time `step` seconds
    // after a fixed base, as board software does (whole file rewritten). Returns its path.
    std::string writeSource(const std::string& name, const std::string& text, int step);
    // Adds a game for an existing source the way "Add" does (LastTime stamped, copies made).
    Pgn& addGame(const std::string& name, const std::string& text);
    // Adds an edited pgn in finalpgn and switches the game to publish it.
    void useEdited(Pgn& game, const std::string& text);

    // A page in the HTML directory; a fake converter's page without its HTML frame.
    std::string htmlPage(const std::string& page) const;
    bool htmlExists(const std::string& page) const;
    bool logHas(const std::string& text) const;

    TestProgram program;
    ProgramState& state = program.state;
    ScriptedOperator& ui = program.ui;
    Pipeline pipeline{state};
    std::string boards;  // where the source games live
    std::string callsFile;
};

// The pipeline under the monitor window's logic: its timers, its list buttons, their view.
class MonitorWindowTest : public PipelineTest {
protected:
    MonitorWindowTest() { monitor.Load(); }

    RecordingView view;
    ScriptedDialog dialog;
    Monitor monitor{pipeline, view};
    MonitorList list{state, monitor, view, dialog};
};

// Counts zombie children of this process (ended but not collected).
int zombieChildren();

}  // namespace korvane::test
