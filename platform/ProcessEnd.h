#pragma once

#include <functional>

class QObject;

namespace tolvane::platform {

// Calls handler on the event loop, in context, each time the program is asked to end by SIGTERM
// (a shutdown, a logout), SIGHUP (its terminal closed) or SIGINT (Ctrl+C), instead of ending it
// at once. A signal that the program was started ignoring (nohup, a background job) stays
// ignored.
void onEndRequest(QObject* context, std::function<void()> handler);

// Runs handler if the process ends by exit() while it is set: the toolkit ends the program so
// when its display connection breaks. Only that which needs no display may be done there. Set an
// empty one to end it.
void setExitHandler(std::function<void()> handler);

} // namespace tolvane::platform
