#include "platform/AppendFile.h"

#include "platform/PosixIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tolvane::platform {

namespace {

using namespace std::chrono_literals;

// Another writer holds the lock for one short write; one that holds it much longer is stuck.
constexpr auto lockPatience = 2s;
constexpr auto lockRetry = 10ms;
constexpr mode_t newFileMode = 0600;
constexpr qint64 endShown = 64 * 1024;

std::optional<QString> systemError(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

bool lockExclusively(int fd)
{
    const auto deadline = std::chrono::steady_clock::now() + lockPatience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(lockRetry);
    }
    return true;
}

} // namespace

std::optional<QString> appendToFile(const QString& path, const QByteArray& bytes,
                                    const AppendLead& lead)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QCoreApplication::translate("AppendFile", "its folder cannot be made");
    // Non-blocking, so that a pipe put in the file's place cannot stall the open.
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, newFileMode);
    if (fd < 0)
        return systemError(errno);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return systemError(errno);
    if (!S_ISREG(status.st_mode))
        return QCoreApplication::translate("AppendFile", "it is not a plain file");
    if (!lockExclusively(fd))
        return errno == EWOULDBLOCK
                   ? QCoreApplication::translate("AppendFile", "another program keeps it locked")
                   : systemError(errno);
    // Measured again under the lock: another writer may have added to it meanwhile.
    if (::fstat(fd, &status) != 0)
        return systemError(errno);
    const off_t sizeBefore = status.st_size;
    QByteArray end(qsizetype(std::min<qint64>(sizeBefore, endShown)), Qt::Uninitialized);
    if (!end.isEmpty() &&
        ::pread(fd, end.data(), size_t(end.size()), sizeBefore - end.size()) != end.size())
        return systemError(errno);
    const QByteArray out = lead(end) + bytes;

    if (const qsizetype written = writeAll(fd, out); written < out.size()) {
        const int error = errno;
        // Added whole or not at all.
        if (written > 0 && ::ftruncate(fd, sizeBefore) != 0)
            return systemError(errno);
        return systemError(error);
    }
    if (::fdatasync(fd) != 0)
        return systemError(errno);
    // A new file's name must last as well as its bytes.
    if (sizeBefore == 0)
        syncFolder(info.absolutePath());
    return std::nullopt;
}

} // namespace tolvane::platform
