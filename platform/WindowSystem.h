#pragma once

namespace tolvane::platform {

// In a Wayland session the program runs through Xwayland when it can reach it, since a Wayland
// client can neither place its window nor see the other programs' windows that the
// single-instance rule walks. A platform the user chose (QT_QPA_PLATFORM) is kept, and so is the
// toolkit's own choice everywhere else. Call it before the QApplication is made.
void preferX11InWaylandSession();

} // namespace tolvane::platform
