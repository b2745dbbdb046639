#include "core/SettingsRules.h"

#include <filesystem>
#include <stdexcept>

#include "core/Config.h"
#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

constexpr const char* kDefaultOverview = "allgames.pgn";
constexpr std::size_t kMaxOverviewStem = 8;

// Shows a refusal and returns false, so a rule can end with "return refuse(...)".
bool refuse(ProgramState& state, const std::string& text, const std::string& title,
            Icon icon = Icon::None) {
    state.ui.messageBox(text, title, Buttons::Ok, icon);
    return false;
}

// Two directories are the same when their normal forms match without regard to case.
bool sameDirectory(const std::string& a, const std::string& b) {
    auto normal = [](const std::string& dir) {
        return WithTrailingSep(fs::path(dir).lexically_normal().string());
    };
    return !a.empty() && !b.empty() && EqualsNoCase(normal(a), normal(b));
}

// The directory of a file's path, with a trailing separator.
std::string directoryOf(const std::string& path) {
    return WithTrailingSep(fs::path(path).parent_path().string());
}

// The program's own executable, which must never be taken for the converter.
bool isThisProgram(const ProgramState& state, const std::string& path) {
    const std::string dir = state.executableDir.empty() ? state.programDir : state.executableDir;
    const std::string self = WithTrailingSep(dir) + "korvane";
    std::error_code ec;
    if (fs::exists(path, ec) && fs::exists(self, ec) && fs::equivalent(path, self, ec)) {
        return true;
    }
    return EqualsNoCase(fs::path(path).lexically_normal().string(),
                        fs::path(self).lexically_normal().string());
}

bool checkConverter(ProgramState& state, SettingsFields& fields) {
    // The converter has no extension here, so it is tested as a program file.
    if (!ProgramFileExists(fields.txtPath[0])) {
        return refuse(state, "Korvane requires the full path to the Vistrel.exe file.",
                      "Full Path Needed");
    }
    // Refused before it is kept: this program started as the converter would open a
    // window of itself for every game.
    if (isThisProgram(state, fields.txtPath[0])) {
        fields.txtPath[0].clear();
        return refuse(state, "Invalid path to Vistrel.", "Invalid Path", Icon::Critical);
    }
    state.settings.spubPathVistrel = fields.txtPath[0];
    if (!PathExists(fields.txtPath[1])) {
        return refuse(state, "Korvane requires the full path to the Vistrel ini file.",
                      "Full Path Needed");
    }
    state.settings.spubPathVisIni = fields.txtPath[1];
    return true;
}

bool checkHtmlDirectory(ProgramState& state, SettingsFields& fields) {
    std::string& html = fields.txtPath[2];
    if (html.size() > 1 && html.back() == kSep) {
        html.pop_back();
    }
    // A directory, whatever its name holds: a dot in it does not make it a file.
    if (html.empty() || !DirExists(html)) {
        return refuse(state, "Korvane must know where to put the html files.", "Directory Needed");
    }
    state.settings.spubPathHtml = WithTrailingSep(html);
    return true;
}

// A whole number of seconds of at least 1: a smaller interval would never run a scan.
bool checkScanTime(ProgramState& state, const SettingsFields& fields) {
    if (fields.txtScanTime.empty() || !IsNumericText(fields.txtScanTime) ||
        LeadingNumber(fields.txtScanTime) < 1) {
        return refuse(state, "A scantime interval is required.", "Scan Time Interval Required");
    }
    return true;
}

// The broadcast delay: empty means none, otherwise whole minutes within the range.
bool checkDelay(ProgramState& state, const SettingsFields& fields) {
    const std::string& text = fields.txtDelay;
    if (text.empty()) {
        return true;
    }
    const long minutes = IsNumericText(text) ? LeadingNumber(text) : -1;
    if (minutes < 0 || minutes > kMaxDelayMinutes) {
        return refuse(state,
                      "The delay must be a number of minutes from 0 to " +
                          std::to_string(kMaxDelayMinutes) + ".",
                      "Delay Out Of Range");
    }
    return true;
}

bool checkHtmlNotTemp(ProgramState& state, SettingsFields& fields) {
    if (sameDirectory(state.settings.spubPathHtml, state.tempDir)) {
        fields.txtPath[2].clear();
        state.settings.spubPathHtml.clear();
        return refuse(state,
                      "Sorry. The HTML directory must be different from the directory with "
                      "temporary PGN files.",
                      "Different Directories Needed.");
    }
    return true;
}

bool checkOverviewName(ProgramState& state, const std::string& field) {
    if (field.empty()) {
        state.settings.spubIntroPgn = kDefaultOverview;
        return true;
    }
    std::string stem = StripChar(field, "._-");
    stem = stem.substr(0, stem.find('.'));
    if (stem.size() > kMaxOverviewStem) {
        return refuse(state, "Max 8 leading characters allowed in overview file name.",
                      "Long File Name Error");
    }
    // A separator inside would put the overview file into another directory.
    if (stem.empty() || stem.find(kSep) != std::string::npos) {
        return refuse(state, field + " is not a valid file name.", "Invalid File Name");
    }
    state.settings.spubIntroPgn = stem + ".pgn";
    return true;
}

