// The dialogs around editing: which games publish an edited pgn, which files to open in the
// editor, and which header tags the next merge refreshes.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "EditorFixture.h"
#include "pgn/MoveMerge.h"
#include "ui/frmEditPgnSelect.h"
#include "ui/frmSelectForEdit.h"
#include "ui/frmTagsToChange.h"

namespace korvane::test {
namespace {

const std::string kGame = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 *\r\n";

class EditingDialogs : public EditorFixture {
protected:
    EditingDialogs() {
        program.state.settings.spubPathpgn = program.dir.path() + "/boards";
        for (const char* key : {"a.pgn", "b.pgn"}) {
            Pgn& game = program.state.addGame(key);
            game.PathSource = program.dir.write(std::string("boards/") + key, kGame);
            game.PathTemp = program.dir.write(std::string("temppgn/") + key, kGame);
            game.PathFinal = program.state.finalDir + key;
        }
    }
    static QListWidget* list(QWidget* dialog, const char* name) {
        return dialog->findChild<QListWidget*>(name);
    }
};

TEST_F(EditingDialogs, EditPgnSelectCreatesCopiesAndSwitchesGames) {
    Pgn& b = program.state.monitorList.Item(2);
    b.setUseFinal(true);
    program.dir.write("finalpgn/b.pgn", "commented");
    frmEditPgnSelect dialog(program.state);
    EXPECT_EQ(dialog.windowTitle(), "Select Files");
    EXPECT_TRUE(dialog.findChild<QLabel*>("lblSelectFiles")
                    ->text()
                    .endsWith("MUST be stored in\r\n" +
                              QString::fromStdString(program.state.programDir) + "finalpgn"));
    QListWidget* rows = list(&dialog, "lboPgnFiles");
    ASSERT_EQ(rows->count(), 2);
    EXPECT_FALSE(rows->item(0)->isSelected());
    EXPECT_TRUE(rows->item(1)->isSelected());

    // Select a, deselect b: a gets its edited copy with the message; b keeps its file.
    rows->item(0)->setSelected(true);
    rows->item(1)->setSelected(false);
    bool menuEnabled = false;
    QObject::connect(&dialog, &frmEditPgnSelect::headerTagsMenuEnabled,
                     [&] { menuEnabled = true; });
    program.ui.answerNext(Answer::Ok);
    dialog.cmdOK_Click();
    EXPECT_TRUE(program.state.monitorList.Item(1).bUseFinal());
    EXPECT_FALSE(b.bUseFinal());
    EXPECT_EQ(readFile(program.state.finalDir + "a.pgn"), kGame);
    EXPECT_EQ(readFile(program.state.finalDir + "b.pgn"), "commented");
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].title, "File Created");
    EXPECT_TRUE(menuEnabled);
}

TEST_F(EditingDialogs, SelectForEditOpensEachFileOnce) {
    frmSelectForEdit dialog(*editors, "Select Commented Pgn");
    EXPECT_EQ(dialog.windowTitle(), "Select Commented Pgn");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblExplain")->text().toStdString(),
              program.state.finalDir + "\r\nSelect the file(s) you want to edit.");
    list(&dialog, "lboSelect")->item(1)->setSelected(true);
    dialog.cmdOK_Click();
    // The missing edited pgn was made from the source copy; the editor shows its buttons.
    ASSERT_TRUE(editors->colEditors);
    ASSERT_EQ(editors->colEditors->size(), 1u);
    frmEditor* editor = editors->colEditors->front();
    EXPECT_EQ(editor->caption(), program.state.finalDir + "b.pgn");
    EXPECT_TRUE(button(editor, "cmdCom_0")->isVisibleTo(editor));
    EXPECT_NE(program.ui.logText().find(" created as a copy of " + program.state.tempDir),
              std::string::npos);

    // Opened again: its row is preselected and no second window opens.
    frmSelectForEdit again(*editors, "Select Commented Pgn");
    EXPECT_TRUE(list(&again, "lboSelect")->item(1)->isSelected());
    EXPECT_FALSE(list(&again, "lboSelect")->item(0)->isSelected());
    again.cmdOK_Click();
    EXPECT_EQ(editors->colEditors->size(), 1u);

    // A source file opens without the annotation buttons.
    frmSelectForEdit sources(*editors, "Select Source File");
    list(&sources, "lboSelect")->item(0)->setSelected(true);
    sources.cmdOK_Click();
    ASSERT_EQ(editors->colEditors->size(), 2u);
    EXPECT_EQ(editors->colEditors->back()->caption(), program.dir.path() + "/boards/a.pgn");
    EXPECT_FALSE(button(editors->colEditors->back(), "cmdCom_2")->isVisibleTo(editor));
}

TEST_F(EditingDialogs, TagsDialogEditsTheListTheNextMergeRefreshes) {
    std::vector<std::string>& tags = program.state.tagsToChange;
    frmTagsToChange dialog(tags);
    EXPECT_EQ(dialog.windowTitle(), "Header Tags To Be Replaced");
    QListWidget* rows = list(&dialog, "lboSelect");
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
    EXPECT_EQ(tags, (std::vector<std::string>{"Result", "Round"}));

    // The next merge refreshes exactly those: Round and Result from the source, Clock kept.
    const auto merged = MergeNewMoves(
        "[Round \"1\"]\r\n[Clock \"1:00\"]\r\n[Result \"*\"]\r\n\r\n1. e4 *\r\n",
        "[Round \"2\"]\r\n[Clock \"0:59\"]\r\n[Result \"1-0\"]\r\n\r\n1. e4 1-0\r\n", tags, "x");
    ASSERT_FALSE(merged.error);
    EXPECT_EQ(merged.merged.substr(0, 52),
              "[Round \"2\"]\r\n[Clock \"1:00\"]\r\n[Result \"1-0\"]\r\n\r\n1. e4");
}

}  // namespace
}  // namespace korvane::test
