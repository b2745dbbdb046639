// The first start through the real windows, converter and timers, a move published as it is
// written, and a second start that resumes the round.

#include "UiFixture.h"
#include "pipeline/Monitor.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

using FirstStartTest = UiTest;

TEST_F(FirstStartTest, PublishesAMoveKeepsTheRoundAndResumesItAtTheNextStart) {
    const Lines names{"board1.pgn", "board2.pgn", "board3.pgn"};
    writeSource(names[0], LiveGame("Kovacs", "Lindqvist", "1. e4 e5 2. Nf3"), 0);
    writeSource(names[1], LiveGame("Moreau", "Tanaka", "1. d4 Nf6"), 0);
    writeSource(names[2], LiveGame("Okafor", "Silva", "1. c4"), 0);

    whenModal("frmSettings", [&](QWidget& dialog) {
        EXPECT_TRUE(fs::equivalent(dialog.findChild<QLineEdit*>("txtPath_0")->text().toStdString(),
                                   KORVANE_VISTREL));
        EXPECT_TRUE(dialog.findChild<QLineEdit*>("txtPath_1")->text().endsWith("vistrel-game.ini"));
        dialog.findChild<QLineEdit*>("txtPath_2")->setText(QString::fromStdString(html));
        // Far beyond the test's waits: the move below must be published on change.
        dialog.findChild<QLineEdit*>("txtScanTime")->setText("600");
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(boxes.boxes.empty()) << titles().front();

    newProject(names);
    EXPECT_EQ(files.titles.back(), "Select Pgn Files To Monitor");
    auto* list = find<QListWidget>("lboPgnFiles");
    EXPECT_EQ(list->count(), 3);
    EXPECT_TRUE(find<QMenu>("mnuPgn")->menuAction()->isVisible());

    click("cmdStart");
    EXPECT_EQ(list->item(0)->toolTip(), "Watched: published as soon as it changes");
    writeSource(names[0], LiveGame("Kovacs", "Lindqvist", "1. e4 e5 2. Nf3 Nc6"), 5);
    const std::string page = html + "board1.htm";
    ASSERT_TRUE(waitFor([&] { return lastMoveShown(readFile(page)) == "Nc6"; }));
    EXPECT_FALSE(fs::exists(html + "board2.htm"));  // unchanged games wait for their move
    EXPECT_TRUE(project().findChild<QTimer*>("Timer1")->isActive()) << "the count goes on";
    EXPECT_EQ(project().logText(), "");

    boxes.answerNext(Answer::Yes);  // "Do you want to close the project?"
    mainWindow().close();
    EXPECT_EQ(titles().back(), "Close Project?");

    // The second start reads the settings and the project written at exit and resumes the
    // round, counting.
    program.reset();
    boxes.boxes.clear();
    boxes.answerNext(Answer::Yes);
    ASSERT_TRUE(start());
    EXPECT_EQ(boxes.boxes.at(0).text, "Resume the last project (3 games)?");
    EXPECT_EQ(state().settings.spubPathHtml, html);
    EXPECT_EQ(state().settings.lpubScanTime, 600);
    list = find<QListWidget>("lboPgnFiles");
    EXPECT_EQ(list->count(), 3);
    EXPECT_TRUE(project().monitor().countRunning());

    // Pages open in the browser once they exist.
    std::vector<std::string> opened;
    mainWindow().openInBrowser = [&](const std::string& path) { opened.push_back(path); };
    auto* openPage = list->findChild<QAction*>("mnuOpenPage");
    ASSERT_NE(openPage, nullptr);
    list->setCurrentRow(1);
    openPage->trigger();
    EXPECT_TRUE(boxes.boxes.back().text.starts_with(html + "board2.htm has not been made yet"));
    list->setCurrentRow(0);
    openPage->trigger();
    state().settings.bIntroPage = true;
    dir.write("html/allgames.htm", "<html></html>");
    trigger("mnuWindowOpenOverview");
    EXPECT_EQ(opened, (Lines{page, html + "allgames.htm"}));
}

}  // namespace
}  // namespace korvane::test
