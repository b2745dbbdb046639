#pragma once
// The project file "korvane.project" beside korvane.cfg: the monitor list with what each
// game needs to go on where it stopped (its paths, whether it publishes its edited pgn,
// whether it sleeps, when its source was last taken in) and whether monitoring ran. It is
// rewritten atomically after every change, so that after a crash or a restart the operator
// can take the round up again with one answer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Pgn.h"

namespace korvane {

struct ProgramState;

constexpr const char* kProjectFileName = "korvane.project";
// A file that could not be read is moved aside under this name, so it is reported once.
constexpr const char* kDamagedProjectFileName = "korvane.project.damaged";

struct ProjectGame {
    std::string key;  // the source file name
    std::string pathSource;
    std::string pathTemp;
    std::string pathFinal;
    std::string nameHtml;
    bool useFinal = false;
    bool sleep = false;
    std::optional<FileTime> lastTime;
    bool operator==(const ProjectGame&) const = default;
};

struct Project {
    std::vector<ProjectGame> games;
    bool monitoring = false;  // the countdown had been started and not stopped
    bool operator==(const Project&) const = default;
};

// The project as it stands in the program: the monitor list in order and the monitoring flag.
Project CurrentProject(const ProgramState& state);

// The file's text; lines end with CR LF, values are escaped so any path survives.
std::string ProjectText(const Project& project);
// Reads a project file's text. Returns false and sets why when the text is not a project
// file of this program or is damaged (cut short, a game without its source, a key twice).
bool ParseProject(std::string_view text, Project& project, std::string& why);

// Writes the project file into the program directory when its text differs from what was
// last written or read. A failure is logged once, until a write succeeds again.
void SaveProject(ProgramState& state);

// Reads the project file of the program directory. No file gives nothing, silently. A
// file that cannot be read is reported in one message box, moved aside to
// kDamagedProjectFileName and ignored.
std::optional<Project> ReadProjectFile(ProgramState& state);

}  // namespace korvane
