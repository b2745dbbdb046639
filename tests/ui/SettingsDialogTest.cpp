// The settings dialog on real widgets: closing by Cancel applies the fields, the key and
// number filters, the overview check box, a failing rule leaving New Project disabled, and
// the browse buttons with the file dialog and the directory picker.

#include <filesystem>

#include "UiFixture.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class SettingsDialogTest : public UiTest {
protected:
    void SetUp() override {
        Settings settings = usableSettings();
        settings.bIntroPage = true;
        writeSettings(settings);
        ASSERT_TRUE(start());
    }
    // Opens the dialog from the File menu and acts on it while it is open.
    void withSettings(std::function<void(QWidget&)> act) {
        whenModal("frmSettings", std::move(act));
        trigger("mnuFileSettings");
    }
    static QLineEdit* box(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(name);
    }
    static void press(QWidget& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(button), Qt::LeftButton);
    }
};

TEST_F(SettingsDialogTest, CancelAppliesTheFieldsAndLettersInTheScanTimeBecomeTen) {
    const std::string otherHtml = dir.path() + "/www";
    fs::create_directories(otherHtml);
    QString scanTime;
    withSettings([&](QWidget& dialog) {
        QTest::keyClicks(box(dialog, "txtScanTime"), "x");
        scanTime = box(dialog, "txtScanTime")->text();
        box(dialog, "txtPath_2")->setText(QString::fromStdString(otherHtml));
        press(dialog, "cmdCancel");
    });
    EXPECT_EQ(scanTime, "10");
    EXPECT_EQ(boxes.titles(), Lines{"Number Required"});
    EXPECT_EQ(boxes.boxes[0].text, "Scan time must be a number");
    EXPECT_EQ(state().settings.spubPathHtml, otherHtml + "/");
    EXPECT_EQ(state().settings.lpubScanTime, 10);
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuSaveSettings")->isEnabled());  // only OK enables it
}

TEST_F(SettingsDialogTest, FailingRuleKeepsNewProjectDisabledUntilTheDialogPasses) {
    withSettings([&](QWidget& dialog) {
        box(dialog, "txtScanTime")->setText("0");
        press(dialog, "cmdOK");
    });
    EXPECT_EQ(boxes.titles(),
              (Lines{"Scan Time Interval Required", "Insufficient Path Information"}));
    EXPECT_EQ(boxes.boxes.back().icon, Icon::Critical);
    EXPECT_FALSE(find<QAction>("mnuFileNew")->isEnabled());

    withSettings([&](QWidget& dialog) {
        box(dialog, "txtScanTime")->setText("5");
        press(dialog, "cmdOK");
    });
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_TRUE(find<QAction>("mnuSaveSettings")->isEnabled());
    EXPECT_EQ(state().settings.lpubScanTime, 5);
}

TEST_F(SettingsDialogTest, PublishOnChangeBoxShowsAndSetsTheSetting) {
    bool shown = false;
    withSettings([&](QWidget& dialog) {
        auto* check = dialog.findChild<QCheckBox*>("chkPublishOnChange");
        shown = check->isChecked();
        check->click();
        press(dialog, "cmdOK");
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(state().settings.bPublishOnChange);
}

TEST_F(SettingsDialogTest, PathFieldsRefuseSeparatorsAndTheOverviewBoxSwitchesAtOnce) {
    bool introAfterUncheck = true;
    QString typed;
    bool enabledWhileOn = false, enabledWhileOff = true;
    withSettings([&](QWidget& dialog) {
        QTest::keyClicks(box(dialog, "txtPath_4"), "my game/x");
        typed = box(dialog, "txtPath_4")->text();
        enabledWhileOn = box(dialog, "txtPath_3")->isEnabled();
        QTest::mouseClick(dialog.findChild<QCheckBox*>("chkIntro"), Qt::LeftButton);
        introAfterUncheck = state().settings.bIntroPage;
        enabledWhileOff = box(dialog, "txtPath_3")->isEnabled() ||
                          dialog.findChild<QWidget*>("imgBrowse_3")->isEnabled();
        press(dialog, "cmdCancel");
    });
    EXPECT_EQ(typed, "allgames.pgnmygamex");
    EXPECT_TRUE(enabledWhileOn);
    EXPECT_FALSE(introAfterUncheck);
    EXPECT_FALSE(enabledWhileOff);
    EXPECT_FALSE(state().settings.bIntroPage);
}

TEST_F(SettingsDialogTest, BrowseButtonsFillTheFieldsFromTheDialogs) {
    const std::string other = dir.write("ini/other.ini", "[page]\n");
    fs::create_directories(html + "site");
    files.choose(dir.path() + "/ini", {"other.ini"});
    QString ini, chosenDir, pickerTitle, pickerStart;
    withSettings([&](QWidget& dialog) {
        press(dialog, "imgBrowse_1");
        ini = box(dialog, "txtPath_1")->text();
        whenModal("frmDirSearch", [&](QWidget& picker) {
            pickerTitle = picker.windowTitle();
            pickerStart = picker.findChild<QLineEdit*>("txtDir")->text();
            auto* list = picker.findChild<QListWidget*>("lboDir");
            const auto site = list->findItems("site", Qt::MatchEndsWith);
            ASSERT_EQ(site.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(site.front()).center());
            press(picker, "cmdOK");
        });
        press(dialog, "imgBrowse_2");
        chosenDir = box(dialog, "txtPath_2")->text();
        press(dialog, "cmdCancel");
    });
    EXPECT_EQ(files.titles, Lines{"Location of Vistrel Ini File"});
    EXPECT_EQ(ini.toStdString(), other);
    EXPECT_EQ(pickerTitle, "Target Directory For HTML Files");
    EXPECT_EQ(pickerStart.toStdString() + "/", html);
    EXPECT_EQ(chosenDir.toStdString(), html + "site");
}

}  // namespace
}  // namespace korvane::test
