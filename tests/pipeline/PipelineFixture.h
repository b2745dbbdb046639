#pragma once
// Shared set-up for the pipeline tests: a program in a temporary directory, the pipeline,
// a recording monitor view, a scripted open dialog, fake converters written as shell
// scripts, and source games written the way board software writes them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline/FileDialog.h"
#include "pipeline/Monitor.h"
#include "pipeline/MonitorList.h"
#include "pipeline/MonitorView.h"
#include "pipeline/Pipeline.h"
#include "support/ScriptedFileDialog.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace korvane::test {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The converted text inside a page the fake converter wrote (any other page unchanged).
inline std::string FakePageText(const std::string& page) {
    const std::string head = "<html><body>", tail = "</body></html>";
    if (page.starts_with(head) && page.ends_with(tail)) {
        return page.substr(head.size(), page.size() - head.size() - tail.size());
    }
    return page;
}

class RecordingView : public MonitorView {
public:
    void setTimer1Enabled(bool on) override { timer1 = on; }
    void setAlarmTimerEnabled(bool) override {}
    void setCountDown(const std::string& text) override { countDown.push_back(text); }
    void setStatusColour(StatusColour) override {}
    void setAlarmVisible(bool) override {}
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

    bool timer1 = false;
    Lines countDown, lines;
    std::pair<std::string, std::string> clearLog;
    std::string selected, removeButton = "Remove";
    std::map<std::string, bool> watched;  // as the list marks each game
    std::map<MonitorButton, bool> enabled;
    std::map<std::string, std::string> publicLag;
};

class PipelineTest : public ::testing::Test {
protected:
    PipelineTest() {
        fs::create_directories(boards);
        state.settings.spubPathHtml = program.dir.path() + "/html/";
        fs::create_directories(state.settings.spubPathHtml);
        state.settings.spubPathVisIni = program.dir.path() + "/game.ini";
        state.settings.spubPathIntroIni = program.dir.path() + "/overview.ini";
        state.settings.spubIntroPgn = "allgames.pgn";
        state.settings.lpubScanTime = 10;
        state.converterWaitMs = 5000;
        state.settings.bPublishOnChange = false;  // the watcher's own tests switch it on
    }

    // A converter script: it records its arguments, then, by what the file holds, rejects
    // it with a message in vislog.txt ("REJECT", and the overview once
    // "converter.sh.reject-overview" exists), writes nothing ("SILENT"), sleeps ("HANG",
    // and "LOCKED" while "converter.sh.locked" exists), crashes ("CRASH"), exits with 3
    // ("EXITCODE"), writes a broken page ("GARBAGE", "HALFPAGE", "EMPTYPAGE"), or else
    // writes the page: the file inside an HTML frame.
    void useFakeConverter() {
        std::string script = R"sh(printf '%s|%s|%s\n' "$1" "$2" "$3" >> 'CALLS'
page="${1%????}.htm"
if grep -q LOCKED "$1" && [ -e "$0.locked" ]; then sleep 30; exit 0; fi
reject() { printf 'Illegal move in %s' "$(basename "$1")" > "$(dirname "$1")/vislog.txt"; exit 1; }
case "$(cat "$1")" in
*HANG*) sleep 30 ;;
*SILENT*) ;;
*CRASH*) kill -SEGV $$ ;;
*EXITCODE*) exit 3 ;;
*GARBAGE*) printf '\001\377garbage' > "$page" ;;
*HALFPAGE*) printf '<html><body>1. e4' > "$page" ;;
*EMPTYPAGE*) : > "$page" ;;
*REJECT*) reject "$1" ;;
*) if [ -e "$0.reject-overview" ] && grep -q '%vis3' "$1"; then reject "$1"; fi
   { printf '<html><body>'; cat "$1"; printf '</body></html>'; } > "$page" ;;
