#pragma once

#include "reminder/ReminderPlan.h"

#include <QString>
#include <QStringList>

namespace tolvane::reminder {

// The systemd user timer that starts "tolvane --remind" at the plan's times, with the service it
// starts, in $XDG_CONFIG_HOME/systemd/user (~/.config/systemd/user when unset). Changed through
// "systemctl --user", so that it runs while Tolvane is closed and after the next login.
class UserTimer {
public:
    static constexpr auto unitName = "tolvane-reminder";

    static QString unitFolder();
    QString timerPath() const;
    QString servicePath() const;

    // The unit files' text: the timer, and the service that starts program with --remind.
    static QString timerUnit(const ReminderPlan& plan);
    static QString serviceUnit(const QString& program);

    bool installed() const;

    // Writes both units and enables the timer. A failure raises TolvaneError saying what the
    // reminder needs and what systemctl said, and leaves the units as they were before.
    void install(const ReminderPlan& plan, const QString& program);
    // Disables the timer and removes both units; without a systemd user session only the files go.
    void remove();
};

} // namespace tolvane::reminder
