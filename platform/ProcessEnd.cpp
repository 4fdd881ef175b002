#include "platform/ProcessEnd.h"

#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace tolvane::platform {

namespace {

// The signal handler only writes a byte here; the event loop reads it at the other end.
std::array<int, 2> signalSocket{-1, -1};

void noteEndRequest(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = saved;
}

std::function<void()>& exitHandler()
{
    static std::function<void()> handler;
    return handler;
}

void runExitHandler()
{
    // Taken out first, so that an exit() inside it cannot run it again.
    if (const std::function<void()> handler = std::exchange(exitHandler(), {}))
        handler();
}

} // namespace

void onEndRequest(QObject* context, std::function<void()> handler)
{
    if (signalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0,
                                            signalSocket.data()) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [handler = std::move(handler)] {
                         std::array<char, 64> bytes{};
                         while (::read(signalSocket[1], bytes.data(), bytes.size()) > 0) {
                         }
                         handler();
                     });
    struct sigaction action {};
    action.sa_handler = noteEndRequest;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void setExitHandler(std::function<void()> handler)
{
    static const bool registered = std::atexit(runExitHandler) == 0;
    Q_UNUSED(registered);
    exitHandler() = std::move(handler);
}

} // namespace tolvane::platform
