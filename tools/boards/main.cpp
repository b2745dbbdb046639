// The board simulator: replays real games into board files as electronic boards write
// them, for trying Korvane out and for testing it. See --help.
#include <chrono>
#include <iostream>
#include <thread>

#include "tools/boards/Options.h"
#include "tools/boards/Simulator.h"

int main(int argc, char* argv[]) {
    boards::Options options;
    std::string error;
    if (!boards::parseOptions({argv + 1, argv + argc}, options, error)) {
        std::cerr << "boards: " << error << "\nTry boards --help.\n";
        return 2;
    }
    if (options.help) {
        std::cout << boards::helpText();
        return 0;
    }
    std::vector<chess::PgnGame> games;
    if (!boards::loadGames(options, games, error)) {
        std::cerr << "boards: " << error << "\n";
        return 1;
    }
    boards::SimulatorHooks hooks;
    hooks.sleep = [](double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    };
    if (!boards::runBoards(options, games, std::cout, hooks, error)) {
        std::cerr << "boards: " << error << "\n";
        return 1;
    }
    return 0;
}
