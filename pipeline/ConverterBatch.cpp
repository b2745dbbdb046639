#include "pipeline/ConverterBatch.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/FileUtils.h"

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// The converter's log file, written beside the converted file when a conversion fails.
constexpr const char* kLogName = "vislog.txt";
// How long a killed run may take to be collected.
constexpr int kKillWaitMs = 2000;
// How long one look at a running converter blocks while others may be waiting.
constexpr int kPollMs = 5;
// A conversion takes a fraction of a second. A run that has gone on for longer than this
// is most likely stuck (on a file it cannot read, say) and no longer holds its place: the
// next run starts beside it, so that stuck runs cost one wait together, not one each.
constexpr int kSlotMs = 250;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

bool readBytes(const std::string& path, std::string& bytes) {
    return !ReadWholeFile(path, bytes);
}

bool writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

std::string lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// One converter run in its own directory.
struct Run {
    std::size_t index = 0;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QProcess> process;
    Clock::time_point started;
    Clock::time_point deadline;

    std::string file(const std::string& name) const {
        return dir->path().toStdString() + "/" + name;
    }
};

ConverterOutcome notStarted(const std::string& why) {
    ConverterOutcome outcome;
    outcome.kind = ConverterOutcome::Kind::NotStarted;
    outcome.message = why;
    return outcome;
}

// Starts the converter on one input; on failure the outcome says why.
std::unique_ptr<Run> start(const ConverterBatch& batch, const ConverterJob& input,
                           ConverterOutcome& failure) {
    auto run = std::make_unique<Run>();
    const std::string base = batch.workDir.empty() ? QDir::tempPath().toStdString() : batch.workDir;
    run->dir = std::make_unique<QTemporaryDir>(q(base + "/vistrel-run-XXXXXX"));
    if (!run->dir->isValid()) {
        failure = notStarted("Could not create a directory for the converter in " + base + ": " +
                             run->dir->errorString().toStdString());
        return nullptr;
    }
    const std::string path = run->file(input.fileName);
    if (!writeBytes(path, input.text)) {
        failure = notStarted("Could not write " + path);
        return nullptr;
    }
    run->process = std::make_unique<QProcess>();
    QProcess& process = *run->process;
    // Nobody reads the converter's output or feeds its input: neither may block it.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // A group of its own, so that a time-out ends whatever the converter started too.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start(q(batch.program), QStringList{q(path), q(input.ini), "-x"});
    if (!process.waitForStarted()) {
        failure = notStarted("Could not start " + batch.program + ": " +
                             process.errorString().toStdString());
        return nullptr;
    }
    run->started = Clock::now();
    run->deadline = run->started + std::chrono::milliseconds(batch.waitMs);
    return run;
}

void killGroup(QProcess& process) {
    const qint64 pid = process.processId();
    if (pid > 0) {
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    }
    process.kill();
    process.waitForFinished(kKillWaitMs);
}

// What the run left in its directory, checked.
ConverterOutcome pageOutcome(const Run& run, const ConverterJob& input) {
    ConverterOutcome outcome;
    std::string page;
    if (!readBytes(run.file(input.pageName), page)) {
        outcome.kind = ConverterOutcome::Kind::NoPage;
    } else if (page.empty()) {
        outcome.kind = ConverterOutcome::Kind::EmptyPage;
    } else if (!IsCompleteHtml(page)) {
        outcome.kind = ConverterOutcome::Kind::BadPage;
    } else {
        outcome.kind = ConverterOutcome::Kind::Page;
        outcome.page = std::move(page);
    }
    return outcome;
}

