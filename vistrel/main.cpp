#include <cstdio>

int main(int argc, char** argv) {
    (void)argv;
    if (argc < 3) {
        std::fprintf(stderr, "usage: vistrel <pgn file> <ini file> -x\n");
        return 2;
    }
    return 1;
}
