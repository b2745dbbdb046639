#pragma once
// The settings file "korvane.cfg": a "%" line, then key=value lines in a fixed order,
// each ended by CR LF.

#include <string>
#include <string_view>

namespace korvane {

struct ProgramState;
struct Settings;

constexpr const char* kSettingsFileName = "korvane.cfg";

// The broadcast delay's range in minutes; 0 publishes every move at once.
constexpr long kMaxDelayMinutes = 120;
// The delay a settings value or a typed text stands for: its leading number, rounded,
// held to 0..kMaxDelayMinutes. A hand-edited value above the range keeps the longest delay
// rather than publishing live moves.
long DelayMinutes(const std::string& value);

// Reads the settings file at path into state.settings; shows the settings dialog when a
// required path turned out missing or unusable (state.settingsIncomplete).
void ReadCfg(ProgramState& state, const std::string& path);
// Applies every key=value line of a settings text (lines ended by CR LF, LF or CR; a last
// line without a line end is not read). Values are taken byte for byte as written.
void ReadCfgText(ProgramState& state, std::string_view text);
// Applies one key (compared without regard to letter case) and value, with its check.
// Unknown keys are ignored.
void SetCfgVariables(ProgramState& state, const std::string& key, const std::string& value);
// The file's text for the given settings.
std::string SettingsText(const Settings& settings);
// Writes the settings file into the program directory, read-only, without asking.
void SaveCfg(ProgramState& state);

// True when path names an existing regular file. Used for the converter program, whose
// name carries no extension on this platform, so the "must contain a dot" rule of
// FileCheck cannot apply to it.
bool ProgramFileExists(const std::string& path);

}  // namespace korvane
