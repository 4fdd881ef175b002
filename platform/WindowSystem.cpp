#include "platform/WindowSystem.h"

#include <QByteArray>
#include <QString>

#include <X11/Xlib.h>

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

} // namespace tolvane::platform
