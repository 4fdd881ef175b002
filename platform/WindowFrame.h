#pragma once

#include <QPoint>

class QWidget;

namespace tolvane::platform {

// A top-level window's outer window is the frame a window manager put it in, or the window itself
// where there is none (a bare X server, a window manager that has not framed it yet). Positions
// are in screen pixels, whatever the toolkit's scale.

// Where the outer window's top-left corner lies: the point that placeOuterWindow() takes to put
// the window back where it is. On X11 it is read from the server: the frame the window manager
// publishes, without invisible borders around it, or else the window's ancestor that is a child
// of the root; elsewhere the toolkit's frame geometry answers.
QPoint outerWindowPosition(const QWidget& window);

// Asks for the outer window's top-left corner at the position. Call it before the window is
// shown: the window manager then places the frame there, not the client area.
void placeOuterWindow(QWidget& window, QPoint position);

// Places a window, before it is shown, with its outer window centred on its screen. A frame is
// not known before the window manager has made it; it is taken to be as large as the frame that
// the same window manager gave the window's owner.
void centreOuterWindow(QWidget& window);

// Places a window, before it is shown, beside its owner's outer window on the owner's screen, tops
// aligned: to its right where there is room, else to its left. Without a visible owner the window
// manager chooses the place.
void placeBesideOwner(QWidget& window);

} // namespace tolvane::platform
