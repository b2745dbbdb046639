// The editor window inside the main window: change tracking, saving, reloading, closing,
// the list of editors, the pop-up menus, and saving after a cycle appended moves.

#include "UiFixture.h"
#include "core/FileUtils.h"
#include "pgn/AppendNewMoves.h"

namespace korvane::test {
namespace {

const std::string kGame = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 *\r\n";

class EditorWindow : public UiTest {
protected:
    void SetUp() override { startUsable(); }
    // Whether the editor holds unsaved changes, and whether its Save button is enabled.
    static std::pair<bool, bool> changes(frmEditor* editor) {
        return {editor->bChanged, button(editor, "cmdSave")->isEnabled()};
    }
    static bool reloadable(frmEditor* editor) { return button(editor, "cmdRefresh")->isEnabled(); }
};

const std::pair kSaved{false, false}, kUnsaved{true, true};

TEST_F(EditorWindow, KeystrokesMarkChangesAndSaveAndSaveAsWriteOnlyThem) {
    std::string asked, answer;  // an empty answer cancels
    editors().saveFileDialog = [&](const std::string& title, const std::string& type,
                                   const std::string& directory) {
        asked = title + "|" + type + "|" + directory;
        return answer;
    };
    frmEditor* editor = openEditor("finalpgn/a.pgn", kGame);
    EXPECT_EQ(changes(editor), kSaved) << "filling the box is no edit";
    typeAt(editor, 0, "x");
    EXPECT_EQ(changes(editor), kUnsaved);

    editor->cmdSaveAs_Click();
    EXPECT_EQ(asked, "Save as...|PGN|" + dir.file("finalpgn"));
    EXPECT_TRUE(editor->bChanged) << "cancelled";
    answer = dir.file("copy.pgn");
    editor->cmdSaveAs_Click();
    EXPECT_EQ(editor->caption(), answer);
    EXPECT_EQ(readFile(answer), "x" + kGame);
    EXPECT_EQ(readFile(dir.file("finalpgn/a.pgn")), kGame);
    EXPECT_EQ(changes(editor), std::pair(false, true)) << "Save As leaves Save as it was";

    // Save keeps a read-only file read-only.
    SetReadOnly(answer, true);
    typeAt(editor, 0, "y");
    QTest::mouseClick(button(editor, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(readFile(answer), "yx" + kGame);
    EXPECT_TRUE(IsReadOnly(answer));
    EXPECT_EQ(changes(editor), kSaved);

    // A file whose directory has gone cannot be written: both boxes, nothing changes.
    frmEditor* lost = openEditor("gone/b.pgn", kGame);
    std::filesystem::remove_all(dir.file("gone"));
    typeAt(lost, 0, "y");
    lost->cmdSave_Click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes.back().text, "\r\nError saving file");
    EXPECT_EQ(changes(lost), kUnsaved);
    EXPECT_FALSE(state().bError);

    // A single-byte file with LF line ends: only the typed character changes, in that
    // encoding; the no-break space and the byte Windows-1252 leaves unassigned stay.
    const std::string latin = "[White \"M\xFCller\xA0X\"]\n\n1. e4 {\x81} e5 *\n";
    frmEditor* one = openEditor("finalpgn/latin.pgn", latin);
    typeAt(one, text(one)->toPlainText().indexOf("{") + 1, QString::fromUtf8("é"));
    QTest::mouseClick(button(one, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(readFile(one->caption()), "[White \"M\xFCller\xA0X\"]\n\n1. e4 {\xE9\x81} e5 *\n");
}

TEST_F(EditorWindow, GlyphMenuThenReloadAsksBeforeDiscardingAndPlacesTheCaret) {
    frmEditor* other = openEditor("finalpgn/b.pgn", kGame);
    frmEditor* editor = openEditor("finalpgn/a.pgn", kGame);
    // The glyph menu pops up above the buttons and inserts into the current editor only.
    caretAt(editor, text(editor)->toPlainText().indexOf(" e5"));
    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    auto* menu = find<QMenu>("mnuAnno1");
    ASSERT_TRUE(menu->isVisible());
    EXPECT_LT(menu->geometry().top(), button(editor, "cmdCom_0")->mapToGlobal(QPoint(0, 0)).y());
    menu->findChild<QAction*>("mnuAnno1Dubious")->trigger();
    menu->hide();
    EXPECT_TRUE(text(editor)->toPlainText().contains("1. e4 $6 e5"));
    EXPECT_FALSE(text(other)->toPlainText().contains("$6"));
    QTest::mouseClick(button(editor, "cmdCom_1"), Qt::LeftButton);
    EXPECT_TRUE(find<QMenu>("mnuAnno2")->isVisible());
    find<QMenu>("mnuAnno2")->hide();

    EXPECT_FALSE(reloadable(editor));
    editors().enableReload("A.PGN");  // names compare without case
    EXPECT_TRUE(reloadable(editor) && !reloadable(other));
    const auto reloadFrom = [&](const std::string& bytes, Answer answer) {
        dir.write("finalpgn/a.pgn", bytes);
        boxes.answerNext(answer);
        editor->ReloadFile();
    };
    reloadFrom(kGame + "\r\n", Answer::No);
    EXPECT_TRUE(text(editor)->toPlainText().contains("$6"));
    reloadFrom(kGame + "\r\n", Answer::Yes);
    const QString shown = text(editor)->toPlainText();
    EXPECT_EQ(shown, "[Event \"Open\"]\n[Result \"*\"]\n\n1. e4 e5 *\n\n");
    // Five characters before the end, a CR LF counting two: before the "*".
    EXPECT_EQ(text(editor)->textCursor().position(), shown.size() - 3);
    EXPECT_FALSE(reloadable(editor));
    // The first keystroke after a reload marks the text changed, as after opening.
    typeAt(editor, 0, "z");
    EXPECT_TRUE(editor->bChanged);

    // An empty file leaves the text; a text shorter than five characters gets the caret at
    // its start instead of an error.
    reloadFrom("", Answer::Yes);
    EXPECT_TRUE(text(editor)->toPlainText().startsWith("z[Event"));
    reloadFrom("*\r\n", Answer::Yes);
    EXPECT_EQ(text(editor)->toPlainText(), "*\n");
    EXPECT_EQ(text(editor)->textCursor().position(), 0);
    EXPECT_EQ(titles(), (Lines{"Beware", "Beware", "Beware", "Beware"}));
}

TEST_F(EditorWindow, EditorListFollowsActivationAndClosing) {
    frmEditor* first = openEditor("finalpgn/a.pgn", kGame);
    frmEditor* second = openEditor("finalpgn/b.pgn", kGame);
    EXPECT_EQ(editors().lCurrentEditor, 2);
    // A caption differing only in case: the caption search finds the first editor.
    second->setCaption(first->caption().substr(0, first->caption().size() - 5) + "A.PGN");
    activate(first);
    mainWindow().mdiArea()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    EXPECT_EQ(editors().lCurrentEditor, 1);
    EXPECT_EQ(editors().current(), first);

    // Closing the second removes the second, not the first that the search names.
    typeAt(second, 0, "unsaved");
    QTest::mouseClick(button(second, "cmdCancel"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(editors().colEditors);
    EXPECT_EQ(*editors().colEditors, std::vector<QPointer<frmEditor>>{first});
    EXPECT_TRUE(boxes.boxes.empty());  // no question about unsaved changes
    EXPECT_EQ(readFile(dir.file("finalpgn/b.pgn")), kGame);

    // The window's own close box; the list is released with its last entry.
    qobject_cast<QMdiSubWindow*>(first->parentWidget())->close();
    QApplication::processEvents();
    EXPECT_FALSE(editors().colEditors);
}

// The cycle appends moves to an edited pgn while its editor holds unsaved comments.
TEST_F(EditorWindow, MissingEditedPgnIsMadeAndSavesAfterTheCycleMergeOrAsk) {
    const std::string later = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";
    Pgn& game = state().addGame("r1.pgn");
    game.PathTemp = dir.write("temppgn/r1.pgn", kGame);
    game.PathFinal = state().finalDir + "r1.pgn";
    // The missing edited pgn is made from the source copy, with a line in the log.
    frmEditor* editor = editors().LoadPgn(EditKind::CommentedPgn, "r1.pgn");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(readFile(game.PathFinal), kGame);
    EXPECT_TRUE(logHas(game.PathFinal + " created as a copy of " + game.PathTemp));
    activate(editor);
    auto cycleAppends = [&](const std::string& source) {
        dir.write("temppgn/r1.pgn", source);
        state().iCurrentPgn = 1;
        AppendNewMoves(state());
        editors().enableReload("r1.pgn");
    };

    typeAt(editor, text(editor)->toPlainText().indexOf(" e5"), " {Bold}");
    cycleAppends(later);
    ASSERT_EQ(readFile(game.PathFinal), later);  // the cycle's merge, without the comment
    editor->cmdSave_Click();
    const std::string saved = readFile(game.PathFinal);
    EXPECT_NE(saved.find("1. e4 {Bold} e5 2. Nf3 Nc6"), std::string::npos) << saved;
    EXPECT_TRUE(boxes.boxes.empty());
    // The editor shows what was written, and the file needs no reload.
    EXPECT_EQ(text(editor)->toPlainText(), QString::fromStdString(saved).replace("\r\n", "\n"));
    EXPECT_FALSE(reloadable(editor) || editor->bChanged);

    // The operator rewrites a move the source does not have: the merge fails and the
    // operator decides whether to save as typed.
    text(editor)->setPlainText("[Event \"Open\"]\n[Result \"*\"]\n\n1. e4 d6 *\n");
    cycleAppends(later.substr(0, later.size() - 3) + "3. Bb5 *\r\n");
    const std::string before = readFile(game.PathFinal);
    boxes.answerNext(Answer::No);
    editor->cmdSave_Click();
    ASSERT_EQ(titles(), Lines{"Beware"});
    EXPECT_NE(boxes.boxes[0].text.find("could not be merged"), std::string::npos);
    EXPECT_EQ(readFile(game.PathFinal), before);
    EXPECT_TRUE(editor->bChanged);
    boxes.answerNext(Answer::Yes);
    editor->cmdSave_Click();
    EXPECT_EQ(readFile(game.PathFinal), "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 d6 *\r\n");
    EXPECT_FALSE(editor->bChanged);
}

}  // namespace
}  // namespace korvane::test
