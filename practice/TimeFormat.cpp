#include "practice/TimeFormat.h"

#include "platform/Clock.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace tolvane {

namespace {

using platform::msPerDay;
using platform::msPerSecond;

// Milliseconds of the day that the value shows; a value that is no number shows as midnight.
std::int64_t msOfDay(double days)
{
    if (!std::isfinite(days))
        return 0;
    const double ms = std::round(std::fabs(days) * static_cast<double>(msPerDay));
    return static_cast<std::int64_t>(std::fmod(ms, static_cast<double>(msPerDay)));
}

// A time of day written digit by digit into one string: the practice tick formats three times a
// millisecond, and QString::arg would parse a pattern and allocate a string for every field.
class TimeText {
public:
    // The leading field, without a leading zero; every field is below 100.
    explicit TimeText(std::int64_t value)
    {
        if (value >= 10)
            put(value / 10);
        put(value % 10);
    }

    TimeText& twoDigits(std::int64_t value)
    {
        m_chars[m_size++] = u':';
        put(value / 10);
        put(value % 10);
        return *this;
    }

    QString toString() const { return QStringView(m_chars.data(), m_size).toString(); }

private:
    void put(std::int64_t digit) { m_chars[m_size++] = char16_t(u'0' + digit); }

    std::array<char16_t, 8> m_chars{}; // "23:59:59" at most
    qsizetype m_size = 0;
};

// The value of a run of decimal digits; -1 when it is empty, holds anything else or is too long.
int digitsValue(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

QString formatPhaseTime(double days)
{
    const std::int64_t seconds = msOfDay(days) / msPerSecond;
    return TimeText(seconds / 60 % 60).twoDigits(seconds % 60).toString();
}

QString formatClockTime(double days)
{
    const std::int64_t seconds = msOfDay(days) / msPerSecond;
    return TimeText(seconds / 3600).twoDigits(seconds / 60 % 60).twoDigits(seconds % 60).toString();
}

std::int64_t msUntilShownSecondChanges(double days, bool shrinks)
{
    if (!std::isfinite(days))
        return -1;
    // The display shows the magnitude, which shrinks while a negative value grows.
    const bool magnitudeShrinks = shrinks != (days < 0);
    // Whole days are a whole number of seconds, so the time of day turns over with the value.
    const std::int64_t ms = msOfDay(days) % msPerSecond;
    if (!magnitudeShrinks)
        return msPerSecond - ms;
    // Below a second the magnitude passes zero and grows a whole second before the display changes.
    const bool belowASecond =
        std::round(std::fabs(days) * static_cast<double>(msPerDay)) < double(msPerSecond);
    return belowASecond ? ms + msPerSecond : ms + 1;
}

int phaseSecondsShown(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0)
        return -1;
    const int minutes = digitsValue(text.left(colon));
    const int seconds = digitsValue(text.mid(colon + 1));
    return minutes >= 0 && seconds >= 0 ? minutes * 60 + seconds : -1;
}

} // namespace tolvane
