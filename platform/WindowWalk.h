#pragma once

#include <QByteArray>
#include <QList>
#include <QtGui/qwindowdefs.h>

typedef struct _XDisplay Display;

namespace tolvane::platform {

// The X11 connection that Qt uses, or nullptr when the program does not run on X11 (the
// offscreen platform, a Wayland session).
Display* x11Display();

// The most bytes of a window's text that the walk reads, as a 128-byte buffer with its
// terminating zero holds.
inline constexpr qsizetype maxWindowTextBytes = 127;

struct TopLevelWindow {
    WId id = 0;      // the client window; a window manager's frame is never reported
    WId owner = 0;   // the window it is transient for (WM_TRANSIENT_FOR), 0 when none
    WId leader = 0;  // the leader of its program's client group (WM_CLIENT_LEADER), 0 when none
    qint64 pid = 0;  // the process that says it owns the window (_NET_WM_PID), 0 when unknown
    QByteArray text; // the window name in UTF-8, up to its first zero byte, at most 127 bytes
};

// Every top-level window of the display, topmost first: the root windows' children and, where
// a window manager put a client into a frame, the client (the descendant with WM_STATE) in the
// frame's place. Windows that vanish during the walk are left out. Empty without X11.
QList<TopLevelWindow> topLevelWindows();

} // namespace tolvane::platform
