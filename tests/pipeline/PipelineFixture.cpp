#include "PipelineFixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "core/FileUtils.h"

namespace fs = std::filesystem;

namespace korvane::test {

namespace {

// A fixed moment on which source files' modification times are based.
const fs::file_time_type kBase = fs::file_time_type::clock::now() - std::chrono::hours(24);

// The fake converter; CALLS stands for the file its runs are recorded in.
constexpr const char* kFakeConverter = R"sh(printf '%s|%s|%s\n' "$1" "$2" "$3" >> 'CALLS'
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

}  // namespace

PipelineTest::PipelineTest() {
    boards = program.dir.path() + "/boards/";
    fs::create_directories(boards);
    state.settings.spubPathHtml = program.dir.path() + "/html/";
    fs::create_directories(state.settings.spubPathHtml);
    state.settings.spubPathVisIni = program.dir.path() + "/game.ini";
    state.settings.spubPathIntroIni = program.dir.path() + "/overview.ini";
    state.settings.spubIntroPgn = "allgames.pgn";
    state.settings.lpubScanTime = 10;
    state.converterWaitMs = 5000;
    // The watcher has its own tests; the others poll only.
    state.settings.bPublishOnChange = false;
    callsFile = program.dir.path() + "/converter-calls.txt";
}

void PipelineTest::useConverterScript(const std::string& body) {
    const std::string path = program.dir.write("converter.sh", "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
    state.settings.spubPathVistrel = path;
}

void PipelineTest::useFakeConverter() {
    std::string script = kFakeConverter;
    useConverterScript(script.replace(script.find("CALLS"), 5, callsFile));
}

Lines PipelineTest::converterCalls() const {
    Lines calls;
    std::istringstream in(readFile(callsFile));
    for (std::string line; std::getline(in, line);) {
        calls.push_back(line);
    }
    return calls;
}

std::string PipelineTest::writeSource(const std::string& name, const std::string& text, int step) {
    const std::string path = boards + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(path, kBase + std::chrono::seconds(step));
    return path;
}

Pgn& PipelineTest::addGame(const std::string& name, const std::string& text) {
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

void PipelineTest::useEdited(Pgn& game, const std::string& text) {
    std::ofstream(game.PathFinal, std::ios::binary) << text;
    game.setUseFinal(true);
}

std::string FakePageText(const std::string& page) {
    const std::string head = "<html><body>", tail = "</body></html>";
    if (page.starts_with(head) && page.ends_with(tail)) {
        return page.substr(head.size(), page.size() - head.size() - tail.size());
    }
    return page;
}

std::string PipelineTest::htmlPage(const std::string& page) const {
    return FakePageText(readFile(state.settings.spubPathHtml + page));
}

bool PipelineTest::htmlExists(const std::string& page) const {
    return fs::exists(state.settings.spubPathHtml + page);
}

bool PipelineTest::logHas(const std::string& text) const {
    return ui.logText().find(text) != std::string::npos;
}

int zombieChildren() {
    int zombies = 0;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // pid (comm) state ppid ...: the command may hold blanks, so read after the ")".
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        std::string procState, ppid;
        rest >> procState >> ppid;
        zombies += procState == "Z" && ppid == self;
    }
    return zombies;
}

}  // namespace korvane::test
