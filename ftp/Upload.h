#pragma once
// The upload of the cycles' pages (and PGN files) through the FTP session: each file is
// sent to its remote directory, by default under a temporary name ("kv" + n, or "kvx" + n
// when that is the file's own name) and then renamed into place, so a browser never loads
// a half-written page.
//
// The upload never holds up the cycle: Upload queues the files and returns; the requests
// run one after the other as the component reports each one done (the session's
// ComponentFree), while the cycles go on converting. A round sends what waited when it
// began: the pages, the listing, the PGN files, the listing again, then the disconnect when
// asked for. A file queued again before its turn is sent once, and it is read when its turn
// comes, so the newest version goes. Files queued during a round wait for the next one,
// which follows at once on a kept connection or comes with the next cycle.
//
// A file whose directory change, PUT or RENAME was refused is kept for the next round; a
// file whose local copy is gone, or whose name cannot be sent, is reported and dropped.
// Once a request has lost the server (a drop, a time-out, a refused login), the round stops
// and its files wait for the next cycle, which tries the server once again: during an
// outage each try would wait out the time-out, and a host that bans repeated failed logins
// would lock the venue out.
//
// Temporary names are numbered through the whole session and never equal a name this
// session published or saw listed in that directory, so no page is overwritten by another
// page's temporary file. A temporary file a cut round left behind is deleted at the next
// round that reaches its directory.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/Uploader.h"
#include "ftp/FtpSession.h"

namespace korvane {

class FtpUploader : public Uploader {
public:
    explicit FtpUploader(FtpSession& session);
    ~FtpUploader() override;
    FtpUploader(const FtpUploader&) = delete;
    FtpUploader& operator=(const FtpUploader&) = delete;

    bool hasServer() const override { return !m_session.Inet1.URL().empty(); }
    bool hasPendingRetries() const override;
    // Queues the cycle's files and starts a round when none runs; returns at once.
    void Upload(UploadQueue& queue) override;

    // Whether a round runs (a request of it is under way or comes next).
    bool busy() const { return m_round.has_value(); }
    // Lets the component's events run until the running round has ended.
    void WaitUntilDone();

    // How many uploads (rounds) ran in this window's life.
    long uploadCount() const { return m_uploadCount; }
    // The files that wait for a round, in the order they will go.
    const std::vector<std::string>& pendingHtml() const { return m_pendingHtml; }
    const std::vector<std::string>& pendingPgn() const { return m_pendingPgn; }

private:
    // One request of a round: its command (built when its turn comes; empty sends nothing)
    // and what follows its end. `file` names the file it belongs to, if any.
    struct Step {
        std::function<std::string()> command;
        std::function<void(bool ok)> done;
        std::string file;
        std::string extension;
    };
    struct Batch {
        std::string extension;
        std::vector<std::string> names;
        std::size_t next = 0;  // the first name not yet begun
        bool listed = false;   // its directory has been listed for this round
        bool closed = false;   // leftovers removed and the closing listing asked for
    };
    struct Round {
        std::deque<Batch> batches;
        bool adviceGiven = false;  // the rename advice was given in this round
        std::size_t files = 0;     // the files the round sends
        std::size_t begun = 0;     // of those, the ones whose requests have begun
        bool finishing = false;
    };

    void startRound();
    void planReconnect();
    void planNext();
    void planFile(Batch& batch);
    void showProgress();
    void planListing(Batch& batch, const std::string& dir);
    void planDirectoryChange(const std::string& name, const std::string& ext,
                             const std::string& dir);
    void planPlainPut(const std::string& name, const std::string& ext, const std::string& dir);
    void planRenamedPut(const std::string& name, const std::string& ext, const std::string& dir);
    void planBatchEnd(Batch& batch);
    void finishRound();
    void advance();
    void onComponentFree();
    void loseServer(const Step& failed);
    void fileFailed(const std::string& name, const std::string& extension);

    void enqueue(const std::vector<std::string>& names, std::vector<std::string>& pending);
    bool inRoundUnsent(const std::string& name) const;
    std::size_t waiting() const;
    void reportWaiting();

    std::string remoteDir(const std::string& extension) const;
    std::string localPath(const std::string& name, const std::string& extension) const;
    std::string remoteName(const std::string& name) const;
    std::string stagedCopy(const std::string& local);
    std::string temporaryName(const std::string& dir, const std::string& remote,
                              const std::string& extension);
    bool nameTaken(const std::string& dir, const std::string& name) const;

    FtpSession& m_session;
    long m_uploadCount = 0;
    std::vector<std::string> m_pendingHtml;
    std::vector<std::string> m_pendingPgn;
    std::optional<Round> m_round;
    std::deque<Step> m_steps;
    std::optional<Step> m_inFlight;  // the step whose request runs
    bool m_advancing = false;
    bool m_queuedDuringRound = false;  // a cycle queued files while the round ran
    bool m_outage = false;             // the server was lost and no request has succeeded since

    // The directory the round's requests are in, and the count of panel operations then.
    std::optional<std::pair<std::string, long>> m_inDir;

    long m_tempCounter = 0;
    // By lower-cased remote directory: names this session published there, and temporary
    // files stored there whose rename has not been seen to succeed.
    std::map<std::string, std::set<std::string>> m_published;
    std::map<std::string, std::set<std::string>> m_leftovers;
    std::set<std::string> m_refusedNames;  // names that cannot be sent, reported once
    std::string m_stageDir;                // a private copy of the file being sent, see stagedCopy
};

}  // namespace korvane
