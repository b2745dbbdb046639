#pragma once
// A program state wired to the scripted operator and the fixed clock, with its program
// directory and work directories in a fresh temporary directory.

#include "core/ProgramState.h"
#include "support/FixedClock.h"
#include "support/ScriptedOperator.h"
#include "support/TempDir.h"

namespace korvane::test {

struct TestProgram {
    TestProgram() {
        state.programDir = dir.path() + "/";
        for (auto [d, name] : {std::pair{&state.tempDir, "temppgn/"},
                               {&state.finalDir, "finalpgn/"},
                               {&state.backupDir, "backup/"},
                               {&state.delayDir, "delay/"}}) {
            std::filesystem::create_directories(*d = state.programDir + name);
        }
    }
    TempDir dir;
    ScriptedOperator ui;
    FixedClock clock;
    ProgramState state{ui, clock};
};

}  // namespace korvane::test
