#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace tolvane {

// Practice times as the displays show them. A value in days is shown by its magnitude, rounded to
// whole milliseconds, without whole days, truncated to seconds; the separator is always ':'.

// "n:ss": minutes of the hour without a leading zero, two-digit seconds (133 s → "2:13").
QString formatPhaseTime(double days);
// "h:nn:ss": hours without a leading zero (700 s → "0:11:40").
QString formatClockTime(double days);

// Milliseconds until a display of a value that the clock moves, in whole milliseconds, shows
// another second: a value that grows with the clock (an elapsed time) or one that shrinks with it
// (a remaining time). A value that is no number never changes its display: -1.
std::int64_t msUntilShownSecondChanges(double days, bool shrinks);

// The whole seconds that a phase display reads ("2:13" → 133); -1 for text that is no time.
int phaseSecondsShown(QStringView text);

} // namespace tolvane
