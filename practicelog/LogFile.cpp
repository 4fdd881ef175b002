#include "practicelog/LogFile.h"

#include "platform/AppendFile.h"

#include <QCoreApplication>
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
// Far longer than any practice, even with notes a spreadsheet added; a longer line is junk.
constexpr qint64 longestLine = 64 * 1024;
// How much of a log is looked at at once while its lines are found from the end.
constexpr qint64 blockBytes = 1024 * 1024;

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

// Finds line breaks from the end of a file towards its start, a block at a time.
class BackwardLines {
public:
    explicit BackwardLines(int fd, qint64 size)
        : m_fd(fd)
        , m_blockStart(size)
    {
    }

    // The offset of the last line break before offset, or -1 when there is none.
    qint64 lineBreakBefore(qint64 offset)
    {
        while (true) {
            const qint64 searched = std::min(offset, m_blockStart + m_block.size()) - m_blockStart;
            if (searched > 0) {
                const qsizetype at = QByteArrayView(m_block).first(searched).lastIndexOf('\n');
                if (at >= 0)
                    return m_blockStart + at;
            }
            if (m_blockStart == 0)
                return -1;
            const qint64 start = std::max<qint64>(0, m_blockStart - blockBytes);
            m_block = readAt(m_fd, start, m_blockStart - start);
            m_blockStart = start;
        }
    }

private:
    int m_fd;
    QByteArray m_block;
    qint64 m_blockStart;
};

QString cannotRead(const QString& path, const QString& reason)
{
    return QCoreApplication::translate("PracticeLog", "The practice log \"%1\" cannot be read: %2")
        .arg(path, reason);
}

// A log's lines are continued as they are when its last line is in today's columns; otherwise
// (a new log, an earlier version's lines, a spreadsheet's order, a damaged or unfinished line) the
// header comes first, on a line of its own.
QByteArray leadFor(QByteArrayView end)
{
    if (end.isEmpty())
        return csvHeader();
    if (!end.endsWith('\n'))
        return "\r\n" + csvHeader();
    const QByteArrayView lines = end.chopped(1);
    const QByteArrayView last = lines.sliced(lines.lastIndexOf('\n') + 1);
    return endsCurrentLines(last) ? QByteArray() : csvHeader();
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

std::optional<QString> appendEntries(const QString& path, const std::vector<PracticeEntry>& entries)
{
    QByteArray lines;
    for (const PracticeEntry& entry : entries)
        lines += csvLine(entry);
    return platform::appendToFile(path, lines, leadFor);
}

LogRead readLog(const QString& path, qint64 maxBytes, QDate latestDate)
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
        read.failure =
            cannotRead(path, QCoreApplication::translate("PracticeLog", "it is not a plain file"));
        return read;
    }

    // The lines from the end, up to maxBytes of them; junk lines are stepped over unread.
    std::vector<std::pair<qint64, qint64>> kept; // [start, end) of runs of lines, last run first
    qint64 keptBytes = 0;
    int junkLines = 0;
    qint64 lineEnd = status.st_size;
    BackwardLines lines(fd, status.st_size);
    while (lineEnd > 0) {
        const qint64 lineStart = lines.lineBreakBefore(lineEnd - 1) + 1;
        const qint64 length = lineEnd - lineStart;
        if (length > longestLine) {
            ++junkLines;
        } else {
            if (keptBytes + length > maxBytes)
                break;
            keptBytes += length;
            if (!kept.empty() && kept.back().first == lineEnd)
                kept.back().first = lineStart;
            else
                kept.emplace_back(lineStart, lineEnd);
        }
        lineEnd = lineStart;
    }
    QByteArray bytes;
    bytes.reserve(keptBytes);
    for (auto run = kept.crbegin(); run != kept.crend(); ++run)
        bytes += readAt(fd, run->first, run->second - run->first);
    read.bytesNotRead = lineEnd;
    // A log whose start is not read keeps the columns that its first line names.
    QByteArray head;
    if (lineEnd > 0) {
        head = readAt(fd, 0, headerBound);
        head.truncate(head.indexOf('\n') + 1);
    }
    read.log = parseLog(bytes, head, latestDate);
    read.log.unreadableLines += junkLines;
    return read;
}

} // namespace tolvane::practicelog
