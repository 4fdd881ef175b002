#pragma once

#include "settings/SettingsRecord.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <variant>

namespace tolvane {

// One persisted value: its name in the settings key, the record field it loads into, and the
// default written when it is missing. Every value name of the program is spelt in this file only.
struct SettingsValue {
    using Field = std::variant<std::int32_t SettingsRecord::*, bool SettingsRecord::*,
                               double SettingsRecord::*, QString SettingsRecord::*>;
    QStringView name;
    Field field;
    double defaultValue;          // the number, 1/0 for booleans, days for date-time values
    QStringView defaultText = {}; // the default of a text value
};

namespace values {
// clang-format off
inline constexpr SettingsValue intPrTotalTime   {u"intPrTotalTime",    &SettingsRecord::intPrTotalTime,    20};
inline constexpr SettingsValue intPrInhale      {u"intPrInhale",       &SettingsRecord::intPrInhale,       5};
inline constexpr SettingsValue intPrExhale      {u"intPrExhale",       &SettingsRecord::intPrExhale,       10};
inline constexpr SettingsValue intCheckOne      {u"intCheckOne",       &SettingsRecord::intCheckOne,       20};
inline constexpr SettingsValue intCheckTwo      {u"intCheckTwo",       &SettingsRecord::intCheckTwo,       0};
inline constexpr SettingsValue intDays          {u"intDays",           &SettingsRecord::intDays,           0};
inline constexpr SettingsValue intKevTotalTime  {u"intKevTotalTime",   &SettingsRecord::intKevTotalTime,   10};
inline constexpr SettingsValue intKevStartBreath{u"intKevStartBreath", &SettingsRecord::intKevStartBreath, 5};
inline constexpr SettingsValue blModeOne        {u"blModeOne",         &SettingsRecord::blModeOne,         1};
inline constexpr SettingsValue blModeTwo        {u"blModeTwo",         &SettingsRecord::blModeTwo,         0};
inline constexpr SettingsValue blCheckOne       {u"blCheckOne",        &SettingsRecord::blCheckOne,        1};
inline constexpr SettingsValue blCheckTwo       {u"blCheckTwo",        &SettingsRecord::blCheckTwo,        0};
inline constexpr SettingsValue blDelay          {u"blDelay",           &SettingsRecord::blDelay,           0};
inline constexpr SettingsValue blKevDelay       {u"blKevDelay",        &SettingsRecord::blKevDelay,        0};
inline constexpr SettingsValue blAuto           {u"blAuto",            &SettingsRecord::blAuto,            0};
inline constexpr SettingsValue blAutoTwo        {u"blAutoTwo",         &SettingsRecord::blAutoTwo,         0};
// "00:11:40" as a time of day: the numerator is whole milliseconds, as the time conversion does it.
inline constexpr SettingsValue tTotalTime       {u"tTotalTime",        &SettingsRecord::tTotalTime,        700000 / 86400000.0};
inline constexpr SettingsValue intTop           {u"intTop",            &SettingsRecord::intTop,            0};
inline constexpr SettingsValue intLeft          {u"intLeft",           &SettingsRecord::intLeft,           0};
inline constexpr SettingsValue intIncrementDays {u"intIncrementDays",  &SettingsRecord::intIncrementDays,  7};
// The reminder: its defaults are what its dialog first offers, never written at start-up.
inline constexpr SettingsValue blReminder       {u"blReminder",        &SettingsRecord::blReminder,        0};
inline constexpr SettingsValue strReminderTimes {u"strReminderTimes",  &SettingsRecord::strReminderTimes,  0, u"7:00"};
inline constexpr SettingsValue intReminderDays  {u"intReminderDays",   &SettingsRecord::intReminderDays,   0x7F};
inline constexpr SettingsValue blReminderKevali {u"blReminderKevali",  &SettingsRecord::blReminderKevali,  0};
// clang-format on
} // namespace values

// The order in which the first start writes the defaults.
inline constexpr std::array<const SettingsValue*, 20> defaultsOrder{
    &values::intPrTotalTime,  &values::intPrInhale,       &values::intPrExhale,
    &values::intCheckOne,     &values::intCheckTwo,       &values::intDays,
    &values::intKevTotalTime, &values::intKevStartBreath, &values::blModeOne,
    &values::blModeTwo,       &values::blCheckOne,        &values::blCheckTwo,
    &values::blDelay,         &values::blKevDelay,        &values::blAuto,
    &values::blAutoTwo,       &values::tTotalTime,        &values::intTop,
    &values::intLeft,         &values::intIncrementDays,
};

// The reminder's values, added by its dialog. A settings file without them has no reminder.
inline constexpr std::array<const SettingsValue*, 4> reminderValues{
    &values::blReminder,
    &values::strReminderTimes,
    &values::intReminderDays,
    &values::blReminderKevali,
};

} // namespace tolvane
