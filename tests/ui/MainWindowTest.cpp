// The main window: its menus' captions and first states, the Window menu, New Project and
// Exit, the About box and the dialog of header tags to replace.

#include "UiFixture.h"
#include "ui/frmTagsToChange.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class MainWindowTest : public UiTest {
protected:
    void SetUp() override { startUsable(); }

    // What the operator reads on the named object: a menu's items joined by "|" ("-" for a
    // separator), else its text, else its window title.
    QString captionOf(const char* name) {
        if (auto* menu = mainWindow().findChild<QMenu*>(name)) {
            QStringList items;
            for (const QAction* action : menu->actions()) {
                items << (action->isSeparator() ? QString("-") : action->text());
            }
            return items.join('|');
        }
        QObject* object = find<QObject>(name);
        if (!object) {
            return {};
        }
        const QVariant text = object->property("text");
        return (text.isValid() ? text : object->property("windowTitle")).toString();
    }
};

TEST_F(MainWindowTest, CaptionsFirstStatesAndTheFileAndWindowMenus) {
    QStringList shown;
    for (const char* name :
         {"mnuFileNew", "mnuFileSettings", "mnuSaveSettings", "mnuFileExit", "mnuWindowsHideFTP",
          "mnuWindowOpenOverview", "mnuPgnUseEdited", "mnuPgnEditFinal", "mnuPgnHeaderTags",
          "mnuHelpAbout", "mnuAnno1", "mnuAnno2", "mnuAnno3", "frmProject", "sbStatusBar_1",
          "cmdClearLog"}) {
        shown << captionOf(name);
    }
    EXPECT_EQ(shown.join('\n').toStdString(),
              "&New Project\nSe&ttings\n&Save Settings\nE&xit\n&Hide FTP Window\n"
              "Open &Overview In Browser\n&Use Edited Pgn Files\n&Edit Commented Pgn\n"
              "&Header Tags To Replace\n&About Korvane...\n"
              "!|?|!?|?!|!!|??|Zugzwang|Only move\n"
              "+ -|+/-|+=|=|Unclear|=+|- /+|- +|Compensation|Counterplay|Initiative|Attack|"
              "Zeitnot|Development Adv.|N\n"
              "WhiteElo|BlackElo|WhiteTitle|BlackTitle|WhiteCountry|BlackCountry|-|Time|"
              "TimeControl|Clock|WhiteClock|BlackClock|-|Annotator|AnnoTitle|AnnoElo|ECO|Opening\n"
              "Monitor\nStatus\nClear Log");
    EXPECT_EQ(mainWindow().windowTitle(), "Korvane");
    EXPECT_EQ(find<QAction>("mnuFileNew")->shortcut().toString(), "Ctrl+N");
    EXPECT_EQ(find<QAction>("mnuFileExit")->shortcut().toString(), "F4");
    EXPECT_FALSE(find<QAction>("mnuSaveSettings")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuWindowsHideFTP")->isChecked());
    // The Pgn menu waits for a project; the pop-ups are never in the menu bar.
    for (const char* hidden : {"mnuPgn", "mnuAnno1", "mnuAnno2", "mnuAnno3"}) {
        EXPECT_FALSE(find<QMenu>(hidden)->menuAction()->isVisible()) << hidden;
    }
    EXPECT_FALSE(find<QLabel>("sbStatusBar_2")->text().isEmpty());  // the date

    whenModal("frmAbout", [](QWidget& about) {
        EXPECT_EQ(about.windowTitle(), "About Korvane");
        EXPECT_TRUE(about.findChild<QLabel*>("Label2")->text().startsWith(
            "With Korvane you can broadcast chess games live on the Internet."));
        EXPECT_EQ(about.palette().color(QPalette::Window), QColor(255, 224, 192));
        QTest::mouseClick(about.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    });
    trigger("mnuHelpAbout");

    // The Window menu ends with the open child windows.
    auto* menu = find<QMenu>("mnuWindow");
    emit menu->aboutToShow();
    emit menu->aboutToShow();  // the list is rebuilt, not appended to
    EXPECT_TRUE(captionOf("mnuWindow").endsWith("|&1 Monitor"));
    EXPECT_EQ(captionOf("mnuWindow").count(" Monitor"), 1);
    EXPECT_TRUE(menu->actions().back()->isChecked());

    // A cancelled New Project changes nothing; Exit asks the monitor window first.
    files.answers.push_back(std::nullopt);
    trigger("mnuFileNew");
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QMenu>("mnuPgn")->menuAction()->isVisible());

    fs::remove(dir.file("korvane.cfg"));
    boxes.answerNext(Answer::No);  // the monitor window refuses: the program goes on
    trigger("mnuFileExit");
    EXPECT_TRUE(mainWindow().isVisible() && !fs::exists(dir.file("korvane.cfg")));
    boxes.answerNext(Answer::Yes);
    trigger("mnuFileExit");
    EXPECT_TRUE(!mainWindow().isVisible() && fs::exists(dir.file("korvane.cfg")));
}

TEST_F(MainWindowTest, TagsDialogEditsTheTagsTheNextMergeRefreshes) {
    std::vector<std::string>& tags = state().tagsToChange;
    frmTagsToChange dialog(tags);
    EXPECT_EQ(dialog.windowTitle(), "Header Tags To Be Replaced");
    auto* rows = dialog.findChild<QListWidget*>("lboSelect");
    ASSERT_EQ(rows->count(), 6);
    EXPECT_EQ(rows->selectedItems().size(), 6);

    auto* name = dialog.findChild<QLineEdit*>("txtNewTag");
    auto* add = dialog.findChild<QPushButton*>("cmdButton_0");
    QTest::keyClicks(name, "clo-ck");  // the dash is not taken
    EXPECT_EQ(name->text(), "clock");
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblError")->text(), "clock is already on the list.");
    EXPECT_FALSE(add->isEnabled());
    name->setText("Round");
    EXPECT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(rows->count(), 7);
    EXPECT_TRUE(rows->item(6)->isSelected());

    // Keep Round only; Result cannot be removed.
    for (int row = 0; row < 6; ++row) {
        rows->item(row)->setSelected(false);
    }
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdButton_1"), Qt::LeftButton);
    EXPECT_EQ(tags, (Lines{"Result", "Round"}));
}

}  // namespace
}  // namespace korvane::test
