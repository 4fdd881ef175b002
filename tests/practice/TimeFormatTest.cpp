#include "practice/TimeFormat.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tolvane;

namespace {

double seconds(double s)
{
    return s / 86400.0;
}

TEST(TimeFormat, PhaseTimeShowsMinutesOfTheHourAndTwoDigitSeconds)
{
    EXPECT_EQ(formatPhaseTime(seconds(7)), QStringLiteral("0:07"));
    EXPECT_EQ(formatPhaseTime(seconds(133)), QStringLiteral("2:13"));
    EXPECT_EQ(formatPhaseTime(seconds(3600 + 65)), QStringLiteral("1:05"));
    EXPECT_EQ(formatPhaseTime(seconds(-1)), QStringLiteral("0:01")); // the magnitude
}

TEST(TimeFormat, ClockTimeShowsHoursMinutesSeconds)
{
    EXPECT_EQ(formatClockTime(seconds(700)), QStringLiteral("0:11:40"));
    EXPECT_EQ(formatClockTime(seconds(3750)), QStringLiteral("1:02:30"));
    EXPECT_EQ(formatClockTime(1.0 + seconds(5)), QStringLiteral("0:00:05")); // whole days dropped
    EXPECT_EQ(formatClockTime(seconds(86399)), QStringLiteral("23:59:59"));
    EXPECT_EQ(formatClockTime(seconds(36000)), QStringLiteral("10:00:00"));
}

TEST(TimeFormat, MillisecondsRoundBeforeSecondsAreTruncated)
{
    EXPECT_EQ(formatClockTime(seconds(0.999)), QStringLiteral("0:00:00"));
    EXPECT_EQ(formatClockTime(seconds(0.9996)), QStringLiteral("0:00:01"));
    EXPECT_EQ(formatClockTime(seconds(59.9994)), QStringLiteral("0:00:59"));
}

TEST(TimeFormat, ValuesThatAreNoNumberShowAsZero)
{
    EXPECT_EQ(formatClockTime(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("0:00:00"));
    EXPECT_EQ(formatClockTime(std::numeric_limits<double>::infinity()), QStringLiteral("0:00:00"));
    EXPECT_EQ(formatPhaseTime(-std::numeric_limits<double>::infinity()), QStringLiteral("0:00"));
}

// Checked against the formats themselves: the display differs after the wait and not a
// millisecond before it.
TEST(TimeFormat, WaitUntilADisplayShowsAnotherSecond)
{
    for (const double start : {0.0, 0.4, 1.234, 5.0, 59.9994, 3599.5, 86399.9, -2.5, 21.4567}) {
        for (const bool shrinks : {false, true}) {
            const double step = (shrinks ? -1 : 1) * seconds(0.001);
            const std::int64_t wait = msUntilShownSecondChanges(seconds(start), shrinks);
            ASSERT_GE(wait, 1) << start;
            ASSERT_LE(wait, 2000) << start;
            const QString now = formatClockTime(seconds(start));
            EXPECT_EQ(formatClockTime(seconds(start) + double(wait - 1) * step), now)
                << start << (shrinks ? " shrinking" : " growing");
            EXPECT_NE(formatClockTime(seconds(start) + double(wait) * step), now)
                << start << (shrinks ? " shrinking" : " growing");
        }
    }
    EXPECT_EQ(msUntilShownSecondChanges(std::numeric_limits<double>::quiet_NaN(), false), -1);
}

TEST(TimeFormat, PhaseDisplayReadsBackAsSeconds)
{
    EXPECT_EQ(phaseSecondsShown(u"0:00"), 0);
    EXPECT_EQ(phaseSecondsShown(u"2:13"), 133);
    EXPECT_EQ(phaseSecondsShown(u"12:01"), 721);
    EXPECT_EQ(phaseSecondsShown(u"59:59"), 3599);
    EXPECT_EQ(phaseSecondsShown(u""), -1);
    EXPECT_EQ(phaseSecondsShown(u"000"), -1);
    EXPECT_EQ(phaseSecondsShown(u":05"), -1);
    EXPECT_EQ(phaseSecondsShown(u"1:"), -1);
    EXPECT_EQ(phaseSecondsShown(u"1:0x"), -1);
    EXPECT_EQ(phaseSecondsShown(u"-1:05"), -1);
}

} // namespace
