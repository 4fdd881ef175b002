#include "practice/Progression.h"

#include <limits>

namespace tolvane {

namespace {

// Neither breath is shortened below this many seconds.
constexpr std::int32_t shortestBreath = 4;

// Whether part / inhale (truncated) is still below the proportion. An inhalation of 0 has no
// proportion to catch up with: every other phase counts as far enough, so the inhalation itself
// grows first.
bool belowProportion(std::int32_t part, std::int32_t inhale, std::int64_t proportion)
{
    return inhale != 0 && std::int64_t{part} / inhale < proportion;
}

void lengthenTowardsOneFourTwoTwo(Progression& p)
{
    Durations& d = p.durations;
    if (belowProportion(d.exhale, d.inhale, 2))
        ++d.exhale;
    else if (belowProportion(d.checkOne, d.inhale, 4) && p.holdAfterInhaling)
        ++d.checkOne;
    else if (belowProportion(d.checkTwo, d.inhale, 2) && p.holdAfterExhaling)
        ++d.checkTwo;
    else
        ++d.inhale;
}

void lengthenTowardsEqual(Progression& p)
{
    Durations& d = p.durations;
    if (d.exhale < d.inhale)
        ++d.exhale;
    else if (d.checkOne < d.inhale && p.holdAfterInhaling)
        ++d.checkOne;
    else if (d.checkTwo < d.inhale && p.holdAfterExhaling)
        ++d.checkTwo;
    else
        ++d.inhale;
}

void countEasyPractice(Progression& p)
{
    // A count at its largest value stays there instead of overflowing.
    if (p.easyCount == std::numeric_limits<std::int32_t>::max())
        return;
    ++p.easyCount;
    if (p.easyCount != p.period)
        return;
    p.easyCount = 0;
    if (p.increment.testFlag(Lengthening::TowardsOneFourTwoTwo))
        lengthenTowardsOneFourTwoTwo(p);
    if (p.increment.testFlag(Lengthening::TowardsEqual))
        lengthenTowardsEqual(p);
}

// The holds go first, the one after exhaling before the one after inhaling.
void shortenFirstPhase(Progression& p)
{
    Durations& d = p.durations;
    p.easyCount = 0;
    if (p.holdAfterExhaling && d.checkTwo > 0)
        --d.checkTwo;
    else if (p.holdAfterInhaling && d.checkOne > 0)
        --d.checkOne;
    else if (d.exhale > shortestBreath)
        --d.exhale;
    else if (d.inhale > shortestBreath)
        --d.inhale;
}

void shortenEveryPhase(Progression& p)
{
    Durations& d = p.durations;
    p.easyCount = 0;
    if (p.holdAfterExhaling && d.checkTwo > 0)
        --d.checkTwo;
    if (p.holdAfterInhaling && d.checkOne > 0)
        --d.checkOne;
    if (d.exhale > shortestBreath)
        --d.exhale;
    if (d.inhale > shortestBreath)
        --d.inhale;
}

} // namespace

std::optional<Ratio> ratioOf(bool modeOne, bool modeTwo)
{
    if (modeOne)
        return modeTwo ? Ratio::OneOneOneOne : Ratio::OneFourTwoTwo;
    return modeTwo ? std::nullopt : std::optional(Ratio::Free);
}

Increment incrementOf(bool autoOne, bool autoTwo)
{
    Increment increment;
    increment.setFlag(Lengthening::TowardsOneFourTwoTwo, autoOne);
    increment.setFlag(Lengthening::TowardsEqual, autoTwo);
    return increment;
}

std::int64_t roundSeconds(const Durations& d)
{
    return std::int64_t{d.inhale} + d.checkOne + d.exhale + d.checkTwo;
}

void applyRating(Progression& progression, Rating rating)
{
    switch (rating) {
    case Rating::Easy:
        countEasyPractice(progression);
        break;
    case Rating::SlightlyDifficult:
        shortenFirstPhase(progression);
        break;
    case Rating::Difficult:
        shortenEveryPhase(progression);
        break;
    }
}

} // namespace tolvane
