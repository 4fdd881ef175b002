#pragma once

#include <QString>

namespace tolvane::platform {

// Whether another instance of the program runs, so that this start should end.
//
// On X11 another instance shows itself by a top-level window whose text is the title: the walk
// looks at every top-level window except this process's own (its native windows, and windows
// whose _NET_WM_PID is this process) and except windows that have an owner, and finds one whose
// text equals the title byte for byte, case and blanks included (both in UTF-8, both cut at the
// 127 bytes a window text can hold). Any program's window with that text counts. The rule holds
// per X display: like one Windows desktop each, two displays of the same user run one instance
// each, and the settings file keeps their writes whole.
//
// Where there is no X11 display, no other program's windows can be seen, so a per-user lock
// stands in for the window: the first call takes an exclusive lock on "<title>.lock" in
// $XDG_RUNTIME_DIR (or in the settings folder when that is unset) and holds it until the process
// ends; it answers true only while another process holds that lock. Once this process holds it,
// every later call answers false. A lock file that cannot be opened answers false: the program
// rather starts twice than not at all.
bool anotherInstanceRuns(const QString& title);

} // namespace tolvane::platform
