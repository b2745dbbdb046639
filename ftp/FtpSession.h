#pragma once
// The FTP session of the monitor window: connecting and disconnecting, the directory
// buttons, the status texts for the transfer component's states, the remote listing and
// the rules of the panel's port box and check boxes. Talks to the operator through the
// program state's Operator and to the panel through FtpPanelView; never touches widgets.
//
// Status texts of the component's states (lblCurrentAction):
//   0 "", 1 "Looking For Host", 2 "Host Found", 3 "Connecting...", 4 "Connected!",
//   5 "Requesting...", 6 "Request Sent", 7 "Receiving Response...", 8 "Response Received!",
//   9 "Disconnecting...", 10 "Disconnected", 11 "Error! <code>: <info>",
//   12 "Request Completed!".

#include <cstdint>
#include <string>
#include <vector>

#include "ftp/FtpPanelView.h"
#include "ftp/Inet.h"

namespace korvane {

struct ProgramState;

// The lines of a listing: split at each CR LF; a last line without CR LF counts too, and
// a listing ending in CR LF gives no empty last entry.
std::vector<std::string> SplitListing(const std::string& text);

class FtpSession {
public:
    FtpSession(ProgramState& state, FtpPanelView& view, Inet& inet);
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Fills the panel from the settings when the monitor window loads.
    void LoadPanel();

    void Connect();
    void DisConnect();
    void Inet1_StateChanged(int state);
    void ReactToResponse(int operation);
    void ShowRemoteFileList();

    void cmdConnect_Click() { Connect(); }
    void cmdQuit_Click();
    void cmdGotoHtmDir_Click();
    void cmdGoToPgnDir_Click();
    void cmdCdup_Click();
    void chkPgnUpload_Click(bool checked);
    void chkSaveLogOn_Click(bool checked);
    void chkDisConnect_Click(bool checked);
    void chkLowerCase_Click(bool checked);
    void txtHtmDir_Change();
    void txtPgnDir_Change();
    void txtPort_Change();

    // Lets pending events run: the component's state changes first, then the window's.
    void DoEvents();
    // Waits until the running request (if any) has finished, letting events run.
    void WaitForRequest();
    // Executes the command on the component's URL and waits; False when it failed.
    bool ExecuteAndWait(const std::string& command);

    void ShowTransferIndicator();
    void HideTransferIndicators();

    ProgramState& state;
    FtpPanelView& view;
    Inet& Inet1;

    bool bDisconnected = false;      // the component reported the server connection closed
    bool bHandleResponses = true;    // completed requests refresh the list or the status
    std::int16_t iFtpOperation = 0;  // 0 directory listing, 1 upload
    std::string sRemoteDir;          // the remote directory as far as the program knows
    std::string sPwdReply;

private:
    enum class DirTarget { HtmDir, PgnDir, None };
    void changeDirectory(const std::string& command, DirTarget target);
    void readPwdAndList(DirTarget target);
    void logError(const std::exception& e);
    void takeCredentialsOutOfUrl();

    bool m_toldAboutUrlCredentials = false;
};

}  // namespace korvane
