// The monitor window on real widgets and timers: the countdown and its colour, the alarm,
// Hide FTP Window, the fixed size, the close question and the list buttons.

#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTimer>

#include "UiFixture.h"
#include "core/MessageLog.h"

namespace korvane::test {
namespace {

class MonitorWindowTest : public UiTest {
protected:
    void SetUp() override {
        writeSettings(usableSettings());
        ASSERT_TRUE(start());
        writeSource("a.pgn", LiveGame("Kovacs", "Lindqvist", "1. e4 e5"), 0);
        writeSource("b.pgn", LiveGame("Moreau", "Tanaka", "1. d4"), 0);
    }
    QString countDown() { return find<QLabel>("lblCountDown")->text(); }
    QColor light() { return find<QWidget>("shpStatus")->palette().color(QPalette::Window); }
    QTimer* timer(const char* name) { return project().findChild<QTimer*>(name); }
    QWidget* frame() { return project().parentWidget(); }
    void select(const char* line) {
        auto* list = find<QListWidget>("lboPgnFiles");
        list->setCurrentItem(list->findItems(line, Qt::MatchExactly).front());
    }
};

TEST_F(MonitorWindowTest, CountdownShowsItsStateInLabelAndColour) {
    newProject({"a.pgn", "b.pgn"});
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_EQ(light(), QColor(255, 0, 0));

    click("cmdStart");
    EXPECT_EQ(countDown(), "10");
    EXPECT_EQ(light(), QColor(0, 255, 0));
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Seconds to next scan");
    ASSERT_TRUE(waitFor([&] { return countDown() == "9"; }));

    click("cmdStop");
    EXPECT_EQ(countDown(), "0");
    EXPECT_EQ(light(), QColor(255, 0, 0));
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Timer Stopped");

    // "Go !" converts every game and leaves the count stopped.
    click("cmdStart");
    click("cmdTest");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(html + "a.htm")));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(html + "b.htm")));
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_EQ(countDown(), "0");
    EXPECT_EQ(light(), QColor(255, 0, 0));
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Not Connected To Remote Server");
}

// With publishing on change a move reaches the HTML directory without waiting for the
// count, and the list marks the games as watched.
TEST_F(MonitorWindowTest, AMoveIsPublishedOnChangeAndTheGamesShowAsWatched) {
    newProject({"a.pgn", "b.pgn"});
    click("cmdStart");
    auto* list = find<QListWidget>("lboPgnFiles");
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_FALSE(list->item(row)->font().italic());
        EXPECT_EQ(list->item(row)->toolTip(), "Watched: published as soon as it changes");
    }
    writeSource("a.pgn", LiveGame("Kovacs", "Lindqvist", "1. e4 e5 2. Nf3"), 1);
    const QString page = QString::fromStdString(html + "a.htm");
    ASSERT_TRUE(waitFor([&] {
        QFile file(page);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("Nf3");
    }));
    EXPECT_TRUE(timer("Timer1")->isActive()) << "the count goes on";
}

TEST_F(MonitorWindowTest, AlarmBlinksUntilCancelledAndTheNextClickClearsTheLog) {
    LogEvent(state(), "Something to read");
    state().ui.raiseAlarm();
    state().ui.raiseAlarm();  // a second alarm changes nothing
    auto* clearLog = find<QAbstractButton>("cmdClearLog");
    EXPECT_EQ(clearLog->text(), "Cancel Alarm");
    EXPECT_EQ(clearLog->toolTip(), "Cancel Alarm");
    auto* alarm = find<QLabel>("lblAlarm");
    ASSERT_TRUE(waitFor([&] { return alarm->isVisible(); }));
    ASSERT_TRUE(waitFor([&] { return !alarm->isVisible(); }));

    click("cmdClearLog");
    EXPECT_FALSE(timer("timAlarm")->isActive());
    EXPECT_FALSE(alarm->isVisible());
    EXPECT_EQ(clearLog->text(), "Clear Log");
    EXPECT_EQ(clearLog->toolTip(), "Clear Message Log");
    EXPECT_TRUE(logHas("Something to read"));

    click("cmdClearLog");
    EXPECT_EQ(project().logText(), "");
    EXPECT_TRUE(find<QPlainTextEdit>("txtErrors")->toPlainText().isEmpty());
}

