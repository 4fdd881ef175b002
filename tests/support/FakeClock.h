#pragma once

#include "platform/Clock.h"

#include <cmath>

namespace tolvane::test {

// A clock that moves only when told, in whole milliseconds like the real one.
class FakeClock final : public platform::Clock {
public:
    double now() const override
    {
        const long long shown = m_us / 1000;
        m_us += m_creepUs;
        return double(shown) / (platform::secondsPerDay * 1000.0);
    }
    void advanceMs(long long ms) { m_us += ms * 1000; }
    void advanceSeconds(double seconds) { m_us += std::llround(seconds * 1000.0) * 1000; }
    void advanceUs(long long us) { m_us += us; }
    long long elapsedMs() const { return m_us / 1000; }
    long long elapsedUs() const { return m_us; }
    // Moves the clock on at every read, as the real one moves while a handler runs.
    void creepPerRead(long long microseconds) { m_creepUs = microseconds; }

private:
    mutable long long m_us = 5LL * 3600 * 1000 * 1000; // not zero so no test relies on it
    long long m_creepUs = 0;
};

} // namespace tolvane::test
