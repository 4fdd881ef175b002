#include "reminder/ReminderRun.h"

#include "platform/Clock.h"
#include "platform/ErrorDispatch.h"
#include "practicelog/LogFile.h"
#include "practicelog/Progress.h"
#include "reminder/ReminderPlan.h"
#include "reminder/RunningInstance.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDate>
#include <QTextStream>
#include <QTimer>

#include <cmath>

namespace tolvane::reminder {

namespace {

// Enough of the log for today and the days in a row of several years.
constexpr qint64 logBytesRead = 4 * 1024 * 1024;

const QString startKey = QStringLiteral("default");
const QString laterKey = QStringLiteral("later");

void say(const QString& line)
{
    QTextStream(stderr) << line << Qt::endl;
}

QString skipText(Skip skip)
{
    switch (skip) {
    case Skip::Off:
        return QCoreApplication::translate("Reminder", "reminders are off");
    case Skip::DayNotChosen:
        return QCoreApplication::translate("Reminder", "today is not one of the reminder's days");
    case Skip::PractisedToday:
        return QCoreApplication::translate("Reminder", "the practice log has a practice of today");
    case Skip::None:
        break;
    }
    return {};
}

} // namespace

ReminderRun::ReminderRun(QDBusConnection bus, bool canOpenTolvane, std::chrono::milliseconds later,
                         QObject* parent)
    : QObject(parent)
    , m_notification(std::move(bus))
    , m_canOpenTolvane(canOpenTolvane)
    , m_later(later)
{
    connect(&m_notification, &DesktopNotification::actionInvoked, this, [this](const QString& key) {
        if (key == laterKey)
            QTimer::singleShot(m_later, this, &ReminderRun::remind);
        else if (key == startKey)
            start();
    });
    connect(&m_notification, &DesktopNotification::closed, this, [this] { Q_EMIT finished(0); });
}

QString ReminderRun::summaryText(practicelog::Exercise practice)
{
    return QCoreApplication::translate("Reminder", "Time for your %1 practice")
        .arg(practiceName(practice));
}

QString ReminderRun::bodyText(practicelog::Exercise practice, int daysInARow)
{
    QString body;
    if (practice == practicelog::Exercise::Pranayama) {
        const qint64 round = roundSeconds(pranayamaDurations(settings));
        const long minutes = std::lround(settings.tTotalTime * platform::secondsPerDay / 60);
        body = QCoreApplication::translate("Reminder", "%1 rounds of %2 seconds, about %3 minutes.")
                   .arg(settings.intPrTotalTime)
                   .arg(round)
                   .arg(minutes);
    } else {
        body = QCoreApplication::translate("Reminder", "%1 minutes, breaths from %2 seconds.")
                   .arg(settings.intKevTotalTime)
                   .arg(settings.intKevStartBreath);
    }
    body += u'\n';
    if (daysInARow == 0)
        body += QCoreApplication::translate("Reminder", "Today starts a new run of days.");
    else if (daysInARow == 1)
        body += QCoreApplication::translate("Reminder", "Yesterday you practised: keep it going.");
    else
        body += QCoreApplication::translate("Reminder", "%1 days in a row so far.").arg(daysInARow);
    return body;
}

void ReminderRun::remind()
{
    const std::optional<QString> failure = platform::failureOf([this] {
        store::loadReminderSettings();
        const ReminderPlan plan = planFromSettings();
        const practicelog::LogRead read =
            practicelog::readLog(practicelog::defaultLogPath(), logBytesRead);
        if (!read.failure.isEmpty())
            say(QCoreApplication::translate("Reminder",
                                            "Tolvane's reminder cannot read the practice log: ") +
                read.failure);
        const QDate today = QDate::currentDate();
        const Skip skip = skipReason(plan, today, read.log.entries);
        if (skip != Skip::None) {
            say(QCoreApplication::translate("Reminder", "No reminder: ") + skipText(skip) + u'.');
            Q_EMIT finished(0);
            return;
        }
        m_practice = plan.practice;
        if (m_practice == practicelog::Exercise::Pranayama)
            store::loadPranayamaSettings();
        else
            store::loadKevaliSettings();

        QStringList actions;
        if (m_canOpenTolvane || instanceRuns())
            actions << startKey << QCoreApplication::translate("Reminder", "Start");
        actions << laterKey << QCoreApplication::translate("Reminder", "Later");
        m_notification.show(summaryText(m_practice),
                            bodyText(m_practice, practicelog::daysInARow(read.log.entries, today)),
                            actions);
    });
    if (failure) {
        say(QCoreApplication::translate("Reminder", "Tolvane's reminder failed: ") + *failure);
        Q_EMIT finished(1);
    }
}

void ReminderRun::start()
{
    if (tellRunningInstance(m_practice)) {
        Q_EMIT finished(0);
        return;
    }
    if (m_canOpenTolvane) {
        Q_EMIT openTolvane(m_practice);
        return;
    }
    say(QCoreApplication::translate("Reminder",
                                    "Tolvane's reminder cannot open Tolvane: it has no display."));
    Q_EMIT finished(1);
}

} // namespace tolvane::reminder
