// Move-to-page latency: simulated boards (a thread standing in for the board software)
// write their games move by move, every 10 to 30 seconds each, half of them in place and
// half through a temporary file renamed over the source; the monitor runs as in the
// program, with its one-second countdown and a 10-second scan time, with publishing on
// change and with polling only. A move counts as published when a cycle's backup step
// sees the game's copy holding it (the page is in the HTML directory by then; there is no
// upload). Prints p50, p95 and max of the latency and the CPU time per cycle (this
// process's main thread and the converter runs). Asserts nothing.
//
// Usage: bench_publish_latency [seconds per run, default 60]

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchRound.h"
#include "core/Clock.h"
#include "core/Operator.h"
#include "core/ProgramState.h"
#include "pipeline/EndToEndFixture.h"  // from tests/: the fixture games and their replay
#include "pipeline/Monitor.h"
#include "pipeline/MonitorView.h"
#include "pipeline/Pipeline.h"

namespace fs = std::filesystem;
using namespace korvane;
using SteadyTime = std::chrono::steady_clock::time_point;

namespace {

constexpr long kScanTime = 10;

using korvane::test::RealGame;

// The tests' replay of a fixture game, with PlyCount telling the reader how far it is.
std::string boardText(const RealGame& game, std::size_t plies) {
    std::string text = korvane::test::liveText(game, plies);
    return text.insert(text.find("[Result "), "[PlyCount \"" + std::to_string(plies) + "\"]\r\n");
}

std::size_t plyCountOf(const std::string& text) {
    const std::size_t tag = text.find("[PlyCount \"");
    return tag == std::string::npos ? 0 : std::stoul(text.substr(tag + 11));
}

class NullView : public MonitorView {
public:
    void setTimer1Enabled(bool) override {}
    void setAlarmTimerEnabled(bool) override {}
    void setCountDown(const std::string&) override {}
    void setStatusColour(StatusColour) override {}
    void setAlarmVisible(bool) override {}
    void setClearLogCaption(const std::string&, const std::string&) override {}
    void addPgnLine(const std::string&) override {}
    void removePgnLine(const std::string&) override {}
    std::string selectedPgnLine() const override { return {}; }
    void setPgnLineWatched(const std::string&, bool) override {}
    void setButtonEnabled(MonitorButton, bool) override {}
    void setRemoveCaption(const std::string&) override {}
    std::string removeCaption() const override { return "Remove"; }
};

// What the boards wrote, shared between the board thread and the monitor's thread.
struct Moves {
    std::mutex lock;
    std::vector<std::vector<SteadyTime>> writtenAt;  // [board][ply]
};

struct Run;

// The operator of the run: lets events run as the window does, counts cycles and takes the
// latency of every move whose copy the backup step announces.
class BenchOperator : public Operator {
public:
    explicit BenchOperator(Run& run) : m_run(run) {}
    Answer messageBox(const std::string& text, const std::string&, Buttons, Icon) override {
        std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
        return Answer::Ok;
    }
    std::string logText() const override { return m_log; }
    void setLogText(const std::string& text) override { m_log = text; }
    bool monitorVisible() const override { return true; }
    void setStatus(const std::string& text) override;
    void raiseAlarm() override {}
    void setEditorSaveButtonsVisible(bool) override {}
    void enableEditorReload(const std::string& fileName) override;
    void showSettingsDialog() override {}
    void processEvents() override { QCoreApplication::processEvents(); }

private:
    Run& m_run;
    std::string m_log;
};

struct Run {
    Run(const std::string& root, int boardCount, bool onChange)
        : ui(*this), state(ui, clock), pipeline(state), monitor(pipeline, view) {
        boards = bench::PrepareRound(state, root);
        Settings& s = state.settings;
        s.lpubScanTime = kScanTime;
        s.bPublishOnChange = onChange;
        games =
            korvane::test::loadGames(std::string(KORVANE_TEST_DATA) + "/pipeline-three-games.pgn");
        moves.writtenAt.resize(boardCount);
        published.assign(boardCount, 2);
        for (int b = 0; b < boardCount; ++b) {
            const std::string name = "board" + std::to_string(b) + ".pgn";
            const std::string path = boards + name;
            std::ofstream(path, std::ios::binary) << boardText(gameOf(b), 2);
            Pgn& game = state.addGame(name);
            game.NameSource = game.NameTemp = game.NameFinal = name;
            game.PathSource = path;
            game.PathTemp = state.tempDir + name;
            game.PathFinal = state.finalDir + name;
            game.NameHtml = "board" + std::to_string(b) + ".htm";
            game.LastTime = fs::last_write_time(path);
            fs::copy_file(path, game.PathTemp, fs::copy_options::overwrite_existing);
        }
    }

    const RealGame& gameOf(int board) const { return games[board % games.size()]; }

