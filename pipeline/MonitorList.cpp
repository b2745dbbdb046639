#include "pipeline/MonitorList.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/ProjectFile.h"
#include "core/TextUtils.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/FileDialog.h"
#include "pipeline/Monitor.h"
#include "pipeline/MonitorView.h"
#include "pipeline/Overview.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

constexpr const char* kNoTitle = "";  // the program's default box title

std::string lastChars(const std::string& text, std::size_t n) {
    return text.size() >= n ? text.substr(text.size() - n) : text;
}

// The directory of a path, without its trailing separator.
std::string directoryOf(const std::string& path) {
    const auto sep = path.rfind(kSep);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::optional<FileTime> modificationTime(const std::string& path) {
    std::error_code ec;
    const FileTime time = fs::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return time;
}

std::string normalDir(const std::string& directory) {
    return WithTrailingSep(fs::path(directory).lexically_normal().string());
}

}  // namespace

MonitorList::MonitorList(ProgramState& state, Monitor& monitor, MonitorView& view,
                         FileDialog& dialog)
    : m_state(state), m_monitor(monitor), m_view(view), m_dialog(dialog) {}

bool MonitorList::isReserved(const std::string& directory) const {
    const std::string dir = normalDir(directory);
    for (const std::string& reserved :
         {m_state.tempDir, m_state.finalDir, m_state.settings.spubPathHtml}) {
        if (!reserved.empty() && EqualsNoCase(dir, normalDir(reserved))) {
            return true;
        }
    }
    return false;
}

bool MonitorList::refuseReserved(const std::string& directory) {
    if (!isReserved(directory)) {
        return false;
    }
    m_state.ui.messageBox(
        directory + " is reserved. " + "Source pgn files are not allowed in this directory.",
        "Sorry!", Buttons::Ok, Icon::None);
    m_state.bError = true;
    return true;
}

void MonitorList::OpenFileDialog(const std::string& title, const std::string& fileType,
                                 std::string& result, const std::string& initialDir,
                                 const std::string& mode) {
    const bool multi = mode == "multi";
    const std::optional<FileSelection> choice =
        m_dialog.open(title, FilterFor(fileType), initialDir, multi);
    if (!choice || choice->names.empty()) {
        return;
    }
    const bool forAdd = sDialogPurpose == kAddPgnFiles;
    const bool forSubstitute = sDialogPurpose == kSubstitutePgnSource;
    std::string chosenDir = WithTrailingSep(choice->directory);

    if (choice->names.size() < 2) {
        const std::string& name = choice->names.front();
        const std::string path = chosenDir + name;
        if (!multi) {
            result = path;
        }
        if (!fileType.empty() && !EqualsNoCase(lastChars(name, 3), fileType)) {
            m_state.ui.messageBox("Not a *." + fileType + " file", "Wrong File Type", Buttons::Ok,
                                  Icon::None);
            return;
        }
        if (forAdd || forSubstitute) {
            if (refuseReserved(chosenDir)) {
                return;
            }
            AddOnePgn(path);
            if (m_state.bError) {
                return;
            }
        }
    } else if (forAdd) {
        if (refuseReserved(chosenDir)) {
            return;
        }
        AddSeveralPgns(chosenDir, choice->names);
    }
    m_state.settings.spubPathpgn = chosenDir;
}

void MonitorList::AddSeveralPgns(const std::string& directory,
                                 const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        // Checked against every record, those added from this selection included: on a
        // case-sensitive file system one directory can hold Game.pgn and game.pgn.
        if (m_state.monitorList.Contains(name)) {
            m_state.ui.messageBox("All files must have unique names. " + name + " will be omitted.",
                                  "Duplicate File Name", Buttons::Ok, Icon::None);
            continue;
        }
        if (!EqualsNoCase(lastChars(name, 3), "pgn")) {
            continue;
        }
        AddToCollection(name, WithTrailingSep(directory) + name);
    }
}

void MonitorList::AddOnePgn(const std::string& path) {
    const std::string name = FileNameOf(path);
    if (sDialogPurpose == kAddPgnFiles && m_state.monitorList.Contains(name)) {
        m_state.ui.messageBox(name + " is already on the list. Filenames must be unique." +
                                  "The file will not be added.",
                              "Duplicate Filename", Buttons::Ok, Icon::None);
        m_state.bError = true;
        return;
    }
    AddToCollection(name, path);
}

