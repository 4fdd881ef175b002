#include "practicelog/Progress.h"

#include <algorithm>
#include <limits>

namespace tolvane::practicelog {

namespace {

constexpr int daysPerWeek = 7;
constexpr double secondsPerMinute = 60;

} // namespace

QDate weekStart(QDate day, Qt::DayOfWeek firstDayOfWeek)
{
    return day.addDays(-((day.dayOfWeek() - int(firstDayOfWeek) + daysPerWeek) % daysPerWeek));
}

std::vector<WeekTotal> weeklyTotals(const std::vector<PracticeEntry>& entries, QDate today,
                                    Qt::DayOfWeek firstDayOfWeek, int maxWeeks)
{
    const QDate thisWeek = weekStart(today, firstDayOfWeek);
    QDate first = thisWeek;
    for (const PracticeEntry& entry : entries)
        first = std::min(first, weekStart(entry.started.date, firstDayOfWeek));
    first = std::max(first, thisWeek.addDays(-qint64(daysPerWeek) * (std::max(maxWeeks, 1) - 1)));

    std::vector<WeekTotal> weeks(std::size_t(first.daysTo(thisWeek) / daysPerWeek + 1));
    for (std::size_t i = 0; i < weeks.size(); ++i)
        weeks[i].start = first.addDays(qint64(i) * daysPerWeek);
    for (const PracticeEntry& entry : entries) {
        const qint64 day = first.daysTo(entry.started.date);
        if (day < 0 || day / daysPerWeek >= qint64(weeks.size()))
            continue;
        WeekTotal& week = weeks[std::size_t(day / daysPerWeek)];
        ++week.practices;
        (entry.exercise == Exercise::Pranayama ? week.pranayamaMinutes : week.kevaliMinutes) +=
            entry.elapsedSeconds / secondsPerMinute;
    }
    return weeks;
}

int daysInARow(const std::vector<PracticeEntry>& entries, QDate today)
{
    std::vector<qint64> days;
    days.reserve(entries.size());
    for (const PracticeEntry& entry : entries)
        days.push_back(entry.started.date.toJulianDay());
    std::sort(days.begin(), days.end());
    const auto practisedOn = [&days](qint64 day) {
        return std::binary_search(days.begin(), days.end(), day);
    };
    qint64 day = today.toJulianDay();
    if (!practisedOn(day))
        --day;
    int count = 0;
    while (practisedOn(day - count))
        ++count;
    return count;
}

std::optional<int> easyPracticesBeforeLengthening(int easyCount, int period)
{
    const qint64 remaining = qint64{period} - easyCount;
    if (remaining <= 0)
        return std::nullopt;
    return int(std::min<qint64>(remaining, std::numeric_limits<int>::max()));
}

} // namespace tolvane::practicelog
