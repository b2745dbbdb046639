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
#include <functional>
#include <map>
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

    // Opens the session with CD (to the HTML directory), PWD and DIR. A request that lost
    // the server ends it there with the alarm, so a refused login is tried once.
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

    // Connect in parts, for a reconnect that must not wait (the upload's): the component
    // takes the panel's values (throws when the port or the login cannot be used); the CD
    // command to send first (empty without an HTML directory); after the PWD, its reply
    // taken as Connect takes it; at the end, the buttons enabled.
    void PrepareConnect();
    std::string ConnectCdCommand();
    void TakePwdReply(bool storeInDirBox = false, bool html = true);
    void FinishConnect();
    // Whether the last request failed and left no connection to the server.
    bool ServerLost() const;
    // Whether an operation that waits for its own requests (Connect, a directory button,
    // DisConnect) is under way.
    bool ForegroundBusy() const { return m_foreground > 0; }
    // How many such operations have begun; one may have changed the remote directory.
    long ForegroundRuns() const { return m_foregroundRuns; }

    // Raises the alarm for a server that cannot be reached, once until a login succeeds
    // again (a failed Connect has raised it already).
    void ReportServerLost();
    // The advice to switch off renaming on the server: the first time in a box, with the
    // alarm, replacing the log; afterwards as a log entry.
    void AdviseRenameRefused();
    // The last listing of a directory this session received (by sRemoteDir at that time).
    const std::vector<std::string>* ListingOf(const std::string& dir) const;

    // Called whenever the component has become free for work that does not wait: after
    // each request of the upload and after each operation that waited for its requests.
    std::function<void()> ComponentFree;

    ProgramState& state;
    FtpPanelView& view;
    Inet& Inet1;

    bool bDisconnected = false;      // the component reported the server connection closed
    bool bHandleResponses = true;    // completed requests refresh the list or the status
    std::int16_t iFtpOperation = 0;  // 0 directory listing, 1 upload
    std::string sRemoteDir;          // the remote directory as far as the program knows
    std::string sPwdReply;
    bool bReportErrors = true;  // failed requests go to the status line and the log
    // While an upload runs, which file of how many is on its way; the component's state
    // texts on the status line follow it, so a long upload shows how far it has come.
    std::string sUploadProgress;

private:
    // Marks an operation that sends requests and waits for them; background work waits.
    class Foreground {
    public:
        explicit Foreground(FtpSession& session);
        ~Foreground();
        Foreground(const Foreground&) = delete;
        Foreground& operator=(const Foreground&) = delete;

    private:
        FtpSession& m_session;
    };
    enum class DirTarget { HtmDir, PgnDir, None };
    void changeDirectory(const std::string& command, DirTarget target);
    bool readPwdAndList(DirTarget target);
    void logError(const std::exception& e);
    // Shows a request's state text on the status line, after the upload's progress when
    // one runs.
    void showState(const std::string& text);
    void takeCredentialsOutOfUrl();

    bool m_toldAboutUrlCredentials = false;

    int m_foreground = 0;
    long m_foregroundRuns = 0;
    bool m_renameAdvised = false;
    bool m_serverLostReported = false;
    std::map<std::string, std::vector<std::string>> m_listings;
};

}  // namespace korvane
