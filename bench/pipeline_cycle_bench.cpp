// The cost of one processing cycle over 500 monitored games, with 0, 10 and 100 of them
// changed since the last scan, converted by the real converter; with and without the
// overview page, with one converter run at a time and with one per core. Then the cost of
// a cycle over 20 changed games when some of their converter runs hang. Prints the
// figures; asserts nothing.

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchRound.h"
#include "core/Clock.h"
#include "core/Operator.h"
#include "core/ProgramState.h"
#include "pipeline/Backups.h"
#include "pipeline/ConverterBatch.h"
#include "pipeline/Pipeline.h"
#include "pipeline/ProcessingCycle.h"

namespace fs = std::filesystem;
using namespace korvane;

namespace {

constexpr int kGames = 500;

// An operator nobody watches: the log is kept, everything else is ignored.
class QuietOperator : public Operator {
public:
    Answer messageBox(const std::string& text, const std::string&, Buttons, Icon) override {
        std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
        return Answer::Ok;
    }
    std::string logText() const override { return m_log; }
    void setLogText(const std::string& text) override { m_log = text; }
    bool monitorVisible() const override { return true; }
    void setStatus(const std::string&) override {}
    void raiseAlarm() override {}
    void setEditorSaveButtonsVisible(bool) override {}
    void enableEditorReload(const std::string&) override {}
    void showSettingsDialog() override {}
    void processEvents() override {}

private:
    std::string m_log;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The fixture's games, each as its own PGN text.
std::vector<std::string> loadGames() {
    const std::string all =
        readAll(std::string(KORVANE_SOURCE_DIR) + "/tests/data/pipeline-three-games.pgn");
    std::vector<std::string> games;
    std::size_t start = 0;
    while ((start = all.find("[Event ", start)) != std::string::npos) {
        const std::size_t next = all.find("\n[Event ", start + 1);
        games.push_back(all.substr(start, next == std::string::npos ? next : next + 1 - start));
        start = next == std::string::npos ? all.size() : next + 1;
    }
    return games;
}

struct Bench {
    explicit Bench(const std::string& root) : state(ui, clock), pipeline(state) {
        boards = bench::PrepareRound(state, root);
        const std::vector<std::string> games = loadGames();
        for (int i = 0; i < kGames; ++i) {
            const std::string name = "board" + std::to_string(i + 1) + ".pgn";
            const std::string path = boards + name;
            std::ofstream(path, std::ios::binary) << games[i % games.size()];
            Pgn& game = state.addGame(name);
            game.NameSource = game.NameTemp = game.NameFinal = name;
            game.PathSource = path;
            game.PathTemp = state.tempDir + name;
            game.PathFinal = state.finalDir + name;
            game.NameHtml = "board" + std::to_string(i + 1) + ".htm";
            game.LastTime = fs::last_write_time(path);
            fs::copy_file(path, game.PathTemp, fs::copy_options::overwrite_existing);
            fs::copy_file(path, state.backupDir + name, fs::copy_options::overwrite_existing);
        }
    }

    // Touches `changed` sources (a new modification time, as after a move) and times one
    // cycle with its backup step, in milliseconds.
    double cycle(int changed) {
        for (int i = 0; i < changed; ++i) {
            Pgn& game = state.monitorList.Item(static_cast<long>(i + 1));
            fs::last_write_time(game.PathSource,
                                fs::last_write_time(game.PathSource) + std::chrono::seconds(1));
        }
        const auto start = std::chrono::steady_clock::now();
        CheckPgnFiles(pipeline);
        BackupFiles(pipeline);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        return took.count();
    }

    QuietOperator ui;
    SystemClock clock;
    ProgramState state;
    Pipeline pipeline;
    std::string boards;
};

}  // namespace

// A converter that hangs on the first `hung` boards and is the real one for the others.
std::string hangingConverter(const std::string& root, int hung) {
    const std::string path = root + "/hanging-converter.sh";
    std::string cases;
    for (int i = 1; i <= hung; ++i) {
        cases += (i > 1 ? "|" : "") + std::string("board") + std::to_string(i) + ".pgn";
    }
    std::ofstream(path) << "#!/bin/sh\n"
                        << (hung > 0
                                ? "case \"$(basename \"$1\")\" in " + cases + ") sleep 60;; esac\n"
                                : std::string())
                        << "exec '" << KORVANE_VISTREL << "' \"$@\"\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

void hungConverterTable(Bench& bench, const std::string& root) {
    constexpr int kChanged = 20;
    bench.state.settings.bIntroPage = false;
    bench.state.converterWaitMs = 2000;
    std::printf("\nOne cycle with %d changed games, some converter runs hanging (wait %d ms)\n",
                kChanged, bench.state.converterWaitMs);
    std::printf("%-8s %-10s %12s %26s\n", "hanging", "at once", "cycle ms",
                "waited before, at least");
    for (int hung : {0, 1, 3}) {
        bench.state.settings.spubPathVistrel = hangingConverter(root, hung);
        for (int parallel : {1, DefaultConverterParallel()}) {
            bench.pipeline.converterParallel = parallel;
            const double ms = bench.cycle(kChanged);
            std::printf("%-8d %-10d %12.1f %23d ms\n", hung, parallel, ms,
                        hung * bench.state.converterWaitMs);
            // The hung games sleep now; wake them for the next row.
            for (long i = 1; i <= bench.state.monitorList.Count(); ++i) {
                bench.state.monitorList.Item(i).bSleep = false;
            }
        }
    }
    bench.ui.setLogText("");
}

int main() {
    char pattern[] = "/tmp/korvane-bench-XXXXXX";
    const char* root = ::mkdtemp(pattern);
    if (root == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    int status = 0;
    {
        Bench bench(root);
        std::printf("One processing cycle over %d monitored games (real converter)\n", kGames);
        std::printf("%-10s %-8s %-9s %12s %14s\n", "overview", "at once", "changed", "cycle ms",
                    "ms per change");
        for (int parallel : {1, DefaultConverterParallel()}) {
            bench.pipeline.converterParallel = parallel;
            for (bool overview : {false, true}) {
                bench.state.settings.bIntroPage = overview;
                for (int changed : {0, 10, 100}) {
                    const double ms = bench.cycle(changed);
                    std::printf("%-10s %-8d %-9d %12.1f %14.2f\n", overview ? "on" : "off",
                                parallel, changed, ms, changed > 0 ? ms / changed : 0.0);
                }
            }
        }
        if (!bench.ui.logText().empty()) {
            std::fprintf(stderr, "The log is not empty:\n%s\n", bench.ui.logText().c_str());
            status = 1;
        }
        hungConverterTable(bench, root);
    }
    fs::remove_all(root);
    return status;
}
