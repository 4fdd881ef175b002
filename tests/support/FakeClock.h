#pragma once

#include "platform/Clock.h"

#include <cmath>

namespace tolvane::test {

// A clock that moves only when told, in whole milliseconds like the real one.
class FakeClock final : public platform::Clock {
public:
    double now() const override { return m_ms / (platform::secondsPerDay * 1000.0); }
    void advanceMs(long long ms) { m_ms += ms; }
    void advanceSeconds(double seconds) { m_ms += std::llround(seconds * 1000.0); }
    long long elapsedMs() const { return m_ms; }

private:
    long long m_ms = 5 * 3600 * 1000; // any origin will do; not zero so no test relies on it
};

} // namespace tolvane::test
