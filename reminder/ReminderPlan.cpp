#include "reminder/ReminderPlan.h"

#include "settings/SettingsRecord.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace tolvane::reminder {

int dayBit(Qt::DayOfWeek day)
{
    return 1 << (int(day) - 1);
}

ReminderPlan planFromSettings()
{
    ReminderPlan plan;
    plan.on = settings.blReminder;
    plan.times = parseTimes(settings.strReminderTimes).value_or(QList<QTime>{});
    plan.days = settings.intReminderDays & everyDay;
    plan.practice = settings.blReminderKevali ? practicelog::Exercise::Kevali
                                              : practicelog::Exercise::Pranayama;
    return plan;
}

std::optional<QList<QTime>> parseTimes(const QString& text, QString* wrongWord)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    static const QRegularExpression time(QStringLiteral("^([01]?[0-9]|2[0-3]):([0-5][0-9])$"));
    QList<QTime> times;
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = time.match(word);
        if (!match.hasMatch()) {
            if (wrongWord)
                *wrongWord = word;
            return std::nullopt;
        }
        times << QTime(match.captured(1).toInt(), match.captured(2).toInt());
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

QString timesText(const QList<QTime>& times)
{
    QStringList words;
    for (const QTime& time : times)
        words << time.toString(QStringLiteral("H:mm"));
    return words.join(u' ');
}

QStringList onCalendar(const ReminderPlan& plan)
{
    static constexpr std::array dayNames{u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"};
    QStringList days;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        if (plan.days & dayBit(Qt::DayOfWeek(day)))
            days << QString::fromUtf16(dayNames[day - 1]);
    }
    const QString dayPart = (plan.days & everyDay) == everyDay ? QString() : days.join(u',') + u' ';
    QStringList expressions;
    for (const QTime& time : plan.times)
        expressions << dayPart + QStringLiteral("*-*-* ") +
                           time.toString(QStringLiteral("HH:mm:00"));
    return expressions;
}

Skip skipReason(const ReminderPlan& plan, QDate today,
                const std::vector<practicelog::PracticeEntry>& practices)
{
    if (!plan.on || plan.times.isEmpty())
        return Skip::Off;
    if (!(plan.days & dayBit(Qt::DayOfWeek(today.dayOfWeek()))))
        return Skip::DayNotChosen;
    const bool practised =
        std::any_of(practices.cbegin(), practices.cend(),
                    [today](const auto& practice) { return practice.started.date == today; });
    return practised ? Skip::PractisedToday : Skip::None;
}

} // namespace tolvane::reminder
