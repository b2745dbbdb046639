// An editor saved after the processing cycle appended moves to its file keeps both what the
// operator typed and what the cycle appended.

#include "EditorFixture.h"
#include "pgn/AppendNewMoves.h"

namespace korvane::test {
namespace {

const std::string kStart = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 *\r\n";
const std::string kLater = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n";

class StaleEditor : public EditorFixture {
protected:
    StaleEditor() : game(program.state.addGame("r1.pgn")) {
        game.PathTemp = program.dir.write("temppgn/r1.pgn", kStart);
        game.PathFinal = program.dir.write("finalpgn/r1.pgn", kStart);
        editor = editors->openEditor(game.PathFinal, kStart, true);
        activate(editor);
    }
    // What a cycle does when the board sends new moves.
    void cycleAppends(const std::string& source) {
        program.dir.write("temppgn/r1.pgn", source);
        program.state.iCurrentPgn = 1;
        AppendNewMoves(program.state);
        editors->enableReload("r1.pgn");
    }
    Pgn& game;
    frmEditor* editor;
};

TEST_F(StaleEditor, SaveMergesTheAppendedMovesBehindTheComment) {
    typeAt(editor, text(editor)->toPlainText().indexOf(" e5"), " {Bold}");
    cycleAppends(kLater);
    ASSERT_EQ(readFile(game.PathFinal), kLater);  // the cycle's merge, without the comment

    editor->cmdSave_Click();
    const std::string saved = readFile(game.PathFinal);
    EXPECT_NE(saved.find("1. e4 {Bold} e5"), std::string::npos) << saved;
    EXPECT_NE(saved.find("2. Nf3 Nc6"), std::string::npos) << saved;
    EXPECT_TRUE(program.ui.boxes.empty());
    // The editor shows what was written, and the file needs no reload.
    EXPECT_EQ(text(editor)->toPlainText().toStdString(),
              QString::fromStdString(saved).replace("\r\n", "\n").toStdString());
    EXPECT_FALSE(button(editor, "cmdRefresh")->isEnabled());
    EXPECT_FALSE(editor->bChanged);

    // The next cycle finds the comment in the file and appends behind it.
    cycleAppends("[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\r\n");
    EXPECT_NE(readFile(game.PathFinal).find("{Bold} e5 2. Nf3 Nc6 3. Bb5"), std::string::npos);
}

TEST_F(StaleEditor, FailedMergeAsksWhetherToSaveAsTyped) {
    // The operator rewrote the last move; the source does not have it.
    text(editor)->setPlainText("[Event \"Open\"]\n[Result \"*\"]\n\n1. e4 d6 *\n");
    cycleAppends(kLater);

    program.ui.answerNext(Answer::No);
    editor->cmdSave_Click();
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].title, "Beware");
    EXPECT_NE(program.ui.boxes[0].text.find("could not be merged"), std::string::npos);
    EXPECT_EQ(readFile(game.PathFinal), kLater);
    EXPECT_TRUE(editor->bChanged);

    program.ui.answerNext(Answer::Yes);
    editor->cmdSave_Click();
    EXPECT_EQ(readFile(game.PathFinal), "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 d6 *\r\n");
    EXPECT_FALSE(editor->bChanged);
}

}  // namespace
}  // namespace korvane::test
