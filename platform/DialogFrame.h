#pragma once

class QWidget;

namespace tolvane::platform {

// Gives a dialog a frame of a border alone, with no title bar and so no buttons: window managers
// put buttons on title bars whatever the hints say, but draw none where there is no title bar.
// The frame can move the dialog but neither close, minimize nor maximize it; and should the
// dialog be minimized all the same (from a window menu or a pager), it comes back at once, so it
// never takes its owner away with it. Call it before the dialog is shown.
void frameWithoutButtons(QWidget& dialog);

} // namespace tolvane::platform
