#pragma once

namespace tolvane::platform {

// The practice clock's time source, in days (one second is 1/86400), at millisecond resolution.
// It never goes back, does not wrap at midnight and counts the time the machine is suspended, so a
// practice keeps its time across all three.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

// A clock that counts from the start of the process on the system's boot-time clock.
Clock& systemClock();

inline constexpr double secondsPerDay = 86400.0;
inline constexpr double oneSecond = 1.0 / secondsPerDay;

} // namespace tolvane::platform
