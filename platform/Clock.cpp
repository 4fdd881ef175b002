#include "platform/Clock.h"

#include <chrono>

namespace tolvane::platform {

namespace {

class MonotonicClock final : public Clock {
public:
    double now() const override
    {
        using namespace std::chrono;
        const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - m_origin);
        return static_cast<double>(elapsed.count()) / (secondsPerDay * 1000.0);
    }

private:
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::now();
};

} // namespace

Clock& systemClock()
{
    static MonotonicClock clock;
    return clock;
}

} // namespace tolvane::platform
