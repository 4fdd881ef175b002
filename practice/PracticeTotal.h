#pragma once

#include <cstdint>
#include <optional>

namespace tolvane {

// The delay before the first round of a practice.
inline constexpr int delaySeconds = 30;
// The rounds of a Kevali practice that breathe at one length.
inline constexpr int roundsPerKevaliBlock = 10;

// The length of a Pranayama practice: rounds × round time, plus the delay when it is on. Empty
// unless the result is a time of day (0 to under 24 hours), which is all the settings can hold;
// negative rounds or round times give no practice either.
std::optional<int> practiceSeconds(std::int64_t rounds, std::int64_t roundSeconds, bool delay);

// A Kevali practice: whole blocks of ten rounds until the time of practice is passed; the breath
// of each block is one second longer than the one before. Counted in 64 bits; a negative initial
// length counts as 0, so no stored value makes the count overflow or run on for long.
struct KevaliPlan {
    std::int64_t seconds = 0;    // the whole practice, the delay included
    std::int64_t lastBreath = 0; // the breath of the last block, seconds
    std::int64_t rounds = 0;     // in all the blocks
};
KevaliPlan kevaliPlan(std::int64_t practiceMinutes, std::int64_t startBreath, bool delay);

// A Kevali round that begins past the end of a block begins the next block, one second longer:
// the count of rounds begun at one length has passed the block.
bool kevaliBlockPassed(std::int32_t roundsBegunAtLength);

// Whole seconds as a date-time value (days), encoded as a time of day is.
double secondsAsDays(int seconds);

} // namespace tolvane
