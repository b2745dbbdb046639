// Start-up: first start and its converter defaults, reading the settings, work directories,
// old work files and the offer to resume the last project.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/ConverterDefaults.h"
#include "core/ProjectFile.h"
#include "core/Startup.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class StartupTest : public ::testing::Test {
protected:
    StartupTest() {
        // Start from a bare program directory: Main makes the work directories itself.
        for (const char* d : {"temppgn", "finalpgn", "backup"}) {
            fs::remove_all(program.dir.file(d));
        }
    }
    bool exists(const std::string& name) const { return fs::exists(program.dir.file(name)); }

    TestProgram program;
    std::vector<RecordedBox>& boxes = program.ui.boxes;
};

// The converter and its ini files are found from the program's directory in the build tree
// and side by side (the installed layout is tested by the install test); a chosen path stays.
TEST(ConverterDefaults, FoundFromTheProgramsDirectory) {
    for (const auto& [exeDir, vistrel, data] :
         {std::tuple{"build/ui", "build/vistrel/vistrel", "data"},
          std::tuple{"bin", "bin/vistrel", "bin/data"}}) {
        TempDir root;
        const std::string converter = root.write(vistrel, "");
        const std::string ini = root.write(std::string(data) + "/vistrel-game.ini", "");
        root.write(std::string(data) + "/vistrel-overview.ini", "");
        Settings s;
        s.spubPathIntroIni = "/opt/other/overview.ini";
        FillConverterDefaults(s, root.file(exeDir));
        EXPECT_EQ(std::tie(s.spubPathVistrel, s.spubPathVisIni, s.spubPathIntroIni),
                  std::tuple(converter, ini, "/opt/other/overview.ini"))
            << exeDir;
    }
}

// The first start asks for the settings and makes the work directories; later starts read
// the settings and offer to delete old work files.
TEST_F(StartupTest, FirstAndLaterStarts) {
    program.state.bForceConversion = true;
    ASSERT_TRUE(Main(program.state));
    EXPECT_EQ(program.ui.settingsDialogs, 1);
    EXPECT_TRUE(program.state.settings.bpubRenameFiles);
    EXPECT_FALSE(program.state.bForceConversion);
    for (const char* d : {"temppgn", "finalpgn", "backup"}) {
        EXPECT_TRUE(fs::is_directory(program.dir.file(d))) << d;
    }

    program.dir.write("korvane.cfg", "%\r\nlpubScanTime=7\r\nbpubRenameFiles=False\r\n");
    for (const char* name : {"temppgn/a.pgn", "backup/B.PGN", "backup/notes.txt"}) {
        program.dir.write(name, "");
    }
    program.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(program.state));
    EXPECT_EQ(program.ui.settingsDialogs, 1);
    EXPECT_EQ(program.state.settings.lpubScanTime, 7);
    EXPECT_FALSE(program.state.settings.bpubRenameFiles);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tie(boxes[0].title, boxes[0].icon, boxes[0].buttons),
              std::tuple("Delete Old Temporary Files?", Icon::Question, Buttons::YesNo));
    const std::string root = program.dir.path();
    EXPECT_NE(
        boxes[0].text.find(":\r\n" + root + "/backup/\r\n" + root + "/temppgn/\r\nUnless you"),
        std::string::npos)
        << boxes[0].text;
    EXPECT_FALSE(exists("temppgn/a.pgn") || exists("backup/B.PGN"));
    EXPECT_TRUE(exists("backup/notes.txt"));

    // Snapshots of a delayed round are old files too; Yes removes them with their folders.
    program.dir.write("delay/games/board1.pgn/0001796567400000.pgn", "");
    program.ui.answerNext(Answer::Yes);
    ASSERT_TRUE(Main(program.state));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].text.find(":\r\n" + root + "/delay/\r\n" + root + "/backup/\r\n"),
              std::string::npos)
        << boxes[1].text;
    EXPECT_TRUE(fs::is_empty(program.dir.file("delay")));

    // The text file left behind brings the question back at the next start; No keeps all.
    program.dir.write("finalpgn/c.pgn", "");
    program.ui.answerNext(Answer::No);
    ASSERT_TRUE(Main(program.state));
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(exists("finalpgn/c.pgn"));
}

// Start-up offers a project that lists games (or takes it when told to); Yes keeps its work
// files, No offers to delete them. A damaged file is reported once and moved aside.
TEST_F(StartupTest, ResumeTheLastProject) {
    program.dir.write("korvane.cfg", "%\r\n");
    Project project;
    project.games = {{"a.pgn", "/b/a.pgn", "", "", "a.htm", false, false, std::nullopt},
                     {"b.pgn", "/b/b.pgn", "", "", "b.htm", true, true, std::nullopt}};
    program.dir.write(kProjectFileName, ProjectText(project));
    program.dir.write("finalpgn/b.pgn", "{the operator's comments} 1. e4 *");
    auto& pending = program.state.pendingResume;
    // Starts again with the answers given; returns whether the project is to be resumed.
    const auto start = [&](std::initializer_list<Answer> answers) {
        pending.reset();
        for (const Answer answer : answers) {
            program.ui.answerNext(answer);
        }
        EXPECT_TRUE(Main(program.state));
        return pending.has_value();
    };

    ASSERT_TRUE(start({Answer::Yes}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Resume the last project (2 games)?");
    EXPECT_EQ(boxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(pending->games, project.games);
    EXPECT_TRUE(exists("finalpgn/b.pgn"));

    program.state.bResumeWithoutAsking = true;
    EXPECT_TRUE(start({})) << "the resume option takes the project without asking";

    program.state.bResumeWithoutAsking = false;
    EXPECT_FALSE(start({Answer::No, Answer::Yes}));
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].title, "Delete Old Temporary Files?");
    EXPECT_FALSE(exists("finalpgn/b.pgn"));

    program.dir.write(kProjectFileName, ProjectText(Project{}));
    EXPECT_FALSE(start({})) << "a project without games asks nothing";

    const std::string text = ProjectText(project);
    program.dir.write(kProjectFileName, text.substr(0, text.size() / 2));
    program.ui.answerOkByDefault();
    EXPECT_FALSE(start({}));
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[3].title, "Resume Project");
    EXPECT_NE(boxes[3].text.find("cut short"), std::string::npos);
    EXPECT_TRUE(exists(kDamagedProjectFileName));
    start({});
    EXPECT_EQ(boxes.size(), 4u) << "the next start says nothing more about it";
}

}  // namespace
}  // namespace korvane::test
