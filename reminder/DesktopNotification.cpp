#include "reminder/DesktopNotification.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

namespace tolvane::reminder {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

DesktopNotification::DesktopNotification(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    // QtDBus binds signals to slots by their signatures only.
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotification::serviceAvailable(const QDBusConnection& bus)
{
    const QDBusConnectionInterface* names = bus.interface();
    if (!names)
        return false;
    if (names->isServiceRegistered(service))
        return true;
    const QDBusReply<QStringList> activatable = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")));
    return activatable.isValid() && activatable.value().contains(service);
}

void DesktopNotification::show(const QString& summary, const QString& body,
                               const QStringList& actions)
{
    QDBusMessage notify =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("io.github.tolvane.Tolvane")},
    };
    // No expiry: a reminder waits until the person answers it.
    notify << QStringLiteral("Tolvane") << m_id << QStringLiteral("io.github.tolvane.Tolvane")
           << summary << body << actions << hints << 0;
    const QDBusReply<uint> reply = m_bus.call(notify);
    if (!reply.isValid())
        throw TolvaneError(QCoreApplication::translate(
                               "Reminder", "The notification service did not show the reminder: %1")
                               .arg(reply.error().message()));
    m_id = reply.value();
}

void DesktopNotification::onActionInvoked(uint id, const QString& key)
{
    if (id != m_id || m_id == 0)
        return;
    // Answered, it goes; some services leave that to the program. Its closing is no dismissal.
    m_id = 0;
    m_bus.asyncCall(QDBusMessage::createMethodCall(service, path, interface,
                                                   QStringLiteral("CloseNotification"))
                    << id);
    Q_EMIT actionInvoked(key);
}

void DesktopNotification::onNotificationClosed(uint id, uint /*reason*/)
{
    if (id != m_id || m_id == 0)
        return;
    m_id = 0;
    Q_EMIT closed();
}

} // namespace tolvane::reminder
