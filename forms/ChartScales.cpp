#include "forms/ChartScales.h"

#include "platform/Clock.h"
#include "practicelog/Progress.h"

#include <algorithm>
#include <cmath>

namespace tolvane {

using namespace practicelog;

namespace {

using platform::msPerDay;
constexpr int daysPerWeek = 7;
constexpr int gapDays = 14;
constexpr int unrated = 3;
const qint64 epochDay = QDate(1970, 1, 1).toJulianDay();

// 1, 2, 5, 10, 20, 50 … for n = 0, 1, 2 …
int roundStep(int n)
{
    static constexpr std::array<int, 3> mantissa{1, 2, 5};
    int step = mantissa[std::size_t(n % 3)];
    for (int i = 0; i < n / 3 && step < 500'000'000; ++i)
        step *= 10;
    return step;
}

QDate unitStart(QDate day, DateUnit unit, Qt::DayOfWeek firstDayOfWeek)
{
    switch (unit) {
    case DateUnit::Day:
        return day;
    case DateUnit::Week:
        return weekStart(day, firstDayOfWeek);
    case DateUnit::Month:
        return QDate(day.year(), day.month(), 1);
    case DateUnit::Quarter:
        return QDate(day.year(), (day.month() - 1) / 3 * 3 + 1, 1);
    case DateUnit::Year:
        return QDate(day.year(), 1, 1);
    }
    return day;
}

QDate nextStart(QDate start, DateUnit unit)
{
    switch (unit) {
    case DateUnit::Day:
        return start.addDays(1);
    case DateUnit::Week:
        return start.addDays(daysPerWeek);
    case DateUnit::Month:
        return start.addMonths(1);
    case DateUnit::Quarter:
        return start.addMonths(3);
    case DateUnit::Year:
        return start.addYears(1);
    }
    return start;
}

int markOf(const PracticeEntry& entry)
{
    return entry.rating ? int(*entry.rating) : unrated;
}

// The rating given most often; of two given as often, the harder.
int mostGiven(const std::array<int, 4>& counts)
{
    int best = unrated;
    int bestCount = -1;
    for (const int mark : {2, 1, 0, unrated}) {
        if (counts[std::size_t(mark)] > bestCount) {
            best = mark;
            bestCount = counts[std::size_t(mark)];
        }
    }
    return best;
}

} // namespace

WholeTicks wholeTicks(double lowest, double highest, int pixels, int pixelsPerTick)
{
    // Beyond any round or week of practice; what lies further is shown at the edge.
    constexpr double farthest = 1e9;
    lowest = std::clamp(lowest, -farthest, farthest);
    highest = std::clamp(highest, lowest, farthest);
    for (int n = 0;; ++n) {
        const int step = roundStep(n);
        double low = std::floor((lowest - 0.5) / step) * step;
        if (lowest >= 0)
            low = std::max(low, 0.0);
        const double high = std::ceil((highest + 0.5) / step) * step;
        if ((high - low) / step * pixelsPerTick <= pixels || step >= 500'000'000)
            return {int(low), int(high), step};
    }
}

DateTicks dateTicks(QDate first, QDate last, int pixels,
                    const std::array<int, dateUnitCount>& labelPixels, Qt::DayOfWeek firstDayOfWeek)
{
    DateTicks ticks;
    for (int u = 0; u < dateUnitCount; ++u) {
        ticks.unit = DateUnit(u);
        ticks.dates.clear();
        QDate start = unitStart(first, ticks.unit, firstDayOfWeek);
        if (start < first)
            start = nextStart(start, ticks.unit);
        for (; start <= last; start = nextStart(start, ticks.unit))
            ticks.dates.push_back(start);
        if (qint64(ticks.dates.size()) * labelPixels[std::size_t(u)] <= pixels)
            break;
    }
    return ticks;
}

RoundPoints roundPoints(const std::vector<PracticeEntry>& entries, std::size_t most,
                        Qt::DayOfWeek firstDayOfWeek)
{
    RoundPoints result;
    std::vector<const PracticeEntry*> practices;
    for (const PracticeEntry& entry : entries) {
        if (entry.roundSeconds()) {
            practices.push_back(&entry);
            ++result.practicesMarked[std::size_t(markOf(entry))];
        }
    }
    if (practices.size() <= most) {
        for (const PracticeEntry* entry : practices) {
            const bool afterGap = !result.points.empty() &&
                                  result.points.back().day.daysTo(entry->started.date) > gapDays;
            result.points.push_back({entry->started.date, entry->started.secondOfDay,
                                     *entry->roundSeconds(), markOf(*entry), afterGap});
        }
        return result;
    }
    for (const RoundBucket bucket : {RoundBucket::Week, RoundBucket::Month}) {
        const DateUnit unit = bucket == RoundBucket::Week ? DateUnit::Week : DateUnit::Month;
        result.bucket = bucket;
        result.points.clear();
        std::array<int, 4> counts{};
        QDate current;
        for (const PracticeEntry* entry : practices) {
            const QDate start = unitStart(entry->started.date, unit, firstDayOfWeek);
            if (start != current) {
                if (!result.points.empty())
                    result.points.back().mark = mostGiven(counts);
                counts = {};
                const bool afterGap = current.isValid() && nextStart(current, unit) != start;
                // In the middle of the week or month.
                const QDate middle = unit == DateUnit::Week ? start.addDays(3) : start.addDays(14);
                result.points.push_back({middle, 12 * 3600, 0, 0, afterGap});
                current = start;
            }
            result.points.back().seconds = *entry->roundSeconds();
            ++counts[std::size_t(markOf(*entry))];
        }
        result.points.back().mark = mostGiven(counts);
        if (result.points.size() <= most)
            break;
    }
    return result;
}

double chartMs(QDate day, int secondOfDay)
{
    return double((day.toJulianDay() - epochDay) * msPerDay + qint64(secondOfDay) * 1000);
}

} // namespace tolvane
