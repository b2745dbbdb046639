// The windows around the project file and the local preview: start-up resumes the last
// project into the monitor window, the program's exit keeps it while closing the project
// forgets it, and the pages of the HTML directory open in the browser.

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <filesystem>

#include "core/Config.h"
#include "core/ProjectFile.h"
#include "pipeline/Monitor.h"
#include "support/FixedClock.h"
#include "support/TempDir.h"
#include "ui/Program.h"
#include "ui/frmMain.h"
#include "ui/frmProject.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class ResumeWindowsTest : public ::testing::Test {
protected:
    ResumeWindowsTest() {
        html = dir.path() + "/html/";
        fs::create_directories(html);
        Settings settings;
        settings.spubPathVistrel = KORVANE_VISTREL;
        settings.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
        settings.spubPathIntroIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini";
        settings.spubPathHtml = html;
        settings.lpubScanTime = 600;
        settings.bIntroPage = true;
        dir.write(kSettingsFileName, SettingsText(settings));
        Project project;
        project.monitoring = true;
        for (const char* name : {"a.pgn", "b.pgn"}) {
            const std::string source = dir.write(std::string("boards/") + name, "1. e4 *\n");
            project.games.push_back({name, source, "", "", "", false, false, std::nullopt});
        }
        dir.write(kProjectFileName, ProjectText(project));
    }

    std::unique_ptr<Program> start() {
        auto program = std::make_unique<Program>(Program::Options{
            dir.path(), "", nullptr,
            [this](const std::string& text, const std::string& title, Buttons, Icon) {
                boxes.push_back(title + ": " + text);
                return Answer::Yes;
            },
            &clock});
        program->mainWindow().openInBrowser = [this](const std::string& path) {
            opened.push_back(path);
        };
        EXPECT_TRUE(program->Main());
        return program;
    }

    Project savedProject() const {
        Project project;
        std::string why;
        EXPECT_TRUE(ParseProject(readFile(dir.file(kProjectFileName)), project, why)) << why;
        return project;
    }

    TempDir dir;
    FixedClock clock;
    std::string html;
    std::vector<std::string> boxes;
    std::vector<std::string> opened;
};

TEST_F(ResumeWindowsTest, StartUpResumesTheProjectAndTheExitKeepsIt) {
    auto program = start();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], "Resume Project: Resume the last project (2 games)?");
    frmMain& main = program->mainWindow();
    ASSERT_NE(main.project(), nullptr);
    EXPECT_EQ(main.project()->findChild<QListWidget*>("lboPgnFiles")->count(), 2);
    EXPECT_TRUE(main.project()->monitor().countRunning());
    EXPECT_FALSE(main.findChild<QAction*>("mnuFileNew")->isEnabled());

    main.close();  // Yes to "Do you want to close the project?"
    EXPECT_EQ(savedProject().games.size(), 2u);
    EXPECT_TRUE(savedProject().monitoring);
}

TEST_F(ResumeWindowsTest, ClosingTheProjectForgetsIt) {
    auto program = start();
    program->mainWindow().project()->parentWidget()->close();
    EXPECT_TRUE(savedProject().games.empty());
}

TEST_F(ResumeWindowsTest, PagesOpenInTheBrowserOnceTheyExist) {
    auto program = start();
    frmMain& main = program->mainWindow();
    QAction* overview = main.findChild<QAction*>("mnuWindowOpenOverview");
    ASSERT_NE(overview, nullptr);
    boxes.clear();
    overview->trigger();
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(html + "allgames.htm has not been made yet"), std::string::npos)
        << boxes[0];

    dir.write("html/allgames.htm", "<html></html>");
    overview->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{html + "allgames.htm"});

    dir.write("html/b.htm", "<html></html>");
    auto* list = main.project()->findChild<QListWidget*>("lboPgnFiles");
    list->setCurrentRow(1);
    QAction* openPage = list->findChild<QAction*>("mnuOpenPage");
    ASSERT_NE(openPage, nullptr);
    EXPECT_EQ(openPage->text(), "Open Page In Browser");
    openPage->trigger();
    EXPECT_EQ(opened.back(), html + "b.htm");
}

}  // namespace
}  // namespace korvane::test
