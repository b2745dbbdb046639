// The editors inside the real main window: the Pgn menu opens the file selector and the
// editor, the editor's buttons pop up the main window's own menus, the operator interface
// reaches the editors for the cycle, and closing the project closes them all.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <filesystem>

#include "EditorFixture.h"
#include "pipeline/FileDialog.h"
#include "ui/QtOperator.h"
#include "ui/frmMain.h"
#include "ui/frmSelectForEdit.h"

namespace korvane::test {
namespace {

class NoDialog : public FileDialog {
public:
    std::optional<FileSelection> open(const std::string&, const std::string&, const std::string&,
                                      bool) override {
        return std::nullopt;
    }
};

class MainWindowEditing : public testing::Test {
protected:
    MainWindowEditing() {
        op.attach(&main);
        op.setBoxPresenter(
            [this](const std::string& text, const std::string& title, Buttons, Icon) {
                boxes.push_back(title + ": " + text);
                return Answer::Ok;
            });
        Pgn& game = state.addGame("r1.pgn");
        game.PathTemp = dir.write("temppgn/r1.pgn", "[Event \"E\"]\r\n\r\n1. e4 e5 *\r\n");
        game.PathFinal = state.programDir + "finalpgn/r1.pgn";
        main.show();
    }
    // Answers the modal selector that the menu item opens: selects the first row, OK.
    void chooseFirstRowIn(const char* item) {
        QTimer::singleShot(0, [] {
            auto* selector = qobject_cast<frmSelectForEdit*>(QApplication::activeModalWidget());
            ASSERT_NE(selector, nullptr);
            selector->findChild<QListWidget*>("lboSelect")->item(0)->setSelected(true);
            selector->cmdOK_Click();
        });
        main.findChild<QAction*>(item)->trigger();
    }

    TempDir dir;
    QtOperator op;
    FixedClock clock;
    ProgramState state = [this] {
        ProgramState s(op, clock);
        s.programDir = dir.path() + "/";
        s.tempDir = s.programDir + "temppgn/";
        s.finalDir = s.programDir + "finalpgn/";
        s.backupDir = s.programDir + "backup/";
        std::filesystem::create_directories(s.finalDir);
        return s;
    }();
    NoDialog files;
    frmMain main{state, files};
    std::vector<std::string> boxes;
};

TEST_F(MainWindowEditing, PgnMenuOpensEditorsThatUseTheMainWindowsMenus) {
    chooseFirstRowIn("mnuPgnEditFinal");
    Editors& editors = main.editors();
    ASSERT_TRUE(editors.colEditors);
    ASSERT_EQ(editors.colEditors->size(), 1u) << (boxes.empty() ? "" : boxes.back());
    frmEditor* editor = editors.colEditors->front();
    EXPECT_EQ(editor->caption(), state.finalDir + "r1.pgn");
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    // Created from the source copy: logged, no box (the monitor window is not open).
    EXPECT_TRUE(boxes.empty());

    main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().front());
    caretAt(editor, text(editor)->toPlainText().indexOf(" e5"));
    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    auto* menu = main.findChild<QMenu*>("mnuAnno1");
    ASSERT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->menuAction()->isVisible());  // never in the menu bar
    menu->findChild<QAction*>("mnuAnno1Dubious")->trigger();
    menu->hide();
    EXPECT_TRUE(text(editor)->toPlainText().contains("1. e4 $6 e5"));

    // The cycle reaches the editors through the operator interface.
    op.setEditorSaveButtonsVisible(false);
    EXPECT_FALSE(button(editor, "cmdSave")->isVisibleTo(editor));
    op.setEditorSaveButtonsVisible(true);
    op.enableEditorReload("R1.PGN");
    EXPECT_TRUE(button(editor, "cmdRefresh")->isEnabled());

    // The same file again opens no second editor; closing the project closes them all.
    chooseFirstRowIn("mnuPgnEditFinal");
    EXPECT_EQ(editors.colEditors->size(), 1u);
    chooseFirstRowIn("mnuPgnEditCopy");
    EXPECT_EQ(editors.colEditors->size(), 2u);
    main.closeEditors();
    QApplication::processEvents();
    EXPECT_FALSE(editors.colEditors);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
}

}  // namespace
}  // namespace korvane::test
