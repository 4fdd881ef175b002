#pragma once

#include "practicelog/PracticeEntry.h"

#include <QDate>

#include <array>
#include <vector>

namespace tolvane {

// Ticks at whole units for a value axis: 1, 2, 5, 10, 20, 50 … units apart, as close together as
// their labels allow.
struct WholeTicks {
    int low = 0;
    int high = 0;
    int step = 1;

    bool operator==(const WholeTicks&) const = default;
};
// The ticks around the values from lowest to highest, with room of half a unit on either side
// (never below zero for values that are not), on an axis of pixels with labels at least
// pixelsPerTick apart.
WholeTicks wholeTicks(double lowest, double highest, int pixels, int pixelsPerTick);

// A date axis is ticked at the starts of days, weeks, months, quarters or years.
enum class DateUnit { Day, Week, Month, Quarter, Year };
inline constexpr int dateUnitCount = 5;
struct DateTicks {
    DateUnit unit = DateUnit::Day;
    std::vector<QDate> dates;
};
// The starts of the finest unit from first to last (both included) whose labels, labelPixels wide
// for each unit, fit side by side in pixels.
DateTicks dateTicks(QDate first, QDate last, int pixels,
                    const std::array<int, dateUnitCount>& labelPixels,
                    Qt::DayOfWeek firstDayOfWeek);

// The Pranayama round as the round chart draws it: a point per practice while the marks fit side
// by side, else one per week or per month, with the round of its last practice.
enum class RoundBucket { Practice, Week, Month };
struct RoundPoint {
    QDate day;
    int secondOfDay = 0;
    std::int64_t seconds = 0;
    int mark = 0;          // the rating: easy, slightly difficult, difficult, or 3 for none
    bool afterGap = false; // a gap lies before it: no practice for two weeks, a week or a month
};
struct RoundPoints {
    RoundBucket bucket = RoundBucket::Practice;
    std::vector<RoundPoint> points;
    std::array<int, 4> practicesMarked{}; // every practice, by its rating as the marks count them
};
// Of the Pranayama practices among entries, in time order; a week or month is marked by the
// rating given most often in it, the harder one where two are given as often.
RoundPoints roundPoints(const std::vector<practicelog::PracticeEntry>& entries, std::size_t most,
                        Qt::DayOfWeek firstDayOfWeek);

// A date and time of day as milliseconds on the charts' time axis: local time as it was lived.
double chartMs(QDate day, int secondOfDay = 0);

} // namespace tolvane
