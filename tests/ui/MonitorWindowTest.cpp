// The monitor window on real widgets and timers.

#include "UiFixture.h"
#include "core/MessageLog.h"

namespace korvane::test {
namespace {

class MonitorWindowTest : public UiTest {
protected:
    void SetUp() override {
        startUsable();
        writeSource("a.pgn", LiveGame("Kovacs", "Lindqvist", "1. e4 e5"), 0);
        writeSource("b.pgn", LiveGame("Moreau", "Tanaka", "1. d4"), 0);
    }
    // The countdown and the colour of the status light.
    std::pair<QString, QColor> status() {
        return {find<QLabel>("lblCountDown")->text(),
                find<QWidget>("shpStatus")->palette().color(QPalette::Window)};
    }
    QTimer* timer(const char* name) { return project().findChild<QTimer*>(name); }
    QWidget* frame() { return project().parentWidget(); }
};

const QColor kRed(255, 0, 0), kGreen(0, 255, 0);

TEST_F(MonitorWindowTest, CountdownGoListButtonsAndClosing) {
    newProject({"a.pgn"});
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_EQ(status().second, kRed);

    click("cmdStart");
    EXPECT_EQ(status(), std::pair(QString("10"), kGreen));
    ASSERT_TRUE(waitFor([&] { return status().first == "9"; }));
    click("cmdStop");
    EXPECT_EQ(status(), std::pair(QString("0"), kRed));
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Timer Stopped");

    // "Go !" converts every game and leaves the count stopped.
    click("cmdStart");
    click("cmdTest");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(html + "a.htm")));
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_EQ(status().second, kRed);

    // The list buttons follow the selection and reach the list.
    files.choose(boards, {"b.pgn"});
    click("cmdAddPgn");
    auto* list = find<QListWidget>("lboPgnFiles");
    EXPECT_EQ(list->count(), 2);
    for (const char* name : {"cmdRemovePgn", "cmdSleep", "cmdActivate", "cmdViewInfo"}) {
        EXPECT_FALSE(enabled(name)) << name;
    }
    list->setCurrentItem(list->findItems("a.pgn", Qt::MatchExactly).front());
    EXPECT_TRUE(enabled("cmdViewInfo") && enabled("cmdSleep") && !enabled("cmdActivate"));
    click("cmdSleep");
    EXPECT_TRUE(enabled("cmdActivate") && !enabled("cmdSleep"));
    click("cmdActivate");
    EXPECT_TRUE(logHas("a.pgn is back on the monitor list."));
    click("cmdViewInfo");  // the log shows its line ends as line breaks
    EXPECT_NE(find<QPlainTextEdit>("txtErrors")->toPlainText().indexOf("Source file: a.pgn\n"), -1);
    click("cmdRemovePgn");
    EXPECT_EQ(list->count(), 1);
    EXPECT_FALSE(state().monitorList.Contains("a.pgn"));
    EXPECT_FALSE(enabled("cmdRemovePgn"));  // the last game stays

    // Closing the project forgets it and the tags to replace; a new project opens a new
    // window.
    state().tagsToChange = {"WhiteClock"};
    boxes.answerNext(Answer::Yes);
    frame()->close();
    EXPECT_EQ(boxes.boxes.back().text, "Do you want to close the project?");
    ASSERT_TRUE(waitFor([&] { return mainWindow().project() == nullptr; }));
    EXPECT_EQ(state().monitorList.Count(), 0);
    EXPECT_TRUE(savedProject().games.empty());
    EXPECT_TRUE(state().tagsToChange.empty());
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QMenu>("mnuPgn")->menuAction()->isVisible());
    newProject({"a.pgn", "b.pgn"});
    ASSERT_NE(mainWindow().project(), nullptr);
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(find<QListWidget>("lboPgnFiles")->count(), 2);

    // A close confirmed while a scan lets window events run waits for the scan to end.
    boxes.answerNext(Answer::Yes);
    QTimer::singleShot(0, [&] { frame()->close(); });
    click("cmdTest");
    EXPECT_EQ(titles().back(), "Close Project?");
    ASSERT_TRUE(waitFor([&] { return mainWindow().project() == nullptr; }));
    EXPECT_EQ(state().monitorList.Count(), 0);
}

TEST_F(MonitorWindowTest, AlarmHideFtpWindowAndTheFixedSize) {
    // The alarm blinks until cancelled; the next click clears the log.
    LogEvent(state(), "Something to read");
    state().ui.raiseAlarm();
    auto* clearLog = find<QAbstractButton>("cmdClearLog");
    EXPECT_EQ(clearLog->text(), "Cancel Alarm");
    auto* alarm = find<QLabel>("lblAlarm");
    ASSERT_TRUE(waitFor([&] { return alarm->isVisible(); }));
    ASSERT_TRUE(waitFor([&] { return !alarm->isVisible(); }));
    click("cmdClearLog");
    EXPECT_FALSE(timer("timAlarm")->isActive());
    EXPECT_FALSE(alarm->isVisible());
    EXPECT_TRUE(logHas("Something to read"));
    click("cmdClearLog");
    EXPECT_TRUE(find<QPlainTextEdit>("txtErrors")->toPlainText().isEmpty());

    // Hide FTP Window gives the panel's space to the log; twice puts it all back.
    const auto geometries = [&] {
        std::vector<QRect> all;
        for (const char* name : {"txtErrors", "lblErrors", "cmdClearLog", "lblAlarm"}) {
            all.push_back(find<QWidget>(name)->geometry());
        }
        return all;
    };
    const std::vector<QRect> first = geometries();
    trigger("mnuWindowsHideFTP");
    EXPECT_TRUE(find<QWidget>("frFTP")->isHidden() &&
                find<QAction>("mnuWindowsHideFTP")->isChecked());
    EXPECT_NE(geometries()[0], first[0]) << "the log takes the space";
    trigger("mnuWindowsHideFTP");
    EXPECT_FALSE(find<QWidget>("frFTP")->isHidden() ||
                 find<QAction>("mnuWindowsHideFTP")->isChecked());
    EXPECT_EQ(geometries(), first);

    // The window springs back to its size but minimizes and maximizes.
    frame()->resize(900, 300);
    EXPECT_EQ(frame()->size(), frmProject::kWindowSize);
    frame()->showMaximized();
    EXPECT_TRUE(frame()->isMaximized());
    frame()->showNormal();
    EXPECT_EQ(frame()->size(), frmProject::kWindowSize);
    frame()->showMinimized();
    EXPECT_TRUE(frame()->isMinimized());
}

}  // namespace
}  // namespace korvane::test
