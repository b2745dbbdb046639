#include "core/Config.h"

#include <algorithm>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace korvane {

namespace {

bool parseBool(const std::string& value) {
    return EqualsNoCase(value, "true");
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

void ReadCfg(ProgramState& state, const std::string& path) {
    state.settingsIncomplete = false;
    std::string text;
    if (!LoadTextFile(state, path, text)) {
        state.ui.showSettingsDialog();
        return;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = FindLineEnd(text, start);
        if (end == std::string::npos) {
            break;  // a last line without CR LF is not read
        }
        const std::size_t eq = text.find('=', start);
        if (eq != std::string::npos && eq <= end) {
            SetCfgVariables(state, ExtractCommand(start, eq, text),
                            ExtractComVal(eq + 1, end, text));
        }
        // The next line starts at the LF, which the cleaning removes from the next key.
        start = end + 1;
        if (start + 1 >= text.size()) {
            break;
        }
    }
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
