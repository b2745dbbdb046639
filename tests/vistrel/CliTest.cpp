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

// Runs vistrel with these shell words: quoted paths stay whole, unquoted ones are split at
// their blanks, as an unquoting caller would pass them.
ProgramRun runVistrel(const std::string& words) {
    const std::string command = std::string("'") + KORVANE_VISTREL + "' " + words;
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

std::string quoted(const std::string& pgn, const std::string& ini) {
    return "'" + pgn + "' '" + ini + "' -x";
}

const std::string kGame =
    "[Event \"Round 5\"]\n[White \"Kovacs\"]\n[Black \"Lindqvist\"]\n[Result \"*\"]\n\n"
    "1. e4 e5 2. Nf3 Nc6 *\n";
const std::string kGameIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";

// A successful run: the page is written beside the PGN under the PGN's name with its last
// four characters replaced; a stale page is replaced, an old vislog.txt (it would read as
// this run's failure) is removed and no temporary file is left. Paths with blanks work quoted
// and also split at their blanks.
TEST(VistrelCli, WritesThePageBesideThePgn) {
    const struct {
        const char *pgn, *page, *ini;  // a shipped ini, copied into a folder with a blank
        bool split;
    } rows[] = {{"round5.pgn", "round5.htm", "vistrel-game.ini", false},
                {"upper.PGN", "upper.htm", "vistrel-game.ini", false},
                {"notes.txt", "notes.htm", "vistrel-game.ini", false},
                {"round 5.pgn", "round 5.htm", "vistrel-game.ini", true},
                {"allgames.pgn", "allgames.htm", "vistrel-overview.ini", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pgn);
        TempDir dir;
        const std::string games = "my games/";
        dir.write(games + row.page, "stale page");
        dir.write(games + "vislog.txt", "old failure");
        const bool overview = std::string(row.ini) == "vistrel-overview.ini";
        const std::string pgn = dir.write(
            games + row.pgn,
            overview ? "%vis3 over,round5.htm\r\n%vis3 over, 1, Down\r\n\r\n" + kGame : kGame);
        const std::string ini =
            dir.write(std::string("my settings/") + row.ini,
                      readFile(std::string(KORVANE_SOURCE_DIR) + "/data/" + row.ini));
        const ProgramRun run = runVistrel(row.split ? pgn + " " + ini + " -x" : quoted(pgn, ini));
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string page = readFile(dir.file(games + row.page));
        EXPECT_NE(page.find(overview ? "round5.htm" : "Lindqvist"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir.file(games + "vislog.txt")));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.file(games)), {}), 2);
    }
}

// Every conversion error: exit status 1, vislog.txt beside the PGN holding the message
// (checked up to its first words where the message goes on), the same on stderr, and no
// page (a stale one is removed, so it cannot pass for this run's result).
TEST(VistrelCli, ErrorsWriteVislogAndNoPage) {
    const struct {
        const char* name;
        std::string pgn;      // empty: the PGN file does not exist
        std::string ini;      // empty: the game ini; "-": the ini does not exist
        std::string message;  // "<dir>" stands for the temporary directory
    } rows[] = {
        {"IllegalMove", "[White \"K\"]\n\n1. e4 e5 2. Nf3 Nf6 3. Nxe5 Nxe4 4. Qe2 Nxe5 *\n", "",
         "round5.pgn, line 3: illegal move 4... Nxe5 (no black knight can reach e5) in game 1"},
        {"NoGame", "\n\n", "", "round5.pgn: there is no game in the file"},
        {"MissingPgn", "", "",
         "cannot read the PGN file <dir>/round5.pgn: No such file or directory"},
        {"MissingIni", kGame, "-",
         "cannot read the ini file <dir>/missing.ini: No such file or directory"},
        {"OverviewLinkOffTheSite",
         "%vis3 over,board1.htm\n%vis3 over,//other.example/x.htm\n[White \"a\"]\n*\n",
         "[page]\nlayout = overview\n",
         "round5.pgn, line 2 (%vis3 over,//other.example/x.htm): the link "
         "\"//other.example/x.htm\" is not the name of a page on this site"},
        {"BadIni", kGame, "[page]\nrefresh = soon\n",
         "page.ini, line 2 (refresh = soon): bad value \"soon\" for refresh"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string pgn =
            row.pgn.empty() ? dir.file("round5.pgn") : dir.write("round5.pgn", row.pgn);
        dir.write("round5.htm", "stale page");
        const std::string ini = row.ini.empty()  ? kGameIni
                                : row.ini == "-" ? dir.file("missing.ini")
                                                 : dir.write("page.ini", row.ini);
        const ProgramRun run = runVistrel(quoted(pgn, ini));
        EXPECT_EQ(run.status, 1);
        std::string expected = row.message;
        if (const size_t at = expected.find("<dir>"); at != std::string::npos) {
            expected.replace(at, 5, dir.path());
        }
        const std::string vislog = readFile(dir.file("vislog.txt"));
        EXPECT_EQ(vislog.substr(0, expected.size()), expected);
        EXPECT_EQ(run.err, vislog + "\n");
        EXPECT_FALSE(fs::exists(dir.file("round5.htm")));
    }
}

// A page past the size limit is refused with a message, like any other conversion error.
TEST(VistrelCli, RefusesAPageLargerThanTheLimit) {
    TempDir dir;
    const std::string pgn = dir.write("round5.pgn", kGame + kGame + kGame);
    std::ostringstream err;
    EXPECT_EQ(vistrel::runCli({pgn, kGameIni, "-x"}, err, 1000), vistrel::kExitConversionError);
    EXPECT_EQ(readFile(dir.file("vislog.txt")),
              "round5.pgn: the page for its 3 games would be larger than 1000 bytes; split the "
              "file into smaller ones");
    EXPECT_FALSE(fs::exists(dir.file("round5.htm")));
    EXPECT_EQ(vistrel::runCli({pgn, kGameIni, "-x"}, err), vistrel::kExitOk);
}

TEST(VistrelCli, BadArgumentsGiveTheUsageLine) {
    for (const char* words : {"", "only.pgn", "a.pgn b.ini -q", "-x"}) {
        const ProgramRun run = runVistrel(words);
        EXPECT_EQ(run.status, 2) << words;
        EXPECT_EQ(run.err, "usage: vistrel <pgn file> <ini file> -x\n");
    }
}

}  // namespace