ConverterOutcome finishedOutcome(const Run& run, const ConverterJob& input) {
    const QProcess& process = *run.process;
    ConverterOutcome outcome;
    std::string log;
    if (process.exitStatus() == QProcess::CrashExit) {
        outcome.kind = ConverterOutcome::Kind::Crashed;
        // For a run ended by a signal, QProcess gives the signal's number as exit code.
        outcome.signal = process.exitCode();
    } else if (readBytes(run.file(kLogName), log)) {
        outcome.kind = ConverterOutcome::Kind::Rejected;
        outcome.message = std::move(log);
    } else if (process.exitCode() != 0) {
        outcome.kind = ConverterOutcome::Kind::FailedExit;
        outcome.exitCode = process.exitCode();
    } else {
        outcome = pageOutcome(run, input);
    }
    return outcome;
}

// A run still going at its deadline is killed; a complete page it wrote before is taken.
ConverterOutcome timedOutOutcome(Run& run, const ConverterJob& input) {
    killGroup(*run.process);
    ConverterOutcome outcome = pageOutcome(run, input);
    if (!outcome.isPage()) {
        outcome = ConverterOutcome();
        outcome.kind = ConverterOutcome::Kind::TimedOut;
    }
    return outcome;
}

// Collects the runs that ended or ran out of time.
void collect(std::vector<std::unique_ptr<Run>>& running, const std::vector<ConverterJob>& inputs,
             std::vector<ConverterOutcome>& outcomes) {
    std::erase_if(running, [&](std::unique_ptr<Run>& run) {
        const ConverterJob& input = inputs[run->index];
        if (run->process->state() == QProcess::NotRunning || run->process->waitForFinished(0)) {
            outcomes[run->index] = finishedOutcome(*run, input);
            return true;
        }
        if (Clock::now() >= run->deadline) {
            outcomes[run->index] = timedOutOutcome(*run, input);
            return true;
        }
        return false;
    });
}

// The runs that still hold a place among the runs going at once.
std::size_t holdingPlaces(const std::vector<std::unique_ptr<Run>>& running, int waitMs) {
    const auto slot = std::chrono::milliseconds(std::min(kSlotMs, waitMs / 2));
    const Clock::time_point now = Clock::now();
    return static_cast<std::size_t>(
        std::count_if(running.begin(), running.end(),
                      [&](const std::unique_ptr<Run>& run) { return now - run->started < slot; }));
}

}  // namespace

bool IsCompleteHtml(const std::string& bytes) {
    std::size_t first = 0;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        first = 3;
    }
    first = bytes.find_first_not_of(" \t\r\n", first);
    std::size_t last = bytes.find_last_not_of(" \t\r\n");
    if (first == std::string::npos || last == std::string::npos) {
        return false;
    }
    const std::string head = lowered(bytes.substr(first, 15));
    const bool starts = head.rfind("<!doctype html", 0) == 0 || head.rfind("<html", 0) == 0;
    const std::string end = "</html>";
    const bool ends =
        last + 1 >= end.size() && lowered(bytes.substr(last + 1 - end.size(), end.size())) == end;
    return starts && ends;
}

std::vector<ConverterOutcome> RunConverters(const ConverterBatch& batch,
                                            const std::vector<ConverterJob>& inputs) {
    std::vector<ConverterOutcome> outcomes(inputs.size());
    std::deque<std::size_t> waiting;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        waiting.push_back(i);
    }
    const std::size_t parallel = static_cast<std::size_t>(std::max(batch.parallel, 1));
    std::vector<std::unique_ptr<Run>> running;
    while (!waiting.empty() || !running.empty()) {
        while (!waiting.empty() && holdingPlaces(running, batch.waitMs) < parallel) {
            const std::size_t index = waiting.front();
            waiting.pop_front();
            std::unique_ptr<Run> run = start(batch, inputs[index], outcomes[index]);
            if (run) {
                run->index = index;
                running.push_back(std::move(run));
                if (batch.started) {
                    batch.started(index);
                }
            }
        }
        if (!running.empty()) {
            // Blocks briefly on one run, so the loop neither spins nor adds real latency.
            running.front()->process->waitForFinished(kPollMs);
        }
        collect(running, inputs, outcomes);
    }
    return outcomes;
}

int DefaultConverterParallel() {
    return std::max(QThread::idealThreadCount(), 1);
}

}  // namespace korvane
