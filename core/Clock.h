#pragma once
// The current date and time, and "the system's general date format" used in every log
// entry. Injected so tests can fix both.

#include <chrono>
#include <string>

namespace korvane {

using DateTime = std::chrono::system_clock::time_point;

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
    // Short date and time in the operator's locale.
    virtual std::string format(DateTime when) const = 0;
    std::string nowText() const { return format(now()); }
};

// The real clock: system time, formatted by the system locale.
class SystemClock : public Clock {
public:
    DateTime now() const override;
    std::string format(DateTime when) const override;
};

}  // namespace korvane
