#include "practicelog/PracticeEntry.h"

#include "platform/Clock.h"

#include <QTimeZone>

namespace tolvane::practicelog {

using platform::msPerSecond;
using platform::secondsPerDay;

LocalStamp LocalStamp::of(const QDateTime& moment)
{
    return {moment.date(), moment.time().msecsSinceStartOfDay() / int(msPerSecond),
            moment.offsetFromUtc()};
}

QDateTime LocalStamp::toDateTime() const
{
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(secondOfDay * msPerSecond)),
                     QTimeZone(utcOffsetSeconds));
}

std::int64_t LocalStamp::msecsSinceEpoch() const
{
    const std::int64_t days = date.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
    return (days * secondsPerDay + secondOfDay - utcOffsetSeconds) * msPerSecond;
}

std::optional<std::int64_t> PracticeEntry::roundSeconds() const
{
    if (exercise != Exercise::Pranayama)
        return std::nullopt;
    return std::int64_t{puraka.value_or(0)} + abhyantara.value_or(0) + rechaka.value_or(0) +
           bahya.value_or(0);
}

} // namespace tolvane::practicelog
