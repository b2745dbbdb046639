#pragma once
// The program's settings, kept in "korvane.cfg". Field names are the file's keys.

#include <string>

namespace korvane {

struct Settings {
    std::string spubPathVistrel;   // converter program
    std::string spubPathVisIni;    // converter ini for game pages
    std::string spubPathHtml;      // HTML target directory, always ends with a separator
    std::string spubPathpgn;       // where file dialogs for games open
    std::string spubIntroPgn;      // overview pgn file name
    long lpubScanTime = 0;         // seconds between scans
    long lpubTimeOut = 0;          // FTP request time-out in seconds
    long lpubDelay = 0;            // minutes the published games run behind the boards; 0 = live
    bool bDisConnect = false;      // disconnect after each upload
    bool bPgnUpload = false;       // upload the PGN files too
    bool bIntroPage = false;       // build the overview page
    bool bpubRenameFiles = false;  // upload under a temporary name and rename
    std::string spubPathIntroIni;  // converter ini for the overview page
    bool bSaveLogon = false;       // keep the FTP logon values in the file
    std::string spubFTPURL;
    std::string spubFTPUser;
    std::string spubRemoteHtmDir;
    std::string spubRemotePgnDir;
    std::string spubRemotePort;  // held as text
    // A changed source starts a cycle at once (the countdown stays as the safety net). On
    // for new settings files; a file without the key reads as off.
    bool bPublishOnChange = true;

    bool operator==(const Settings&) const = default;
};

}  // namespace korvane
