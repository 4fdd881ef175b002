#pragma once

#include <QDBusConnection>

#include <optional>

namespace tolvane::reminder {

// The user's session bus, when the session has one: $DBUS_SESSION_BUS_ADDRESS or the user bus
// in $XDG_RUNTIME_DIR. Never starts a bus of its own, as D-Bus would on an X display without one.
std::optional<QDBusConnection> sessionBus();

} // namespace tolvane::reminder
