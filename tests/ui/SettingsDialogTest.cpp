// The settings dialog on real widgets, with the file dialog and the directory picker.

#include "UiFixture.h"
#include "ui/frmDirSearch.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class SettingsDialogTest : public UiTest {
protected:
    void SetUp() override { startUsable(true); }
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

TEST_F(SettingsDialogTest, FieldsFilterKeysBrowseAndCancelAppliesThem) {
    const std::string ini = dir.write("ini/other.ini", "[page]\n");
    fs::create_directories(html + "site");
    files.choose(dir.path() + "/ini", {"other.ini"});
    withSettings([&](QWidget& dialog) {
        QTest::keyClicks(box(dialog, "txtScanTime"), "x");
        EXPECT_EQ(box(dialog, "txtScanTime")->text(), "10") << "letters become ten";
        EXPECT_EQ(titles(), Lines{"Number Required"});
        QTest::keyClicks(box(dialog, "txtPath_4"), "my game/x");
        EXPECT_EQ(box(dialog, "txtPath_4")->text(), "allgames.pgnmygamex") << "no blanks, no /";

        // The overview box switches its fields at once.
        EXPECT_TRUE(box(dialog, "txtPath_3")->isEnabled());
        QTest::mouseClick(dialog.findChild<QCheckBox*>("chkIntro"), Qt::LeftButton);
        EXPECT_FALSE(state().settings.bIntroPage);
        EXPECT_FALSE(box(dialog, "txtPath_3")->isEnabled() ||
                     dialog.findChild<QWidget*>("imgBrowse_3")->isEnabled());
        auto* publish = dialog.findChild<QCheckBox*>("chkPublishOnChange");
        EXPECT_TRUE(publish->isChecked());
        publish->click();

        press(dialog, "imgBrowse_1");
        EXPECT_EQ(files.titles, Lines{"Location of Vistrel Ini File"});
        // The picker starts at the HTML directory; a typed path only enables OK, the list's
        // path is the answer.
        whenModal("frmDirSearch", [&](QWidget& picker) {
            EXPECT_EQ(picker.windowTitle(), "Target Directory For HTML Files");
            auto* typedDir = picker.findChild<QLineEdit*>("txtDir");
            EXPECT_EQ(typedDir->text().toStdString() + "/", html);
            auto* list = picker.findChild<QListWidget*>("lboDir");
            const auto site = list->findItems("site", Qt::MatchEndsWith);
            ASSERT_EQ(site.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(site.front()).center());
            typedDir->clear();
            QTest::keyClicks(typedDir, "/somewhere/else");
            press(picker, "cmdOK");
        });
        press(dialog, "imgBrowse_2");
        press(dialog, "cmdCancel");
    });

    // Cancel applied every field; only OK enables Save Settings.
    const Settings& s = state().settings;
    EXPECT_EQ(std::tie(s.spubPathVisIni, s.spubPathHtml, s.lpubScanTime, s.bIntroPage,
                       s.bPublishOnChange),
              std::make_tuple(ini, html + "site/", 10L, false, false));
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuSaveSettings")->isEnabled());

    // A failing rule keeps New Project disabled until the dialog passes.
    boxes.boxes.clear();
    withSettings([&](QWidget& dialog) {
        box(dialog, "txtScanTime")->setText("0");
        press(dialog, "cmdOK");
    });
    EXPECT_EQ(titles(), (Lines{"Scan Time Interval Required", "Insufficient Path Information"}));
    EXPECT_FALSE(find<QAction>("mnuFileNew")->isEnabled());

    withSettings([&](QWidget& dialog) {
        box(dialog, "txtScanTime")->setText("5");
        press(dialog, "cmdOK");
    });
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(find<QAction>("mnuFileNew")->isEnabled() &&
                find<QAction>("mnuSaveSettings")->isEnabled());
}

TEST(DirectoryPicker, AMissingStartDirectoryLeavesNothingChosen) {
    TempDir dir;
    frmDirSearch gone("Target Directory For HTML Files", dir.path() + "/gone", nullptr);
    EXPECT_TRUE(gone.findChild<QLineEdit*>("txtDir")->text().isEmpty());
    EXPECT_FALSE(gone.findChild<QWidget*>("cmdOK")->isEnabled());
}

}  // namespace
}  // namespace korvane::test
