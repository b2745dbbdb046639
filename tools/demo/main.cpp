// Writes the demo round's settings and project; see scripts/run.sh --demo.
#include <iostream>

#include "tools/demo/DemoProgram.h"

int main(int argc, char* argv[]) {
    if (argc != 8) {
        std::cerr << "Usage: demo-setup PROGRAM_DIR BOARDS_DIR HTML_DIR VISTREL GAME_INI "
                     "OVERVIEW_INI BOARDS\n"
                     "Writes korvane.cfg and korvane.project of the demo round into "
                     "PROGRAM_DIR.\n";
        return 2;
    }
    korvane::demo::DemoSetup setup{argv[1], argv[2], argv[3], argv[4], argv[5], argv[6]};
    setup.boards = std::atoi(argv[7]);
    std::string error;
    if (setup.boards < 1 || !korvane::demo::WriteDemoProgram(setup, error)) {
        std::cerr << "demo-setup: " << (error.empty() ? "bad number of boards" : error) << "\n";
        return 1;
    }
    return 0;
}
