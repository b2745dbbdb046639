#include "core/Config.h"

#include <algorithm>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace korvane {

namespace {

// Blanks around a Boolean word are no part of it (a hand-edited "bIntroPage = True").
bool parseBool(const std::string& value) {
    return EqualsNoCase(StripChar(value, ""), "true");
}

const char* boolText(bool value) {
    return value ? "True" : "False";
}

void markIncompleteUnless(ProgramState& state, bool ok) {
    if (!ok) {
        state.settingsIncomplete = true;
    }
}

// The FTP logon values are taken only when the file says to keep them, and only when given.
void takeLogonValue(const ProgramState& state, std::string& field, const std::string& value) {
    if (state.settings.bSaveLogon && !value.empty()) {
        field = value;
    }
}

}  // namespace

bool ProgramFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

long DelayMinutes(const std::string& value) {
    return std::clamp(LeadingNumber(value), 0L, kMaxDelayMinutes);
}

void SetCfgVariables(ProgramState& state, const std::string& key, const std::string& value) {
    Settings& s = state.settings;
    auto is = [&key](const char* name) { return EqualsNoCase(key, name); };
    if (is("spubPathVistrel")) {
        s.spubPathVistrel = value;
        markIncompleteUnless(state, ProgramFileExists(value));
    } else if (is("spubPathVisIni")) {
        s.spubPathVisIni = value;
        markIncompleteUnless(state, FileCheck(value));
    } else if (is("spubPathHtml")) {
        if (DirExists(value)) {
            s.spubPathHtml = WithTrailingSep(value);
        } else {
            state.settingsIncomplete = true;
        }
    } else if (is("spubPathpgn")) {
        s.spubPathpgn = value;
    } else if (is("spubIntroPgn")) {
        s.spubIntroPgn = value.size() < 4 ? "allgames.pgn" : value;
    } else if (is("lpubScanTime")) {
        const long seconds = LeadingNumber(value);
        s.lpubScanTime = seconds == 0 ? 10 : seconds;
    } else if (is("lpubTimeOut")) {
        const long seconds = LeadingNumber(value);
        s.lpubTimeOut = seconds == 0 ? 60 : seconds;
    } else if (is("lpubDelay")) {
        s.lpubDelay = DelayMinutes(value);
    } else if (is("bDisConnect")) {
        s.bDisConnect = parseBool(value);
    } else if (is("bPgnUpload")) {
        s.bPgnUpload = parseBool(value);
    } else if (is("bIntroPage")) {
        s.bIntroPage = parseBool(value);
    } else if (is("bpubRenameFiles")) {
        s.bpubRenameFiles = parseBool(value);
    } else if (is("spubPathIntroIni")) {
        s.spubPathIntroIni = value;
        markIncompleteUnless(state, FileCheck(value) || !s.bIntroPage);
    } else if (is("bSaveLogon")) {
        s.bSaveLogon = parseBool(value);
    } else if (is("bPublishOnChange")) {
        s.bPublishOnChange = parseBool(value);
    } else if (is("spubFTPURL")) {
        takeLogonValue(state, s.spubFTPURL, value);
    } else if (is("spubFTPUser")) {
        takeLogonValue(state, s.spubFTPUser, value);
    } else if (is("spubRemoteHtmDir")) {
        takeLogonValue(state, s.spubRemoteHtmDir, value);
    } else if (is("spubRemotePgnDir")) {
        takeLogonValue(state, s.spubRemotePgnDir, value);
    } else if (is("spubRemotePort")) {
        takeLogonValue(state, s.spubRemotePort, value);
    }
}

void ReadCfgText(ProgramState& state, std::string_view text) {
    // Files written before publishing on change existed lack its key: they keep polling.
    state.settings.bPublishOnChange = false;
    // A byte-order mark left by a text editor is not part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    for (std::size_t start = 0;;) {
        // Lines end with CR LF as written, or with LF or CR after an edit on another system.
        const std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            break;  // a last line without a line end may be cut off: it is not read
        }
        // Only this line is searched for its "=", so lines without one cost no more than
        // their own length.
        const std::string_view line = text.substr(start, stop - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) {
            // The key is cleaned of what no key holds; the value is taken as written,
            // since blanks, "(", "~" or "_" at the ends of a path or name are part of it.
            SetCfgVariables(state, StripChar(line.substr(0, eq), "#."),
                            std::string(line.substr(eq + 1)));
        }
        start = stop + 1;
        if (text[stop] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

void ReadCfg(ProgramState& state, const std::string& path) {
    state.settingsIncomplete = false;
    std::string text;
    if (!LoadTextFile(state, path, text)) {
        state.ui.showSettingsDialog();
        return;
    }
    ReadCfgText(state, text);
    if (state.settingsIncomplete) {
        state.ui.showSettingsDialog();
    }
}

std::string SettingsText(const Settings& s) {
    std::string text;
    auto line = [&text](const std::string& content) { text += content + kCrLf; };
    line("%");
    line("spubPathVistrel=" + s.spubPathVistrel);
    line("spubPathVisIni=" + s.spubPathVisIni);
    line("spubPathHtml=" + s.spubPathHtml);
    line("spubPathpgn=" + s.spubPathpgn);
    line("spubIntroPgn=" + s.spubIntroPgn);
    line("lpubScanTime=" + std::to_string(s.lpubScanTime));
    line("lpubTimeOut=" + std::to_string(s.lpubTimeOut));
    line("lpubDelay=" + std::to_string(s.lpubDelay));
    line(std::string("bDisConnect=") + boolText(s.bDisConnect));
    line(std::string("bPgnUpload=") + boolText(s.bPgnUpload));
    line(std::string("bIntroPage=") + boolText(s.bIntroPage));
    line(std::string("bpubRenameFiles=") + boolText(s.bpubRenameFiles));
    line("spubPathIntroIni=" + s.spubPathIntroIni);
    line(std::string("bSaveLogon=") + boolText(s.bSaveLogon));
    line(std::string("bPublishOnChange=") + boolText(s.bPublishOnChange));
    if (s.bSaveLogon) {
        line("spubFTPURL=" + s.spubFTPURL);
        line("spubFTPUser=" + s.spubFTPUser);
        line("spubRemoteHtmDir=" + s.spubRemoteHtmDir);
        line("spubRemotePgnDir=" + s.spubRemotePgnDir);
        line("spubremoteport=" + s.spubRemotePort);
    }
    return text;
}

void SaveCfg(ProgramState& state) {
    SaveFile(state, state.programDir + kSettingsFileName, SettingsText(state.settings),
             /*readOnly=*/true, /*noPrompt=*/true);
    if (state.bError) {
        state.ui.messageBox("Error saving settings", "Error", Buttons::Ok, Icon::Critical);
    }
}

}  // namespace korvane
