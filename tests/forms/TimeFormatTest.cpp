#include "forms/TimeFormat.h"
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
