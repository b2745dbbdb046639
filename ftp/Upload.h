#pragma once
// The upload of one cycle's pages (and PGN files) through the FTP session: each file is
// sent to its remote directory, by default under a temporary name ("kv" + n, or "kvx" + n
// when that is the file's own name) and then renamed into place, so a browser never loads
// a half-written page.
//
// A file whose directory change, PUT or RENAME failed is kept and sent again with the
// next upload (once, even when that cycle queues it too), so a dropped connection during
// the last move of a game does not leave its final position unpublished. A file whose
// local copy is gone is not kept: no later try could succeed. Once a failure has lost the
// server (a drop, a time-out, no answer), the files left are kept for the next upload
// without further tries: during a network outage each try would wait out the whole request
// time-out, and the cycle, with the local pages, would stall for minutes.

#include <string>
#include <vector>

#include "core/Uploader.h"
#include "ftp/FtpSession.h"

namespace korvane {

class FtpUploader : public Uploader {
public:
    explicit FtpUploader(FtpSession& session) : m_session(session) {}

    bool hasServer() const override { return !m_session.Inet1.URL().empty(); }
    bool hasPendingRetries() const override;
    void Upload(UploadQueue& queue) override;

    // Sends one batch; extension ".htm" or ".pgn" chooses the local directory, the remote
    // directory and the log wording. Names are taken as they are (a name may hold "|").
    void PutFiles(const std::vector<std::string>& names, const std::string& extension);

    // How many uploads ran in this window's life.
    long uploadCount() const { return m_uploadCount; }
    const std::vector<std::string>& pendingHtml() const { return m_retryHtml; }
    const std::vector<std::string>& pendingPgn() const { return m_retryPgn; }

private:
    bool putOne(const std::string& name, const std::string& extension, int n);
    // The local file of a name: the page directory for ".htm", temppgn for ".pgn".
    std::string localPath(const std::string& name, const std::string& extension) const;

    FtpSession& m_session;
    long m_uploadCount = 0;
    bool m_outOfReach = false;  // this upload lost the server; the rest waits
    std::vector<std::string> m_retryHtml;
    std::vector<std::string> m_retryPgn;
};

}  // namespace korvane
