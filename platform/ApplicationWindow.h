#pragma once

#include <QString>

class QWidget;

namespace tolvane::platform {

// Creates the program's application window, once per process: a top-level window with no owner
// that is never shown, whose text is the application title. Another start of the program finds
// it with anotherInstanceRuns() even while every visible window of this one is owned, hidden or
// titled otherwise. On X11 it is a real, unmapped window that carries the title as WM_NAME and
// _NET_WM_NAME. A later call only updates the title. Needs the QApplication; call it before the
// first form is created.
void createApplicationWindow(const QString& title);

// The application window, or nullptr before createApplicationWindow().
QWidget* applicationWindow();

} // namespace tolvane::platform
