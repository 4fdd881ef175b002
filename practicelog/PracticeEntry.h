#pragma once

#include "practice/Progression.h"

#include <QDate>
#include <QDateTime>

#include <cstdint>
#include <optional>

namespace tolvane::practicelog {

enum class Exercise { Pranayama, Kevali };
// The holds of a Pranayama round.
enum class Holds { None, One, Two };
using tolvane::Ratio;
// How the practice came to an end: ran its time, Stop, or the program closed during it.
enum class Ended { End, Stop, Close };
using tolvane::Rating;

// A moment as the person lived it: the local date and time of day, and how far local time was
// ahead of UTC then. Weeks and days in a row count by this date, wherever the log is read.
struct LocalStamp {
    QDate date;
    int secondOfDay = 0;
    int utcOffsetSeconds = 0;

    static LocalStamp of(const QDateTime& moment);
    QDateTime toDateTime() const; // the local time as it was written, with its offset
    std::int64_t msecsSinceEpoch() const;

    bool operator==(const LocalStamp&) const = default;
};

// One practice as the log keeps it. The Pranayama fields are empty for Kevali and the Kevali
// fields for Pranayama.
struct PracticeEntry {
    LocalStamp started;
    Exercise exercise = Exercise::Pranayama;
    std::optional<Holds> type;
    std::optional<Ratio> ratio;
    std::optional<int> puraka;
    std::optional<int> abhyantara;
    std::optional<int> rechaka;
    std::optional<int> bahya;
    int roundsPlanned = 0;
    std::optional<int> kevaliMinutes;
    std::optional<int> kevaliStartBreath;
    bool delay = false;
    double plannedSeconds = 0;
    double elapsedSeconds = 0;
    int roundsDone = 0;
    Ended ended = Ended::End;
    std::optional<Rating> rating;
    std::optional<int> roundSecondsAfter; // the round that the rating left

    // A Pranayama round: the four durations added, as the settings dialog and the rating count
    // it (a hold that the type leaves out is stored as 0). Empty for Kevali.
    std::optional<std::int64_t> roundSeconds() const;

    bool operator==(const PracticeEntry&) const = default;
};

} // namespace tolvane::practicelog
