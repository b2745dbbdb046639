#include "ftp/Upload.h"

#include <filesystem>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "ftp/InetCommand.h"

namespace korvane {

namespace {

// The retried names first, then the cycle's own that are not among them.
std::vector<std::string> merged(std::vector<std::string> retried,
                                const std::vector<std::string>& fresh) {
    for (const auto& name : fresh) {
        bool known = false;
        for (const auto& r : retried) {
            known = known || EqualsNoCase(r, name);
        }
        if (!known) {
            retried.push_back(name);
        }
    }
    return retried;
}

}  // namespace

bool FtpUploader::hasPendingRetries() const {
    return !m_retryHtml.empty() || (!m_retryPgn.empty() && m_session.state.settings.bPgnUpload);
}

void FtpUploader::Upload(UploadQueue& queue) {
    ProgramState& state = m_session.state;
    m_outOfReach = false;
    // A cycle that produced no page uploads nothing of its own (also no PGN file); files
    // kept from a failed upload still go.
    const std::vector<std::string> noNames;
    const bool pagesMade = !queue.html.empty();
    std::vector<std::string> html = merged(std::move(m_retryHtml), queue.html);
    std::vector<std::string> pgn;
    if (state.settings.bPgnUpload) {
        pgn = merged(std::move(m_retryPgn), pagesMade && queue.pgn ? *queue.pgn : noNames);
    }
    m_retryHtml.clear();
    m_retryPgn.clear();
    queue.html.clear();
    queue.pgn.reset();
    if (html.empty() && pgn.empty()) {
        return;
    }

    try {
        m_session.ShowTransferIndicator();
        m_session.Inet1.setRequestTimeout(state.settings.lpubTimeOut);
        if (m_session.bDisconnected) {
            m_session.Connect();
            m_outOfReach = !m_session.Inet1.ConnectionOpen();
        }
        m_session.WaitForRequest();
        if (!html.empty()) {
            PutFiles(html, ".htm");
        }
        m_session.DoEvents();
        if (m_session.Inet1.StillExecuting()) {
            state.ui.messageBox("Still executing", "Korvane", Buttons::Ok, Icon::None);
        }
        if (state.settings.bPgnUpload) {
            m_session.DoEvents();
            m_session.WaitForRequest();
            if (!pgn.empty()) {
                m_session.DoEvents();
                PutFiles(pgn, ".pgn");
            }
        }
        if (state.settings.bDisConnect) {
            m_session.WaitForRequest();
            m_session.DisConnect();
        }
        m_session.WaitForRequest();
        if (++m_uploadCount == 1) {
            m_session.view.setRemoveButtonCaption("Substitute");
        }
        m_session.HideTransferIndicators();
    } catch (const std::exception& e) {
        LogEvent(state, e.what());
        m_session.HideTransferIndicators();
        state.ui.setStatus("");
    }
}

void FtpUploader::PutFiles(const std::vector<std::string>& names, const std::string& extension) {
    ProgramState& state = m_session.state;
    std::vector<std::string>& retry = extension == ".pgn" ? m_retryPgn : m_retryHtml;
    std::size_t next = 0;
    try {
        m_session.Inet1.setRequestTimeout(state.settings.lpubTimeOut);
        m_session.WaitForRequest();
        m_session.iFtpOperation = 1;
        for (int n = 1; next < names.size(); ++n) {
            m_session.DoEvents();
            const std::string& name = names[next];
            if (m_outOfReach || !putOne(name, extension, n)) {
                m_outOfReach = m_outOfReach || !m_session.Inet1.ConnectionOpen();
                // A file whose local copy is gone (the component's error names it) cannot
                // succeed later either; kept, it would be tried and logged at every cycle.
                std::error_code noFile;
                if (std::filesystem::exists(localPath(name, extension), noFile)) {
                    retry.push_back(name);
                    LogEvent(state, "Upload of " + name +
                                        " failed. It will be retried with the next upload.");
                }
            }
            ++next;
            m_session.DoEvents();
        }
        m_session.iFtpOperation = 0;
        m_session.DoEvents();
        if (!m_outOfReach) {
            m_session.ExecuteAndWait("DIR");
        }
    } catch (const std::exception& e) {
        LogEvent(state, e.what());
        // The files this batch did not reach are sent with the next upload.
        for (; next < names.size(); ++next) {
            retry.push_back(names[next]);
        }
    }
}

std::string FtpUploader::localPath(const std::string& name, const std::string& extension) const {
    const ProgramState& state = m_session.state;
    return (extension == ".pgn" ? state.tempDir : state.settings.spubPathHtml) + name;
}

// Sends one file; False when it did not reach its place.
bool FtpUploader::putOne(const std::string& name, const std::string& extension, int n) {
    ProgramState& state = m_session.state;
    const Settings& s = state.settings;
    const bool html = extension != ".pgn";
    // The remote name only is lower-cased: the local file keeps its real name.
    const std::string remote = state.bLowerCase ? ToLower(name) : name;
    const std::string local = localPath(name, extension);

    std::string& dir = m_session.sRemoteDir;
    dir = EqualsNoCase(s.spubRemotePgnDir, s.spubRemoteHtmDir) || html ? s.spubRemoteHtmDir
                                                                       : s.spubRemotePgnDir;
    // A refused directory change would put the file in whatever directory the session is
    // in, so the file waits for the next upload instead.
    if (!dir.empty() && !m_session.ExecuteAndWait("CD " + QuoteInetArg(dir))) {
        return false;
    }
    if (!s.bpubRenameFiles) {
        LogEvent(state, "Uploading " + local + " to " + dir);
        return m_session.ExecuteAndWait("PUT " + QuoteInetArg(local) + " " + QuoteInetArg(remote));
    }
    std::string temp = "kv" + std::to_string(n) + extension;
    if (EqualsNoCase(temp, remote)) {
        temp = "kvx" + std::to_string(n) + extension;
    }
    LogEvent(state, "Uploading " + local + " to " + dir + " as " + temp);
    // Renaming a temporary file left by an earlier failed transfer would publish the wrong
    // content, so a failed PUT is not followed by its RENAME.
    if (!m_session.ExecuteAndWait("PUT " + QuoteInetArg(local) + " " + QuoteInetArg(temp))) {
        return false;
    }
    LogEvent(state, "Renaming " + dir + "/" + temp + " to " + remote);
    return m_session.ExecuteAndWait("RENAME " + QuoteInetArg(temp) + " " + QuoteInetArg(remote));
}

}  // namespace korvane
