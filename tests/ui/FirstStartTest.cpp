// The whole first start through the real windows, with the real converter and real timers:
// settings dialog with the bundled defaults, New Project, START, a new move published, the
// settings written at the end and read by the next start.

#include <QLineEdit>
#include <QMenu>
#include <filesystem>

#include "UiFixture.h"
#include "core/Config.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

using FirstStartTest = UiTest;

TEST_F(FirstStartTest, SettingsNewProjectStartAndAPublishedMoveThenASecondStart) {
    const Lines names{"board1.pgn", "board2.pgn", "board3.pgn"};
    writeSource(names[0], LiveGame("Kovacs", "Lindqvist", "1. e4 e5 2. Nf3"), 0);
    writeSource(names[1], LiveGame("Moreau", "Tanaka", "1. d4 Nf6"), 0);
    writeSource(names[2], LiveGame("Okafor", "Silva", "1. c4"), 0);

    std::string offeredConverter, offeredIni;
    whenModal("frmSettings", [&](QWidget& dialog) {
        offeredConverter = dialog.findChild<QLineEdit*>("txtPath_0")->text().toStdString();
        offeredIni = dialog.findChild<QLineEdit*>("txtPath_1")->text().toStdString();
        dialog.findChild<QLineEdit*>("txtPath_2")->setText(QString::fromStdString(html));
        dialog.findChild<QLineEdit*>("txtScanTime")->setText("2");
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    });
    ASSERT_TRUE(start());

    EXPECT_TRUE(fs::equivalent(offeredConverter, KORVANE_VISTREL));
    EXPECT_TRUE(offeredIni.ends_with("vistrel-game.ini"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.titles().front();
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_TRUE(find<QAction>("mnuSaveSettings")->isEnabled());
    EXPECT_TRUE(project().isVisible());

    newProject(names);
    EXPECT_EQ(files.titles.back(), "Select Pgn Files To Monitor");
    EXPECT_EQ(find<QListWidget>("lboPgnFiles")->count(), 3);
    EXPECT_FALSE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_TRUE(find<QMenu>("mnuPgn")->menuAction()->isVisible());

    click("cmdStart");
    writeSource(names[0], LiveGame("Kovacs", "Lindqvist", "1. e4 e5 2. Nf3 Nc6"), 5);
    const std::string page = html + "board1.htm";
    ASSERT_TRUE(waitFor([&] { return pliesShown(readFile(page)) == 4; }));
    EXPECT_NE(readFile(page).find("Nc6"), std::string::npos);
    EXPECT_FALSE(fs::exists(html + "board2.htm"));  // unchanged games wait for their move
    EXPECT_EQ(project().logText(), "");

    boxes.answerNext(Answer::Yes);  // "Do you want to close the project?"
    mainWindow().close();
    EXPECT_EQ(boxes.titles().back(), "Close Project?");
    const std::string cfg = readFile(dir.file(kSettingsFileName));
    EXPECT_NE(cfg.find("spubPathHtml=" + html + "\r\n"), std::string::npos);
    EXPECT_NE(cfg.find("lpubScanTime=2\r\n"), std::string::npos);

    // The second start reads the file; only the work files of the first session are asked
    // about.
    program.reset();
    boxes.boxes.clear();
    boxes.answerNext(Answer::No);
    ASSERT_TRUE(start());
    EXPECT_EQ(boxes.titles(), Lines{"Delete Old Temporary Files?"});
    EXPECT_EQ(state().settings.spubPathHtml, html);
    EXPECT_EQ(state().settings.lpubScanTime, 2);
    EXPECT_TRUE(project().isVisible());
}

}  // namespace
}  // namespace korvane::test
