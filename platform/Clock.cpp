#include "platform/Clock.h"

#include <cmath>
#include <cstdint>

#include <time.h>

namespace tolvane::platform {

namespace {

// CLOCK_BOOTTIME goes on while the machine is suspended, unlike steady_clock (CLOCK_MONOTONIC on
// Linux): a practice held up by a suspend shows the time that has passed when it wakes, and ends
// if its time is used up.
std::int64_t bootTimeMs()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

class BootTimeClock final : public Clock {
public:
    double now() const override
    {
        return static_cast<double>(bootTimeMs() - m_originMs) / (secondsPerDay * 1000.0);
    }
    std::optional<std::chrono::nanoseconds> bootTimeAt(double days) const override
    {
        return std::chrono::milliseconds(m_originMs + std::llround(days * double(msPerDay)));
    }

private:
    std::int64_t m_originMs = bootTimeMs();
};

} // namespace

Clock& systemClock()
{
    static BootTimeClock clock;
    return clock;
}

} // namespace tolvane::platform
