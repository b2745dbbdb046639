// The pop-up menus: their items as the operator sees them, where they open, and what a
// chosen item inserts into the current editor.

#include <QAction>
#include <QMenu>

#include "EditorFixture.h"
#include "ui/AnnotationMenus.h"

namespace korvane::test {
namespace {

const std::string kGame = "[Event \"Open\"]\r\n[Result \"*\"]\r\n\r\n1. e4 e5 *\r\n";

using AnnotationMenusTest = EditorFixture;

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QString("-") : action->text());
    }
    return captions;
}

QAction* Item(const QMenu* menu, const char* name) {
    return menu->findChild<QAction*>(name);
}

TEST_F(AnnotationMenusTest, ItemsInMenuOrder) {
    const AnnotationMenus& menus = editors->menus();
    EXPECT_EQ(Captions(menus.mnuAnno1),
              QStringList({"!", "?", "!?", "?!", "!!", "??", "Zugzwang", "Only move"}));
    EXPECT_EQ(
        Captions(menus.mnuAnno2),
        QStringList({"+ -", "+/-", "+=", "=", "Unclear", "=+", "- /+", "- +", "Compensation",
                     "Counterplay", "Initiative", "Attack", "Zeitnot", "Development Adv.", "N"}));
    EXPECT_EQ(
        Captions(menus.mnuAnno3),
        QStringList({"WhiteElo", "BlackElo", "WhiteTitle", "BlackTitle", "WhiteCountry",
                     "BlackCountry", "-", "Time", "TimeControl", "Clock", "WhiteClock",
                     "BlackClock", "-", "Annotator", "AnnoTitle", "AnnoElo", "ECO", "Opening"}));
    EXPECT_EQ(menus.mnuAnno1->title(), "Anno1");
    EXPECT_TRUE(Item(menus.mnuAnno3, "mnuAnno3Bar2")->isSeparator());
}

TEST_F(AnnotationMenusTest, ButtonsPopUpMenusAboveAndChoicesGoToTheCurrentEditor) {
    frmEditor* other = open("finalpgn/b.pgn", kGame, true);
    frmEditor* editor = open("finalpgn/a.pgn", kGame, true);
    const int afterE4 = text(editor)->toPlainText().indexOf("e4") + 2;
    caretAt(editor, afterE4);

    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    QMenu* menu = editors->menus().mnuAnno1;
    ASSERT_TRUE(menu->isVisible());
    // The menu opens right of the first button and well above the button row.
    const QPoint row = button(editor, "cmdCom_0")->mapToGlobal(QPoint(0, 0));
    EXPECT_LT(menu->geometry().top(), row.y());
    Item(menu, "mnuAnno1Good")->trigger();
    menu->hide();
    EXPECT_TRUE(text(editor)->toPlainText().contains("1. e4 $1 e5"));
    EXPECT_EQ(caret(editor), afterE4 + 4);

    QTest::mouseClick(button(editor, "cmdCom_1"), Qt::LeftButton);
    EXPECT_TRUE(editors->menus().mnuAnno2->isVisible());
    editors->menus().mnuAnno2->hide();

    // "{ }" between two non-blank characters: space, pair, space; caret before the last space.
    const int afterE5 = text(editor)->toPlainText().indexOf("e5") + 2;
    typeAt(editor, afterE5, "x");
    caretAt(editor, afterE5);
    QTest::mouseClick(button(editor, "cmdCom_2"), Qt::LeftButton);
    EXPECT_TRUE(text(editor)->toPlainText().contains("e5 { } x"));
    EXPECT_EQ(caret(editor), afterE5 + 4);
    QTest::mouseClick(button(editor, "cmdCom_3"), Qt::LeftButton);
    EXPECT_TRUE(text(editor)->toPlainText().contains("( )"));

    // "[ ]" then "ECO": the new tag after the last one, the caret between its quotes.
    QTest::mouseClick(button(editor, "cmdCom_4"), Qt::LeftButton);
    EXPECT_TRUE(editors->menus().mnuAnno3->isVisible());
    Item(editors->menus().mnuAnno3, "mnuAnno3Eco")->trigger();
    editors->menus().mnuAnno3->hide();
    const QString shown = text(editor)->toPlainText();
    EXPECT_TRUE(shown.startsWith("[Event \"Open\"]\n[Result \"*\"]\n[ECO \"\"]\n\n1. e4"));
    EXPECT_EQ(caret(editor), shown.indexOf("[ECO \"") + 6);
    EXPECT_EQ(text(other)->toPlainText().toStdString() + "\n",
              "[Event \"Open\"]\n[Result \"*\"]\n\n1. e4 e5 *\n\n");

    // Saved in the file's own line ends.
    editor->cmdSave_Click();
    EXPECT_EQ(readFile(editor->caption()).substr(0, 44),
              "[Event \"Open\"]\r\n[Result \"*\"]\r\n[ECO \"\"]\r\n\r\n1.");
}

TEST_F(AnnotationMenusTest, UnclosedTagIsReportedAndNothingInserted) {
    frmEditor* editor = open("finalpgn/a.pgn", "[Event \"Open\"\r\n1. e4 {x} *\r\n", true);
    program.ui.answerNext(Answer::Ok);
    editor->InsertTag("ECO");
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(program.ui.boxes[0].text,
              "\r\nMissing ] in header tags.\r\nError in procedure InsertTag.");
    EXPECT_EQ(program.ui.boxes[0].title, "Error");
    EXPECT_EQ(editor->lChangeCount, 1);
}

}  // namespace
}  // namespace korvane::test
