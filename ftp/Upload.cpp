#include "ftp/Upload.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "ftp/InetCommand.h"

namespace korvane {

namespace fs = std::filesystem;

namespace {

bool containsNoCase(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& n) { return EqualsNoCase(n, name); });
}

// A name as the log can show it: line breaks and NULs spelt out.
std::string printable(const std::string& name) {
    std::string out;
    for (char c : name) {
        out += c == '\r'   ? std::string("<CR>")
               : c == '\n' ? std::string("<LF>")
               : c == '\0' ? std::string("<NUL>")
                           : std::string(1, c);
    }
    return out;
}

std::string filesText(std::size_t count) {
    return count == 1 ? "1 file waits" : std::to_string(count) + " files wait";
}

}  // namespace

FtpUploader::FtpUploader(FtpSession& session) : m_session(session) {
    m_session.ComponentFree = [this] { onComponentFree(); };
    // In memory where the system offers a place for it: a copy per page costs nothing there.
    std::error_code noShm;
    const fs::path base =
        fs::is_directory("/dev/shm", noShm) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "korvane-upload-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_stageDir = pattern;
    }
}

FtpUploader::~FtpUploader() {
    m_session.ComponentFree = nullptr;
    if (!m_stageDir.empty()) {
        std::error_code ignored;
        fs::remove_all(m_stageDir, ignored);
    }
}

bool FtpUploader::hasPendingRetries() const {
    return !m_round && waiting() > 0;
}

std::size_t FtpUploader::waiting() const {
    return m_pendingHtml.size() + (m_session.state.settings.bPgnUpload ? m_pendingPgn.size() : 0);
}

void FtpUploader::Upload(UploadQueue& queue) {
    const ProgramState& state = m_session.state;
    // A cycle that produced no page uploads nothing of its own (also no PGN file); files
    // that wait from an earlier cycle still go.
    const bool pagesMade = !queue.html.empty();
    const std::size_t before = waiting();
    enqueue(queue.html, m_pendingHtml);
    if (state.settings.bPgnUpload && pagesMade && queue.pgn) {
        enqueue(*queue.pgn, m_pendingPgn);
    }
    m_queuedDuringRound = m_queuedDuringRound || (m_round && waiting() > before);
    queue.html.clear();
    queue.pgn.reset();
    if (!m_round) {
        startRound();
    }
}

// Adds names that are neither waiting nor waiting their turn in the running round. A name
// that cannot be sent in an FTP command is reported once and never queued.
void FtpUploader::enqueue(const std::vector<std::string>& names,
                          std::vector<std::string>& pending) {
    for (const auto& name : names) {
        if (HasLineBreak(name)) {
            if (m_refusedNames.insert(name).second) {
                LogEvent(m_session.state, "The file name " + printable(name) +
                                              " holds a line break, which an FTP command "
                                              "cannot carry. The file is not uploaded.");
            }
            continue;
        }
        if (!containsNoCase(pending, name) && !inRoundUnsent(name)) {
            pending.push_back(name);
        }
    }
}

bool FtpUploader::inRoundUnsent(const std::string& name) const {
    if (!m_round) {
        return false;
    }
    for (const Batch& b : m_round->batches) {
        for (std::size_t i = b.next; i < b.names.size(); ++i) {
            if (EqualsNoCase(b.names[i], name)) {
                return true;
            }
        }
    }
    return false;
}

void FtpUploader::startRound() {
    ProgramState& state = m_session.state;
    if (waiting() == 0) {
        return;
    }
    Round round;
    round.batches.push_back({".htm", std::move(m_pendingHtml)});
    m_pendingHtml.clear();
    if (state.settings.bPgnUpload) {
        round.batches.push_back({".pgn", std::move(m_pendingPgn)});
        m_pendingPgn.clear();
    }
    for (const Batch& batch : round.batches) {
        round.files += batch.names.size();
    }
    m_round = std::move(round);
    m_inDir.reset();
    m_session.ShowTransferIndicator();
    m_session.Inet1.setRequestTimeout(state.settings.lpubTimeOut);
    if (m_session.bDisconnected) {
        planReconnect();
    }
    advance();
}

// The requests of Connect, sent without waiting: CD to the HTML directory, PWD, DIR.
void FtpUploader::planReconnect() {
    try {
        m_session.PrepareConnect();
    } catch (const std::exception& e) {
        LogEvent(m_session.state, e.what());
        m_session.bHandleResponses = true;
        loseServer(Step{});
        return;
    }
    const std::string cd = m_session.ConnectCdCommand();
    if (!cd.empty()) {
        m_steps.push_back({[cd] { return cd; }, nullptr, {}, {}});
    }
    m_steps.push_back(
        {[] { return std::string("PWD"); }, [this](bool) { m_session.TakePwdReply(); }, {}, {}});
    m_steps.push_back(
        {[] { return std::string("DIR"); }, [this](bool) { m_session.FinishConnect(); }, {}, {}});
}

