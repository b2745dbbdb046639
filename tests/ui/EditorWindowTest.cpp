// The editor window: its controls, change tracking, Save, Save As, Reload and Close, the
// list of editors, and the byte-exact round trip of files in either encoding.

#include <QAction>
#include <QMdiSubWindow>
#include <filesystem>

#include "EditorFixture.h"
#include "core/FileUtils.h"

namespace korvane::test {
namespace {

const std::string kGame = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 *\r\n";

using EditorWindow = EditorFixture;

TEST_F(EditorWindow, ControlsAndLayoutAsDesigned) {
    frmEditor* source = open("temppgn/a.pgn", kGame);
    EXPECT_FALSE(button(source, "cmdCom_0")->isVisibleTo(source));
    EXPECT_TRUE(button(source, "cmdCom_4")->isVisibleTo(source));
    EXPECT_EQ(button(source, "cmdCom_4")->toolTip(), "Insert new header tag");
    EXPECT_EQ(button(source, "cmdRefresh")->toolTip(), "Reload Changed File");
    EXPECT_FALSE(button(source, "cmdRefresh")->isEnabled());

    frmEditor* edited = open("finalpgn/a.pgn", kGame, true);
    // Left to right: "[ ]", "{ }", "( )", "!", picture; then Reload, Close, Save As, Save.
    int left = -1;
    for (const char* name : {"cmdCom_4", "cmdCom_2", "cmdCom_3", "cmdCom_0", "cmdCom_1",
                             "cmdRefresh", "cmdCancel", "cmdSaveAs", "cmdSave"}) {
        QPushButton* b = button(edited, name);
        EXPECT_TRUE(b->isVisibleTo(edited)) << name;
        EXPECT_GT(b->x(), left) << name;
        left = b->x();
    }
    EXPECT_EQ(button(edited, "cmdSave")->x() + button(edited, "cmdSave")->width(),
              text(edited)->x() + text(edited)->width());
    // The picture: plus over equals, black pixels in the centre column and three full rows.
    const QImage image = button(edited, "cmdCom_1")->icon().pixmap(9, 10).toImage();
    EXPECT_EQ(image.pixelColor(4, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, 3), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, 4).alpha(), 0);
    EXPECT_EQ(image.pixelColor(8, 9), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(4, 8).alpha(), 0);
}

TEST_F(EditorWindow, FillIsNoEditButTheFirstKeystrokeIs) {
    frmEditor* editor = open("finalpgn/a.pgn", kGame, true);
    EXPECT_EQ(editor->lChangeCount, 1);
    EXPECT_FALSE(editor->bChanged);
    EXPECT_FALSE(button(editor, "cmdSave")->isEnabled());
    typeAt(editor, 0, "x");
    EXPECT_TRUE(editor->bChanged);
    EXPECT_TRUE(button(editor, "cmdSave")->isEnabled());

    QTest::mouseClick(button(editor, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(readFile(editor->caption()), "x" + kGame);
    EXPECT_FALSE(editor->bChanged);
    EXPECT_FALSE(button(editor, "cmdSave")->isEnabled());
}

TEST_F(EditorWindow, SaveChangesOnlyTheTypedCharacterInEitherEncoding) {
    // Latin-1 with LF line ends, a no-break space and a byte Windows-1252 leaves unassigned.
    const std::string latin = "[White \"M\xFCller\xA0X\"]\n\n1. e4 {\x81} e5 *\n";
    frmEditor* one = open("finalpgn/latin.pgn", latin, true);
    typeAt(one, static_cast<int>(std::string("[White \"M\xFCller\xA0X\"]\n\n1. e4 {").size()),
           QString::fromUtf8("é"));
    QTest::mouseClick(button(one, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(readFile(one->caption()), "[White \"M\xFCller\xA0X\"]\n\n1. e4 {\xE9\x81} e5 *\n");

    // UTF-8 with CR LF, a lone LF kept as it is, and a character beyond the basic plane.
    const std::string utf8 = "[White \"M\xC3\xBCller\"]\r\n\r\n1. e4 {\xF0\x9F\x98\x80}\ne5 *\r\n";
    frmEditor* two = open("finalpgn/utf8.pgn", utf8, true);
    typeAt(two, text(two)->toPlainText().indexOf("e5"), QString::fromUtf8("ü"));
    QTest::mouseClick(button(two, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(readFile(two->caption()),
              "[White \"M\xC3\xBCller\"]\r\n\r\n1. e4 {\xF0\x9F\x98\x80}\n\xC3\xBC"
              "e5 *\r\n");
}

TEST_F(EditorWindow, ReadOnlyFileStaysReadOnlyAndFailedSaveKeepsState) {
    frmEditor* editor = open("finalpgn/a.pgn", kGame, true);
    SetReadOnly(editor->caption(), true);
    typeAt(editor, 0, "x");
    editor->cmdSave_Click();
    EXPECT_EQ(readFile(editor->caption()), "x" + kGame);
    EXPECT_TRUE(IsReadOnly(editor->caption()));

    // A file whose directory has gone cannot be written: both boxes, nothing changes.
    frmEditor* lost = open("gone/b.pgn", kGame, true);
    std::filesystem::remove_all(program.dir.file("gone"));
    typeAt(lost, 0, "y");
    program.ui.answerOkByDefault();
    lost->cmdSave_Click();
    ASSERT_FALSE(program.ui.boxes.empty());
    EXPECT_EQ(program.ui.boxes.back().text, "\r\nError saving file");
    EXPECT_EQ(program.ui.boxes.back().title, "Error");
    EXPECT_TRUE(lost->bChanged);
    EXPECT_TRUE(button(lost, "cmdSave")->isEnabled());
    EXPECT_FALSE(program.state.bError);
}

TEST_F(EditorWindow, SaveAsTakesTheNewNameOrNothingWhenCancelled) {
    frmEditor* editor = open("finalpgn/a.pgn", kGame, true);
    typeAt(editor, 0, "x");
    editor->cmdSaveAs_Click();  // cancelled
    EXPECT_EQ(dialogs.back(), "Save as...|PGN|" + program.state.finalDir.substr(
                                                      0, program.state.finalDir.size() - 1));
    EXPECT_TRUE(editor->bChanged);

    saveAnswers.push_back(program.dir.file("copy.pgn"));
    editor->cmdSaveAs_Click();
    EXPECT_EQ(editor->caption(), program.dir.file("copy.pgn"));
    EXPECT_EQ(readFile(program.dir.file("copy.pgn")), "x" + kGame);
    EXPECT_EQ(readFile(program.state.finalDir + "a.pgn"), kGame);
    EXPECT_FALSE(editor->bChanged);
    EXPECT_TRUE(button(editor, "cmdSave")->isEnabled());  // Save As leaves Save as it was
    EXPECT_EQ(editors->positionOf(program.dir.file("COPY.pgn")), 1);
}

TEST_F(EditorWindow, ReloadAsksBeforeDiscardingAndPlacesTheCaret) {
    frmEditor* editor = open("finalpgn/a.pgn", kGame, true);
    editors->enableReload("A.PGN");
    EXPECT_TRUE(button(editor, "cmdRefresh")->isEnabled());
    typeAt(editor, 0, "x");
    program.dir.write("finalpgn/a.pgn", kGame + "\r\n");

    program.ui.answerNext(Answer::No);
    editor->ReloadFile();
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].text,
              "Changes made since you last saved the file will be lost.\r\n\r\nContinue?");
    EXPECT_EQ(program.ui.boxes[0].title, "Beware");
    EXPECT_EQ(program.ui.boxes[0].icon, Icon::Critical);
    EXPECT_TRUE(text(editor)->toPlainText().startsWith("x"));

    program.ui.answerNext(Answer::Yes);
    editor->ReloadFile();
    const QString shown = text(editor)->toPlainText();
    EXPECT_EQ(shown, "[Event \"Open\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 *\n\n");
    // Five characters before the end, a CR LF counting two: before the "*".
    EXPECT_EQ(caret(editor), shown.size() - 3);
    EXPECT_FALSE(button(editor, "cmdRefresh")->isEnabled());
    // The first keystroke after a reload marks the text changed, as after opening.
    typeAt(editor, 0, "z");
    EXPECT_TRUE(editor->bChanged);

    // An empty file leaves the text; a text shorter than five characters gets the caret at
    // its start instead of an error.
    program.dir.write("finalpgn/a.pgn", "");
    program.ui.answerNext(Answer::Yes);
    editor->ReloadFile();
    EXPECT_TRUE(text(editor)->toPlainText().startsWith("z[Event"));
    program.dir.write("finalpgn/a.pgn", "*\r\n");
    program.ui.answerNext(Answer::Yes);
    editor->ReloadFile();
    EXPECT_EQ(text(editor)->toPlainText(), "*\n");
    EXPECT_EQ(caret(editor), 0);
    // Only the questions, no error box.
    EXPECT_EQ(program.ui.boxes.size(), 4u);
    EXPECT_EQ(program.ui.boxes.back().title, "Beware");
}

TEST_F(EditorWindow, EditorListFollowsActivationAndClosing) {
    frmEditor* first = open("finalpgn/a.pgn", kGame, true);
    frmEditor* second = open("finalpgn/b.pgn", kGame, true);
    EXPECT_EQ(editors->lCurrentEditor, 2);
    // A caption differing only in case: the caption search finds the first editor.
    second->setCaption(first->caption().substr(0, first->caption().size() - 5) + "A.PGN");
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    EXPECT_EQ(editors->lCurrentEditor, 1);
    EXPECT_EQ(editors->current(), first);

    // Closing the second removes the second, not the first that the search names.
    typeAt(second, 0, "unsaved");
    QPointer<frmEditor> watch = second;
    QTest::mouseClick(button(second, "cmdCancel"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(editors->colEditors);
    ASSERT_EQ(editors->colEditors->size(), 1u);
    EXPECT_EQ(editors->colEditors->front(), first);
    EXPECT_TRUE(program.ui.boxes.empty());  // no question about unsaved changes
    EXPECT_EQ(readFile(program.state.finalDir + "b.pgn"), kGame);

    // The window's own close box; the list is released with its last entry.
    qobject_cast<QMdiSubWindow*>(first->parentWidget())->close();
    QApplication::processEvents();
    EXPECT_FALSE(editors->colEditors);
}

TEST_F(EditorWindow, CycleHidesSaveButtonsAndClosingTheProjectClosesAll) {
    frmEditor* one = open("finalpgn/a.pgn", kGame, true);
    frmEditor* two = open("temppgn/a.pgn", kGame);
    frmEditor* other = open("finalpgn/b.pgn", kGame, true);
    editors->setSaveButtonsVisible(false);
    EXPECT_FALSE(button(one, "cmdSave")->isVisibleTo(one));
    EXPECT_FALSE(button(two, "cmdSaveAs")->isVisibleTo(two));
    editors->setSaveButtonsVisible(true);
    EXPECT_TRUE(button(one, "cmdSave")->isVisibleTo(one));
    editors->enableReload("a.pgn");
    EXPECT_TRUE(button(one, "cmdRefresh")->isEnabled());
    EXPECT_TRUE(button(two, "cmdRefresh")->isEnabled());
    EXPECT_FALSE(button(other, "cmdRefresh")->isEnabled());

    editors->closeAll();
    QApplication::processEvents();
    EXPECT_FALSE(editors->colEditors);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

}  // namespace
}  // namespace korvane::test
