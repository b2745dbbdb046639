#include "support/TestProgram.h"

#include <filesystem>

namespace korvane::test {

TestProgram::TestProgram() {
    namespace fs = std::filesystem;
    state.programDir = dir.path() + "/";
    state.tempDir = state.programDir + "temppgn/";
    state.finalDir = state.programDir + "finalpgn/";
    state.backupDir = state.programDir + "backup/";
    for (const auto* d : {&state.tempDir, &state.finalDir, &state.backupDir}) {
        fs::create_directories(*d);
    }
}

}  // namespace korvane::test
