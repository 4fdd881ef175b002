#pragma once

#include "practicelog/PracticeEntry.h"

#include <QObject>

#include <functional>

namespace tolvane::reminder {

// How a reminder reaches a Tolvane that runs: the running one offers itself on the session bus
// as io.github.tolvane.Tolvane, and a reminder's Start asks it to start the practice there.

using StartPractice = std::function<void(practicelog::Exercise)>;

// Offers this instance to reminders for as long as it runs; start is called on the user
// interface thread. Without a session bus, or with the name taken, nothing is offered.
void offerToReminders(QObject* owner, StartPractice start);

// Whether a Tolvane runs that a reminder can reach.
bool instanceRuns();

// Asks the running instance to start the practice; false when none answers.
bool tellRunningInstance(practicelog::Exercise practice);

// The name of a practice as the bus and the notification say it, and back.
QString practiceName(practicelog::Exercise practice);

} // namespace tolvane::reminder
