#include "platform/WindowSystem.h"

#include "platform/WindowWalk.h"

#include <QByteArray>
#include <QString>

#include <X11/Xlib.h>
#include <sys/socket.h>

namespace tolvane::platform {

void preferX11InWaylandSession()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool waylandSession = qEnvironmentVariable("XDG_SESSION_TYPE") == u"wayland" ||
                                !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!waylandSession)
        return;
    // An X display that has gone away leaves a stale DISPLAY behind: only one that answers counts.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XCloseDisplay(display);
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
}

void sendRepaintsInTheRequests()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}

void roomForRepaintsInTheConnection()
{
    Display* display = x11Display();
    if (!display)
        return;
    // The kernel grants up to its limit (net.core.wmem_max) and keeps the default without one.
    const int bytes = 1 << 20;
    setsockopt(ConnectionNumber(display), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

} // namespace tolvane::platform
