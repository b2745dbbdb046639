#pragma once
// Owner of the converter runs that did not end within the wait. Such a run is left running
// (the operator may still close it, or it may finish late), but it must not become a
// zombie: every reap() collects the runs that have ended, and the destructor ends and
// collects the rest when Korvane exits.

#include <memory>
#include <vector>

class QProcess;

namespace korvane {

class ConverterProcesses {
public:
    ConverterProcesses();
    ~ConverterProcesses();
    ConverterProcesses(const ConverterProcesses&) = delete;
    ConverterProcesses& operator=(const ConverterProcesses&) = delete;

    // Takes over a run that is still going.
    void adopt(std::unique_ptr<QProcess> process);
    // Collects every adopted run that has ended; returns how many are still running.
    std::size_t reap();
    std::size_t count() const { return m_running.size(); }

private:
    std::vector<std::unique_ptr<QProcess>> m_running;
};

}  // namespace korvane
