#pragma once
// What the monitor window keeps for its processing cycles beside the program-wide state:
// the per-scan lists, how many converter runs go at once, the upload side, the backup
// step's warned flag, the sources whose absence has already been reported and those whose
// last copy the converter rejected.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "core/ProgramState.h"
#include "core/Uploader.h"
#include "pipeline/SourceStamp.h"

namespace korvane {

// Reads a source pgn whole (the copy the cycle takes in); returns the system's error.
using SourceReader = std::function<std::error_code(const std::string& source, std::string& bytes)>;

struct Pipeline {
    explicit Pipeline(ProgramState& programState);

    ProgramState& state;
    // The FTP side; without one (or without a server) nothing is uploaded.
    Uploader* uploader = nullptr;
    // Converter runs at the same time; one per core unless set.
    int converterParallel;
    // How the cycle reads a changed source; tests replace it to rewrite the source mid-copy.
    SourceReader readSource;
    // Sources whose change notification is refused (as on a share without it); tests set it.
    std::function<bool(const std::string& path)> refuseWatch;

    // Per-scan lists. colChangedFiles exists only after a scan that found changes, until
    // the backup step releases it. uploads holds colUploadHtml and colUploadPgn.
    std::optional<std::vector<std::string>> colChangedFiles;
    UploadQueue uploads;

    // The backup step's size warning has been written and not yet followed by a clearing.
    bool bLogWarned = false;
    // The overview pgn could not be written, which the log has said; it says it again only
    // after a successful write, not at every scan while the fault lasts.
    bool overviewSaveReported = false;
    // Keys of games whose missing source has been reported once.
    std::set<std::string> missingSourcesReported;
    // Keys of games whose last copy looked half-written (it did not end as a game ends,
    // or the converter rejected it), with the source's stamp then. A copy taken while the
    // board software was still writing is followed by a change of the source; a source
    // that looks the same again unchanged is taken as it is.
    std::map<std::string, SourceStamp> suspectSources;
    // Keys of games whose temporary copy is one that converted in this session.
    std::set<std::string> convertedCopies;
};

// Marks a processing cycle (or its backup step) as running for as long as it lives, so
// that failed copies and saves are reported in the log, once while they last.
class InCycle {
public:
    explicit InCycle(ProgramState& state) : m_state(state), m_was(state.bInCycle) {
        state.bInCycle = true;
    }
    ~InCycle() { m_state.bInCycle = m_was; }
    InCycle(const InCycle&) = delete;
    InCycle& operator=(const InCycle&) = delete;

private:
    ProgramState& m_state;
    bool m_was;
};

}  // namespace korvane
