#pragma once
// A clock that stands still until a test moves it, with a fixed, locale-free format.

#include <ctime>

#include "core/Clock.h"

namespace korvane::test {

class FixedClock : public Clock {
public:
    DateTime now() const override { return m_now; }
    // "dd.mm.yyyy hh:mm:ss" in UTC, so expected log texts are easy to write.
    std::string format(DateTime when) const override {
        const std::time_t t = std::chrono::system_clock::to_time_t(when);
        std::tm tm{};
        char text[32];
        std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", gmtime_r(&t, &tm));
        return text;
    }
    void advance(std::chrono::seconds by) { m_now += by; }

private:
    DateTime m_now{std::chrono::seconds(1796567400)};  // 6 December 2026, 14:30:00 UTC
};

}  // namespace korvane::test
