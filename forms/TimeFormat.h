#pragma once

#include <QString>
#include <QStringView>

namespace tolvane {

// Practice times as the displays show them. A value in days is shown by its magnitude, rounded to
// whole milliseconds, without whole days, truncated to seconds; the separator is always ':'.

// "n:ss": minutes of the hour without a leading zero, two-digit seconds (133 s → "2:13").
QString formatPhaseTime(double days);
// "h:nn:ss": hours without a leading zero (700 s → "0:11:40").
QString formatClockTime(double days);

// The whole seconds that a phase display reads ("2:13" → 133); -1 for text that is no time.
int phaseSecondsShown(QStringView text);

} // namespace tolvane
