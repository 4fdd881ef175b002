#pragma once

#include <QPoint>

class QWidget;

namespace tolvane::platform {

// A top-level window's outer window is the frame a window manager put it in, or the window itself
// where there is none (a bare X server, a window manager that has not framed it yet). Positions
// are in screen pixels, whatever the toolkit's scale.

// Where the outer window's top-left corner lies. On X11 it is read from the server, as the
// window's ancestor that is a child of the root, since a window manager need not publish its
// frame; elsewhere the toolkit's frame geometry answers.
QPoint outerWindowPosition(const QWidget& window);

// Asks for the outer window's top-left corner at the position. Call it before the window is
// shown: the window manager then places the frame there, not the client area.
void placeOuterWindow(QWidget& window, QPoint position);

// Places a window, before it is shown, with its outer window centred on its screen. A frame is
// not known before the window manager has made it; it is taken to be as large as the frame that
// the same window manager gave the window's owner.
void centreOuterWindow(QWidget& window);

} // namespace tolvane::platform