void MonitorList::AddToCollection(const std::string& name, const std::string& path) {
    // An empty setting means the default name, which the overview pgn will then take.
    const std::string introPgn = m_state.settings.spubIntroPgn.empty()
                                     ? std::string(kDefaultIntroPgn)
                                     : m_state.settings.spubIntroPgn;
    if (EqualsNoCase(name, introPgn)) {
        m_state.ui.messageBox(std::string("You have selected a pgn file with the same name ") +
                                  "as the overview page's pgn file. The file will be omitted." +
                                  kCrLf + kCrLf +
                                  "You can either rename the game file or the overview page "
                                  "(Settings Dialog) and add " +
                                  "the game once more.",
                              "Invalid File Name " + introPgn, Buttons::Ok, Icon::Critical);
        return;
    }
    if (sDialogPurpose == kAddPgnFiles) {
        Pgn& game = m_state.addGame(name);
        game.NameSource = name;
        game.PathSource = path;
        game.PathTemp = m_state.tempDir + game.Key;
        game.PathFinal = m_state.finalDir + game.Key;
        game.NameTemp = game.Key;
        game.NameFinal = game.Key;
        game.NameHtml = game.Key.substr(0, game.Key.size() >= 4 ? game.Key.size() - 4 : 0) + ".htm";
        game.LastTime = modificationTime(path);
        m_view.addPgnLine(name);
        CopyOneFile(m_state, path, m_state.backupDir + name);
        CopyOneFile(m_state, path, m_state.tempDir + name);
        HoldBackLiveCopies(m_state, game);
        return;
    }
    if (sDialogPurpose != kSubstitutePgnSource) {
        return;
    }
    Pgn& game = m_state.monitorList.Item(m_state.iCurrentPgn);
    std::string source = path;
    if (!EqualsNoCase(name, game.Key)) {
        const std::string target = directoryOf(path) + kSep + game.Key;
        if (FileCheck(target)) {
            m_state.ui.messageBox(std::string("The substitute file can be in a different ") +
                                      "directory, but the filename must be the same as the "
                                      "original. " +
                                      "Korvane has not renamed the file, because that would "
                                      "overwrite " +
                                      "another file in the same directory.",
                                  "Substitution Didn't Work", Buttons::Ok, Icon::None);
            m_state.bError = true;
            return;
        }
        CopyOneFile(m_state, path, target);
        CopyOneFile(m_state, target, m_state.backupDir + game.Key);
        CopyOneFile(m_state, target, m_state.tempDir + game.Key);
        m_state.ui.messageBox(std::string("The substitute file must have the same name as the ") +
                                  "original. Korvane has made a copy of " + name +
                                  " and renamed it to " + target,
                              "File Renamed", Buttons::Ok, Icon::None);
        source = target;
    }
    game.PathSource = source;
    game.LastTime = modificationTime(source);
    game.setUseFinal(false);
    if (source != path) {
        HoldBackLiveCopies(m_state, game);
    }
}

void MonitorList::AddFiles(const std::string& title) {
    try {
        sDialogPurpose = kAddPgnFiles;
        m_monitor.StopCountdown();
        const std::string initialDir = m_state.settings.spubPathpgn;
        OpenFileDialog(title, "PGN", m_state.settings.spubPathpgn, initialDir, "multi");
    } catch (const std::exception& e) {
        LogEvent(m_state, e.what());
    }
    sDialogPurpose.clear();
    m_state.bError = false;
    SaveProject(m_state);
    m_monitor.FollowList();
}

void MonitorList::cmdRemovePgnClick() {
    try {
        m_monitor.StopCountdown();
        const std::string selected = m_view.selectedPgnLine();
        if (m_state.monitorList.Count() == 0 || selected.empty()) {
            return;
        }
        if (m_view.removeCaption() == "Substitute") {
            substituteSelected(selected);
        } else {
            removeSelected(selected);
        }
    } catch (const std::exception& e) {
        LogEvent(m_state, e.what());
    }
    SaveProject(m_state);
    m_monitor.FollowList();
}

void MonitorList::removeSelected(const std::string& key) {
    if (m_state.monitorList.Count() == 1) {
        m_state.ui.messageBox("There must be at least one file in a project", kNoTitle, Buttons::Ok,
                              Icon::None);
        return;
    }
    m_state.monitorList.Remove(key);
    m_view.removePgnLine(key);
    if (m_state.monitorList.Count() == 1) {
        m_view.setButtonEnabled(MonitorButton::cmdRemovePgn, false);
    }
}

