#include "reminder/RunningInstance.h"

#include "reminder/SessionBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

namespace tolvane::reminder {

namespace {

const QString serviceName = QStringLiteral("io.github.tolvane.Tolvane");
const QString objectPath = QStringLiteral("/io/github/tolvane/Tolvane");
const QString interfaceName = QStringLiteral("io.github.tolvane.Tolvane.Reminder");

// What the running instance offers on the bus: Start(s practice).
class ReminderReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.tolvane.Tolvane.Reminder")

public:
    ReminderReceiver(QObject* owner, StartPractice start)
        : QObject(owner)
        , m_start(std::move(start))
    {
    }

public Q_SLOTS:
    void Start(const QString& practice)
    {
        const auto exercise = practice == practiceName(practicelog::Exercise::Kevali)
                                  ? practicelog::Exercise::Kevali
                                  : practicelog::Exercise::Pranayama;
        // The caller has its answer at once; a message the start shows does not keep it waiting.
        QTimer::singleShot(0, this, [this, exercise] { m_start(exercise); });
    }

private:
    StartPractice m_start;
};

} // namespace

QString practiceName(practicelog::Exercise practice)
{
    return practice == practicelog::Exercise::Kevali ? QStringLiteral("Kevali")
                                                     : QStringLiteral("Pranayama");
}

void offerToReminders(QObject* owner, StartPractice start)
{
    auto bus = sessionBus();
    if (!bus)
        return;
    auto* receiver = new ReminderReceiver(owner, std::move(start));
    if (!bus->registerObject(objectPath, receiver, QDBusConnection::ExportAllSlots) ||
        !bus->registerService(serviceName)) {
        bus->unregisterObject(objectPath);
        delete receiver;
    }
}

bool instanceRuns()
{
    const auto bus = sessionBus();
    return bus && bus->interface()->isServiceRegistered(serviceName);
}

bool tellRunningInstance(practicelog::Exercise practice)
{
    auto bus = sessionBus();
    if (!bus || !bus->interface()->isServiceRegistered(serviceName))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName,
                                                       QStringLiteral("Start"));
    call << practiceName(practice);
    return bus->call(call).type() == QDBusMessage::ReplyMessage;
}

} // namespace tolvane::reminder

#include "RunningInstance.moc"
