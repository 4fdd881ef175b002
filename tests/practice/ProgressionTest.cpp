#include "practice/Progression.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tolvane;

namespace {

// By default as stored: 5, 20, 10, 0 with the hold after inhaling, seven easy practices a second.
Progression progression(Increment increment, Durations durations = {5, 20, 10, 0}, int period = 7)
{
    return {durations, true, false, 0, period, increment};
}

void rate(Progression& p, Rating rating, int times = 1)
{
    while (times-- > 0)
        applyRating(p, rating);
}

TEST(Progression, EqualRatioWithTwoHoldsLengthensInTurn)
{
    Progression p = progression(Lengthening::TowardsEqual, {5, 5, 5, 5}, 1);
    p.holdAfterExhaling = true;
    const Durations order[] = {
        {6, 5, 5, 5}, {6, 5, 6, 5}, {6, 6, 6, 5}, {6, 6, 6, 6}, {7, 6, 6, 6}};
    for (const Durations& expected : order) {
        rate(p, Rating::Easy);
        EXPECT_EQ(p.durations, expected);
    }
}

TEST(Progression, WithoutHoldsTheBreathsGrowByTheirProportion)
{
    Progression p = progression(Lengthening::TowardsOneFourTwoTwo, {4, 0, 4, 0}, 1);
    p.holdAfterInhaling = false;
    rate(p, Rating::Easy, 4);
    EXPECT_EQ(p.durations, (Durations{4, 0, 8, 0}));
    rate(p, Rating::Easy);
    EXPECT_EQ(p.durations, (Durations{5, 0, 8, 0}));

    p.increment = Lengthening::TowardsEqual;
    p.durations = {4, 0, 4, 0};
    rate(p, Rating::Easy, 4);
    EXPECT_EQ(p.durations, (Durations{6, 0, 6, 0}));
}

TEST(Progression, TheCountFiresOnlyOnExactEquality)
{
    Progression p = progression(Lengthening::TowardsOneFourTwoTwo);
    rate(p, Rating::Easy, 8);
    EXPECT_EQ(p.easyCount, 1);
    EXPECT_EQ(p.durations, (Durations{6, 20, 10, 0}));

    p.easyCount = 9; // already past the period
    rate(p, Rating::Easy, 20);
    EXPECT_EQ(p.easyCount, 29);
    EXPECT_EQ(p.durations, (Durations{6, 20, 10, 0}));

    p.easyCount = std::numeric_limits<std::int32_t>::max();
    rate(p, Rating::Easy);
    EXPECT_EQ(p.easyCount, std::numeric_limits<std::int32_t>::max());
}

TEST(Progression, APurakaOfZeroGrowsFirstInsteadOfDividingByIt)
{
    Progression p = progression(Lengthening::TowardsOneFourTwoTwo, {0, 20, 10, 0}, 1);
    rate(p, Rating::Easy);
    EXPECT_EQ(p.durations, (Durations{1, 20, 10, 0}));
    rate(p, Rating::Easy);
    EXPECT_EQ(p.durations, (Durations{2, 20, 10, 0}));
}

struct ShorteningCase {
    const char* name;
    Rating rating;
    bool holdAfterInhaling;
    bool holdAfterExhaling;
    Durations before;
    Durations after;
};

class RatingShortens : public testing::TestWithParam<ShorteningCase> {};

TEST_P(RatingShortens, AndRestartsTheCount)
{
    const ShorteningCase& example = GetParam();
    Progression p = progression(Lengthening::TowardsOneFourTwoTwo, example.before);
    p.holdAfterInhaling = example.holdAfterInhaling;
    p.holdAfterExhaling = example.holdAfterExhaling;
    p.easyCount = 5;
    rate(p, example.rating);
    EXPECT_EQ(p.durations, example.after);
    EXPECT_EQ(p.easyCount, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Difficult, RatingShortens, testing::Values(
    ShorteningCase{"TheHoldAfterExhalingGoesFirst",      Rating::SlightlyDifficult, true,  true,  {5, 20, 10, 10}, {5, 20, 10, 9}},
    ShorteningCase{"AnEmptyHoldPassesToTheExhalation",   Rating::SlightlyDifficult, true,  false, {5, 0, 10, 0},   {5, 0, 9, 0}},
    ShorteningCase{"AnExcludedHoldIsNotShortened",       Rating::SlightlyDifficult, false, false, {6, 3, 4, 0},    {5, 3, 4, 0}},
    ShorteningCase{"SlightlyStopsAtFourSeconds",         Rating::SlightlyDifficult, false, false, {4, 0, 4, 0},    {4, 0, 4, 0}},
    ShorteningCase{"NotFollowedStopsAtFourSeconds",      Rating::Difficult,         false, false, {4, 0, 4, 0},    {4, 0, 4, 0}}),
    [](const testing::TestParamInfo<ShorteningCase>& example) { return std::string(example.param.name); });
// clang-format on

} // namespace
