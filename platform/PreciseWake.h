#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class QSocketNotifier;

namespace tolvane::platform {

// Calls back from the event loop at a moment of the boot-time clock, to a fraction of a
// millisecond: Qt's timers count whole milliseconds from when they start and round the wait up
// once more, which puts a change shown at a timer's wake-up up to two milliseconds late.
class PreciseWake : public QObject {
public:
    PreciseWake(QObject* parent, std::function<void()> onWake);
    ~PreciseWake() override;

    // The boot-time clock now, which counts the time the machine is suspended.
    static std::chrono::nanoseconds bootTimeNow();

    // Replaces any moment asked for before; a moment that has passed calls back at once. False
    // when the system offers no such timer, and then nothing calls back.
    bool wakeAt(std::chrono::nanoseconds bootTime);
    void cancel();

private:
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::function<void()> m_onWake;
};

} // namespace tolvane::platform