TEST_F(MonitorWindowTest, HideFtpWindowTwiceReturnsEveryControlToItsPlace) {
    const char* controls[] = {"txtErrors", "lblErrors", "cmdClearLog", "lblAlarm"};
    std::vector<QRect> first;
    for (const char* name : controls) {
        first.push_back(find<QWidget>(name)->geometry());
    }
    auto* item = find<QAction>("mnuWindowsHideFTP");

    trigger("mnuWindowsHideFTP");
    EXPECT_TRUE(find<QWidget>("frFTP")->isHidden());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(find<QWidget>("txtErrors")->geometry(), QRect(220, 162, 471, 301));
    EXPECT_EQ(find<QWidget>("cmdClearLog")->pos(), QPoint(402, 140));

    trigger("mnuWindowsHideFTP");
    EXPECT_FALSE(find<QWidget>("frFTP")->isHidden());
    EXPECT_FALSE(item->isChecked());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(find<QWidget>(controls[i])->geometry(), first[i]) << controls[i];
    }
}

TEST_F(MonitorWindowTest, WindowSpringsBackToItsSizeButMinimizesAndMaximizes) {
    EXPECT_EQ(frame()->size(), frmProject::kWindowSize);
    frame()->resize(900, 300);
    EXPECT_EQ(frame()->size(), frmProject::kWindowSize);
    frame()->showMaximized();
    EXPECT_TRUE(frame()->isMaximized());
    frame()->showNormal();
    EXPECT_EQ(frame()->size(), frmProject::kWindowSize);
    frame()->showMinimized();
    EXPECT_TRUE(frame()->isMinimized());
}

TEST_F(MonitorWindowTest, ClosingAsksAndOnlyYesClosesTheProject) {
    newProject({"a.pgn", "b.pgn"});
    state().tagsToChange = {"WhiteClock"};

    boxes.answerNext(Answer::No);
    frame()->close();
    EXPECT_EQ(boxes.boxes.back().text, "Do you want to close the project?");
    EXPECT_EQ(boxes.boxes.back().icon, Icon::Question);
    ASSERT_NE(mainWindow().project(), nullptr);
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(state().monitorList.Count(), 2);

    boxes.answerNext(Answer::Yes);
    frame()->close();
    ASSERT_TRUE(waitFor([&] { return mainWindow().project() == nullptr; }));
    EXPECT_EQ(state().monitorList.Count(), 0);
    EXPECT_TRUE(state().tagsToChange.empty());
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QMenu>("mnuPgn")->menuAction()->isVisible());

    // A new project opens a new monitor window.
    newProject({"b.pgn"});
    ASSERT_NE(mainWindow().project(), nullptr);
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(find<QListWidget>("lboPgnFiles")->count(), 1);
}

TEST_F(MonitorWindowTest, ClosingDuringAScanWaitsForTheScanToEnd) {
    newProject({"a.pgn"});
    // The close is confirmed while the scan lets window events run.
    bool asked = false;
    boxes.answerNext(Answer::Yes);
    QTimer::singleShot(0, [&] {
        asked = true;
        frame()->close();
    });
    click("cmdTest");
    EXPECT_TRUE(asked);
    ASSERT_TRUE(waitFor([&] { return mainWindow().project() == nullptr; }));
    EXPECT_EQ(state().monitorList.Count(), 0);
}

TEST_F(MonitorWindowTest, ListButtonsFollowTheSelection) {
    newProject({"a.pgn"});
    files.choose(boards, {"b.pgn"});
    click("cmdAddPgn");
    EXPECT_EQ(files.titles.back(), "Add Pgn Files To List");
    EXPECT_EQ(find<QListWidget>("lboPgnFiles")->count(), 2);
    for (const char* name : {"cmdRemovePgn", "cmdSleep", "cmdActivate", "cmdViewInfo"}) {
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    }

    select("a.pgn");
    EXPECT_TRUE(find<QWidget>("cmdViewInfo")->isEnabled());
    EXPECT_TRUE(find<QWidget>("cmdSleep")->isEnabled());
    EXPECT_FALSE(find<QWidget>("cmdActivate")->isEnabled());

    click("cmdSleep");
    EXPECT_TRUE(find<QWidget>("cmdActivate")->isEnabled());
    EXPECT_FALSE(find<QWidget>("cmdSleep")->isEnabled());
    EXPECT_TRUE(logHas("has been removed from the monitor list."));
    click("cmdActivate");
    EXPECT_TRUE(logHas("a.pgn is back on the monitor list."));

    click("cmdViewInfo");
    EXPECT_TRUE(
        logHas("Source file: a.pgn\r\nSource Directory: " + boards.substr(0, boards.size() - 1)));
    EXPECT_NE(
        find<QPlainTextEdit>("txtErrors")->toPlainText().indexOf("Monitored: Yes\nLast changed: "),
        -1);

    click("cmdRemovePgn");
    EXPECT_EQ(find<QListWidget>("lboPgnFiles")->count(), 1);
    EXPECT_FALSE(state().monitorList.Contains("a.pgn"));
    EXPECT_FALSE(find<QWidget>("cmdRemovePgn")->isEnabled());  // the last game stays
}

}  // namespace
}  // namespace korvane::test
