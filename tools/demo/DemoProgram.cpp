#include "tools/demo/DemoProgram.h"

#include <filesystem>

#include "core/Config.h"
#include "core/FileUtils.h"
#include "core/ProjectFile.h"
#include "core/Settings.h"

namespace fs = std::filesystem;

namespace korvane::demo {

namespace {

Settings demoSettings(const DemoSetup& setup) {
    Settings settings;
    settings.spubPathVistrel = setup.vistrel;
    settings.spubPathVisIni = setup.gameIni;
    settings.spubPathIntroIni = setup.overviewIni;
    settings.spubPathHtml = WithTrailingSep(setup.htmlDir);
    settings.spubPathpgn = WithTrailingSep(setup.boardsDir);
    settings.spubIntroPgn = "allgames.pgn";
    settings.lpubScanTime = setup.scanSeconds;
    settings.lpubTimeOut = 60;
    settings.bIntroPage = true;
    settings.bpubRenameFiles = true;
    return settings;
}

Project demoProject(const DemoSetup& setup) {
    const std::string program = WithTrailingSep(setup.programDir);
    Project project;
    project.monitoring = true;
    for (int board = 1; board <= setup.boards; ++board) {
        const std::string name = "board" + std::to_string(board) + ".pgn";
        project.games.push_back(
            {name, WithTrailingSep(setup.boardsDir) + name, program + "temppgn" + kSep + name,
             program + "finalpgn" + kSep + name, "board" + std::to_string(board) + ".htm", false,
             false, std::nullopt});
    }
    return project;
}

}  // namespace

bool WriteDemoProgram(const DemoSetup& setup, std::string& error) {
    std::error_code ec;
    for (const std::string& dir : {setup.programDir, setup.boardsDir, setup.htmlDir}) {
        fs::create_directories(dir, ec);
        if (ec) {
            error = "cannot create " + dir + ": " + ec.message();
            return false;
        }
    }
    const std::string program = WithTrailingSep(setup.programDir);
    for (const auto& [name, text] :
         {std::pair{kSettingsFileName, SettingsText(demoSettings(setup))},
          std::pair{kProjectFileName, ProjectText(demoProject(setup))}}) {
        if (const std::error_code failed = WriteFileAtomically(program + name, text)) {
            error = "cannot write " + program + name + ": " + failed.message();
            return false;
        }
    }
    return true;
}

}  // namespace korvane::demo