    // The board software: each board makes its next move 10 to 30 seconds after the last.
    void playBoards(std::chrono::seconds length) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(10000, 30000);
        const SteadyTime start = std::chrono::steady_clock::now();
        const int count = static_cast<int>(published.size());
        std::vector<SteadyTime> next(count);
        std::vector<std::size_t> plies(count, 2);
        std::uniform_int_distribution<int> first(0, 30000);
        for (int b = 0; b < count; ++b) {
            next[b] = start + std::chrono::milliseconds(first(random));
        }
        while (!stopBoards) {
            const auto board = std::min_element(next.begin(), next.end()) - next.begin();
            if (next[board] > start + length) {
                break;
            }
            std::this_thread::sleep_until(std::min(
                next[board], std::chrono::steady_clock::now() + std::chrono::milliseconds(50)));
            if (std::chrono::steady_clock::now() < next[board]) {
                continue;
            }
            const RealGame& game = gameOf(static_cast<int>(board));
            if (plies[board] < game.moves.size()) {
                writeBoard(static_cast<int>(board), boardText(game, ++plies[board]));
                std::lock_guard guard(moves.lock);
                moves.writtenAt[board].resize(plies[board] + 1);
                moves.writtenAt[board][plies[board]] = std::chrono::steady_clock::now();
            }
            next[board] += std::chrono::milliseconds(pause(random));
        }
    }

    void writeBoard(int board, const std::string& text) {
        const std::string path = boards + "board" + std::to_string(board) + ".pgn";
        if (board % 2 == 0) {
            std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        } else {
            std::ofstream(path + ".tmp", std::ios::binary | std::ios::trunc) << text;
            fs::rename(path + ".tmp", path);
        }
    }

    void takePublished(const std::string& name) {
        const int board = std::stoi(name.substr(5));
        const std::size_t plies = plyCountOf(korvane::test::readFile(state.tempDir + name));
        const SteadyTime now = std::chrono::steady_clock::now();
        std::lock_guard guard(moves.lock);
        for (std::size_t p = published[board] + 1; p <= plies; ++p) {
            if (p < moves.writtenAt[board].size()) {
                latencies.push_back(
                    std::chrono::duration<double>(now - moves.writtenAt[board][p]).count());
            }
        }
        published[board] = std::max(published[board], plies);
    }

    BenchOperator ui;
    SystemClock clock;
    ProgramState state;
    Pipeline pipeline;
    NullView view;
    Monitor monitor;
    std::string boards;
    std::vector<RealGame> games;
    Moves moves;
    std::vector<std::size_t> published;
    std::vector<double> latencies;
    long cycles = 0;
    std::atomic<bool> stopBoards{false};
};

void BenchOperator::setStatus(const std::string& text) {
    if (text == "Checking for updated pgn files.") {
        ++m_run.cycles;
    }
}

void BenchOperator::enableEditorReload(const std::string& fileName) {
    m_run.takePublished(fileName);
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at =
        static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void measure(int boardCount, bool onChange, int seconds) {
    const fs::path root =
        fs::temp_directory_path() / ("korvane-latency-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(boardCount) + (onChange ? "-change" : "-poll"));
    fs::remove_all(root);
    {
        Run run(root.string(), boardCount, onChange);
        QTimer timer1;
        QObject::connect(&timer1, &QTimer::timeout, [&] { run.monitor.Timer1Tick(); });
        timer1.start(1000);
        run.monitor.cmdStartClick();
        const double cpuBefore = threadCpuSeconds();
        const double childrenBefore = childrenCpuSeconds();
        std::thread boards([&] { run.playBoards(std::chrono::seconds(seconds)); });
        QEventLoop loop;
        // A last scan interval lets the last moves through before the figures are taken.
        QTimer::singleShot((seconds + kScanTime + 2) * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        run.stopBoards = true;
        boards.join();
        timer1.stop();
        const double cpu = threadCpuSeconds() - cpuBefore;
        const double children = childrenCpuSeconds() - childrenBefore;
        const double perCycle = run.cycles > 0 ? 1000.0 / static_cast<double>(run.cycles) : 0;
        std::printf(
            "%4d boards, %-16s %5zu moves  p50 %6.2f s  p95 %6.2f s  max %6.2f s  "
            "%4ld cycles  CPU/cycle %7.1f ms monitor + %7.1f ms converter\n",
            boardCount, onChange ? "on change:" : "polling only:", run.latencies.size(),
            percentile(run.latencies, 0.5), percentile(run.latencies, 0.95),
            run.latencies.empty() ? 0.0
                                  : *std::max_element(run.latencies.begin(), run.latencies.end()),
            run.cycles, cpu * perCycle, children * perCycle);
        std::fflush(stdout);
    }
    fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    std::printf("Move-to-page latency, boards moving every 10-30 s for %d s, scan time %ld s\n",
                seconds, kScanTime);
    for (const int boards : {20, 500}) {
        for (const bool onChange : {true, false}) {
            measure(boards, onChange, seconds);
        }
    }
    return 0;
}