void MonitorList::substituteSelected(const std::string& key) {
    const Pgn& game = m_state.monitorList.Item(key);
    std::string text = "This will allow you to select another source file to monitor " +
                       std::string("instead of ") + game.PathSource + ". This can be " +
                       "useful if you need to repair the original source file and want to "
                       "update manually.";
    if (game.bUseFinal()) {
        text += std::string(kCrLf) + kCrLf +
                "Korvane will neglect the edited pgn file you used as HTML-source, " +
                "unless you reactivate this option.";
    }
    if (m_state.ui.messageBox(text, "Please Read This Carefully!", Buttons::OkCancel, Icon::None) !=
        Answer::Ok) {
        return;
    }
    m_state.iCurrentPgn = m_state.monitorList.PositionOf(key);
    sDialogPurpose = kSubstitutePgnSource;
    try {
        const std::string initialDir = m_state.settings.spubPathpgn;
        OpenFileDialog("Add Pgn Files To List", "PGN", m_state.settings.spubPathpgn, initialDir,
                       "single");
    } catch (...) {
        sDialogPurpose.clear();
        m_state.bError = false;
        m_state.iCurrentPgn = 0;
        throw;
    }
    sDialogPurpose.clear();
    m_state.bError = false;
    m_state.iCurrentPgn = 0;
}

void MonitorList::setSleep(bool sleep) {
    const std::string selected = m_view.selectedPgnLine();
    if (m_state.monitorList.Count() == 0 || selected.empty()) {
        return;
    }
    const bool wasCounting = m_monitor.countRunning();
    if (wasCounting) {
        m_monitor.StopCountdown();
    }
    Pgn& game = m_state.monitorList.Item(selected);
    game.bSleep = sleep;
    m_view.setButtonEnabled(MonitorButton::cmdActivate, sleep);
    m_view.setButtonEnabled(MonitorButton::cmdSleep, !sleep);
    if (sleep) {
        LogEvent(m_state, game.Key + kCrLf +
                              "has been removed from the monitor list. Choose \"Activate\" to "
                              "include it again.");
    } else {
        LogEvent(m_state, game.Key + " is back on the monitor list.");
    }
    SaveProject(m_state);
    if (wasCounting) {
        m_monitor.StartCountdown();
    } else {
        m_monitor.FollowList();
    }
}

void MonitorList::cmdSleepClick() {
    try {
        setSleep(true);
    } catch (const std::exception& e) {
        m_state.ui.messageBox(
            std::string(e.what()) + kCrLf + kCrLf + "Error in procedure cmdSleep_Click.", "Error",
            Buttons::Ok, Icon::None);
    }
}

void MonitorList::cmdActivateClick() {
    try {
        setSleep(false);
    } catch (const std::exception& e) {
        m_state.ui.messageBox(std::string(e.what()) + kCrLf + kCrLf + "Error reactivating " +
                                  m_view.selectedPgnLine(),
                              "Error", Buttons::Ok, Icon::None);
    }
}

void MonitorList::cmdViewInfoClick() {
    const std::string selected = m_view.selectedPgnLine();
    if (m_state.monitorList.Count() == 0 || selected.empty() ||
        !m_state.monitorList.Contains(selected)) {
        return;
    }
    const Pgn& game = m_state.monitorList.Item(selected);
    std::string text = "Source file: " + game.Key + kCrLf;
    text += "Source Directory: " + directoryOf(game.PathSource) + kCrLf;
    text += std::string("Monitored: ") + (game.bSleep ? "No" : "Yes") + kCrLf;
    if (game.bUseFinal()) {
        text += "Edited HTML source:" + game.PathFinal + kCrLf;
    }
    // A source that is gone has no time to show; the entry says so instead of failing.
    const std::optional<FileTime> changed = modificationTime(game.PathSource);
    text += "Last changed: ";
    if (changed) {
        const auto sys = std::chrono::file_clock::to_sys(*changed);
        text += m_state.clock.format(std::chrono::time_point_cast<DateTime::duration>(sys));
    } else {
        text += "(the file cannot be found)";
    }
    LogEvent(m_state, text);
}

void MonitorList::lboPgnFilesClick() {
    const std::string selected = m_view.selectedPgnLine();
    if (selected.empty() || !m_state.monitorList.Contains(selected)) {
        return;
    }
    const bool asleep = m_state.monitorList.Item(selected).bSleep;
    m_view.setButtonEnabled(MonitorButton::cmdViewInfo, true);
    m_view.setButtonEnabled(MonitorButton::cmdRemovePgn, true);
    m_view.setButtonEnabled(MonitorButton::cmdActivate, asleep);
    m_view.setButtonEnabled(MonitorButton::cmdSleep, !asleep);
}

void MonitorList::FirstUploadDone() {
    m_view.setRemoveCaption("Substitute");
}

}  // namespace korvane
