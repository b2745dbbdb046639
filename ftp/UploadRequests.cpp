// The requests each file of an upload needs, the names it goes under and the copy that is
// sent.

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "ftp/InetCommand.h"
#include "ftp/Upload.h"

namespace korvane {

namespace fs = std::filesystem;

// The requests of the batch's next file: the directory change, then the PUT (and the
// RENAME into place).
void FtpUploader::planFile(Batch& batch) {
    const std::string ext = batch.extension;
    const std::string dir = remoteDir(ext);
    planListing(batch, dir);
    const std::string name = batch.names[batch.next++];
    showProgress();
    planDirectoryChange(name, ext, dir);
    if (m_session.state.settings.bpubRenameFiles) {
        planRenamedPut(name, ext, dir);
    } else {
        planPlainPut(name, ext, dir);
    }
}

// "Upload i of n" ahead of the component's state texts, when the round sends several files
// (the log names each file as its PUT goes).
void FtpUploader::showProgress() {
    Round& round = *m_round;
    ++round.begun;
    if (round.files > 1) {
        m_session.sUploadProgress =
            "Upload " + std::to_string(round.begun) + " of " + std::to_string(round.files);
    }
}

// A directory the session has not listed may hold published pages named like temporary
// files; its listing comes before the batch's first temporary name.
void FtpUploader::planListing(Batch& batch, const std::string& dir) {
    const std::string ext = batch.extension;
    const std::string cd = dir.empty() ? std::string() : "CD " + QuoteInetArg(dir);
    if (!batch.listed && m_session.state.settings.bpubRenameFiles && !dir.empty() &&
        m_session.ListingOf(dir) == nullptr) {
        m_steps.push_back({[this, cd, dir] {
                               m_session.sRemoteDir = dir;
                               m_session.iFtpOperation = 1;
                               return cd;
                           },
                           [this](bool ok) {
                               if (!ok) {
                                   m_steps.pop_front();  // a listing of another directory
                               }
                           },
                           {},
                           ext});
        m_steps.push_back({[this] {
                               m_session.iFtpOperation = 0;
                               return std::string("DIR");
                           },
                           nullptr,
                           {},
                           ext});
    }
    batch.listed = true;
}

// A refused directory change would put the file in whatever directory the session is in,
// so the file waits for the next round instead. The directory changes once per batch,
// unless an operation of the panel moved away meanwhile.
void FtpUploader::planDirectoryChange(const std::string& name, const std::string& ext,
                                      const std::string& dir) {
    const std::string cd = dir.empty() ? std::string() : "CD " + QuoteInetArg(dir);
    m_steps.push_back({[this, cd, dir] {
                           m_session.sRemoteDir = dir;
                           m_session.iFtpOperation = 1;
                           const bool there = m_inDir && m_inDir->first == dir &&
                                              m_inDir->second == m_session.ForegroundRuns();
                           return there ? std::string() : cd;
                       },
                       [this, name, ext, dir](bool ok) {
                           if (ok) {
                               m_inDir.emplace(dir, m_session.ForegroundRuns());
                               return;
                           }
                           m_steps.clear();  // this file's PUT and RENAME
                           fileFailed(name, ext);
                       },
                       name, ext});
}

void FtpUploader::planPlainPut(const std::string& name, const std::string& ext,
                               const std::string& dir) {
    const std::string remote = remoteName(name);
    const std::string local = localPath(name, ext);
    m_steps.push_back({[this, local, dir, remote] {
                           LogEvent(m_session.state, "Uploading " + local + " to " + dir);
                           return "PUT " + QuoteInetArg(stagedCopy(local)) + " " +
                                  QuoteInetArg(remote);
                       },
                       [this, name, ext, dir, remote](bool ok) {
                           if (ok) {
                               m_published[ToLower(dir)].insert(ToLower(remote));
                           } else {
                               fileFailed(name, ext);
                           }
                       },
                       name, ext});
}

// The temporary name is chosen when the PUT's turn comes, so it knows every name the
// directory's listing and the earlier files showed.
void FtpUploader::planRenamedPut(const std::string& name, const std::string& ext,
                                 const std::string& dir) {
    const std::string remote = remoteName(name);
    const std::string local = localPath(name, ext);
    auto temp = std::make_shared<std::string>();
    m_steps.push_back(
        {[this, local, dir, remote, ext, temp] {
             *temp = temporaryName(dir, remote, ext);
             LogEvent(m_session.state, "Uploading " + local + " to " + dir + " as " + *temp);
             m_leftovers[ToLower(dir)].insert(*temp);
             return "PUT " + QuoteInetArg(stagedCopy(local)) + " " + QuoteInetArg(*temp);
         },
         [this, name, ext](bool ok) {
             // Renaming a temporary file of an earlier failed transfer would
             // publish the wrong content, so a failed PUT has no RENAME.
             if (!ok) {
                 m_steps.clear();
                 fileFailed(name, ext);
             }
         },
         name, ext});
    m_steps.push_back({[this, dir, remote, temp] {
                           LogEvent(m_session.state,
                                    "Renaming " + dir + "/" + *temp + " to " + remote);
                           return "RENAME " + QuoteInetArg(*temp) + " " + QuoteInetArg(remote);
                       },
                       [this, name, ext, dir, remote, temp](bool ok) {
                           if (ok) {
                               m_leftovers[ToLower(dir)].erase(*temp);
                               m_published[ToLower(dir)].insert(ToLower(remote));
                               return;
                           }
                           // Any refusal, whatever the server's wording: the advice once
                           // per round (in a box the first time in the session).
                           if (!m_round->adviceGiven) {
                               m_round->adviceGiven = true;
                               m_session.AdviseRenameRefused();
                           }
                           fileFailed(name, ext);
                       },
                       name, ext});
}

// The end of a batch: the temporary files cut rounds left in its directory are deleted
// (quietly: one may never have been created), then the directory is listed.
void FtpUploader::planBatchEnd(Batch& batch) {
    batch.closed = true;
    const std::string dir = remoteDir(batch.extension);
    const std::set<std::string> leftovers = m_leftovers[ToLower(dir)];
    for (const std::string& temp : leftovers) {
        m_steps.push_back({[this, temp] {
                               m_session.iFtpOperation = 1;
                               m_session.bReportErrors = false;
                               return "DELETE " + QuoteInetArg(temp);
                           },
                           [this, dir, temp](bool) {
                               m_session.bReportErrors = true;
                               m_leftovers[ToLower(dir)].erase(temp);
                           },
                           {},
                           batch.extension});
    }
    m_steps.push_back({[this, dir] {
                           m_session.sRemoteDir = dir;
                           m_session.iFtpOperation = 0;
                           return std::string("DIR");
                       },
                       nullptr,
                       {},
                       batch.extension});
}

std::string FtpUploader::remoteDir(const std::string& extension) const {
    const Settings& s = m_session.state.settings;
    return EqualsNoCase(s.spubRemotePgnDir, s.spubRemoteHtmDir) || extension != ".pgn"
               ? s.spubRemoteHtmDir
               : s.spubRemotePgnDir;
}

std::string FtpUploader::localPath(const std::string& name, const std::string& extension) const {
    const ProgramState& state = m_session.state;
    return (extension == ".pgn" ? state.tempDir : state.settings.spubPathHtml) + name;
}

// The remote name only is lower-cased: the local file keeps its real name.
std::string FtpUploader::remoteName(const std::string& name) const {
    return m_session.state.bLowerCase ? ToLower(name) : name;
}

// The file the component reads while it sends: a copy taken now, between two steps of the
// window thread, so a cycle that rewrites the page meanwhile cannot tear what goes out.
// Without a copy (the file is gone, no room) the component reads the file itself and
// reports what is wrong with it.
std::string FtpUploader::stagedCopy(const std::string& local) {
    if (m_stageDir.empty()) {
        return local;
    }
    const std::string staged = m_stageDir + "/sending";
    std::error_code failed;
    fs::copy_file(local, staged, fs::copy_options::overwrite_existing, failed);
    return failed ? local : staged;
}

std::string FtpUploader::temporaryName(const std::string& dir, const std::string& remote,
                                       const std::string& extension) {
    while (true) {
        const std::string n = std::to_string(++m_tempCounter);
        std::string temp = "kv" + n + extension;
        if (EqualsNoCase(temp, remote)) {
            temp = "kvx" + n + extension;
        }
        if (!nameTaken(dir, temp)) {
            return temp;
        }
    }
}

// Whether a temporary name could hit a page: one published here this session, one the
// directory's last listing shows (a line ending in the name), or one waiting to go.
bool FtpUploader::nameTaken(const std::string& dir, const std::string& name) const {
    const std::string lower = ToLower(name);
    if (auto it = m_published.find(ToLower(dir));
        it != m_published.end() && it->second.count(lower)) {
        return true;
    }
    if (const auto* listing = m_session.ListingOf(dir)) {
        for (const auto& line : *listing) {
            const std::string l = ToLower(line);
            if (l == lower || l.ends_with(" " + lower)) {
                return true;
            }
        }
    }
    const auto queued = [&lower, this](const std::vector<std::string>& names) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return ToLower(remoteName(n)) == lower; });
    };
    if (queued(m_pendingHtml) || queued(m_pendingPgn)) {
        return true;
    }
    return m_round && std::any_of(m_round->batches.begin(), m_round->batches.end(),
                                  [&queued](const Batch& b) { return queued(b.names); });
}

}  // namespace korvane
