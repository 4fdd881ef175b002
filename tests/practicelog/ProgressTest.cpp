// The progress the log window sums up: the weeks and their minutes, the days in a row, and how
// many easy practices the next lengthening waits for.
#include "practicelog/Progress.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tolvane::practicelog;

namespace {

// Wednesday.
const QDate today(2026, 12, 9);

struct Practice {
    QDate day;
    Exercise exercise;
    double seconds;
};

struct ProgressCase {
    const char* name;
    std::vector<Practice> practices;
    Qt::DayOfWeek firstDayOfWeek;
    std::vector<int> practicesPerWeek; // from the oldest week shown to this week
    double minutesThisWeek;
    int daysInARow;
};

TEST(Progress, WeeksAndDaysInARow)
{
    constexpr auto P = Exercise::Pranayama;
    constexpr auto K = Exercise::Kevali;
    const QDate monday(2026, 12, 7);
    const ProgressCase cases[] = {
        {"no practice", {}, Qt::Monday, {0}, 0, 0},
        {"today and the two days before",
         {{monday, P, 600}, {monday.addDays(1), P, 600}, {today, K, 300}},
         Qt::Monday,
         {3},
         25,
         3},
        {"none yet today keeps yesterday's run",
         {{monday.addDays(-1), P, 60}, {monday, P, 60}, {monday.addDays(1), P, 60}},
         Qt::Monday,
         {1, 2},
         2,
         3},
        {"a missed day ends the run",
         {{monday.addDays(-2), P, 60}, {monday, P, 60}, {monday.addDays(1), P, 60}, {today, P, 60}},
         Qt::Monday,
         {1, 3},
         3,
         3},
        {"two practices on a day count one day",
         {{today.addDays(-1), P, 700}, {today.addDays(-1), K, 730}, {today, P, 5}},
         Qt::Monday,
         {3},
         1435.0 / 60,
         2},
        {"Sunday begins the week where the locale says so",
         {{monday.addDays(-1), P, 120}},
         Qt::Sunday,
         {1},
         2,
         0},
        {"Sunday ends the week where Monday begins it",
         {{monday.addDays(-1), P, 120}},
         Qt::Monday,
         {1, 0},
         0,
         0},
        {"weeks without a practice are kept",
         {{monday.addDays(-14), K, 60}, {today, P, 60}},
         Qt::Monday,
         {1, 0, 1},
         1,
         1},
        {"only the latest weeks are shown",
         {{monday.addDays(-70), P, 60}, {monday.addDays(-14), P, 60}, {today, P, 60}},
         Qt::Monday,
         {0, 1, 0, 1},
         1,
         1},
        {"a practice dated later than this week is left out",
         {{today.addDays(7), P, 60}},
         Qt::Monday,
         {0},
         0,
         0},
    };
    for (const ProgressCase& c : cases) {
        std::vector<PracticeEntry> entries;
        for (const Practice& practice : c.practices) {
            PracticeEntry entry;
            entry.started.date = practice.day;
            entry.exercise = practice.exercise;
            entry.elapsedSeconds = practice.seconds;
            entries.push_back(entry);
        }
        const std::vector<WeekTotal> weeks = weeklyTotals(entries, today, c.firstDayOfWeek, 4);
        std::vector<int> perWeek;
        for (const WeekTotal& week : weeks)
            perWeek.push_back(week.practices);
        EXPECT_EQ(perWeek, c.practicesPerWeek) << c.name;
        EXPECT_EQ(weeks.back().start, weekStart(today, c.firstDayOfWeek)) << c.name;
        EXPECT_DOUBLE_EQ(weeks.back().pranayamaMinutes + weeks.back().kevaliMinutes,
                         c.minutesThisWeek)
            << c.name;
        EXPECT_EQ(daysInARow(entries, today), c.daysInARow) << c.name;
    }
}

TEST(Progress, EasyPracticesBeforeTheNextLengthening)
{
    const struct {
        const char* name;
        int easyCount;
        int period;
        std::optional<int> left;
    } cases[] = {
        {"a new count", 0, 7, 7},
        {"one short of the period", 6, 7, 1},
        {"a count below zero", -2, 7, 9},
        {"a count at the period never fires", 7, 7, std::nullopt},
        {"a count past the period never fires", 9, 7, std::nullopt},
        {"a period of zero never fires", 0, 0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(easyPracticesBeforeLengthening(c.easyCount, c.period), c.left) << c.name;
}

} // namespace
