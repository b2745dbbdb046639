// Not a test: scripts/screenshots.sh runs it to picture an editor with its glyph menu open
// inside the main window, written to the path in KORVANE_SCREENSHOT.

#include <QPainter>

#include "UiFixture.h"

namespace korvane::test {
namespace {

using EditorScreenshot = UiTest;

const char* kCommented =
    "[Event \"Club Championship\"]\r\n[Site \"Harbour Hall\"]\r\n[Date \"2026.12.06\"]\r\n"
    "[Round \"5\"]\r\n[White \"Adams, Jane\"]\r\n[Black \"Brown, Tom\"]\r\n"
    "[Result \"*\"]\r\n[ECO \"C65\"]\r\n\r\n"
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 Nf6 {The Berlin: solid, and a favourite of the\r\n"
    "second seed.} 4. O-O Nxe4 5. d4 $1 (5. Re1 Nd6 6. Nxe5 Be7 $14) 5... Nd6\r\n"
    "6. Bxc6 dxc6 7. dxe5 Nf5 8. Qxd8+ Kxd8 *\r\n";

TEST_F(EditorScreenshot, DISABLED_EditorWithGlyphMenuOpen) {
    const char* target = std::getenv("KORVANE_SCREENSHOT");
    ASSERT_NE(target, nullptr);
    startUsable();
    frmMain& main = mainWindow();
    main.resize(1000, 640);
    project().parentWidget()->hide();
    frmEditor* editor = openEditor("finalpgn/board5.pgn", kCommented);
    editor->setCaption("/home/operator/korvane/finalpgn/board5.pgn");
    auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    frame->setGeometry(20, 10, 760, 520);
    main.mdiArea()->setActiveSubWindow(frame);
    caretAt(editor, text(editor)->toPlainText().indexOf(" Nd6\n6."));
    QTest::mouseClick(button(editor, "cmdCom_0"), Qt::LeftButton);
    QApplication::processEvents();

    // The offscreen platform draws each top-level window on its own: lay the pop-up over
    // the main window where it stands.
    auto* menu = main.findChild<QMenu*>("mnuAnno1");
    QPixmap picture = main.grab();
    QPainter painter(&picture);
    painter.drawPixmap(menu->pos() - main.mapToGlobal(QPoint(0, 0)), menu->grab());
    painter.end();
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    EXPECT_TRUE(picture.save(target));
    menu->hide();
}

}  // namespace
}  // namespace korvane::test
