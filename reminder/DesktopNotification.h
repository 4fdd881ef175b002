#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

namespace tolvane::reminder {

// One notification of the desktop's notification service (org.freedesktop.Notifications), with
// actions, and what the person does with it.
class DesktopNotification : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(DesktopNotification)

public:
    explicit DesktopNotification(QDBusConnection bus, QObject* parent = nullptr);

    // Whether a notification service runs on the bus, or would be started by it.
    static bool serviceAvailable(const QDBusConnection& bus);

    // Shows the notification, replacing the one this object showed before. actions are pairs of
    // a key and its caption; the key "default" is the one a click on the notification chooses.
    // Raises TolvaneError when the service does not take it.
    void show(const QString& summary, const QString& body, const QStringList& actions);

Q_SIGNALS:
    void actionInvoked(const QString& key);
    void closed(); // gone without an action: dismissed, expired or closed

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& key);
    void onNotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    uint m_id = 0; // the notification shown and not yet answered
};

} // namespace tolvane::reminder
