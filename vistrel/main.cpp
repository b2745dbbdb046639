// vistrel <pgn file> <ini file> -x: converts one PGN file into one HTML page.

#include <iostream>
#include <string>
#include <vector>

#include "vistrel/Cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vistrel::runCli(args, std::cerr);
}