bool checkOverview(ProgramState& state, const SettingsFields& fields) {
    if (!fields.chkIntro) {
        state.settings.bIntroPage = false;
        return true;
    }
    state.settings.bIntroPage = true;
    if (!PathExists(fields.txtPath[3])) {
        return refuse(state,
                      "The overview page requires a separate ini file. Korvane needs to know "
                      "the full path.",
                      "Full Path Needed");
    }
    if (EqualsNoCase(fields.txtPath[3], state.settings.spubPathVisIni)) {
        return refuse(state, "The overview page needs a separate ini file. Read the help file.",
                      "Two Ini Files Needed");
    }
    state.settings.spubPathIntroIni = fields.txtPath[3];
    return checkOverviewName(state, fields.txtPath[4]);
}

bool checkOverviewNotAGame(ProgramState& state) {
    if (state.monitorList.Contains(state.settings.spubIntroPgn)) {
        state.settings.spubIntroPgn.clear();
        return refuse(state,
                      "The name of the overview page is identical to one of the other game file.",
                      "Invalid File Name", Icon::Critical);
    }
    return true;
}

void applyRules(ProgramState& state, SettingsFields& fields) {
    state.tempDir = WithTrailingSep(state.programDir) + "temppgn" + kSep;
    if (!checkConverter(state, fields) || !checkHtmlDirectory(state, fields) ||
        !checkScanTime(state, fields) || !checkDelay(state, fields) ||
        !checkHtmlNotTemp(state, fields) || !checkOverview(state, fields)) {
        return;
    }
    state.settings.bpubRenameFiles = fields.chkRename;
    state.settings.bPublishOnChange = fields.chkPublishOnChange;
    if (!checkOverviewNotAGame(state)) {
        return;
    }
    state.settings.lpubScanTime = LeadingNumber(fields.txtScanTime);
    state.settings.lpubDelay = DelayMinutes(fields.txtDelay);
    // No time-out at all would let one lost server stall every later upload.
    const long timeOut = LeadingNumber(fields.txtTimeOut);
    state.settings.lpubTimeOut = timeOut > 0 ? timeOut : 60;
    state.bPathsOk = true;
}

}  // namespace

SettingsFields SettingsFieldsFrom(const ProgramState& state) {
    const Settings& s = state.settings;
    SettingsFields fields;
    fields.txtPath = {s.spubPathVistrel, s.spubPathVisIni, s.spubPathHtml, s.spubPathIntroIni,
                      s.spubIntroPgn};
    fields.txtScanTime = s.lpubScanTime == 0 ? "15" : std::to_string(s.lpubScanTime);
    fields.txtTimeOut = s.lpubTimeOut == 0 ? "30" : std::to_string(s.lpubTimeOut);
    fields.txtDelay = std::to_string(s.lpubDelay);
    fields.chkIntro = s.bIntroPage;
    fields.chkRename = s.bpubRenameFiles;
    fields.chkPublishOnChange = s.bPublishOnChange;
    return fields;
}

void ApplySettingsFields(ProgramState& state, SettingsFields& fields) {
    try {
        applyRules(state, fields);
    } catch (const std::exception& e) {
        state.ui.messageBox(e.what(), "", Buttons::Ok, Icon::None);
    }
}

bool ReportPathsState(ProgramState& state) {
    if (!state.bPathsOk) {
        state.ui.messageBox(std::string("Korvane must know the proper paths to run.") + kCrLf +
                                kCrLf + "Select \"Settings\" in the File menu",
                            "Insufficient Path Information", Buttons::Ok, Icon::Critical);
    }
    return state.bPathsOk;
}

bool CheckPaths(ProgramState& state) {
    auto fail = [&state](const char* text, const char* title) {
        refuse(state, text, title, Icon::Critical);
        return true;
    };
    try {
        const Settings& s = state.settings;
        if (!ProgramFileExists(s.spubPathVistrel)) {
            return fail("Full path to Vistrel*.exe is mandatory.", "Path Needed");
        }
        if (s.spubPathVisIni.empty() || !FileCheck(s.spubPathVisIni)) {
            return fail("Full path to Vistrel's ini file is mandatory.", "Path Needed");
        }
        const std::string converterDir = directoryOf(s.spubPathVistrel);
        if (sameDirectory(s.spubPathHtml, converterDir)) {
            return fail(
                "The target directory for HTML files must be different from that of "
                "Vistrel*.exe.",
                "Bad Path");
        }
        if (sameDirectory(s.spubPathHtml, directoryOf(s.spubPathVisIni))) {
            return fail(
                "The target directory for HTML files must be different from that of the "
                "Vistrel ini file.",
                "Bad Path");
        }
        if (sameDirectory(s.spubPathHtml, state.tempDir)) {
            return fail(
                "The target directory for HTML files must be different from the temporary pgn "
                "files.",
                "Bad Path");
        }
        if (sameDirectory(converterDir, state.tempDir)) {
            return fail(
                "The target directory for PGN files must be different from that of the "
                "Vistrel*.exe.",
                "Bad Path");
        }
        return false;
    } catch (const std::exception& e) {
        state.ui.messageBox(
            std::string(e.what()) + kCrLf + "Error in procedure CheckPaths, frmMain.", "Error",
            Buttons::Ok, Icon::Critical);
        return false;
    }
}

}  // namespace korvane
