#include "platform/SingleInstance.h"

#include "platform/Registry.h"
#include "platform/WindowWalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

QSet<WId> ownNativeWindows()
{
    QSet<WId> ids;
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle()) // asking a window without one for its id would create it
            ids.insert(window->winId());
    }
    return ids;
}

bool anotherWindowShowsTitle(const QString& title)
{
    const QByteArray wanted = title.toUtf8().left(maxWindowTextBytes);
    const QList<TopLevelWindow> windows = topLevelWindows();

    // Besides the windows of our own widgets, the toolkit keeps hidden windows of its own, among
    // them the leader of our client group, named after the application and marked with no pid.
    QSet<WId> own = ownNativeWindows();
    for (const TopLevelWindow& window : windows) {
        if (own.contains(window.id) && window.leader)
            own.insert(window.leader);
    }
    const qint64 ownPid = QCoreApplication::applicationPid();
    const auto ours = [&](const TopLevelWindow& window) {
        return own.contains(window.id) || window.pid == ownPid;
    };
    return std::any_of(windows.cbegin(), windows.cend(), [&](const TopLevelWindow& window) {
        return !ours(window) && window.owner == 0 && window.text == wanted;
    });
}

QString lockFilePath(const QString& title)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = UserRegistry::settingsFolder();
        QDir().mkpath(folder);
    }
    return folder + u'/' + title + QStringLiteral(".lock");
}

bool lockHeldElsewhere(const QString& title)
{
    // Lock files this process holds, open until it ends; the kernel releases them then, even
    // after a crash.
    static QHash<QString, int> held;
    const QString path = lockFilePath(title);
    if (held.contains(path))
        return false;
    // Close-on-exec: a program started from here must not keep the lock after this one ends.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held.insert(path, fd);
        return false;
    }
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

} // namespace

bool anotherInstanceRuns(const QString& title)
{
    if (x11Display())
        return anotherWindowShowsTitle(title);
    return lockHeldElsewhere(title);
}

} // namespace tolvane::platform
