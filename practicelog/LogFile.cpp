#include "practicelog/LogFile.h"

#include "platform/AppendFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::practicelog {

namespace {

// Far longer than the header, which is all the start of a long log is read for.
constexpr qint64 headerBound = 4096;

// Up to length bytes from offset; empty when the read fails.
QByteArray readAt(int fd, qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t count =
            ::pread(fd, bytes.data() + done, size_t(length - done), offset + done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return {};
        if (count == 0)
            break;
        done += count;
    }
    bytes.truncate(done);
    return bytes;
}

QString cannotRead(const QString& path, const QString& reason)
{
    return QStringLiteral("The practice log \"%1\" cannot be read: %2").arg(path, reason);
}

} // namespace

QString defaultLogPath()
{
    // Relative XDG paths are invalid by the base directory rules and are ignored.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + u"/.local/share";
    return dataHome + u"/tolvane/practice-log.csv";
}

std::optional<QString> appendEntry(const QString& path, const PracticeEntry& entry)
{
    const auto failure = platform::appendToFile(path, csvHeader(), csvLine(entry));
    if (!failure)
        return std::nullopt;
    return QStringLiteral("This practice could not be added to the practice log \"%1\": %2")
        .arg(path, *failure);
}

LogRead readLog(const QString& path, qint64 maxBytes)
{
    LogRead read;
    // Non-blocking, so that a pipe put in the file's place cannot stall the open.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            read.failure = cannotRead(path, QString::fromLocal8Bit(std::strerror(errno)).toLower());
        return read;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        read.failure = cannotRead(path, QStringLiteral("it is not a plain file"));
        return read;
    }
    const qint64 size = status.st_size;
    if (size <= maxBytes) {
        read.log = parseLog(readAt(fd, 0, size));
        return read;
    }
    // A long log: the whole lines of its end, in the columns that its first line names.
    const QByteArray head = readAt(fd, 0, headerBound);
    const QByteArray tail = readAt(fd, size - maxBytes, maxBytes);
    const qsizetype lineBreak = tail.indexOf('\n');
    const qsizetype firstLine = lineBreak < 0 ? tail.size() : lineBreak + 1;
    read.bytesNotRead = size - maxBytes + firstLine;
    read.log = parseLog(QByteArrayView(tail).sliced(firstLine), head.left(head.indexOf('\n') + 1));
    return read;
}

} // namespace tolvane::practicelog