// Plans the next requests of the round once the planned ones have run.
void FtpUploader::planNext() {
    Round& round = *m_round;
    while (!round.batches.empty() && round.batches.front().names.empty()) {
        round.batches.pop_front();
    }
    if (round.batches.empty()) {
        if (!round.finishing) {
            round.finishing = true;
            if (m_session.state.settings.bDisConnect) {
                m_steps.push_back({[] { return std::string("QUIT"); }, nullptr, {}, {}});
                return;
            }
        }
        finishRound();
        return;
    }
    Batch& batch = round.batches.front();
    if (batch.next < batch.names.size()) {
        planFile(batch);
    } else if (!batch.closed) {
        planBatchEnd(batch);
    } else {
        round.batches.pop_front();
    }
}

void FtpUploader::finishRound() {
    const bool lost = m_outage;
    const bool queuedMeanwhile = m_queuedDuringRound;
    m_queuedDuringRound = false;
    m_round.reset();
    m_steps.clear();
    m_session.sUploadProgress.clear();
    if (++m_uploadCount == 1) {
        m_session.view.setRemoveButtonCaption("Substitute");
    }
    m_session.HideTransferIndicators();
    reportWaiting();
    // Files queued while this round ran go at once on a kept connection; after a lost
    // server or a disconnect they wait for the next cycle, which logs in again, and so do
    // files this round failed to send.
    if (queuedMeanwhile && !lost && !m_session.bDisconnected &&
        !m_session.state.settings.bDisConnect) {
        startRound();
    }
}

void FtpUploader::reportWaiting() {
    const std::size_t count = waiting();
    if (count > 0) {
        m_session.state.ui.setStatus(filesText(count) + " for the upload");
    }
}

// Sends the next planned request when the component is free and no operation of the
// panel waits for its own.
void FtpUploader::advance() {
    if (m_advancing) {
        return;
    }
    m_advancing = true;
    while (m_round && !m_inFlight && !m_session.ForegroundBusy() &&
           !m_session.Inet1.StillExecuting()) {
        if (m_steps.empty()) {
            planNext();
            continue;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        const std::string command = step.command ? step.command() : std::string();
        if (command.empty()) {
            if (step.done) {
                step.done(true);
            }
            continue;
        }
        try {
            m_session.Inet1.Execute(m_session.Inet1.URL(), command);
            m_inFlight = std::move(step);
        } catch (const std::exception& e) {
            // The component refused the command itself: no later try would do better.
            m_session.bReportErrors = true;
            LogEvent(m_session.state, e.what());
            if (!step.file.empty()) {
                m_steps.clear();
            }
        }
    }
    m_advancing = false;
}

void FtpUploader::onComponentFree() {
    if (m_inFlight && !m_session.Inet1.StillExecuting()) {
        Step step = std::move(*m_inFlight);
        m_inFlight.reset();
        const bool ok = !m_session.Inet1.LastRequestFailed();
        m_advancing = true;  // a box shown here lets events run; nothing may start meanwhile
        if (!ok && m_session.ServerLost()) {
            m_session.bReportErrors = true;
            loseServer(step);
        } else {
            m_outage = m_outage && !ok;
            if (step.done) {
                step.done(ok);
            }
        }
        m_advancing = false;
    }
    advance();
}

// A request lost the server: the round stops, and its files that have not arrived wait
// for the next cycle. The alarm rises once per outage.
void FtpUploader::loseServer(const Step& failed) {
    ProgramState& state = m_session.state;
    std::vector<std::string> html;
    std::vector<std::string> pgn;
    if (!failed.file.empty()) {
        (failed.extension == ".pgn" ? pgn : html).push_back(failed.file);
    }
    for (const Batch& b : m_round->batches) {
        auto& target = b.extension == ".pgn" ? pgn : html;
        target.insert(target.end(), b.names.begin() + static_cast<long>(b.next), b.names.end());
    }
    for (const auto& name : m_pendingHtml) {
        if (!containsNoCase(html, name)) {
            html.push_back(name);
        }
    }
    for (const auto& name : m_pendingPgn) {
        if (!containsNoCase(pgn, name)) {
            pgn.push_back(name);
        }
    }
    m_pendingHtml = std::move(html);
    m_pendingPgn = std::move(pgn);
    m_steps.clear();
    m_inDir.reset();
    m_session.bHandleResponses = true;
    m_session.iFtpOperation = 0;
    LogEvent(state, "The upload stopped: the connection to the server was lost. " +
                        filesText(waiting()) + " for the next upload.");
    m_outage = true;
    m_session.ReportServerLost();
    finishRound();
}

// A refused file waits for the next round, unless its local copy is gone: no later try
// could succeed, and kept, it would be tried and logged at every cycle.
void FtpUploader::fileFailed(const std::string& name, const std::string& extension) {
    std::error_code noFile;
    if (!fs::exists(localPath(name, extension), noFile)) {
        return;
    }
    auto& pending = extension == ".pgn" ? m_pendingPgn : m_pendingHtml;
    if (!containsNoCase(pending, name)) {
        pending.push_back(name);
    }
    LogEvent(m_session.state,
             "Upload of " + name + " failed. It will be retried with the next upload.");
}

void FtpUploader::WaitUntilDone() {
    while (m_round) {
        m_session.Inet1.pump(std::chrono::milliseconds(10));
        m_session.state.ui.processEvents();
        if (m_round && !m_inFlight && !m_session.Inet1.StillExecuting()) {
            advance();  // an operation of the panel ended without a request of ours
        }
    }
}

}  // namespace korvane
