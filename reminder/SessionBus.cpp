#include "reminder/SessionBus.h"

#include <QFileInfo>

namespace tolvane::reminder {

std::optional<QDBusConnection> sessionBus()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo(runtime + QStringLiteral("/bus")).exists()))
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

} // namespace tolvane::reminder
