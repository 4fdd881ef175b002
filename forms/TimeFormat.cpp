#include "forms/TimeFormat.h"

#include <cmath>
#include <cstdint>

namespace tolvane {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;

// Milliseconds of the day that the value shows; a value that is no number shows as midnight.
std::int64_t msOfDay(double days)
{
    if (!std::isfinite(days))
        return 0;
    const double ms = std::round(std::fabs(days) * static_cast<double>(msPerDay));
    return static_cast<std::int64_t>(std::fmod(ms, static_cast<double>(msPerDay)));
}

} // namespace

QString formatPhaseTime(double days)
{
    const qint64 seconds = msOfDay(days) / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60 % 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString formatClockTime(double days)
{
    const qint64 seconds = msOfDay(days) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int phaseSecondsShown(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0)
        return -1;
    bool minutesOk = false;
    bool secondsOk = false;
    const int minutes = text.left(colon).toInt(&minutesOk);
    const int seconds = text.mid(colon + 1).toInt(&secondsOk);
    return minutesOk && secondsOk ? minutes * 60 + seconds : -1;
}

} // namespace tolvane
