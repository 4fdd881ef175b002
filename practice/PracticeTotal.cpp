#include "practice/PracticeTotal.h"

#include "platform/Clock.h"

#include <algorithm>

namespace tolvane {

using platform::msPerDay;
using platform::msPerSecond;
using platform::secondsPerDay;

std::optional<int> practiceSeconds(std::int64_t rounds, std::int64_t roundSeconds, bool delay)
{
    if (rounds < 0 || roundSeconds < 0)
        return std::nullopt;
    // Checked before multiplying, so that no product of stored values can overflow.
    if (roundSeconds > 0 && rounds > secondsPerDay / roundSeconds)
        return std::nullopt;
    const std::int64_t total = rounds * roundSeconds + (delay ? delaySeconds : 0);
    if (total >= secondsPerDay)
        return std::nullopt;
    return static_cast<int>(total);
}

KevaliPlan kevaliPlan(std::int64_t practiceMinutes, std::int64_t startBreath, bool delay)
{
    const std::int64_t delayed = delay ? delaySeconds : 0;
    const std::int64_t firstBreath = std::max<std::int64_t>(startBreath, 0);
    std::int64_t blocks = 0;
    std::int64_t breath = firstBreath;
    while (blocks + delayed <= practiceMinutes * 60) {
        blocks += 2 * roundsPerKevaliBlock * breath; // a breath in and a breath out each round
        ++breath;
    }
    return {blocks + delayed, breath - 1, roundsPerKevaliBlock * (breath - firstBreath)};
}

bool kevaliBlockPassed(std::int32_t roundsBegunAtLength)
{
    return roundsBegunAtLength > roundsPerKevaliBlock;
}

double secondsAsDays(int seconds)
{
    // Whole milliseconds over the day, so that 700 s gives the very bytes of the default.
    return double(seconds * msPerSecond) / double(msPerDay);
}

} // namespace tolvane
