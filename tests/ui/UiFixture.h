#pragma once
// The program on real windows for the tests: a temporary program directory, scripted
// message boxes and file dialogs, the real converter and its ini files, and helpers that
// find widgets by their object names, act on modal dialogs while they are open and type
// into editors the way the operator does.

#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
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
#include "support/ScriptedFileDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TempDir.h"
#include "ui/Editors.h"
#include "ui/Program.h"
#include "ui/frmEditor.h"
#include "ui/frmMain.h"
#include "ui/frmProject.h"

namespace korvane::test {

using Lines = std::vector<std::string>;

// Runs act on the modal dialog with this object name as soon as it is shown (looking every
// 10 ms, at most `polls` times).
inline void whenModal(const QString& name, std::function<void(QWidget&)> act, int polls = 3000) {
    QTimer::singleShot(10, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name) {
            act(*modal);
        } else if (polls > 0) {
            whenModal(name, act, polls - 1);
        } else {
            ADD_FAILURE() << "The dialog " << name.toStdString() << " never opened";
        }
    });
}

// Waits, letting events and real timers run, until the condition holds (at most limitMs).
inline bool waitFor(const std::function<bool()>& condition, int limitMs = 30000) {
    return QTest::qWaitFor(condition, limitMs);
}

// An editor's text box and buttons, and typing into it.
inline QPlainTextEdit* text(frmEditor* editor) {
    return editor->findChild<QPlainTextEdit*>("txtEditor");
}
inline QPushButton* button(frmEditor* editor, const char* name) {
    return editor->findChild<QPushButton*>(name);
}
inline void caretAt(frmEditor* editor, int pos) {
    QTextCursor cursor = text(editor)->textCursor();
    cursor.setPosition(pos);
    text(editor)->setTextCursor(cursor);
}
// Puts the caret at pos (in the shown text) and types keys there.
inline void typeAt(frmEditor* editor, int pos, const QString& keys) {
    caretAt(editor, pos);
    // The test library maps only ASCII to keys; other characters come as typed text.
    for (QChar c : keys) {
        if (c.unicode() < 128) {
            QTest::keyClick(text(editor), c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, text(editor), Qt::Key_unknown, QString(c), {});
        }
    }
}

// A game in progress as board software writes it, with the given moves.
inline std::string LiveGame(const std::string& white, const std::string& black,
                            const std::string& moves) {
    return "[Event \"Club Open\"]\r\n[Site \"Hall\"]\r\n[Date \"2026.12.06\"]\r\n[Round \"1\"]\r\n"
           "[White \"" +
           white + "\"]\r\n[Black \"" + black + "\"]\r\n[Result \"*\"]\r\n\r\n" + moves + " *\r\n";
}

class UiTest : public ::testing::Test {
protected:
    UiTest() {
        std::filesystem::create_directories(html);
        std::filesystem::create_directories(boards);
    }
    ~UiTest() override {
        program.reset();
        // Windows closed during the test are deleted by the event loop.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Creates the program and runs its start-up; message boxes go to the scripted operator.
    bool start() {
        Program::Options options;
        options.programDir = dir.path();
        options.executableDir = std::filesystem::path(KORVANE_VISTREL).parent_path().string();
        options.fileDialog = &files;
        options.boxes = [this](const std::string& text, const std::string& title, Buttons buttons,
                               Icon icon) {
            boxes.answerOkByDefault(buttons == Buttons::Ok);
            return boxes.messageBox(text, title, buttons, icon);
        };
        program = std::make_unique<Program>(std::move(options));
        return program->Main();
    }
    // Starts on usable settings: the real converter and its two ini files, the HTML
    // directory, 10 seconds between scans, 20 seconds FTP time-out.
    void startUsable(bool introPage = false) {
        Settings s;
        s.spubPathVistrel = KORVANE_VISTREL;
        s.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
        s.spubPathIntroIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini";
        s.spubPathHtml = html;
        s.spubPathpgn = boards;
        s.spubIntroPgn = "allgames.pgn";
        s.lpubScanTime = 10;
        s.lpubTimeOut = 20;
        s.bIntroPage = introPage;
        dir.write(kSettingsFileName, SettingsText(s));
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
    std::string writeSource(const std::string& name, const std::string& text, int step) {
        static const auto base =
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
        const std::string path = boards + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        std::filesystem::last_write_time(path, base + std::chrono::seconds(step));
        return path;
    }
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
    Project savedProject() {
        Project project;
        std::string why;
        EXPECT_TRUE(ParseProject(readFile(dir.file(kProjectFileName)), project, why)) << why;
        return project;
    }
    // Writes bytes under the program directory and opens them in a new, active editor.
    frmEditor* openEditor(const std::string& name, const std::string& bytes) {
        frmEditor* editor = editors().openEditor(dir.write(name, bytes), bytes, true);
        activate(editor);
        return editor;
    }
    void activate(frmEditor* editor) {
        mainWindow().mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
        editor->becomeCurrent();
    }

    TempDir dir;
    const std::string html = dir.path() + "/html/";
    const std::string boards = dir.path() + "/boards/";
    // Every message box, answered from its queue; questions left unscripted fail the test.
    ScriptedOperator boxes;
    ScriptedFileDialog files;
    std::unique_ptr<Program> program;
};

}  // namespace korvane::test
