// New Project, closing the project, and the file dialog's rules: how a multiple selection is
// taken apart and how one file is chosen for the settings.

#include <filesystem>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/Project.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class ProjectTest : public MonitorWindowTest {
protected:
    ProjectTest() {
        useFakeConverter();
        program.dir.write("game.ini", "[page]\n");
        state.settings.spubPathpgn = boards;
        writeSource("a.pgn", "1. e4 *", 1);
        writeSource("b.pgn", "1. d4 *", 1);
    }
};

TEST_F(ProjectTest, NewProjectReplacesTheListWithTheChosenGames) {
    addGame("old.pgn", "1. c4 *");
    view.addPgnLine("old.pgn");
    dialog.choose(boards, {"a.pgn", "b.pgn"});

    ASSERT_TRUE(NewProject(state, list, view));
    EXPECT_EQ(view.lines, (Lines{"a.pgn", "b.pgn"}));
    EXPECT_EQ(state.monitorList.Count(), 2);
    EXPECT_TRUE(dialog.multiSelect);
    EXPECT_TRUE(state.bPathsOk);
    EXPECT_TRUE(list.sDialogPurpose.empty());
    EXPECT_EQ(ui.settingsDialogs, 0);
}

TEST_F(ProjectTest, CancelledOrRefusedChoiceLeavesNoProject) {
    dialog.answers.push_back(std::nullopt);
    EXPECT_FALSE(NewProject(state, list, view));
    EXPECT_EQ(state.monitorList.Count(), 0);

    // Games from a reserved directory: refused, and the error flag does not stay set.
    ui.answerNext(Answer::Ok);
    dialog.choose(state.tempDir, {"a.pgn", "b.pgn"});
    EXPECT_FALSE(NewProject(state, list, view));
    EXPECT_EQ(ui.boxes.back().title, "Sorry!");
    EXPECT_FALSE(state.bError);
    EXPECT_EQ(state.monitorList.Count(), 0);
}

TEST_F(ProjectTest, UnusablePathsOpenTheSettingsDialog) {
    state.settings.spubPathVistrel.clear();
    ui.answerNext(Answer::Ok);
    dialog.choose(boards, {"a.pgn", "b.pgn"});
    EXPECT_TRUE(NewProject(state, list, view));
    EXPECT_EQ(ui.boxes.back().title, "Path Needed");
    EXPECT_EQ(ui.settingsDialogs, 1);
}

TEST_F(ProjectTest, ClosingEmptiesTheListLastFirst) {
    addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    auto held = state.monitorList.Share(1);  // a cycle still working on a game
    state.tagsToChange = {"WhiteClock"};
    CloseProject(state);
    ReleaseTagsToChange(state);
    EXPECT_EQ(state.monitorList.Count(), 0);
    EXPECT_TRUE(state.tagsToChange.empty());
    EXPECT_EQ(held->Key, "a.pgn");
}

TEST(ParseMultiFileName, SplitsTheSystemsMultipleSelection) {
    const FileSelection several = ParseMultiFileName(std::string("/games\0a.pgn\0b.pgn\0\0", 20));
    EXPECT_EQ(several.directory, "/games");
    EXPECT_EQ(several.names, (Lines{"a.pgn", "b.pgn"}));

    const FileSelection one = ParseMultiFileName("/games/round 1/a.pgn");
    EXPECT_EQ(one.directory, "/games/round 1");
    EXPECT_EQ(one.names, Lines{"a.pgn"});

    const FileSelection bare = ParseMultiFileName("/a.pgn");
    EXPECT_EQ(bare.directory, "");
    EXPECT_EQ(bare.names, Lines{"/a.pgn"});
}

TEST_F(ProjectTest, OneFileIsChosenByTypeButProgramsNeedNoExtension) {
    dialog.choose(boards, {"vistrel"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel", "EXE", ""), boards + "vistrel");

    ui.answerNext(Answer::Ok);
    dialog.choose(boards, {"game.pgn"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""), "");
    EXPECT_EQ(ui.boxes.back().text, "Not a *.INI file");
    EXPECT_EQ(ui.boxes.back().title, "Wrong File Type");

    dialog.choose(boards, {"Game.INI"});
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""),
              boards + "Game.INI");
    dialog.answers.push_back(std::nullopt);
    EXPECT_EQ(ChooseOneFile(state, dialog, "Location of Vistrel Ini File", "INI", ""), "");
}

}  // namespace
}  // namespace korvane::test
