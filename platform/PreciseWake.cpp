#include "platform/PreciseWake.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cstdint>
#include <utility>

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

namespace tolvane::platform {

PreciseWake::PreciseWake(QObject* parent, std::function<void()> onWake)
    : QObject(parent)
    , m_fd(timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC))
    , m_onWake(std::move(onWake))
{
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        std::uint64_t expirations = 0;
        // Nothing to read: the moment was replaced after it passed.
        if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
            return;
        m_onWake();
    });
}

PreciseWake::~PreciseWake()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

std::chrono::nanoseconds PreciseWake::bootTimeNow()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

bool PreciseWake::wakeAt(std::chrono::nanoseconds bootTime)
{
    if (m_fd < 0)
        return false;
    using std::chrono::seconds;
    itimerspec moment{};
    // An absolute zero would disarm the timer: a moment that long gone is due at once all the same.
    const std::chrono::nanoseconds at = std::max(bootTime, std::chrono::nanoseconds(1));
    moment.it_value.tv_sec = std::chrono::duration_cast<seconds>(at).count();
    moment.it_value.tv_nsec = (at - std::chrono::duration_cast<seconds>(at)).count();
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &moment, nullptr) == 0;
}

void PreciseWake::cancel()
{
    if (m_fd < 0)
        return;
    const itimerspec disarmed{};
    timerfd_settime(m_fd, 0, &disarmed, nullptr);
}

} // namespace tolvane::platform
