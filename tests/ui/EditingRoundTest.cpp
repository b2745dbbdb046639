// A whole editing round through the real windows and the real converter: comment an edited
// copy, merge the board's new moves behind the comments, publish, reload, close.

#include "UiFixture.h"

namespace korvane::test {
namespace {

const std::string kHeader =
    "[Event \"Club Open\"]\r\n[White \"Adams\"]\r\n[Black \"Brown\"]\r\n[Result \"*\"]\r\n\r\n";

class EditingRound : public UiTest {
protected:
    // Opens the dialog behind a Pgn menu item, checks whether the first game's row is
    // preselected (as it is for a game chosen before) and chooses it with the button.
    void chooseFirstGame(const char* item, bool preselected, const char* press = "cmdOK") {
        const bool edit = std::string(item) != "mnuPgnUseEdited";
        whenModal(edit ? "frmSelectForEdit" : "frmEditPgnSelect", [=](QWidget& dialog) {
            auto* list = dialog.findChild<QListWidget*>(edit ? "lboSelect" : "lboPgnFiles");
            EXPECT_EQ(list->item(0)->isSelected(), preselected) << item;
            list->item(0)->setSelected(true);
            QTest::mouseClick(dialog.findChild<QAbstractButton*>(press), Qt::LeftButton);
        });
        trigger(item);
    }
    void choose(const char* menu, const char* item) {
        auto* popup = find<QMenu>(menu);
        ASSERT_TRUE(popup->isVisible()) << menu;
        popup->findChild<QAction*>(item)->trigger();
        popup->hide();
    }
};

TEST_F(EditingRound, CommentsSurviveNewMovesAndReachThePage) {
    startUsable();
    writeSource("board1.pgn", kHeader + "1. e4 e5 2. Nf3 *\r\n", 0);
    newProject({"board1.pgn"});

    // "Use Edited Pgn Files": the edited copy is made, announced and kept in the project.
    chooseFirstGame("mnuPgnUseEdited", false);
    EXPECT_EQ(titles().back(), "File Created");
    const Pgn& game = state().monitorList.Item(1);
    EXPECT_TRUE(savedProject().games.at(0).useFinal);

    chooseFirstGame("mnuPgnEditFinal", false);
    ASSERT_TRUE(editors().colEditors && editors().colEditors->size() == 1u);
    frmEditor* editor = editors().colEditors->front();
    EXPECT_EQ(editor->caption(), game.PathFinal);
    activate(editor);
    QPlainTextEdit* box = text(editor);
    auto caretAfter = [&](const QString& what) {
        caretAt(editor, box->toPlainText().indexOf(what) + what.size());
    };

    // "!" after 1. e4, a comment after 1... e5, a variation after 2. Nf3, an ECO tag.
    caretAfter("1. e4");
    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    choose("mnuAnno1", "mnuAnno1Good");
    caretAfter(" e5");
    QTest::mouseClick(button(editor, "cmdCom_2"), Qt::LeftButton);
    caretAfter("{");  // the caret stands after the pair; the operator steps back into it
    QTest::keyClicks(box, "Solid");
    caretAfter("Nf3");
    QTest::mouseClick(button(editor, "cmdCom_3"), Qt::LeftButton);
    caretAfter("(");
    QTest::keyClicks(box, "2. Nc3");
    QTest::mouseClick(button(editor, "cmdCom_4"), Qt::LeftButton);
    choose("mnuAnno3", "mnuAnno3Eco");
    QTest::keyClicks(box, "C40");
    QTest::mouseClick(button(editor, "cmdSave"), Qt::LeftButton);
    ASSERT_EQ(readFile(game.PathFinal), kHeader.substr(0, kHeader.size() - 2) +
                                            "[ECO \"C40\"]\r\n\r\n1. e4 $1 e5 {Solid } 2. Nf3 "
                                            "(2. Nc3 ) *\r\n");

    // The cycle reaches the editors through the program's operator.
    state().ui.setEditorSaveButtonsVisible(false);
    EXPECT_FALSE(button(editor, "cmdSave")->isVisibleTo(editor));
    state().ui.setEditorSaveButtonsVisible(true);
    EXPECT_TRUE(button(editor, "cmdSave")->isVisibleTo(editor));

    // The board sends two more moves; "Go !" takes them in behind the comments.
    writeSource("board1.pgn", kHeader + "1. e4 e5 2. Nf3 Nc6 3. Bb5 *\r\n", 1);
    click("cmdTest");
    EXPECT_EQ(project().logText(), "");
    const std::string merged = readFile(game.PathFinal);
    EXPECT_NE(merged.find("{Solid } 2. Nf3 (2. Nc3 )"), std::string::npos) << merged;
    EXPECT_NE(merged.find("Nc6 3. Bb5"), std::string::npos) << merged;
    ASSERT_TRUE(button(editor, "cmdRefresh")->isEnabled());
    editor->ReloadFile();
    EXPECT_TRUE(box->toPlainText().contains("(2. Nc3 )") && box->toPlainText().contains("Bb5"));

    // The published page shows the glyph and the new moves.
    const std::string page = readFile(html + "board1.htm");
    EXPECT_NE(page.find("e4<span class=\"nag\" data-n=\"1\">!</span>"), std::string::npos);
    EXPECT_EQ(lastMoveShown(page), "Bb5");

    // The game shows as chosen, the open file again opens no second editor, the source
    // opens without annotation buttons; closing the project closes every editor.
    chooseFirstGame("mnuPgnUseEdited", true, "cmdCancel");
    chooseFirstGame("mnuPgnEditFinal", true);
    EXPECT_EQ(editors().colEditors->size(), 1u);
    chooseFirstGame("mnuPgnEditSource", false);
    ASSERT_EQ(editors().colEditors->size(), 2u);
    frmEditor* source = editors().colEditors->back();
    EXPECT_EQ(source->caption(), boards + "board1.pgn");
    EXPECT_FALSE(button(source, "cmdCom_2")->isVisibleTo(source));
    boxes.answerNext(Answer::Yes);
    project().parentWidget()->close();
    ASSERT_TRUE(waitFor([&] { return !editors().colEditors; }));
    EXPECT_TRUE(mainWindow().mdiArea()->subWindowList().isEmpty());
}

}  // namespace
}  // namespace korvane::test
