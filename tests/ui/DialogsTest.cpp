// The main window's menus, the About box and the directory picker.

#include <QStatusBar>
#include <algorithm>
#include <filesystem>

#include "UiFixture.h"
#include "ui/frmDirSearch.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class MainWindowTest : public UiTest {
protected:
    void SetUp() override {
        writeSettings(usableSettings());
        ASSERT_TRUE(start());
    }
};

TEST_F(MainWindowTest, MenusCarryTheirCaptionsShortcutsAndFirstStates) {
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    for (const Item& item : {Item{"mnuFileNew", "&New Project", "Ctrl+N", true},
                             Item{"mnuFileSettings", "Se&ttings", "", true},
                             Item{"mnuSaveSettings", "&Save Settings", "", false},
                             Item{"mnuFileExit", "E&xit", "F4", true},
                             Item{"mnuWindowsHideFTP", "&Hide FTP Window", "", true},
                             Item{"mnuWindowTileHorizontal", "Tile &Horizontal", "", true},
                             Item{"mnuPgnEditFinal", "&Edit Commented Pgn", "", true},
                             Item{"mnuPgnHeaderTags", "&Header Tags To Replace", "", true},
                             Item{"mnuHelpAbout", "&About Korvane...", "", true}}) {
        QAction* action = find<QAction>(item.name);
        ASSERT_TRUE(action);
        EXPECT_EQ(action->text(), item.caption);
        EXPECT_EQ(action->shortcut().toString(), item.shortcut) << item.name;
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
    }
    EXPECT_FALSE(find<QAction>("mnuWindowsHideFTP")->isChecked());
    for (const char* hidden : {"mnuPgn", "mnuAnno1", "mnuAnno2", "mnuAnno3"}) {
        EXPECT_FALSE(find<QMenu>(hidden)->menuAction()->isVisible()) << hidden;
    }
    EXPECT_EQ(mainWindow().windowTitle(), "Korvane");
    EXPECT_EQ(project().windowTitle(), "Monitor");
    EXPECT_EQ(find<QLabel>("sbStatusBar_1")->text(), "Status");
    EXPECT_FALSE(find<QLabel>("sbStatusBar_2")->text().isEmpty());
}

TEST_F(MainWindowTest, WindowMenuEndsWithTheOpenChildWindows) {
    auto* menu = find<QMenu>("mnuWindow");
    for (int opened = 0; opened < 2; ++opened) {  // the list is rebuilt, not appended to
        emit menu->aboutToShow();
    }
    const QList<QAction*> items = menu->actions();
    EXPECT_EQ(items.back()->text(), "&1 Monitor");
    EXPECT_TRUE(items.back()->isChecked());
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                            [](QAction* a) { return a->text().endsWith(" Monitor"); }),
              1);
}

TEST_F(MainWindowTest, CancelledNewProjectChangesNothingAndExitWritesTheSettings) {
    files.answers.push_back(std::nullopt);
    trigger("mnuFileNew");
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QMenu>("mnuPgn")->menuAction()->isVisible());

    fs::remove(dir.file("korvane.cfg"));
    boxes.answerNext(Answer::No);  // the monitor window refuses: the program goes on
    trigger("mnuFileExit");
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_FALSE(fs::exists(dir.file("korvane.cfg")));
    boxes.answerNext(Answer::Yes);
    trigger("mnuFileExit");
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_TRUE(fs::exists(dir.file("korvane.cfg")));
}

TEST_F(MainWindowTest, AboutBoxShowsItsTextsOnItsBackground) {
    QString title, text;
    QColor background;
    whenModal("frmAbout", [&](QWidget& about) {
        title = about.windowTitle();
        text = about.findChild<QLabel*>("Label2")->text();
        background = about.palette().color(QPalette::Window);
        QTest::mouseClick(about.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    });
    trigger("mnuHelpAbout");
    EXPECT_EQ(title, "About Korvane");
    EXPECT_TRUE(
        text.startsWith("With Korvane you can broadcast chess games live on the Internet."));
    EXPECT_EQ(background, QColor(255, 224, 192));
}

TEST(DirectoryPicker, OpensAtAnExistingDirectoryOnly) {
    TempDir dir;
    fs::create_directories(dir.path() + "/games/round1");

    frmDirSearch gone("Target Directory For HTML Files", dir.path() + "/gone", nullptr);
    EXPECT_EQ(gone.windowTitle(), "Target Directory For HTML Files");
    EXPECT_TRUE(gone.findChild<QLineEdit*>("txtDir")->text().isEmpty());
    EXPECT_FALSE(gone.findChild<QWidget*>("cmdOK")->isEnabled());
    EXPECT_GE(gone.findChild<QComboBox*>("Drive1")->findText("/"), 0);

    frmDirSearch picker("Pick", dir.path() + "/games/", nullptr);
    EXPECT_EQ(picker.findChild<QLineEdit*>("txtDir")->text().toStdString(), dir.path() + "/games");
    auto* list = picker.findChild<QListWidget*>("lboDir");
    EXPECT_FALSE(list->findItems("round1", Qt::MatchEndsWith).isEmpty());

    // A typed path only enables OK; the list's path is the answer.
    auto* typed = picker.findChild<QLineEdit*>("txtDir");
    typed->clear();
    QTest::keyClicks(typed, "/somewhere/else");
    QTest::mouseClick(picker.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(picker.sDialogDir(), dir.path() + "/games");
}

}  // namespace
}  // namespace korvane::test
