#pragma once
// Runs the converter on several PGN texts at once. Each run gets a directory of its own
// (the converter writes its page and its log beside the file it converts), so a run can
// never take another run's page or log for its own. A run that outlives the wait is
// killed together with everything it started and collected before the batch returns, so
// no converter is left behind; a run stuck for long leaves its place to the next, so that
// stuck runs cost one wait together. What each run produced is checked: only a complete HTML
// page counts as a page.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvane {

// One file to convert: its text, the file name the converter sees, the ini file to use
// and the name of the page the converter is expected to write.
struct ConverterJob {
    std::string fileName;
    std::string text;
    std::string ini;
    std::string pageName;
    // What the status line says while this run goes; empty leaves it as it is.
    std::string status;
};

struct ConverterOutcome {
    enum class Kind {
        Page,        // a complete HTML page
        Rejected,    // the converter wrote its log: message holds it
        TimedOut,    // still running at the end of the wait; killed
        Crashed,     // ended by a signal (signal holds it)
        FailedExit,  // a non-zero exit code without a log
        NoPage,      // ended normally without page or log
        EmptyPage,   // the page is empty
        BadPage,     // the page is not complete HTML
        NotStarted,  // the converter could not be started (message holds why)
    };
    Kind kind = Kind::NotStarted;
    std::string page;     // the page's bytes (Page)
    std::string message;  // the converter's log (Rejected) or why it did not start
    int exitCode = 0;
    int signal = 0;

    bool isPage() const { return kind == Kind::Page; }
};

struct ConverterBatch {
    std::string program;  // the converter's path
    std::string workDir;  // where the runs' own directories are made
    int waitMs = 15000;   // longest wait for one run, counted from its start
    int parallel = 1;     // runs at the same time (a run stuck for long leaves its place)
    // Told the index of each input whose run has just started, in the order of the inputs.
    std::function<void(std::size_t index)> started;
};

// Whether bytes are a complete HTML page: an html start (after an optional doctype) and
// an "</html>" end, letter case and surrounding white space aside.
bool IsCompleteHtml(const std::string& bytes);

// Converts every input; the outcomes are in the order of the inputs.
std::vector<ConverterOutcome> RunConverters(const ConverterBatch& batch,
                                            const std::vector<ConverterJob>& inputs);

// The number of runs to have going at once: one per processor core.
int DefaultConverterParallel();

}  // namespace korvane
