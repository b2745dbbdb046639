#pragma once
// The program on real windows for the tests: a temporary program directory, scripted
// message boxes and file dialogs, the real converter and its ini files, and helpers that
// find widgets by their object names, act on modal dialogs while they are open and type
// into editors the way the operator does.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Config.h"
#include "core/ProjectFile.h"
#include "core/Settings.h"
#include "pipeline/FileDialog.h"
#include "support/PageText.h"
#include "support/ScriptedOperator.h"
#include "support/TempDir.h"
#include "ui/Editors.h"
#include "ui/Program.h"
#include "ui/frmEditor.h"
#include "ui/frmMain.h"
#include "ui/frmProject.h"

namespace korvane::test {

using Lines = std::vector<std::string>;

class ScriptedFiles : public FileDialog {
public:
    std::optional<FileSelection> open(const std::string& title, const std::string& filter,
                                      const std::string& initialDir, bool multiSelect) override;
    void choose(const std::string& dir, Lines names) {
        answers.push_back(FileSelection{dir, std::move(names)});
    }
    std::deque<std::optional<FileSelection>> answers;
    std::vector<std::string> titles;  // of every dialog shown
};

// Runs act on the modal dialog with this object name as soon as it is shown.
void whenModal(const QString& name, std::function<void(QWidget&)> act);

// Waits, letting events and real timers run, until the condition holds (at most limitMs).
bool waitFor(const std::function<bool()>& condition, int limitMs = 30000);

// An editor's text box and buttons, and typing into it.
inline QPlainTextEdit* text(frmEditor* editor) {
    return editor->findChild<QPlainTextEdit*>("txtEditor");
}
inline QPushButton* button(frmEditor* editor, const char* name) {
    return editor->findChild<QPushButton*>(name);
}
inline int caret(frmEditor* editor) {
    return text(editor)->textCursor().position();
}
void caretAt(frmEditor* editor, int pos);
// Puts the caret at pos (in the shown text) and types keys there.
void typeAt(frmEditor* editor, int pos, const QString& keys);

class UiTest : public ::testing::Test {
protected:
    UiTest();
    ~UiTest() override {
        program.reset();
        // Windows closed during the test are deleted by the event loop.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The real converter and its two ini files, the HTML directory, 10 seconds between
    // scans, 20 seconds FTP time-out.
    Settings usableSettings() const;
    void writeSettings(const Settings& settings) {
        dir.write(kSettingsFileName, SettingsText(settings));
    }
    // Creates the program and runs its start-up.
    bool start();
    // Writes usable settings and starts on them.
    void startUsable() {
        writeSettings(usableSettings());
        ASSERT_TRUE(start());
    }

    frmMain& mainWindow() { return program->mainWindow(); }
    frmProject& project() {
        EXPECT_NE(mainWindow().project(), nullptr);
        return *mainWindow().project();
    }
    ProgramState& state() { return program->state(); }
    Editors& editors() { return mainWindow().editors(); }

    template <typename W>
    W* find(const char* name) {
        W* widget = mainWindow().findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    bool enabled(const char* name) { return find<QWidget>(name)->isEnabled(); }
    void click(const char* button) {
        auto* target = find<QAbstractButton>(button);
        ASSERT_TRUE(target && target->isEnabled()) << button;
        QTest::mouseClick(target, Qt::LeftButton);
    }
    void trigger(const char* action) {
        auto* item = find<QAction>(action);
        ASSERT_TRUE(item);
        item->trigger();
    }
    // Writes a source game the way board software does, with a modification time `step`
    // seconds after a fixed base.
    std::string writeSource(const std::string& name, const std::string& text, int step);
    // Chooses games through New Project.
    void newProject(const Lines& names) {
        files.choose(boards, names);
        trigger("mnuFileNew");
    }
    Lines titles() const {
        Lines result;
        for (const RecordedBox& box : boxes.boxes) {
            result.push_back(box.title);
        }
        return result;
    }
    bool logHas(const std::string& text) {
        return project().logText().find(text) != std::string::npos;
    }
    // The project file as the program last wrote it.
    Project savedProject();
    // Writes bytes under the program directory and opens them in a new, active editor.
    frmEditor* openEditor(const std::string& name, const std::string& bytes, bool final = true) {
        frmEditor* editor = editors().openEditor(dir.write(name, bytes), bytes, final);
        activate(editor);
        return editor;
    }
    void activate(frmEditor* editor) {
        mainWindow().mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
        editor->becomeCurrent();
    }

    TempDir dir;
    std::string html;
    std::string boards;
    // Every message box, answered from its queue; questions left unscripted fail the test.
    ScriptedOperator boxes;
    ScriptedFiles files;
    std::unique_ptr<Program> program;
};

// A game in progress as board software writes it, with the given moves.
std::string LiveGame(const std::string& white, const std::string& black, const std::string& moves);

}  // namespace korvane::test
