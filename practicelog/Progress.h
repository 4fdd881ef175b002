#pragma once

#include "practicelog/PracticeEntry.h"

#include <optional>
#include <vector>

namespace tolvane::practicelog {

// What the log tells of the progress over weeks. Practices count by the local date on which they
// started, as the person lived it.

// The first day of the week that holds day.
QDate weekStart(QDate day, Qt::DayOfWeek firstDayOfWeek);

struct WeekTotal {
    QDate start;
    int practices = 0;
    double pranayamaMinutes = 0;
    double kevaliMinutes = 0;

    bool operator==(const WeekTotal&) const = default;
};

// Week by week, the practices and the minutes practised, from the week of the first practice to
// the week of today (the last), at most the latest maxWeeks of them. Weeks without a practice are
// there with nothing in them; practices dated after this week are left out.
std::vector<WeekTotal> weeklyTotals(const std::vector<PracticeEntry>& entries, QDate today,
                                    Qt::DayOfWeek firstDayOfWeek, int maxWeeks);

// Days in a row with a practice, up to today, or up to yesterday while today has none yet.
int daysInARow(const std::vector<PracticeEntry>& entries, QDate today);

// How many more practices rated easy lengthen the round: the count of easy practices lengthens it
// when it reaches the period exactly. Empty when the count is already at or past the period, so
// that no lengthening comes until the count starts again.
std::optional<int> easyPracticesBeforeLengthening(int easyCount, int period);

} // namespace tolvane::practicelog
