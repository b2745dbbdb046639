#pragma once
// A clock that stands still until a test moves it, with a fixed, locale-free format.

#include "core/Clock.h"

namespace korvane::test {

class FixedClock : public Clock {
public:
    FixedClock();
    DateTime now() const override { return m_now; }
    // "dd.mm.yyyy hh:mm:ss" in UTC, so expected log texts are easy to write.
    std::string format(DateTime when) const override;
    void advance(std::chrono::seconds by) { m_now += by; }

private:
    DateTime m_now;
};

}  // namespace korvane::test
