#include "core/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/Config.h"
#include "core/ConverterDefaults.h"
#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/ProjectFile.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

// Whether the directory holds any ordinary file (hidden ones not counted).
bool holdsAnyFile(const std::string& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::error_code entryError;
        if (entry.is_regular_file(entryError) && entry.path().filename().string().front() != '.') {
            return true;
        }
    }
    return false;
}

// Whether the delay's directory holds a snapshot of any game (one subdirectory per game).
bool holdsSnapshots(const std::string& dir) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        std::error_code entryError;
        if (it->is_regular_file(entryError)) {
            return true;
        }
    }
    return false;
}

// Snapshots of an earlier round would be published as the same games of this one.
void deleteSnapshots(const std::string& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::error_code ignored;
        fs::remove_all(entry.path(), ignored);
    }
}

void offerToDeleteOldFiles(ProgramState& state) {
    std::vector<std::string> collected;
    for (const std::string* dir : {&state.tempDir, &state.finalDir, &state.backupDir}) {
        if (holdsAnyFile(*dir)) {
            collected.push_back(*dir);
        }
    }
    if (holdsSnapshots(state.delayDir)) {
        collected.push_back(state.delayDir);
    }
    if (collected.empty()) {
        return;
    }
    std::string question =
        "There are temporary files from a previous session in Korvane's work directories:";
    for (auto it = collected.rbegin(); it != collected.rend(); ++it) {
        question += std::string(kCrLf) + *it;
    }
    question += std::string(kCrLf) +
                "Unless you are resuming a broken session these files may cause confusion and "
                "errors. Do you want Korvane to delete the old files?";
    if (state.ui.messageBox(question, "Delete Old Temporary Files?", Buttons::YesNo,
                            Icon::Question) == Answer::Yes) {
        for (const auto& dir : collected) {
            if (dir == state.delayDir) {
                deleteSnapshots(dir);
            } else {
                DeletePgnFiles(dir);
            }
        }
    }
}

// Offers the project of the last session when its file lists games (or takes it without
// asking when told to). On Yes the project is kept for the monitor window to rebuild; its
// work files belong to it, so they stay.
bool offerToResume(ProgramState& state) {
    std::optional<Project> project = ReadProjectFile(state);
    if (!project || project->games.empty()) {
        return false;
    }
    const std::size_t count = project->games.size();
    const std::string question = "Resume the last project (" + std::to_string(count) +
                                 (count == 1 ? " game" : " games") + ")?";
    if (!state.bResumeWithoutAsking &&
        state.ui.messageBox(question, "Resume Project", Buttons::YesNo, Icon::Question) !=
            Answer::Yes) {
        return false;
    }
    state.pendingResume = std::move(project);
    return true;
}

}  // namespace

std::string ProgramDirectory() {
    QString dir = QCoreApplication::applicationDirPath();
    if (!QFileInfo(dir).isWritable()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(dir);
    }
    return WithTrailingSep(QDir::toNativeSeparators(dir).toStdString());
}

bool Main(ProgramState& state) {
    state.bForceConversion = false;
    const std::string program = WithTrailingSep(state.programDir);

    if (!FileCheck(program + kSettingsFileName)) {
        // First start. Blanks in the program directory need no warning: the converter is
        // started with an argument vector, never through a shell.
        state.settings.bpubRenameFiles = true;
        if (!state.executableDir.empty()) {
            FillConverterDefaults(state.settings, state.executableDir);
        }
        state.ui.showSettingsDialog();
    } else {
        ReadCfg(state, program + kSettingsFileName);
    }

    for (const char* name : {"temppgn", "backup", "finalpgn"}) {
        const std::string dir = program + name;
        std::error_code ec;
        if (!DirExists(dir) && !fs::create_directory(dir, ec) && ec) {
            state.ui.messageBox(ec.message(), "Error", Buttons::Ok, Icon::None);
            return false;
        }
    }
    state.tempDir = program + "temppgn" + kSep;
    state.finalDir = program + "finalpgn" + kSep;
    state.backupDir = program + "backup" + kSep;
    // Made when a delay first keeps a snapshot.
    state.delayDir = program + "delay" + kSep;

    if (!offerToResume(state)) {
        offerToDeleteOldFiles(state);
    }

    state.bLowerCase = true;
    state.converterWaitMs = 15000;
    return true;
}

}  // namespace korvane
