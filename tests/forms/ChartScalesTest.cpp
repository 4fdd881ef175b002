// The ticks of the log window's charts: whole units as close as their labels allow, and calendar
// days, weeks, months, quarters or years as the span and the width ask.
#include "forms/ChartScales.h"

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

TEST(ChartScales, WholeAndCalendarTicksAsTheSpanAndTheRoomAsk)
{
    const struct {
        const char* name;
        double lowest;
        double highest;
        int pixels;
        WholeTicks ticks;
    } cases[] = {
        {"a flat round", 35, 35, 100, {34, 36, 1}},
        {"a round grown by 45 s", 36, 81, 100, {20, 100, 20}},
        {"the same with room", 36, 81, 300, {35, 85, 5}},
        {"years of growth", 21, 190, 120, {0, 200, 50}},
        {"no minutes at all", 0, 0, 100, {0, 1, 1}},
        {"a heavy week", 0, 1234, 100, {0, 1500, 500}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wholeTicks(c.lowest, c.highest, c.pixels, 20), c.ticks) << c.name;
    // Labels of 40 pixels for days and weeks, 70 for months and quarters, 40 for years.
    const std::array<int, dateUnitCount> labels{40, 40, 70, 70, 40};
    const QDate wednesday(2026, 12, 9);
    const struct {
        const char* name;
        QDate first;
        QDate last;
        int pixels;
        DateUnit unit;
        QDate firstTick;
        std::size_t count;
    } dateCases[] = {
        {"a day", wednesday.addDays(-1), wednesday, 700, DateUnit::Day, wednesday.addDays(-1), 2},
        {"two months", wednesday.addMonths(-2), wednesday, 700, DateUnit::Week, QDate(2026, 10, 12),
         9},
        {"six months", wednesday.addMonths(-6), wednesday, 700, DateUnit::Month, QDate(2026, 7, 1),
         6},
        {"three years", wednesday.addYears(-3), wednesday, 900, DateUnit::Quarter,
         QDate(2024, 1, 1), 12},
        {"three years, narrow", wednesday.addYears(-3), wednesday, 300, DateUnit::Year,
         QDate(2024, 1, 1), 3},
    };
    for (const auto& c : dateCases) {
        const DateTicks ticks = dateTicks(c.first, c.last, c.pixels, labels, Qt::Monday);
        EXPECT_EQ(ticks.unit, c.unit) << c.name;
        ASSERT_EQ(ticks.dates.size(), c.count) << c.name;
        EXPECT_EQ(ticks.dates.front(), c.firstTick) << c.name;
    }
}

} // namespace
