// The converter's command-line contract, run on the built program: page name and place,
// vislog.txt on errors with no page, exit codes, blanks in paths, stale files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>

#include "support/TempDir.h"
#include "vistrel/Cli.h"

namespace {

namespace fs = std::filesystem;
using korvane::test::readFile;
using korvane::test::TempDir;

struct ProgramRun {
    int status = -1;
    std::string err;
};

// Runs vistrel with exactly these arguments, each quoted for the shell, so a path with
// blanks may come as one argument or as several, as an unquoting caller would pass it.
ProgramRun runVistrel(const std::vector<std::string>& args) {
    std::string command = std::string("'") + KORVANE_VISTREL + "'";
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    FILE* pipe = popen((command + " 2>&1 >/dev/null").c_str(), "r");
    ProgramRun run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.err.append(buffer, n);
    }
    const int status = pclose(pipe);
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

// A successful run: the page is written beside the PGN under the PGN's name with its last
// four characters replaced; a stale page is replaced, an old vislog.txt (it would read as
// this run's failure) is removed and no temporary file is left.
struct PageCase {
    const char* name;
    const char* pgn;
    const char* page;
    bool overview;  // run with the overview ini on a file with directive lines
};

class VistrelCliPage : public testing::TestWithParam<PageCase> {};

TEST_P(VistrelCliPage, WritesThePageBesideThePgn) {
    const PageCase& c = GetParam();
    TempDir dir;
    dir.write(std::string("games/") + c.page, "stale page");
    dir.write("games/vislog.txt", "old failure");
    const std::string pgn = dir.write(
        std::string("games/") + c.pgn,
        c.overview ? "%vis3 over,round5.htm\r\n%vis3 over, 1, Down\r\n\r\n" + kGame : kGame);
    const std::string ini =
        c.overview ? std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini" : gameIni();
    const ProgramRun run = runVistrel({pgn, ini, "-x"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string page = readFile(dir.file(std::string("games/") + c.page));
    EXPECT_NE(page.find("<html"), std::string::npos);
    EXPECT_NE(page.find(c.overview ? "round5.htm" : "Lindqvist"), std::string::npos);
    std::vector<std::string> expected{c.page, c.pgn};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesIn(dir.file("games")), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, VistrelCliPage,
    testing::Values(PageCase{"GamePage", "round5.pgn", "round5.htm", false},
                    PageCase{"UpperCaseExtension", "upper.PGN", "upper.htm", false},
                    PageCase{"OtherExtension", "notes.txt", "notes.htm", false},
                    PageCase{"OverviewPage", "allgames.pgn", "allgames.htm", true}),
    [](const testing::TestParamInfo<PageCase>& p) { return std::string(p.param.name); });

TEST(VistrelCli, PathsWithBlanksWorkQuotedOrSplit) {
    TempDir dir;
    const std::string pgn = dir.write("my games/round 5.pgn", kGame);
    const std::string ini = dir.write("my settings/game page.ini", readFile(gameIni()));
    EXPECT_EQ(runVistrel({pgn, ini, "-x"}).status, 0);
    ASSERT_TRUE(fs::remove(dir.file("my games/round 5.htm")));

    // An unquoting caller splits each path at its blanks.
    std::vector<std::string> split;
    std::istringstream words(pgn + " " + ini);
    for (std::string word; words >> word;) {
        split.push_back(word);
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
        ErrorCase{"OnlyResults", "* * * * *\n", nullptr,
                  "round5.pgn: there is no game in the file"},
        ErrorCase{"OverviewLinkOffTheSite",
                  "%vis3 over,board1.htm\n%vis3 over,//other.example/x.htm\n[White \"a\"]\n*\n"
                  "[White \"b\"]\n*\n",
                  "[page]\nlayout = overview\n",
                  "round5.pgn, line 2 (%vis3 over,//other.example/x.htm): the link "
                  "\"//other.example/x.htm\" is not the name of a page on this site (no address, "
                  "no \"//\", no \"..\" and no \"/\" at the start)"},
        ErrorCase{"BadIni", kGame.c_str(), "[page]\nrefresh = soon\n",
                  "page.ini, line 2 (refresh = soon): bad value \"soon\" for refresh: expected a "
                  "whole number from 0 to 86400"}),
    [](const testing::TestParamInfo<ErrorCase>& p) { return std::string(p.param.name); });

// A page past the size limit is refused with a message, like any other conversion error.
TEST(VistrelCli, RefusesAPageLargerThanTheLimit) {
    TempDir dir;
    std::string games;
    for (int i = 0; i < 3; ++i) {
        games += kGame;
    }
    const std::string pgn = dir.write("round5.pgn", games);
    std::ostringstream err;
    EXPECT_EQ(vistrel::runCli({pgn, gameIni(), "-x"}, err, 1000), vistrel::kExitConversionError);
    const std::string expected =
        "round5.pgn: the page for its 3 games would be larger than 1000 bytes; split the file "
        "into smaller ones";
    EXPECT_EQ(readFile(dir.file("vislog.txt")), expected);
    EXPECT_EQ(err.str(), expected + "\n");
    EXPECT_FALSE(fs::exists(dir.file("round5.htm")));
    EXPECT_EQ(vistrel::runCli({pgn, gameIni(), "-x"}, err), vistrel::kExitOk);
}

TEST(VistrelCli, BadArgumentsGiveTheUsageLine) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"only.pgn"}, {"a.pgn", "b.ini", "-q"}, {"-x"}}) {
        const ProgramRun run = runVistrel(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "usage: vistrel <pgn file> <ini file> -x\n");
    }
}

}  // namespace
