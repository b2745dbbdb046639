// The converter's command-line contract, run on the built program: page name and place,
// vislog.txt on errors with no page, exit codes, blanks in paths, stale files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using korvane::test::readFile;
using korvane::test::TempDir;

struct ProgramRun {
    int status = -1;
    std::string err;
};

// Runs vistrel with exactly these arguments (no shell, so a path with blanks may come as
// one argument or as several, as an unquoting caller would pass it).
ProgramRun runVistrel(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        std::vector<char*> argv{const_cast<char*>(KORVANE_VISTREL)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(KORVANE_VISTREL, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    ProgramRun run;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        run.err.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kGame =
    "[Event \"Round 5\"]\n[White \"Kovacs\"]\n[Black \"Lindqvist\"]\n[Result \"*\"]\n\n"
    "1. e4 e5 2. Nf3 Nc6 *\n";
const std::string kIllegal =
    "[White \"Kovacs\"]\n[Black \"Lindqvist\"]\n\n1. e4 e5 2. Nf3 Nf6 3. Nxe5 Nxe4 4. Qe2 Nxe5 *\n";

std::string gameIni() {
    return std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(VistrelCli, WritesThePageBesideThePgnAndReplacesAStalePage) {
    TempDir dir;
    const std::string pgn = dir.write("games/round5.pgn", kGame);
    dir.write("games/round5.htm", "stale page");
    dir.write("games/vislog.txt", "old failure");

    const ProgramRun run = runVistrel({pgn, gameIni(), "-x"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string page = readFile(dir.file("games/round5.htm"));
    EXPECT_NE(page.find("<html"), std::string::npos);
    EXPECT_NE(page.find("Lindqvist"), std::string::npos);
    // The old log is gone (it would read as this run's failure) and no temporary file is left.
    EXPECT_EQ(filesIn(dir.file("games")), (std::vector<std::string>{"round5.htm", "round5.pgn"}));
}

TEST(VistrelCli, PageNameReplacesTheLastFourCharacters) {
    TempDir dir;
    for (const auto& [pgn, page] : {std::pair{"allgames.pgn", "allgames.htm"},
                                    {"upper.PGN", "upper.htm"},
                                    {"notes.txt", "notes.htm"}}) {
        const ProgramRun run = runVistrel({dir.write(pgn, kGame), gameIni(), "-x"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(fs::exists(dir.file(page))) << page;
    }
}

TEST(VistrelCli, OverviewIniMakesTheOverviewPage) {
    TempDir dir;
    const std::string pgn =
        dir.write("allgames.pgn", "%vis3 over,round5.htm\r\n%vis3 over, 1, Down\r\n\r\n" + kGame);
    const ProgramRun run =
        runVistrel({pgn, std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini", "-x"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readFile(dir.file("allgames.htm")).find("round5.htm"), std::string::npos);
}

TEST(VistrelCli, PathsWithBlanksWorkQuotedOrSplit) {
    TempDir dir;
    const std::string pgn = dir.write("my games/round 5.pgn", kGame);
    const std::string ini = dir.write("my settings/game page.ini", readFile(gameIni()));

    EXPECT_EQ(runVistrel({pgn, ini, "-x"}).status, 0);
    ASSERT_TRUE(fs::remove(dir.file("my games/round 5.htm")));

    // An unquoting caller splits each path at its blanks.
    std::vector<std::string> split;
    for (const std::string& path : {pgn, ini}) {
        size_t start = 0;
        for (size_t blank; (blank = path.find(' ', start)) != std::string::npos;
             start = blank + 1) {
            split.push_back(path.substr(start, blank - start));
        }
        split.push_back(path.substr(start));
    }
    split.push_back("-x");
    ASSERT_GT(split.size(), 3u);
    const ProgramRun run = runVistrel(split);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir.file("my games/round 5.htm")));
}

// Every conversion error: exit status 1, vislog.txt beside the PGN holding exactly the
// message, and no page (a stale one is removed, so it cannot pass for this run's result).
struct ErrorCase {
    const char* name;
    const char* pgnText;  // nullptr: the PGN file does not exist
    const char* iniText;  // nullptr: the default game ini; "": the ini does not exist
    const char* message;  // the whole log text; "<dir>" stands for the temporary directory
};

class VistrelCliError : public testing::TestWithParam<ErrorCase> {};

TEST_P(VistrelCliError, WritesVislogAndNoPage) {
    const ErrorCase& c = GetParam();
    TempDir dir;
    const std::string pgn = c.pgnText ? dir.write("round5.pgn", c.pgnText) : dir.file("round5.pgn");
    dir.write("round5.htm", "stale page");
    std::string ini = gameIni();
    if (c.iniText != nullptr) {
        ini = *c.iniText ? dir.write("page.ini", c.iniText) : dir.file("missing.ini");
    }

    const ProgramRun run = runVistrel({pgn, ini, "-x"});
    EXPECT_EQ(run.status, 1);
    std::string expected = c.message;
    if (const size_t at = expected.find("<dir>"); at != std::string::npos) {
        expected.replace(at, 5, dir.path());
    }
    EXPECT_EQ(readFile(dir.file("vislog.txt")), expected);
    EXPECT_EQ(run.err, expected + "\n");
    EXPECT_FALSE(fs::exists(dir.file("round5.htm")));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, VistrelCliError,
    testing::Values(
        ErrorCase{"IllegalMove", kIllegal.c_str(), nullptr,
                  "round5.pgn, line 4: illegal move 4... Nxe5 (no black knight can reach e5) in "
                  "game 1, Kovacs - Lindqvist"},
        ErrorCase{"NoGame", "\n\n", nullptr, "round5.pgn: there is no game in the file"},
        ErrorCase{"MissingPgn", nullptr, nullptr,
                  "cannot read the PGN file <dir>/round5.pgn: No such file or directory"},
        ErrorCase{"MissingIni", kGame.c_str(), "",
                  "cannot read the ini file <dir>/missing.ini: No such file or directory"},
        ErrorCase{"BadIni", kGame.c_str(), "[page]\nrefresh = soon\n",
                  "page.ini, line 2 (refresh = soon): bad value \"soon\" for refresh: expected a "
                  "whole number from 0 to 86400"}),
    [](const testing::TestParamInfo<ErrorCase>& p) { return std::string(p.param.name); });

TEST(VistrelCli, BadArgumentsGiveTheUsageLine) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"only.pgn"}, {"a.pgn", "b.ini", "-q"}, {"-x"}}) {
        const ProgramRun run = runVistrel(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "usage: vistrel <pgn file> <ini file> -x\n");
    }
}

}  // namespace
