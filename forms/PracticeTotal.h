#pragma once

#include <cstdint>
#include <optional>

namespace tolvane {

// The delay before the first round of a Pranayama practice.
inline constexpr int delaySeconds = 30;

// The length of a Pranayama practice: rounds × round time, plus the delay when it is on. Empty
// unless the result is a time of day (0 to under 24 hours), which is all the settings can hold;
// negative rounds or round times give no practice either.
std::optional<int> practiceSeconds(std::int64_t rounds, std::int64_t roundSeconds, bool delay);

// Whole seconds as a date-time value (days), encoded as a time of day is.
double secondsAsDays(int seconds);

} // namespace tolvane
