#include "pipeline/ConverterProcesses.h"

#include <QProcess>
#include <algorithm>

namespace korvane {

namespace {

// How long exit waits for a killed converter to be collected.
constexpr int kKillWaitMs = 2000;

}  // namespace

ConverterProcesses::ConverterProcesses() = default;

ConverterProcesses::~ConverterProcesses() {
    for (auto& process : m_running) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(kKillWaitMs);
        }
    }
}

void ConverterProcesses::adopt(std::unique_ptr<QProcess> process) {
    m_running.push_back(std::move(process));
}

std::size_t ConverterProcesses::reap() {
    // A zero wait lets QProcess notice an ended child and collect it without blocking.
    std::erase_if(m_running, [](const std::unique_ptr<QProcess>& process) {
        if (process->state() != QProcess::NotRunning) {
            process->waitForFinished(0);
        }
        return process->state() == QProcess::NotRunning;
    });
    return m_running.size();
}

}  // namespace korvane
