// The project file: what it keeps comes back unchanged, a damaged or foreign file is
// refused with a reason, and start-up offers to resume a project that lists games.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/ProjectFile.h"
#include "core/Startup.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

Project sampleProject() {
    Project project;
    project.monitoring = true;
    ProjectGame edited{"round5.pgn",
                       "/boards/100% sure=yes/round5.pgn",
                       "/k/temppgn/round5.pgn",
                       "/k/finalpgn/round5.pgn",
                       "round5.htm",
                       true,
                       false,
                       FileTime(FileTime::duration(1'765'000'000'123'456'789))};
    // A name with a line break and bytes that are no UTF-8 must survive as they are.
    ProjectGame odd{"b\xe1r\r\nd.PGN",
                    "/boards/b\xe1r\r\nd.PGN",
                    "/k/temppgn/x",
                    "/k/finalpgn/x",
                    "b\xe1r\r\nd.htm",
                    false,
                    true,
                    std::nullopt};
    project.games = {edited, odd};
    return project;
}

TEST(ProjectFile, TextReadsBackToTheSameProject) {
    const Project project = sampleProject();
    const std::string text = ProjectText(project);
    Project read;
    std::string why;
    ASSERT_TRUE(ParseProject(text, read, why)) << why;
    EXPECT_EQ(read, project);
    // Files edited by hand on another system may end lines with LF only.
    std::string lfOnly;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lfOnly += text[i];
        }
    }
    ASSERT_TRUE(ParseProject(lfOnly, read, why)) << why;
    EXPECT_EQ(read, project);
}

TEST(ProjectFile, EveryCutShortTextIsRefused) {
    const std::string text = ProjectText(sampleProject());
    for (std::size_t length = 0; length + 2 < text.size(); ++length) {
        Project read;
        std::string why;
        EXPECT_FALSE(ParseProject(text.substr(0, length), read, why)) << length;
        EXPECT_FALSE(why.empty());
    }
}

struct BadFile {
    const char* name;
    std::string text;
    const char* reason;
};

class DamagedProjectFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(DamagedProjectFile, IsRefusedWithItsReason) {
    Project read;
    std::string why;
    EXPECT_FALSE(ParseProject(GetParam().text, read, why));
    EXPECT_NE(why.find(GetParam().reason), std::string::npos) << why;
}

const std::string kHead = "%Korvane project 1\r\nmonitoring=False\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedProjectFile,
    ::testing::Values(
        BadFile{"Empty", "", "not a Korvane project"},
        BadFile{"SettingsFile", "%\r\nspubPathVistrel=/usr/bin/vistrel\r\n",
                "not a Korvane project"},
        BadFile{"LaterVersion", "%Korvane project 2\r\ngames=0\r\n%end\r\n",
                "not a Korvane project"},
        BadFile{"CountDiffers",
                kHead + "games=2\r\n[game]\r\nKey=a.pgn\r\nPathSource=/a.pgn\r\n%end\r\n",
                "1 games instead of 2"},
        BadFile{"GameWithoutSource", kHead + "games=1\r\n[game]\r\nKey=a.pgn\r\n%end\r\n",
                "no source file"},
        BadFile{"SameNameTwice",
                kHead +
                    "games=2\r\n[game]\r\nKey=a.pgn\r\nPathSource=/x/a.pgn\r\n[game]\r\nKey=A.PGN"
                    "\r\nPathSource=/y/A.PGN\r\n%end\r\n",
                "listed twice"},
        BadFile{"BadFlag",
                kHead + "games=1\r\n[game]\r\nKey=a.pgn\r\nPathSource=/a.pgn\r\nbSleep=yes\r\n"
                        "%end\r\n",
                "line 7 has a bad value"},
        BadFile{"BadTime",
                kHead + "games=1\r\n[game]\r\nKey=a.pgn\r\nPathSource=/a.pgn\r\nLastTime=12:30\r\n"
                        "%end\r\n",
                "bad value"},
        BadFile{"BadEscape",
                kHead + "games=1\r\n[game]\r\nKey=a%2.pgn\r\nPathSource=/a.pgn\r\n%end\r\n",
                "bad value"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

class ResumeAtStartup : public ::testing::Test {
protected:
    ResumeAtStartup() {
        program.dir.write("korvane.cfg", "%\r\n");
        Project project;
        project.games = {{"a.pgn", "/b/a.pgn", "", "", "a.htm", false, false, std::nullopt},
                         {"b.pgn", "/b/b.pgn", "", "", "b.htm", true, true, std::nullopt}};
        program.dir.write(kProjectFileName, ProjectText(project));
        // Work files of the last session, which a resumed project still needs.
        program.dir.write("finalpgn/b.pgn", "{the operator's comments} 1. e4 *");
    }
    TestProgram program;
};

TEST_F(ResumeAtStartup, YesKeepsTheProjectAndItsWorkFiles) {
    program.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(program.state));
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].text, "Resume the last project (2 games)?");
    EXPECT_EQ(program.ui.boxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(program.ui.boxes[0].icon, Icon::Question);
    ASSERT_TRUE(program.state.pendingResume.has_value());
    EXPECT_EQ(program.state.pendingResume->games.size(), 2u);
    EXPECT_TRUE(fs::exists(program.dir.file("finalpgn/b.pgn")));
}

TEST_F(ResumeAtStartup, ResumeOptionTakesTheProjectWithoutAsking) {
    program.state.bResumeWithoutAsking = true;
    ASSERT_TRUE(Main(program.state));
    EXPECT_TRUE(program.ui.boxes.empty());
    ASSERT_TRUE(program.state.pendingResume.has_value());
    EXPECT_EQ(program.state.pendingResume->games.size(), 2u);
}

TEST_F(ResumeAtStartup, NoStartsEmptyAndOffersToDeleteTheOldFiles) {
    program.ui.answerNext(Answer::No);
    program.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(program.state));
    ASSERT_EQ(program.ui.boxes.size(), 2u);
    EXPECT_EQ(program.ui.boxes[1].title, "Delete Old Temporary Files?");
    EXPECT_FALSE(program.state.pendingResume.has_value());
    EXPECT_FALSE(fs::exists(program.dir.file("finalpgn/b.pgn")));
}

TEST_F(ResumeAtStartup, AProjectWithoutGamesAsksNothing) {
    program.dir.write(kProjectFileName, ProjectText(Project{}));
    fs::remove(program.dir.file("finalpgn/b.pgn"));
    ASSERT_TRUE(Main(program.state));
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_FALSE(program.state.pendingResume.has_value());
}

TEST_F(ResumeAtStartup, TruncatedFileIsReportedOnceAndStartsEmpty) {
    const std::string text = readFile(program.dir.file(kProjectFileName));
    program.dir.write(kProjectFileName, text.substr(0, text.size() / 2));
    fs::remove(program.dir.file("finalpgn/b.pgn"));
    program.ui.answerOkByDefault();
    ASSERT_TRUE(Main(program.state));
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].title, "Resume Project");
    EXPECT_NE(program.ui.boxes[0].text.find("cut short"), std::string::npos);
    EXPECT_FALSE(program.state.pendingResume.has_value());
    EXPECT_TRUE(fs::exists(program.dir.file(kDamagedProjectFileName)));

    // The next start says nothing more about it.
    TestProgram again;
    again.state.programDir = program.state.programDir;
    ASSERT_TRUE(Main(again.state));
    EXPECT_TRUE(again.ui.boxes.empty());
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
