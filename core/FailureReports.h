#pragma once
// Failures to write a file that have been reported and have not been followed by a success
// yet. A directory that turns read-only or full makes every file written into it fail the
// same way at every cycle; the operator is told once, with the reason, and told again when
// writing there works again, instead of reading one entry per file per cycle.

#include <map>
#include <set>
#include <string>
#include <utility>

namespace korvane {

class FailureReports {
public:
    // Notes that writing (or reading) file failed with the system error; returns whether
    // this is news: no failure with the same error in the same directory is outstanding.
    bool failed(const std::string& file, int error);
    // Notes that file was written; returns the directory whose outstanding failures this
    // success ends (the last file that had failed there), or an empty string.
    std::string succeeded(const std::string& file);
    bool empty() const { return m_open.empty(); }

private:
    // (directory, error) -> the files that failed so and have not succeeded since.
    std::map<std::pair<std::string, int>, std::set<std::string>> m_open;
};

}  // namespace korvane
