#include "UiFixture.h"

#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/Config.h"

namespace fs = std::filesystem;

namespace korvane::test {

namespace {

const fs::file_time_type kBase = fs::file_time_type::clock::now() - std::chrono::hours(24);
constexpr int kModalPollMs = 10;
constexpr int kModalPolls = 3000;

}  // namespace

std::optional<FileSelection> ScriptedFiles::open(const std::string& title, const std::string&,
                                                 const std::string&, bool) {
    titles.push_back(title);
    if (answers.empty()) {
        ADD_FAILURE() << "Unscripted file dialog " << title;
        return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

void whenModal(const QString& name, std::function<void(QWidget&)> act) {
    auto* timer = new QTimer;
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act, polls] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name) {
            timer->stop();
            timer->deleteLater();
            act(*modal);
        } else if (++*polls > kModalPolls) {
            ADD_FAILURE() << "The dialog " << name.toStdString() << " never opened";
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(kModalPollMs);
}

bool waitFor(const std::function<bool()>& condition, int limitMs) {
    return QTest::qWaitFor(condition, limitMs);
}

void caretAt(frmEditor* editor, int pos) {
    QTextCursor cursor = text(editor)->textCursor();
    cursor.setPosition(pos);
    text(editor)->setTextCursor(cursor);
}

void typeAt(frmEditor* editor, int pos, const QString& keys) {
    caretAt(editor, pos);
    // The test library maps only ASCII to keys; other characters come as typed text.
    for (QChar c : keys) {
        if (c.unicode() < 128) {
            QTest::keyClick(text(editor), c.toLatin1());
            continue;
        }
        for (auto type : {QTest::Press, QTest::Release}) {
            QTest::sendKeyEvent(type, text(editor), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

UiTest::UiTest() {
    html = dir.path() + "/html/";
    boards = dir.path() + "/boards/";
    fs::create_directories(html);
    fs::create_directories(boards);
}

Settings UiTest::usableSettings() const {
    Settings s;
    s.spubPathVistrel = KORVANE_VISTREL;
    s.spubPathVisIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-game.ini";
    s.spubPathIntroIni = std::string(KORVANE_SOURCE_DIR) + "/data/vistrel-overview.ini";
    s.spubPathHtml = html;
    s.spubPathpgn = boards;
    s.spubIntroPgn = "allgames.pgn";
    s.lpubScanTime = 10;
    s.lpubTimeOut = 20;
    return s;
}

bool UiTest::start() {
    Program::Options options;
    options.programDir = dir.path();
    options.executableDir = fs::path(KORVANE_VISTREL).parent_path().string();
    options.fileDialog = &files;
    options.boxes = [this](const std::string& text, const std::string& title, Buttons buttons,
                           Icon icon) {
        boxes.answerOkByDefault(buttons == Buttons::Ok);
        return boxes.messageBox(text, title, buttons, icon);
    };
    program = std::make_unique<Program>(std::move(options));
    return program->Main();
}

std::string UiTest::writeSource(const std::string& name, const std::string& text, int step) {
    const std::string path = boards + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(path, kBase + std::chrono::seconds(step));
    return path;
}

Project UiTest::savedProject() {
    Project project;
    std::string why;
    EXPECT_TRUE(ParseProject(readFile(dir.file(kProjectFileName)), project, why)) << why;
    return project;
}

std::string LiveGame(const std::string& white, const std::string& black, const std::string& moves) {
    return "[Event \"Club Open\"]\r\n[Site \"Hall\"]\r\n[Date \"2026.12.06\"]\r\n[Round \"1\"]\r\n"
           "[White \"" +
           white + "\"]\r\n[Black \"" + black + "\"]\r\n[Result \"*\"]\r\n\r\n" + moves + " *\r\n";
}

}  // namespace korvane::test
