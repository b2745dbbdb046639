#pragma once
// The rules that decide whether the settings can work: the settings dialog's rules, run
// whenever the dialog closes (by OK, Cancel or its close box alike), and the main window's
// shorter check before a new project. Both tell the operator what is wrong.

#include <array>
#include <string>

namespace korvane {

struct ProgramState;

// What the settings dialog's fields hold.
struct SettingsFields {
    // 0 converter program, 1 ini for game pages, 2 HTML directory, 3 ini for the overview
    // page, 4 overview file name
    std::array<std::string, 5> txtPath;
    std::string txtScanTime;
    std::string txtTimeOut;
    std::string txtDelay = "0";  // minutes the published games run behind the boards
    bool chkIntro = false;
    bool chkRename = false;
    bool chkPublishOnChange = false;
};

// The fields as the dialog opens: the settings, with 15 seconds between scans and a
// 30-second time-out where the settings hold 0.
SettingsFields SettingsFieldsFrom(const ProgramState& state);

// Applies the fields to the settings rule by rule. At the first rule that fails the operator
// is told and the rest is skipped; what earlier rules assigned stays. A rule may clear the
// field it refused. Sets bPathsOk only when every rule passed.
void ApplySettingsFields(ProgramState& state, SettingsFields& fields);

// After the dialog's rules: tells the operator when the paths are still unusable. Returns
// bPathsOk, which enables or disables the main window's New Project.
bool ReportPathsState(ProgramState& state);

// The main window's check before a new project: true when the settings need correcting
// (the operator has then been told), false when they are usable.
bool CheckPaths(ProgramState& state);

}  // namespace korvane
