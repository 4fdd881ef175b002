#pragma once

#include "practicelog/PracticeEntry.h"

#include <QList>
#include <QStringList>
#include <QTime>

#include <optional>
#include <vector>

namespace tolvane::reminder {

// Days of the week as the reminder stores them: Monday 1, Tuesday 2, Wednesday 4 … Sunday 64.
inline constexpr int everyDay = 0x7F;
int dayBit(Qt::DayOfWeek day);

// When and to what the reminder calls, as the reminder settings hold it.
struct ReminderPlan {
    bool on = false;
    QList<QTime> times; // whole minutes, ascending, each once
    int days = 0;       // bits of dayBit()
    practicelog::Exercise practice = practicelog::Exercise::Pranayama;
};

// The plan in the settings record; times it cannot read are left out.
ReminderPlan planFromSettings();

// Times of day as a person writes them, "7:00 18:30" or "7:00, 18:30": hours 0 to 23, two digits
// of minutes. Sorted, each once. Empty, with the first word it cannot read in wrongWord, when a
// word is not such a time.
std::optional<QList<QTime>> parseTimes(const QString& text, QString* wrongWord = nullptr);
QString timesText(const QList<QTime>& times);

// The timer's calendar: one systemd OnCalendar expression per time of day, on the plan's days.
QStringList onCalendar(const ReminderPlan& plan);

// Why a reminder that is due shows nothing.
enum class Skip {
    None,           // it shows
    Off,            // reminders have been switched off since the timer was set
    DayNotChosen,   // not one of the chosen days (a reminder put off past midnight)
    PractisedToday, // the practice log has a practice of today
};
Skip skipReason(const ReminderPlan& plan, QDate today,
                const std::vector<practicelog::PracticeEntry>& practices);

} // namespace tolvane::reminder
