#pragma once
// The converter's runs as the pipeline sees them: the input for a file, the runs of a
// cycle made at once, and each outcome applied: the page moved into the HTML directory
// and queued for upload, or the failure logged with the alarm and the game marked so that
// the processing cycle or the overview page can recover.

#include <string>
#include <vector>

#include "pipeline/ConverterBatch.h"

namespace korvane {

struct Pipeline;

// The converter's log file, written beside the converted file when a conversion fails.
constexpr const char* kConverterLog = "vislog.txt";

// The page name of the overview pgn: its name without the last four characters + ".htm".
std::string OverviewPageName(const std::string& introPgn);

// What the converter gets for path (a temporary copy, an edited pgn or, while the overview
// is made, the overview pgn) holding text and expected to give page: the file name, the
// text, the ini and the page.
ConverterJob ConverterJobFor(const Pipeline& pipeline, const std::string& path,
                             const std::string& text, const std::string& page);

// Runs the converter on every input at once (up to the pipeline's limit), showing each
// input's status text as its run starts, then shows "Checking and copying HTML files".
// Outcomes are in the order of the inputs.
std::vector<ConverterOutcome> RunConversions(Pipeline& pipeline,
                                             const std::vector<ConverterJob>& inputs);

// Applies the outcome of converting path. bPgnError: the converter reported an error in
// the file. bRemove: no page came out of the run; the caller takes the game off the active
// list. Unexpected failures set state.bError and write a log entry.
void ApplyConversion(Pipeline& pipeline, const std::string& path, const ConverterOutcome& outcome,
                     bool& bPgnError, bool& bRemove);

// Reads path, converts it and applies the outcome.
void ProcessPgn(Pipeline& pipeline, const std::string& path, bool& bPgnError, bool& bRemove);

}  // namespace korvane
