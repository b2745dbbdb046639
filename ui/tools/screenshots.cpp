// Photographs the main window with the monitor window and the settings dialog for the
// README. Run by scripts/screenshots-ui.sh on Qt's offscreen platform:
//   korvane_screenshots <picture directory> <demo directory>
// The demo directory holds the converter (vistrel) and data/ with its ini files; the
// program's settings, games and pages are made there.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "core/Config.h"
#include "core/Settings.h"
#include "pipeline/FileDialog.h"
#include "ui/Program.h"
#include "ui/frmMain.h"
#include "ui/frmProject.h"
#include "ui/frmSettings.h"

namespace fs = std::filesystem;
using namespace korvane;

namespace {

// Answers the open dialog with the demo's games.
class DemoFiles : public FileDialog {
public:
    explicit DemoFiles(std::string boards) : m_boards(std::move(boards)) {}
    std::optional<FileSelection> open(const std::string&, const std::string&, const std::string&,
                                      bool) override {
        return FileSelection{m_boards,
                             {"round5-board1.pgn", "round5-board2.pgn", "round5-board3.pgn"}};
    }

private:
    std::string m_boards;
};

void writeGame(const std::string& path, const char* white, const char* black, const char* moves) {
    std::ofstream(path, std::ios::binary)
        << "[Event \"City Championship\"]\r\n[Site \"Town Hall\"]\r\n[Date \"2026.12.06\"]\r\n"
        << "[Round \"5\"]\r\n[White \"" << white << "\"]\r\n[Black \"" << black
        << "\"]\r\n[Result \"*\"]\r\n\r\n"
        << moves << " *\r\n";
}

Settings demoSettings(const std::string& demo) {
    Settings s;
    s.spubPathVistrel = demo + "/vistrel";
    s.spubPathVisIni = demo + "/data/vistrel-game.ini";
    s.spubPathIntroIni = demo + "/data/vistrel-overview.ini";
    s.spubPathHtml = demo + "/html/";
    s.spubPathpgn = demo + "/boards/";
    s.spubIntroPgn = "allgames.pgn";
    s.lpubScanTime = 10;
    s.lpubTimeOut = 30;
    s.bIntroPage = true;
    s.bpubRenameFiles = true;
    s.bSaveLogon = true;
    s.spubFTPURL = "ftp.example.org";
    s.spubFTPUser = "broadcast";
    s.spubRemoteHtmDir = "/live";
    return s;
}

void click(QWidget& window, const char* name) {
    QTest::mouseClick(window.findChild<QAbstractButton*>(name), Qt::LeftButton);
}

bool save(QWidget& widget, const std::string& path) {
    QApplication::processEvents();
    const bool ok = widget.grab().save(QString::fromStdString(path));
    std::cout << path << (ok ? "" : " could not be written") << "\n";
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: korvane_screenshots <picture directory> <demo directory>\n";
        return 2;
    }
    const std::string pictures = argv[1];
    const std::string demo = fs::absolute(argv[2]).string();
    fs::create_directories(demo + "/html");
    fs::create_directories(demo + "/boards");
    std::ofstream(demo + "/" + kSettingsFileName, std::ios::binary)
        << SettingsText(demoSettings(demo));
    writeGame(demo + "/boards/round5-board1.pgn", "Kovacs, Anna", "Lindqvist, Erik",
              "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6");
    writeGame(demo + "/boards/round5-board2.pgn", "Moreau, Luc", "Tanaka, Yui",
              "1. d4 Nf6 2. c4 e6 3. Nc3 Bb4");
    writeGame(demo + "/boards/round5-board3.pgn", "Okafor, Chidi", "Silva, Marta",
              "1. c4 e5 2. g3 Nf6 3. Bg2 d5");

    DemoFiles files(demo + "/boards/");
    Program::Options options;
    options.programDir = demo;
    options.executableDir = demo;
    options.fileDialog = &files;
    options.boxes = [](const std::string&, const std::string&, Buttons buttons, Icon) {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    };
    Program program(std::move(options));
    if (!program.Main()) {
        return 1;
    }
    frmMain& main = program.mainWindow();
    main.resize(740, 590);  // room for the monitor window and little else
    main.findChild<QAction*>("mnuFileNew")->trigger();
    frmProject& monitor = *main.project();
    click(monitor, "cmdTest");
    auto* games = monitor.findChild<QListWidget*>("lboPgnFiles");
    games->setCurrentRow(0);
    click(monitor, "cmdViewInfo");
    click(monitor, "cmdStart");

    bool ok = save(main, pictures + "/korvane-monitor.png");
    frmSettings settings(program.state(), files, &main);
    settings.show();
    ok = save(settings, pictures + "/korvane-settings.png") && ok;
    return ok ? 0 : 1;
}