esac
)sh";
        useConverterScript(script.replace(script.find("CALLS"), 5, callsFile));
    }
    void useConverterScript(const std::string& body) {
        const std::string path = program.dir.write("converter.sh", "#!/bin/sh\n" + body);
        fs::permissions(path, fs::perms::owner_all);
        state.settings.spubPathVistrel = path;
    }
    // The fake converter's argument lines, one per run.
    Lines converterCalls() const {
        Lines calls;
        std::istringstream in(readFile(callsFile));
        for (std::string line; std::getline(in, line);) {
            calls.push_back(line);
        }
        return calls;
    }

    // Writes a source pgn in the boards directory with a modification time `step` seconds
    // after a fixed base, as board software does (whole file rewritten). Returns its path.
    std::string writeSource(const std::string& name, const std::string& text, int step) {
        static const auto base = fs::file_time_type::clock::now() - std::chrono::hours(24);
        const std::string path = boards + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        fs::last_write_time(path, base + std::chrono::seconds(step));
        return path;
    }
    // Adds a game for an existing source the way "Add" does (LastTime stamped, copies made).
    Pgn& addGame(const std::string& name, const std::string& text) {
        const std::string path = writeSource(name, text, 0);
        Pgn& game = state.addGame(name);
        game.NameSource = game.NameTemp = game.NameFinal = name;
        game.PathSource = path;
        game.PathTemp = state.tempDir + name;
        game.PathFinal = state.finalDir + name;
        game.NameHtml = name.substr(0, name.size() - 4) + ".htm";
        game.LastTime = fs::last_write_time(path);
        fs::copy_file(path, game.PathTemp, fs::copy_options::overwrite_existing);
        fs::copy_file(path, state.backupDir + name, fs::copy_options::overwrite_existing);
        return game;
    }
    // Adds an edited pgn in finalpgn and switches the game to publish it.
    void useEdited(Pgn& game, const std::string& text) {
        std::ofstream(game.PathFinal, std::ios::binary) << text;
        game.setUseFinal(true);
    }

    // A page in the HTML directory; a fake converter's page without its HTML frame.
    std::string htmlPage(const std::string& page) const {
        return FakePageText(readFile(state.settings.spubPathHtml + page));
    }
    bool htmlExists(const std::string& page) const {
        return fs::exists(state.settings.spubPathHtml + page);
    }
    bool logHas(const std::string& text) const {
        return ui.logText().find(text) != std::string::npos;
    }

    TestProgram program;
    ProgramState& state = program.state;
    ScriptedOperator& ui = program.ui;
    Pipeline pipeline{state};
    const std::string boards = program.dir.path() + "/boards/";  // where the sources live
    const std::string callsFile = program.dir.path() + "/converter-calls.txt";
};

// The pipeline under the monitor window's logic: its timers, its list buttons, their view.
class MonitorWindowTest : public PipelineTest {
protected:
    MonitorWindowTest() { monitor.Load(); }
    long scans() const {
        return std::count(ui.statuses.begin(), ui.statuses.end(),
                          "Checking for updated pgn files.");
    }
    void select(const std::string& line) {
        view.selected = line;
        list.lboPgnFilesClick();
    }

    RecordingView view;
    ScriptedFileDialog dialog;
    Monitor monitor{pipeline, view};
    MonitorList list{state, monitor, view, dialog};
};

// A new program on the same program directory and clock, as after a crash or a restart.
struct Restarted {
    Restarted(const ProgramState& before, FixedClock& clock) : state{ui, clock} {
        state.programDir = before.programDir;
    }
    ScriptedOperator ui;
    ProgramState state;
    Pipeline pipeline{state};
    RecordingView view;
    ScriptedFileDialog dialog;
    Monitor monitor{pipeline, view};
    MonitorList list{state, monitor, view, dialog};
};

// Counts zombie children of this process (ended but not collected).
inline int zombieChildren() {
    int zombies = 0;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line, procState, ppid;
        // pid (comm) state ppid ...: the command may hold blanks, so read after the ")".
        if (std::getline(stat, line)) {
            std::istringstream(line.substr(line.rfind(')') + 1)) >> procState >> ppid;
            zombies += procState == "Z" && ppid == self;
        }
    }
    return zombies;
}

}  // namespace korvane::test
