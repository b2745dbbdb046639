#include "pipeline/ConverterRun.h"

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "pipeline/DelayedPublishing.h"
#include "pipeline/Pipeline.h"

namespace korvane {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string directoryOf(const std::string& path) {
    const auto sep = path.rfind(kSep);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

// Removes a file if it is there; a file that is not there is no failure.
void removeIfPresent(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::remove(path, ec)) {
        throw std::runtime_error("Could not delete " + path + ": " + ec.message());
    }
}

std::string notCreatedEntry(const std::string& page, const std::string& path) {
    return std::string("The html file ") + page + " was not created." + kCrLf + "If the pgn file " +
           path + " is open in another program like e.g. ChessBase, " +
           "it cannot be processed by Vistrel." + kCrLf +
           "If there's a MS-DOS icon at the bottom of the screen, then click to open " +
           "the DOS window. If it says: \"Cannot Open File\" etc. this is probably the " +
           "problem. You can close the DOS-window " + "by pressing the ESC-key." + kCrLf +
           "The file has been removed from the monitor list.";
}

// Starts the converter with an argument vector (no shell, so blanks in paths are fine)
// and waits for it at most the converter wait. Returns whether the wait timed out; a
// timed-out run is handed to the pipeline's owner of left-over runs.
bool runConverter(Pipeline& pipeline, const std::string& path) {
    ProgramState& state = pipeline.state;
    const Settings& settings = state.settings;
    const std::string& ini =
        state.bMakingOverview ? settings.spubPathIntroIni : settings.spubPathVisIni;

    auto process = std::make_unique<QProcess>();
    // Nobody reads the converter's output or feeds its input: neither may block it.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(q(settings.spubPathVistrel), QStringList{q(path), q(ini), "-x"});
    if (!process->waitForStarted()) {
        throw std::runtime_error("Could not start " + settings.spubPathVistrel + ": " +
                                 process->errorString().toStdString());
    }
    if (process->waitForFinished(state.converterWaitMs) ||
        process->state() == QProcess::NotRunning) {
        return false;
    }
    pipeline.converters.adopt(std::move(process));
    return true;
}

void reportConverterError(Pipeline& pipeline, const std::string& name, const std::string& msg,
                          const std::string& local, bool& bPgnError) {
    ProgramState& state = pipeline.state;
    const std::string head = "Error in " + name + ". The message from Vistrel reads: ";
    if (state.bMakingOverview) {
        LogEvent(state, head + kCrLf + msg + kCrLf +
                            "The html overview page will NOT be uploaded, " +
                            "and this feature has been switched off. Once the error has been "
                            "corrected, " +
                            "the overview page can be switched on again using the "
                            "\"Settings\" dialog.");
        state.ui.raiseAlarm();
        state.settings.bIntroPage = false;
        bPgnError = true;
        removeIfPresent(local);
        state.ui.processEvents();
        return;
    }
    Pgn& game = state.monitorList.Item(name);
    bPgnError = true;
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
        // No alarm: the cycle now tries the bare copy and reports the outcome.
        game.setUseFinal(false);
        LogEvent(state,
                 "There's an error in the edited version of " + name +
                     ". The message from Vistrel reads: " + kCrLf + msg + kCrLf +
                     "Korvane will now process the uncommented version to see if the error is "
                     "in " +
                     "the edited file only, or if it has to do with the last move(s) added.");
    }
}

void publishPage(Pipeline& pipeline, const std::string& name, const std::string& page,
                 const std::string& local) {
    ProgramState& state = pipeline.state;
    state.bError = false;
    CopyOneFile(state, local, WithTrailingSep(state.settings.spubPathHtml) + page);
    // A page that did not reach the HTML directory is not queued: the upload would send
    // an older page or fail. CopyOneFile has reported the failure and set bError.
    if (state.bError) {
        return;
    }
    pipeline.uploads.html.push_back(page);
    if (state.settings.bPgnUpload) {
        if (!pipeline.uploads.pgn) {
            pipeline.uploads.pgn.emplace();
        }
        pipeline.uploads.pgn->push_back(name);
    }
}

void processPgn(Pipeline& pipeline, const std::string& path, bool& bPgnError, bool& bRemove) {
    ProgramState& state = pipeline.state;
    pipeline.converters.reap();

    const std::string name = FileNameOf(path);
    // Under a broadcast delay the converter reads a copy that tells the page so.
    const std::string input = ConverterInput(state, path);
    const std::string dir = directoryOf(input);
    const std::string page = state.bMakingOverview ? OverviewPageName(state.settings.spubIntroPgn)
                                                   : state.monitorList.Item(name).NameHtml;
    const std::string local = dir + page;
    const std::string log = dir + kConverterLog;

    // Whatever an earlier run left in the directory must not pass for this run's result.
    removeIfPresent(log);
    removeIfPresent(local);

    const bool timedOut = runConverter(pipeline, input);

    state.ui.setStatus("Checking and copying HTML files");
    state.ui.processEvents();

    const bool pagePresent = FileCheck(local);
    const bool logPresent = FileCheck(log);
    if (!pagePresent && (timedOut || !logPresent)) {
        // Nothing came out: either the run hangs on a locked input or it ended silently.
        LogEvent(state, notCreatedEntry(page, path));
        bRemove = true;
        state.ui.raiseAlarm();
        state.ui.processEvents();
        return;
    }
    if (logPresent) {
        std::string msg;
        LoadTextFile(state, log, msg);
        reportConverterError(pipeline, name, msg, local, bPgnError);
        if (state.bMakingOverview) {
            return;
        }
    } else {
        publishPage(pipeline, name, page, local);
    }
    removeIfPresent(local);
}

}  // namespace

std::string OverviewPageName(const std::string& introPgn) {
    const std::string base = introPgn.size() >= 4 ? introPgn.substr(0, introPgn.size() - 4) : "";
    return base + ".htm";
}

void ProcessPgn(Pipeline& pipeline, const std::string& path, bool& bPgnError, bool& bRemove) {
    bPgnError = false;
    bRemove = false;
    try {
        processPgn(pipeline, path, bPgnError, bRemove);
    } catch (const std::exception& e) {
        LogEventSingleBreak(pipeline.state, std::string(e.what()) + kCrLf +
                                                "Error processing pgn file with Vistrel. "
                                                "Procedure ProcessPgn.");
        pipeline.state.bError = true;
    }
}

}  // namespace korvane
