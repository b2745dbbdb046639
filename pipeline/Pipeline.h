#pragma once
// What the monitor window keeps for its processing cycles beside the program-wide state:
// the per-scan lists, the converter runs that outlived their wait, the upload side, the
// backup step's warned flag and the sources whose absence has already been reported.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "core/ProgramState.h"
#include "core/Uploader.h"
#include "pipeline/ConverterProcesses.h"

namespace korvane {

// Copies a source pgn over its temporary copy; reports like CopyOneFile.
using SourceCopier = std::function<std::error_code(ProgramState&, const std::string& source,
                                                   const std::string& target)>;

struct Pipeline {
    explicit Pipeline(ProgramState& programState);

    ProgramState& state;
    // The FTP side; without one (or without a server) nothing is uploaded.
    Uploader* uploader = nullptr;
    // Converter runs that did not end within the wait.
    ConverterProcesses converters;
    // How the cycle copies a changed source; tests replace it to rewrite the source mid-copy.
    SourceCopier copySource;

    // Per-scan lists. colChangedFiles exists only after a scan that found changes, until
    // the backup step releases it. uploads holds colUploadHtml and colUploadPgn.
    std::optional<std::vector<std::string>> colChangedFiles;
    UploadQueue uploads;

    // The backup step's size warning has been written and not yet followed by a clearing.
    bool bLogWarned = false;
    // Keys of games whose missing source has been reported once.
    std::set<std::string> missingSourcesReported;
};

}  // namespace korvane
