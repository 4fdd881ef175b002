#pragma once

#include "practice/Progression.h"

#include <QString>

#include <cstdint>

namespace tolvane {

// The in-memory copy of the persisted settings that every part of the program reads and writes
// directly. Zero at process start; filled by the start-up load and the reloads before each use.
struct SettingsRecord {
    std::int32_t intPrTotalTime = 0;    // Pranayama: number of rounds
    std::int32_t intPrInhale = 0;       // Puraka, seconds
    std::int32_t intPrExhale = 0;       // Rechaka, seconds
    std::int32_t intCheckOne = 0;       // Abhyantara Kumbhaka, seconds
    std::int32_t intCheckTwo = 0;       // Bahya Kumbhaka, seconds
    std::int32_t intDays = 0;           // practices rated easy in a row
    std::int32_t intKevTotalTime = 0;   // Kevali: time of practice, minutes
    std::int32_t intKevStartBreath = 0; // Kevali: initial breath, seconds
    std::int32_t intIncrementDays = 0;  // easy ratings needed for an increment
    std::int32_t intTop = 0;
    std::int32_t intLeft = 0;
    bool blModeOne = false;
    bool blModeTwo = false;
    bool blCheckOne = false;
    bool blCheckTwo = false;
    bool blDelay = false;
    bool blKevDelay = false;
    bool blAuto = false;
    bool blAutoTwo = false;
    double tTotalTime = 0.0; // days

    // The daily reminder to practise.
    bool blReminder = false;
    QString strReminderTimes;         // times of day, "7:00 18:30"
    std::int32_t intReminderDays = 0; // Monday 1, Tuesday 2, Wednesday 4 … Sunday 64
    bool blReminderKevali = false;    // the reminder offers Kevali, else Pranayama
};

// The one settings record of the program.
extern SettingsRecord settings;

// The Pranayama phase durations of the record.
inline Durations pranayamaDurations(const SettingsRecord& record)
{
    return {record.intPrInhale, record.intCheckOne, record.intPrExhale, record.intCheckTwo};
}

} // namespace tolvane
