#pragma once

namespace tolvane::platform {

// In a Wayland session the program runs through Xwayland when it can reach it, since a Wayland
// client can neither place its window nor see the other programs' windows that the
// single-instance rule walks. A platform the user chose (QT_QPA_PLATFORM) is kept, and so is the
// toolkit's own choice everywhere else. Call it before the QApplication is made.
void preferX11InWaylandSession();

// The program's windows are a few hundred pixels, so their repaints travel to an X server inside
// the requests. Through shared memory, each repaint of a part sent since the last one would wait
// for the server's answer, which wakes the program's X reader thread and its user-interface thread
// once more for every change of a display. A choice the user made is kept. Call it before the
// QApplication is made.
void sendRepaintsInTheRequests();

// Gives the connection to the X server room for a change of every display at once (some 80 KB of
// pixels), so that a repaint is handed to the kernel and the program sleeps, instead of waiting
// for the server to read the first part before it can send the rest. Call it once the
// QApplication is made.
void roomForRepaintsInTheConnection();

} // namespace tolvane::platform
