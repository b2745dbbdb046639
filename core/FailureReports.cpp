#include "core/FailureReports.h"

#include <filesystem>
#include <limits>

namespace korvane {

namespace {

std::string directoryOf(const std::string& file) {
    return std::filesystem::path(file).parent_path().string();
}

}  // namespace

bool FailureReports::failed(const std::string& file, int error) {
    std::set<std::string>& files = m_open[{directoryOf(file), error}];
    const bool news = files.empty();
    files.insert(file);
    return news;
}

std::string FailureReports::succeeded(const std::string& file) {
    const std::string dir = directoryOf(file);
    std::string recovered;
    for (auto it = m_open.lower_bound({dir, std::numeric_limits<int>::min()});
         it != m_open.end() && it->first.first == dir;) {
        if (it->second.erase(file) > 0 && it->second.empty()) {
            recovered = dir;
            it = m_open.erase(it);
        } else {
            ++it;
        }
    }
    return recovered;
}

}  // namespace korvane
