#pragma once
// One run of the converter: turns a PGN file into its HTML page, waits a bounded time,
// checks what came out, moves the page into the HTML directory and queues it for upload.

#include <string>

namespace korvane {

struct Pipeline;

// The converter's log file, written beside the converted file when a conversion fails.
constexpr const char* kConverterLog = "vislog.txt";

// The page name of the overview pgn: its name without the last four characters + ".htm".
std::string OverviewPageName(const std::string& introPgn);

// Runs the converter on path. bPgnError: the converter reported an error in the file.
// bRemove: no page came out of the run; the caller takes the game off the active list.
// Unexpected failures set state.bError and write a log entry.
void ProcessPgn(Pipeline& pipeline, const std::string& path, bool& bPgnError, bool& bRemove);

}  // namespace korvane
