#include "ftp/FtpSession.h"

#include <chrono>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "ftp/InetCommand.h"

namespace korvane {

namespace {

const char* const kStillExecuting = "Still excuting last request";

const char* stateText(int state) {
    switch (state) {
        case 1:
            return "Looking For Host";
        case 2:
            return "Host Found";
        case 3:
            return "Connecting...";
        case 4:
            return "Connected!";
        case 5:
            return "Requesting...";
        case 6:
            return "Request Sent";
        case 7:
            return "Receiving Response...";
        case 8:
            return "Response Received!";
        case 9:
            return "Disconnecting...";
        case 10:
            return "Disconnected";
        case 12:
            return "Request Completed!";
        default:
            return "";
    }
}

std::string renameWarning() {
    return std::string("It seems your remote host doesn't allow you to rename a file, ") +
           "if the destination file exists already. If this is true you must uncheck the " +
           "\"Rename Files On Server\"" + " checkbox in the Settings dialog (File Menu).";
}

// The port of the port box: a whole number from 1 to 65535. Anything else is an error
// that ends the connect.
long portNumber(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    if (!digits.empty() && digits.front() == '+') {
        digits.erase(0, 1);
    }
    const bool whole = !digits.empty() && digits.size() <= 5 &&
                       digits.find_first_not_of("0123456789") == std::string::npos;
    const long port = whole ? std::stol(digits) : 0;
    if (port < 1 || port > 65535) {
        throw std::runtime_error("Invalid port number " + text +
                                 ": the port must be a whole number from 1 to 65535.");
    }
    return port;
}

}  // namespace

const std::vector<std::string>* FtpSession::ListingOf(const std::string& dir) const {
    const auto it = m_listings.find(ToLower(dir));
    return it == m_listings.end() ? nullptr : &it->second;
}

std::vector<std::string> SplitListing(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

FtpSession::FtpSession(ProgramState& programState, FtpPanelView& panel, Inet& inet)
    : state(programState), view(panel), Inet1(inet) {
    Inet1.StateChanged = [this](int s) { Inet1_StateChanged(s); };
}

void FtpSession::LoadPanel() {
    const Settings& s = state.settings;
    view.setChecked(FtpCheck::chkDisConnect, s.bDisConnect);
    view.setChecked(FtpCheck::chkPgnUpload, s.bPgnUpload);
    view.setFieldEnabled(FtpField::txtPgnDir, s.bPgnUpload);
    view.setFieldBackColour(FtpField::txtPgnDir, s.bPgnUpload ? kColourWhite : kColourButtonFace);
    view.setChecked(FtpCheck::chkSaveLogOn, s.bSaveLogon);
    if (s.bSaveLogon) {
        view.setText(FtpField::txtURL, s.spubFTPURL);
        view.setText(FtpField::txtUserName, s.spubFTPUser);
        view.setText(FtpField::txtHtmDir, s.spubRemoteHtmDir);
        view.setText(FtpField::txtPgnDir, s.spubRemotePgnDir);
        view.setText(FtpField::txtPort, s.spubRemotePort);
    }
    view.setChecked(FtpCheck::chkLowerCase, state.bLowerCase);
    bHandleResponses = true;
    for (auto b : {FtpButton::cmdQuit, FtpButton::cmdGotoHtmDir, FtpButton::cmdGoToPgnDir,
                   FtpButton::cmdCdup}) {
        view.setEnabled(b, false);
    }
}

void FtpSession::DoEvents() {
    Inet1.pump();
    state.ui.processEvents();
}

void FtpSession::WaitForRequest() {
    while (Inet1.StillExecuting()) {
        Inet1.pump(std::chrono::milliseconds(10));
        state.ui.processEvents();
    }
}

bool FtpSession::ExecuteAndWait(const std::string& command) {
    Inet1.Execute(Inet1.URL(), command);
    WaitForRequest();
    return !Inet1.LastRequestFailed();
}

void FtpSession::ShowTransferIndicator() {
    view.setTransferIndicatorVisible(view.panelVisible() ? 1 : 2, true);
}

void FtpSession::HideTransferIndicators() {
    view.setTransferIndicatorVisible(1, false);
    view.setTransferIndicatorVisible(2, false);
}

void FtpSession::logError(const std::exception& e) {
    LogEvent(state, e.what());
}

// "user:password@host" typed into the URL box: the address without them, so the password
// can never reach the settings file (spubFTPURL), a log or a status text.
void FtpSession::takeCredentialsOutOfUrl() {
    const std::string url = view.text(FtpField::txtURL);
    const std::size_t scheme = url.find("://");
    const std::size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t at = url.substr(0, url.find('/', hostStart)).rfind('@');
    if (at == std::string::npos || at < hostStart) {
        return;
    }
    const std::string userInfo = url.substr(hostStart, at - hostStart);
    const std::size_t colon = userInfo.find(':');
    view.setText(FtpField::txtURL, url.substr(0, hostStart) + url.substr(at + 1));
    if (view.text(FtpField::txtUserName).empty()) {
        view.setText(FtpField::txtUserName, userInfo.substr(0, colon));
    }
    if (colon != std::string::npos && view.text(FtpField::txtPassword).empty()) {
        view.setText(FtpField::txtPassword, userInfo.substr(colon + 1));
    }
    if (!m_toldAboutUrlCredentials) {
        m_toldAboutUrlCredentials = true;
        state.ui.messageBox(
            "The URL box held a user name or password. Korvane has moved them into the UserID "
            "and Password boxes, so that the password is never saved or shown.",
            "Logon Info", Buttons::Ok, Icon::Information);
    }
}

// Steps 1 to 7 of Connect: the component takes the panel's server, port and login. Throws
// when the port or the login cannot be used.
void FtpSession::PrepareConnect() {
    ShowTransferIndicator();
    view.stopCountdownIfRunning();
    takeCredentialsOutOfUrl();
    // A live session is ended first: the new one starts in the login directory, so a
    // relative directory or an upload never lands where the old session had moved to.
    if (!Inet1.URL().empty() && Inet1.ConnectionOpen() && !bDisconnected) {
        ExecuteAndWait("QUIT");
    }
    Inet1.setProtocol(Inet::kProtocolFtp);
    Inet1.setRequestTimeout(state.settings.lpubTimeOut);
    const std::string user = view.text(FtpField::txtUserName);
    const std::string password = view.text(FtpField::txtPassword);
    if (HasLineBreak(user) || HasLineBreak(password)) {
        throw std::runtime_error(kBadCredentials);
    }
    const std::string port = view.text(FtpField::txtPort);
    const bool standardPort = port.empty() || EqualsNoCase(port, "21");
    if (standardPort) {
        Inet1.setURL(view.text(FtpField::txtURL));
    } else {
        Inet1.setRemotePort(portNumber(port));
        Inet1.setRemoteHost(view.text(FtpField::txtURL));
    }
    Inet1.setUserName(user);
    Inet1.setPassword(password);
    if (state.settings.bSaveLogon) {
        state.settings.spubFTPURL = view.text(FtpField::txtURL);
        state.settings.spubRemotePort = standardPort ? std::string() : port;
        state.settings.spubFTPUser = user;
    }
    bHandleResponses = false;
}

std::string FtpSession::ConnectCdCommand() {
    sRemoteDir = state.settings.spubRemoteHtmDir;
    return sRemoteDir.empty() ? std::string() : "CD " + QuoteInetArg(sRemoteDir);
}

void FtpSession::FinishConnect() {
    view.setEnabled(FtpButton::cmdGotoHtmDir, true);
    view.setEnabled(FtpButton::cmdQuit, true);
    view.setEnabled(FtpButton::cmdCdup, true);
    if (state.settings.bPgnUpload) {
        view.setEnabled(FtpButton::cmdGoToPgnDir, true);
    }
    HideTransferIndicators();
}

bool FtpSession::ServerLost() const {
    return Inet1.LastRequestFailed() && !Inet1.ConnectionOpen();
}

// A request that lost the server (no answer, a refused login, a drop) ends the connect:
// every further request would log in again or wait out the time-out again. The failure is
// in the log already (state 11); the alarm tells the operator.
void FtpSession::Connect() {
    Foreground busy(*this);
    try {
        PrepareConnect();
        const std::string cd = ConnectCdCommand();
        const bool reached =
            (cd.empty() || ExecuteAndWait(cd) || !ServerLost()) && readPwdAndList(DirTarget::None);
        if (!reached) {
            state.ui.raiseAlarm();
            m_serverLostReported = true;
            HideTransferIndicators();
            bHandleResponses = true;
            return;
        }
        FinishConnect();
    } catch (const std::exception& e) {
        logError(e);
        state.ui.raiseAlarm();
        HideTransferIndicators();
        // Completed requests must go on refreshing the list and the status.
        bHandleResponses = true;
    }
}

// PWD, store its reply, then DIR with its completion refreshing the remote list. The
// reply goes into a directory box only when both the directory change and the PWD
// succeeded: a refused CD would otherwise replace the setting with the old directory.
// False when a request lost the server (the rest is not sent).
bool FtpSession::readPwdAndList(DirTarget target) {
    const bool pwdOk = ExecuteAndWait("PWD");
    if (!pwdOk && ServerLost()) {
        return false;
    }
    TakePwdReply(pwdOk && target != DirTarget::None, target == DirTarget::HtmDir);
    return ExecuteAndWait("DIR") || !ServerLost();
}

void FtpSession::TakePwdReply(bool storeInDirBox, bool html) {
    sPwdReply = Inet1.GetChunk(1024);
    WaitForRequest();
    if (storeInDirBox) {
        view.setText(html ? FtpField::txtHtmDir : FtpField::txtPgnDir, sPwdReply);
        (html ? state.settings.spubRemoteHtmDir : state.settings.spubRemotePgnDir) = sPwdReply;
    }
    view.setCurDirText(sPwdReply);
    sRemoteDir = sPwdReply;
    DoEvents();
    bHandleResponses = true;
    iFtpOperation = 0;
}

void FtpSession::changeDirectory(const std::string& command, DirTarget target) {
    Foreground busy(*this);
    try {
        view.stopCountdownIfRunning();
        Inet1.setRequestTimeout(state.settings.lpubTimeOut);
        if (Inet1.StillExecuting()) {
            LogEvent(state, kStillExecuting);
            return;
        }
        bHandleResponses = false;
        const bool cdOk = ExecuteAndWait(command);
        if (cdOk || !ServerLost()) {
            readPwdAndList(cdOk ? target : DirTarget::None);
        }
    } catch (const std::exception& e) {
        logError(e);
        bHandleResponses = true;
    }
}

void FtpSession::cmdGotoHtmDir_Click() {
    changeDirectory("cd " + QuoteInetArg(state.settings.spubRemoteHtmDir), DirTarget::HtmDir);
}

void FtpSession::cmdGoToPgnDir_Click() {
    changeDirectory("cd " + QuoteInetArg(state.settings.spubRemotePgnDir), DirTarget::PgnDir);
}

void FtpSession::cmdCdup_Click() {
    changeDirectory("CDUP", DirTarget::None);
}

void FtpSession::DisConnect() {
    Foreground busy(*this);
    try {
        Inet1.setRequestTimeout(state.settings.lpubTimeOut);
        if (Inet1.StillExecuting()) {
            state.ui.setStatus(std::string(kStillExecuting) + ".");
            return;
        }
        ExecuteAndWait("QUIT");
    } catch (const std::exception& e) {
        logError(e);
    }
}

void FtpSession::cmdQuit_Click() {
    view.stopCountdownIfRunning();
    DisConnect();
}

void FtpSession::Inet1_StateChanged(int stateNumber) {
    try {
        if (stateNumber == 11) {
            if (bReportErrors) {
                const std::string text =
                    "Error! " + std::to_string(Inet1.ResponseCode()) + ": " + Inet1.ResponseInfo();
                state.ui.setStatus(text);
                LogRaw(state, text);
            }
        } else if (stateNumber >= 5 && stateNumber != 9 && stateNumber != 10) {
            showState(stateText(stateNumber));  // a request's progress
        } else {
            state.ui.setStatus(stateText(stateNumber));  // the connection's, shown plainly
        }
        if (stateNumber == 4) {
            bDisconnected = false;
            m_serverLostReported = false;
        } else if (stateNumber == 10) {
            DoEvents();
            bDisconnected = true;
        } else if (stateNumber == 12 && bHandleResponses) {
            ReactToResponse(iFtpOperation);
        }
    } catch (const std::exception& e) {
        logError(e);
    }
    if (!Inet1.StillExecuting() && m_foreground == 0 && ComponentFree) {
        ComponentFree();
    }
}

FtpSession::Foreground::Foreground(FtpSession& session) : m_session(session) {
    ++m_session.m_foreground;
    ++m_session.m_foregroundRuns;
}

FtpSession::Foreground::~Foreground() {
    if (--m_session.m_foreground == 0 && !m_session.Inet1.StillExecuting() &&
        m_session.ComponentFree) {
        m_session.ComponentFree();
    }
}

void FtpSession::ReportServerLost() {
    if (!m_serverLostReported) {
        m_serverLostReported = true;
        state.ui.raiseAlarm();
    }
}

void FtpSession::AdviseRenameRefused() {
    const std::string warning = renameWarning();
    if (m_renameAdvised) {
        LogEvent(state, warning);
        return;
    }
    m_renameAdvised = true;
    state.ui.setLogText(warning);
    state.ui.raiseAlarm();
    state.ui.messageBox(warning, "Important!", Buttons::Ok, Icon::Critical);
}

void FtpSession::showState(const std::string& text) {
    state.ui.setStatus(sUploadProgress.empty() ? text : sUploadProgress + ": " + text);
}

void FtpSession::ReactToResponse(int operation) {
    try {
        if (operation == 0) {
            ShowRemoteFileList();
        } else if (operation == 1) {
            showState("File(s) uploaded");
        }
    } catch (const std::exception& e) {
        logError(e);
    }
}

void FtpSession::ShowRemoteFileList() {
    try {
        Inet1.setRequestTimeout(state.settings.lpubTimeOut);
        WaitForRequest();
        std::string listing;
        for (std::string piece = Inet1.GetChunk(1024); !piece.empty();
             piece = Inet1.GetChunk(1024)) {
            listing += piece;
            DoEvents();
        }
        WaitForRequest();
        std::vector<std::string> lines = SplitListing(listing);
        m_listings[ToLower(sRemoteDir)] = lines;
        view.setRemoteFiles(lines);
    } catch (const std::exception& e) {
        logError(e);
    }
}

void FtpSession::chkPgnUpload_Click(bool checked) {
    state.settings.bPgnUpload = checked;
    if (checked) {
        if (view.isEnabled(FtpButton::cmdGotoHtmDir)) {
            view.setEnabled(FtpButton::cmdGoToPgnDir, true);
        }
    } else {
        view.setEnabled(FtpButton::cmdGoToPgnDir, false);
    }
    view.setFieldEnabled(FtpField::txtPgnDir, checked);
    view.setFieldBackColour(FtpField::txtPgnDir, checked ? kColourWhite : kColourButtonFace);
}

void FtpSession::chkSaveLogOn_Click(bool checked) {
    state.settings.bSaveLogon = checked;
}
void FtpSession::chkDisConnect_Click(bool checked) {
    state.settings.bDisConnect = checked;
}
void FtpSession::chkLowerCase_Click(bool checked) {
    state.bLowerCase = checked;
}

void FtpSession::txtHtmDir_Change() {
    state.settings.spubRemoteHtmDir = view.text(FtpField::txtHtmDir);
}

void FtpSession::txtPgnDir_Change() {
    state.settings.spubRemotePgnDir = view.text(FtpField::txtPgnDir);
}

void FtpSession::txtPort_Change() {
    const std::string text = view.text(FtpField::txtPort);
    if (text.empty()) {
        return;
    }
    if (!IsNumericText(text)) {
        view.setText(FtpField::txtPort, "");
        state.ui.messageBox("Port number must be a number (integer).", "Number Required",
                            Buttons::Ok, Icon::None);
    } else if (text.find_first_of(".,") != std::string::npos) {
        view.setText(FtpField::txtPort, "");
        state.ui.messageBox("Port number must be an integer (no decimals).", "Integer Required",
                            Buttons::Ok, Icon::None);
    }
}

}  // namespace korvane
