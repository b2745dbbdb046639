// A whole editing round through the real windows and the real converter: a game is switched
// to an edited copy, commented in the editor, saved, the board sends new moves, a cycle
// merges them behind the comments and publishes the page, and the editor reloads.

#include <QAction>
#include <QListWidget>
#include <filesystem>

#include "EditorFixture.h"
#include "pipeline/Backups.h"
#include "pipeline/Pipeline.h"
#include "pipeline/ProcessingCycle.h"
#include "support/PageText.h"
#include "ui/AnnotationMenus.h"
#include "ui/frmEditPgnSelect.h"
#include "ui/frmSelectForEdit.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

const std::string kHeader =
    "[Event \"Club Open\"]\r\n[White \"Adams\"]\r\n[Black \"Brown\"]\r\n[Result \"*\"]\r\n\r\n";

// The operator interface of the running program as far as editors are concerned: the cycle's
// requests reach the editor windows.
class EditorsOperator : public ScriptedOperator {
public:
    void setEditorSaveButtonsVisible(bool visible) override {
        ScriptedOperator::setEditorSaveButtonsVisible(visible);
        editors->setSaveButtonsVisible(visible);
    }
    void enableEditorReload(const std::string& fileName) override {
        ScriptedOperator::enableEditorReload(fileName);
        editors->enableReload(fileName);
    }
    Editors* editors = nullptr;
};

class EditingRound : public testing::Test {
protected:
    EditingRound() {
        state.programDir = dir.path() + "/";
        state.tempDir = state.programDir + "temppgn/";
        state.finalDir = state.programDir + "finalpgn/";
        state.backupDir = state.programDir + "backup/";
        for (const auto* d : {&state.tempDir, &state.finalDir, &state.backupDir}) {
            fs::create_directories(*d);
        }
        state.settings.spubPathpgn = dir.path() + "/boards";
        state.settings.spubPathHtml = dir.path() + "/html/";
        fs::create_directories(state.settings.spubPathHtml);
        state.settings.spubPathVistrel = KORVANE_VISTREL;
        state.settings.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
        area.resize(1000, 700);
        area.show();
        ui.editors = &editors;
    }
    // The board rewrites the whole file; each write gets a later modification time.
    void boardWrites(const std::string& moves) {
        const std::string path = dir.write("boards/board1.pgn", kHeader + moves + "\r\n");
        fs::last_write_time(path,
                            fs::file_time_type::clock::now() + std::chrono::seconds(++m_step));
    }

    TempDir dir;
    EditorsOperator ui;
    FixedClock clock;
    ProgramState state{ui, clock};
    Pipeline pipeline{state};
    QMdiArea area;
    Editors editors{state, &area, &area};

private:
    int m_step = 0;
};

TEST_F(EditingRound, CommentsSurviveNewMovesAndReachThePage) {
    boardWrites("1. e4 e5 2. Nf3 *");
    Pgn& game = state.addGame("board1.pgn");
    game.PathSource = dir.file("boards/board1.pgn");
    game.PathTemp = state.tempDir + "board1.pgn";
    game.PathFinal = state.finalDir + "board1.pgn";
    game.NameHtml = "board1.htm";
    game.LastTime = fs::last_write_time(game.PathSource);
    fs::copy_file(game.PathSource, game.PathTemp);

    // "Use Edited Pgn Files": the edited copy is made and announced.
    frmEditPgnSelect select(state);
    select.findChild<QListWidget*>("lboPgnFiles")->item(0)->setSelected(true);
    ui.answerNext(Answer::Ok);
    select.cmdOK_Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "File Created");
    EXPECT_TRUE(game.bUseFinal());

    // Open it in the editor.
    frmSelectForEdit open(editors, "Select Commented Pgn");
    open.findChild<QListWidget*>("lboSelect")->item(0)->setSelected(true);
    open.cmdOK_Click();
    ASSERT_TRUE(editors.colEditors);
    frmEditor* editor = editors.colEditors->front();
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
    editor->becomeCurrent();
    QPlainTextEdit* box = text(editor);
    auto caretAfter = [&](const QString& what) {
        caretAt(editor, box->toPlainText().indexOf(what) + what.size());
    };

    // "!" after 1. e4, a comment after 1... e5, a variation after 2. Nf3, an ECO tag.
    caretAfter("1. e4");
    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    editors.menus().mnuAnno1->findChild<QAction*>("mnuAnno1Good")->trigger();
    editors.menus().mnuAnno1->hide();
    caretAfter(" e5");
    QTest::mouseClick(button(editor, "cmdCom_2"), Qt::LeftButton);
    caretAfter("{");  // the caret stands after the pair; the operator steps back into it
    QTest::keyClicks(box, "Solid");
    caretAfter("Nf3");
    QTest::mouseClick(button(editor, "cmdCom_3"), Qt::LeftButton);
    caretAfter("(");
    QTest::keyClicks(box, "2. Nc3");
    QTest::mouseClick(button(editor, "cmdCom_4"), Qt::LeftButton);
    editors.menus().mnuAnno3->findChild<QAction*>("mnuAnno3Eco")->trigger();
    editors.menus().mnuAnno3->hide();
    QTest::keyClicks(box, "C40");
    QTest::mouseClick(button(editor, "cmdSave"), Qt::LeftButton);
    const std::string commented =
        kHeader.substr(0, kHeader.size() - 2) +
        "[ECO \"C40\"]\r\n\r\n1. e4 $1 e5 {Solid } 2. Nf3 (2. Nc3 ) *\r\n";
    ASSERT_EQ(readFile(game.PathFinal), commented);

    // The board sends two more moves; one cycle takes them in with the editors' Save hidden.
    boardWrites("1. e4 e5 2. Nf3 Nc6 3. Bb5 *");
    CheckPgnFiles(pipeline);
    BackupFiles(pipeline);
    EXPECT_EQ(ui.saveButtonsVisible, (std::vector<bool>{false, true}));
    EXPECT_TRUE(button(editor, "cmdSave")->isVisibleTo(editor));
    EXPECT_EQ(ui.logText(), "");
    const std::string merged = readFile(game.PathFinal);
    EXPECT_NE(merged.find("{Solid } 2. Nf3 (2. Nc3 )"), std::string::npos) << merged;
    EXPECT_NE(merged.find("Nc6 3. Bb5"), std::string::npos) << merged;

    // Reload shows the new moves behind the comments.
    ASSERT_TRUE(button(editor, "cmdRefresh")->isEnabled());
    editor->ReloadFile();
    EXPECT_TRUE(box->toPlainText().contains("(2. Nc3 )") && box->toPlainText().contains("Bb5"));

    // The published page shows the glyph, the comment, the variation and the new moves.
    const std::string page = readFile(state.settings.spubPathHtml + "board1.htm");
    EXPECT_NE(page.find("e4<span class=\"nag\" data-n=\"1\">!</span>"), std::string::npos);
    EXPECT_NE(page.find("Solid"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"var\">"), std::string::npos);
    EXPECT_EQ(lastMoveShown(page), "Bb5");
}

}  // namespace
}  // namespace korvane::test
