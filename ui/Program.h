#pragma once
// The running program: its state, the operator on real windows, the main window and the
// start-up that opens them.

#include <memory>
#include <string>

#include "core/Clock.h"
#include "core/ProgramState.h"
#include "ui/QtOperator.h"

namespace korvane {

class FileDialog;
class frmMain;

class Program {
public:
    struct Options {
        std::string programDir;     // where korvane.cfg and the work directories live
        std::string executableDir;  // where the program lies (the converter is looked for there)
        FileDialog* fileDialog = nullptr;  // the system's dialogs when none is given
        QtOperator::BoxPresenter boxes;    // the system's message boxes when none is given
        bool resume = false;               // resume the last project without asking
    };

    explicit Program(Options options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up: shows the main window, reads the settings (or asks for them on a first start),
    // prepares the work directories and shows the monitor window. False when a failure ended
    // start-up early (the operator has been told).
    bool Main();

    frmMain& mainWindow() { return *m_main; }
    ProgramState& state() { return m_state; }

private:
    SystemClock m_systemClock;
    QtOperator m_operator;
    ProgramState m_state;
    std::unique_ptr<FileDialog> m_ownDialog;
    std::unique_ptr<frmMain> m_main;
};

}  // namespace korvane
