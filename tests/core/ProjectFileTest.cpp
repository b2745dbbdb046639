// The project file: what it keeps comes back unchanged, a damaged or foreign file is
// refused with a reason, and a save writes only what changed.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/ProjectFile.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

// What is written reads back, also with LF line ends after an edit on another system; every
// text cut short and every damaged or foreign file is refused with its reason.
TEST(ProjectFile, TextReadsBackAndDamageIsRefused) {
    Project project;
    project.monitoring = true;
    // A name with a line break and bytes that are no UTF-8 must survive as they are.
    project.games = {
        {"round5.pgn", "/boards/100% sure=yes/round5.pgn", "/k/temppgn/round5.pgn", "/k/final/r5",
         "round5.htm", true, false, FileTime(FileTime::duration(1'765'000'000'123'456'789))},
        {"b\xe1r\r\nd.PGN", "/boards/b\xe1r\r\nd.PGN", "/k/temppgn/x", "/k/finalpgn/x",
         "b\xe1r\r\nd.htm", false, true, std::nullopt}};
    const std::string text = ProjectText(project);
    Project read;
    std::string why;
    ASSERT_TRUE(ParseProject(text, read, why)) << why;
    EXPECT_EQ(read, project);
    std::string lfOnly = text;
    std::erase(lfOnly, '\r');
    ASSERT_TRUE(ParseProject(lfOnly, read, why)) << why;
    EXPECT_EQ(read, project);

    for (std::size_t length = 0; length + 2 < text.size(); ++length) {
        why.clear();
        EXPECT_FALSE(ParseProject(text.substr(0, length), read, why)) << length;
        EXPECT_FALSE(why.empty());
    }

    auto file = [](int count, const std::string& games) {
        return "%Korvane project 1\r\nmonitoring=False\r\ngames=" + std::to_string(count) + "\r\n" +
               games + "%end\r\n";
    };
    const std::string a = "[game]\r\nKey=a.pgn\r\nPathSource=/a.pgn\r\n";
    for (const auto& [bad, reason] : std::vector<std::pair<std::string, std::string>>{
             {"%\r\nspubPathVistrel=/usr/bin/vistrel\r\n", "not a Korvane project"},
             {"%Korvane project 2\r\ngames=0\r\n%end\r\n", "not a Korvane project"},
             {file(2, a), "1 games instead of 2"},
             {file(1, "[game]\r\nKey=a.pgn\r\n"), "no source file"},
             {file(2, a + "[game]\r\nKey=A.PGN\r\nPathSource=/y/A.PGN\r\n"), "listed twice"},
             {file(1, a + "bSleep=yes\r\n"), "line 7 has a bad value"},
             {file(1, a + "LastTime=12:30\r\n"), "bad value"},
             {file(1, "[game]\r\nKey=a%2.pgn\r\nPathSource=/a.pgn\r\n"), "bad value"}}) {
        why.clear();
        EXPECT_FALSE(ParseProject(bad, read, why)) << bad;
        EXPECT_NE(why.find(reason), std::string::npos) << why;
    }
}

TEST(ProjectFileSave, WritesOnlyWhatChangedAndReportsAFailureOnce) {
    TestProgram program;
    program.state.addGame("a.pgn").PathSource = "/b/a.pgn";
    SaveProject(program.state);
    const std::string path = program.dir.file(kProjectFileName);
    Project read;
    std::string why;
    ASSERT_TRUE(ParseProject(readFile(path), read, why)) << why;
    EXPECT_EQ(read, CurrentProject(program.state));

    // Unchanged: the file is not touched again.
    fs::remove(path);
    SaveProject(program.state);
    EXPECT_FALSE(fs::exists(path));

    // A project file that cannot be replaced (a directory stands in its place): one log
    // entry, however often it is saved.
    program.state.monitorList.Item(1).bSleep = true;
    fs::create_directory(path);
    SaveProject(program.state);
    program.state.monitoringStarted = true;
    SaveProject(program.state);
    const std::string log = program.ui.logText();
    EXPECT_NE(log.find("The project could not be saved"), std::string::npos);
    EXPECT_EQ(log.find("could not be saved"), log.rfind("could not be saved"));
    fs::remove(path);
    SaveProject(program.state);
    ASSERT_TRUE(ParseProject(readFile(path), read, why)) << why;
    EXPECT_TRUE(read.monitoring);
    EXPECT_TRUE(read.games[0].sleep);
}

}  // namespace
}  // namespace korvane::test
