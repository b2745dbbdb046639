#include "support/TestProgram.h"

#include <filesystem>

namespace korvane::test {

TestProgram::TestProgram() {
    namespace fs = std::filesystem;
    state.programDir = dir.path() + "/";
    state.tempDir = state.programDir + "temppgn/";
    state.finalDir = state.programDir + "finalpgn/";
    state.backupDir = state.programDir + "backup/";
    state.delayDir = state.programDir + "delay/";
    for (const auto* d : {&state.tempDir, &state.finalDir, &state.backupDir, &state.delayDir}) {
        fs::create_directories(*d);
    }
}

}  // namespace korvane::test
