#pragma once
// Editors in a main-window area over a program in a temporary directory, with helpers that
// type into an editor the way the operator does.

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <memory>

#include "support/TestProgram.h"
#include "ui/Editors.h"
#include "ui/frmEditor.h"

namespace korvane::test {

// Finding an editor's controls and typing into it.
inline QPlainTextEdit* text(frmEditor* editor) {
    return editor->findChild<QPlainTextEdit*>("txtEditor");
}
inline QPushButton* button(frmEditor* editor, const char* name) {
    return editor->findChild<QPushButton*>(name);
}
// Puts the caret at pos (in the shown text) and types keys there.
inline void typeAt(frmEditor* editor, int pos, const QString& keys) {
    QTextCursor cursor = text(editor)->textCursor();
    cursor.setPosition(pos);
    text(editor)->setTextCursor(cursor);
    // The test library maps only ASCII to keys; other characters come as typed text.
    for (QChar c : keys) {
        if (c.unicode() < 128) {
            QTest::keyClick(text(editor), c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, text(editor), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, text(editor), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}
inline void caretAt(frmEditor* editor, int pos) {
    QTextCursor cursor = text(editor)->textCursor();
    cursor.setPosition(pos);
    text(editor)->setTextCursor(cursor);
}
inline int caret(frmEditor* editor) {
    return text(editor)->textCursor().position();
}

class EditorFixture : public testing::Test {
protected:
    EditorFixture() {
        area.resize(1000, 700);
        area.show();
        editors = std::make_unique<Editors>(program.state, &area, &area);
        editors->saveFileDialog = [this](const std::string& title, const std::string& type,
                                         const std::string& directory) {
            dialogs.push_back(title + "|" + type + "|" + directory);
            std::string answer = saveAnswers.empty() ? std::string() : saveAnswers.front();
            if (!saveAnswers.empty()) {
                saveAnswers.pop_front();
            }
            return answer;
        };
    }
    ~EditorFixture() override {
        editors->closeAll();
        QApplication::processEvents();
    }

    // Writes bytes under the program directory and opens them in a new editor.
    frmEditor* open(const std::string& name, const std::string& bytes, bool final = false) {
        const std::string path = program.dir.write(name, bytes);
        frmEditor* editor = editors->openEditor(path, bytes, final);
        activate(editor);
        return editor;
    }
    void activate(frmEditor* editor) {
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
        editor->becomeCurrent();
    }
    TestProgram program;
    QMdiArea area;
    std::unique_ptr<Editors> editors;
    std::deque<std::string> saveAnswers;
    std::vector<std::string> dialogs;
};

}  // namespace korvane::test
