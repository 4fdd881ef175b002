#pragma once

#include "practicelog/PracticeEntry.h"
#include "reminder/DesktopNotification.h"

#include <QObject>
#include <QString>

#include <chrono>

namespace tolvane::reminder {

// One run of "tolvane --remind", as the timer starts it: unless a skip rule holds, the
// notification "Time for your Pranayama practice" with Start and Later. Start hands the practice
// to the running Tolvane, or asks for Tolvane to open here; Later asks again after a while.
class ReminderRun : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ReminderRun)

public:
    static constexpr std::chrono::milliseconds laterInterval = std::chrono::minutes(30);

    // canOpenTolvane: this process has a display to open Tolvane on.
    ReminderRun(QDBusConnection bus, bool canOpenTolvane,
                std::chrono::milliseconds later = laterInterval, QObject* parent = nullptr);

    // Reads the settings and the practice log, then shows the notification or finishes.
    void remind();

    // The notification's text for the practice in the settings record, with the days in a row.
    static QString summaryText(practicelog::Exercise practice);
    static QString bodyText(practicelog::Exercise practice, int daysInARow);

Q_SIGNALS:
    // The run is over; exitCode 0 unless it failed (the reason went to the standard error).
    void finished(int exitCode);
    // Start was chosen and no Tolvane runs: open it here and start the practice.
    void openTolvane(practicelog::Exercise practice);

private:
    void start();

    DesktopNotification m_notification;
    bool m_canOpenTolvane;
    std::chrono::milliseconds m_later;
    practicelog::Exercise m_practice = practicelog::Exercise::Pranayama;
};

} // namespace tolvane::reminder
