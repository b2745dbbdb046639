#include "pipeline/ConverterRun.h"

#include <string.h>

#include <algorithm>
#include <stdexcept>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

using Kind = ConverterOutcome::Kind;

std::string directoryOf(const std::string& path) {
    const auto sep = path.rfind(kSep);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string pageNameFor(ProgramState& state, const std::string& path) {
    return state.bMakingOverview ? OverviewPageName(state.settings.spubIntroPgn)
                                 : state.monitorList.Item(FileNameOf(path)).NameHtml;
}

std::string secondsText(int ms) {
    const int seconds = std::max((ms + 500) / 1000, 1);
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

// Why no page came out of a run, as the operator can act on it here.
std::string failureReason(const ProgramState& state, const ConverterOutcome& outcome,
                          const std::string& path) {
    switch (outcome.kind) {
        case Kind::TimedOut:
            return "Vistrel had not finished converting " + path + " after " +
                   secondsText(state.converterWaitMs) +
                   " and has been stopped. A pgn file that cannot be read to its end "
                   "(on a network drive that no longer answers, for example) can cause this.";
        case Kind::Crashed:
            return "Vistrel crashed while converting " + path + " (signal " +
                   std::to_string(outcome.signal) + ", " + ::strsignal(outcome.signal) +
                   "). Keep a copy of the pgn file: it shows what made the converter fail.";
        case Kind::FailedExit:
            return "Vistrel ended with exit code " + std::to_string(outcome.exitCode) +
                   " while converting " + path +
                   " and left no message. Run the converter on the file in a terminal to see "
                   "what it reports.";
        case Kind::EmptyPage:
            return "Vistrel wrote an empty page for " + path + ".";
        case Kind::BadPage:
            return "Vistrel wrote a page for " + path +
                   " that is not complete HTML, so it has not been published.";
        default:
            return "Vistrel ended without writing the page or a message for " + path + ".";
    }
}

std::string notCreatedEntry(const std::string& page, const std::string& reason) {
    return std::string("The html file ") + page + " was not created." + kCrLf + reason + kCrLf +
           "The file has been removed from the monitor list.";
}

void reportConverterError(Pipeline& pipeline, const std::string& name, const std::string& msg,
                          bool& bPgnError) {
    ProgramState& state = pipeline.state;
    const std::string head = "Error in " + name + ". The message from Vistrel reads: ";
    bPgnError = true;
    if (state.bMakingOverview) {
        LogEvent(state, head + kCrLf + msg + kCrLf +
                            "The html overview page will NOT be uploaded, " +
                            "and this feature has been switched off. Once the error has been "
                            "corrected, " +
                            "the overview page can be switched on again using the "
                            "\"Settings\" dialog.");
        state.ui.raiseAlarm();
        state.settings.bIntroPage = false;
        state.ui.processEvents();
        return;
    }
    Pgn& game = state.monitorList.Item(name);
    if (!game.bUseFinal()) {
        LogEvent(state, head + kCrLf + msg + kCrLf +
                            "The Html and Pgn files will NOT be uploaded, " +
                            "and the pgn file has been removed from the monitor list. Once the " +
                            "file has been repaired, you can put it back on the monitor list by " +
                            "selecting the filename on the list and click \"Activate\"");
        state.ui.raiseAlarm();
        game.bSleep = true;
        state.ui.processEvents();
    } else {
        // No alarm: the cycle now looks at the bare copy and reports the outcome.
        game.setUseFinal(false);
        LogEvent(state,
                 "There's an error in the edited version of " + name +
                     ". The message from Vistrel reads: " + kCrLf + msg + kCrLf +
                     "Korvane will now process the uncommented version to see if the error is "
                     "in " +
                     "the edited file only, or if it has to do with the last move(s) added.");
    }
}

void publishPage(Pipeline& pipeline, const std::string& path, const std::string& page,
                 const std::string& bytes) {
    ProgramState& state = pipeline.state;
    state.bError = false;
    WriteCopy(state, directoryOf(path) + page, bytes,
              WithTrailingSep(state.settings.spubPathHtml) + page);
    // A page that did not reach the HTML directory is not queued: the upload would send
    // an older page or fail. The copy has reported the failure and set bError.
    if (state.bError) {
        return;
    }
    pipeline.uploads.html.push_back(page);
    if (state.settings.bPgnUpload) {
        if (!pipeline.uploads.pgn) {
            pipeline.uploads.pgn.emplace();
        }
        pipeline.uploads.pgn->push_back(FileNameOf(path));
    }
}

void applyConversion(Pipeline& pipeline, const std::string& path, const ConverterOutcome& outcome,
                     bool& bPgnError, bool& bRemove) {
    ProgramState& state = pipeline.state;
    const std::string page = pageNameFor(state, path);
    switch (outcome.kind) {
        case Kind::Page:
            publishPage(pipeline, path, page, outcome.page);
            return;
        case Kind::Rejected:
            reportConverterError(pipeline, FileNameOf(path), outcome.message, bPgnError);
            return;
        case Kind::NotStarted:
            throw std::runtime_error(outcome.message);
        default:
            LogEvent(state, notCreatedEntry(page, failureReason(state, outcome, path)));
            bRemove = true;
            state.ui.raiseAlarm();
            state.ui.processEvents();
            return;
    }
}

}  // namespace

std::string OverviewPageName(const std::string& introPgn) {
    const std::string base = introPgn.size() >= 4 ? introPgn.substr(0, introPgn.size() - 4) : "";
    return base + ".htm";
}

ConverterJob ConverterJobFor(const Pipeline& pipeline, const std::string& path,
                             const std::string& text, const std::string& page) {
    const ProgramState& state = pipeline.state;
    const Settings& settings = state.settings;
    ConverterJob input;
    input.fileName = FileNameOf(path);
    // Under a broadcast delay the converter reads a copy that tells the page so.
    input.text = DelayNoted(state, text);
    input.ini = state.bMakingOverview ? settings.spubPathIntroIni : settings.spubPathVisIni;
    input.pageName = page;
    return input;
}

std::vector<ConverterOutcome> RunConversions(Pipeline& pipeline,
                                             const std::vector<ConverterJob>& inputs) {
    ProgramState& state = pipeline.state;
    ConverterBatch batch;
    batch.program = state.settings.spubPathVistrel;
    batch.workDir = state.tempDir;
    batch.waitMs = state.converterWaitMs;
    batch.parallel = pipeline.converterParallel;
    batch.started = [&](std::size_t index) {
        if (!inputs[index].status.empty()) {
            state.ui.setStatus(inputs[index].status);
            state.ui.processEvents();
        }
    };
    std::vector<ConverterOutcome> outcomes = RunConverters(batch, inputs);
    state.ui.setStatus("Checking and copying HTML files");
    state.ui.processEvents();
    return outcomes;
}

void ApplyConversion(Pipeline& pipeline, const std::string& path, const ConverterOutcome& outcome,
                     bool& bPgnError, bool& bRemove) {
    bPgnError = false;
    bRemove = false;
    try {
        applyConversion(pipeline, path, outcome, bPgnError, bRemove);
    } catch (const std::exception& e) {
        LogEventSingleBreak(pipeline.state, std::string(e.what()) + kCrLf +
                                                "Error processing pgn file with Vistrel. "
                                                "Procedure ProcessPgn.");
        pipeline.state.bError = true;
    }
}

void ProcessPgn(Pipeline& pipeline, const std::string& path, bool& bPgnError, bool& bRemove) {
    bPgnError = false;
    bRemove = false;
    std::string text;
    if (const std::error_code error = ReadWholeFile(path, text)) {
        LogEventSingleBreak(pipeline.state, "Could not read " + path + ": " + error.message() +
                                                kCrLf +
                                                "Error processing pgn file with Vistrel. "
                                                "Procedure ProcessPgn.");
        pipeline.state.bError = true;
        return;
    }
    ConverterOutcome outcome;
    try {
        const ConverterJob input =
            ConverterJobFor(pipeline, path, text, pageNameFor(pipeline.state, path));
        outcome = RunConversions(pipeline, {input}).front();
    } catch (const std::exception& e) {
        outcome.kind = ConverterOutcome::Kind::NotStarted;
        outcome.message = e.what();
    }
    ApplyConversion(pipeline, path, outcome, bPgnError, bRemove);
}

}  // namespace korvane
