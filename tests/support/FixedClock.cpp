#include "support/FixedClock.h"

#include <ctime>

namespace korvane::test {

FixedClock::FixedClock() {
    // 6 December 2026, 14:30:00 UTC
    m_now = DateTime(std::chrono::seconds(1796567400));
}

std::string FixedClock::format(DateTime when) const {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d.%m.%Y %H:%M:%S", &tm);
    return buffer;
}

}  // namespace korvane::test
