#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tolvane::platform {

// The practice clock's time source, in days (one second is 1/86400), at millisecond resolution.
// It never goes back, does not wrap at midnight and counts the time the machine is suspended, so a
// practice keeps its time across all three.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    // Where a reading falls on the system's boot-time clock, for a clock that runs on it.
    virtual std::optional<std::chrono::nanoseconds> bootTimeAt(double /*days*/) const
    {
        return std::nullopt;
    }
};

// A clock that counts from the start of the process on the system's boot-time clock.
Clock& systemClock();

// The units of a date-time value, defined here once for every layer.
inline constexpr std::int64_t msPerSecond = 1000;
inline constexpr std::int64_t secondsPerDay = 86'400;
inline constexpr std::int64_t msPerDay = secondsPerDay * msPerSecond;
inline constexpr double oneSecond = 1.0 / secondsPerDay;

} // namespace tolvane::platform
