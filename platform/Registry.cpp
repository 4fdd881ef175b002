#include "platform/Registry.h"

#include "platform/PosixIo.h"
#include "platform/RegistryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tolvane::platform {

using namespace regtext;

namespace {

// A settings file holds a few kilobytes; anything far larger is not ours to parse.
constexpr qint64 maxFileSize = 4 * 1024 * 1024;
constexpr mode_t newFileMode = 0600;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(other.release())
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// A file's bytes as read at one moment, or why they could not be.
struct FileBytes {
    enum class State { Missing, Read, Unreadable };
    State state = State::Unreadable;
    QByteArray bytes;
    mode_t mode = newFileMode;
    timespec modified{};
    QString readError; // Unreadable: why, as the system says it
};

FileBytes unreadable(int error)
{
    FileBytes file;
    file.readError = QString::fromLocal8Bit(std::strerror(error));
    return file;
}

FileBytes readFileBytes(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return unreadable(errno);
        FileBytes missing;
        missing.state = FileBytes::State::Missing;
        return missing;
    }
    // Non-blocking, so that a pipe put in the file's place cannot stall the open.
    const FileDescriptor fd(
        ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0)
        return unreadable(errno);
    if (S_ISDIR(status.st_mode))
        return unreadable(EISDIR);
    if (!S_ISREG(status.st_mode)) {
        FileBytes other;
        other.readError = QCoreApplication::translate("Registry", "Not a regular file");
        return other;
    }
    if (status.st_size > maxFileSize)
        return unreadable(EFBIG);
    FileBytes file;
    file.bytes = QByteArray(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
    qsizetype length = 0;
    while (length < file.bytes.size()) {
        const ssize_t count = ::read(fd.get(), file.bytes.data() + length,
                                     static_cast<size_t>(file.bytes.size() - length));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return unreadable(errno);
        if (count == 0)
            break;
        length += count;
    }
    if (length > status.st_size) // it grew while we read: not a file we manage
        return unreadable(EFBIG);
    file.bytes.truncate(length);
    file.state = FileBytes::State::Read;
    file.mode = status.st_mode & 0777;
    file.modified = status.st_mtim;
    return file;
}

struct Snapshot {
    FileBytes file;
    Document document; // every line that could be read, and those that could not

    // A file that cannot be read, or that has lines that cannot, is never written.
    bool writable() const
    {
        return file.state != FileBytes::State::Unreadable && document.wrongLines.empty();
    }
};

Snapshot readSnapshot(const QString& path)
{
    Snapshot snapshot{readFileBytes(path), {}};
    if (snapshot.file.state == FileBytes::State::Read)
        snapshot.document = parseDocument(snapshot.file.bytes);
    return snapshot;
}

// There in any form, a link to nowhere included.
bool present(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

// Writes a temporary file beside the target, flushes it to disk and renames it over the target,
// so that readers see either the old file or the new one, never a part.
bool replaceFile(const QString& target, const QByteArray& bytes, mode_t mode)
{
    const QFileInfo info(target);
    QByteArray temporary =
        QFile::encodeName(info.absolutePath() + u"/." + info.fileName()) + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    bool ok = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), bytes) == bytes.size() &&
              ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    // Make the rename itself durable; the data is safe either way.
    syncFolder(info.absolutePath());
    return true;
}

// The temporaries of writers killed before their rename. Only a writer holding the lock has one,
// so under the lock every one left is stale.
void removeStaleTemporaries(const QString& target)
{
    const QFileInfo info(target);
    const QString prefix = u'.' + info.fileName() + u'.';
    const QDir folder = info.absoluteDir();
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix))
            QFile::remove(folder.filePath(name));
    }
}

enum class Edit { Unchanged, Changed };

// Takes the lock that serialises the writers of the file, making its folder when missing. A
// separate lock file: the registry file itself is replaced on every write.
std::optional<FileDescriptor> lockFile(const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return std::nullopt;
    std::optional<FileDescriptor> lock(std::in_place,
                                       ::open(QFile::encodeName(path + u".lock").constData(),
                                              O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
    if (lock->get() < 0)
        return std::nullopt;
    while (::flock(lock->get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    return lock;
}

// Re-reads the file under the lock, lets edit change it and replaces the file with the result.
template <typename Editor> bool editFile(const QString& path, Editor edit)
{
    const auto lock = lockFile(path);
    if (!lock)
        return false;
    Snapshot snapshot = readSnapshot(path);
    if (!snapshot.writable())
        return false;
    if (edit(snapshot.document) == Edit::Unchanged)
        return true;
    // A link to the file stays a link: the file it points to is the one replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    if (target.isEmpty())
        return false;
    removeStaleTemporaries(target);
    return replaceFile(target, serialize(snapshot.document), snapshot.file.mode);
}

bool later(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

} // namespace

QString UserRegistry::settingsFolder()
{
    // Relative XDG paths are invalid by the base directory rules and are ignored.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + u"/.config";
    // Not named like the program's window, which a file manager showing it would be.
    return configHome + u"/tolvane";
}

QString UserRegistry::oldFilePath()
{
    return QFileInfo(settingsFolder()).path() + u"/Tolvane/registry.reg";
}

QString UserRegistry::replacedFilePath()
{
    return settingsFolder() + u"/registry.reg.replaced";
}

QString UserRegistry::defaultFilePath()
{
    const QString path = settingsFolder() + u"/registry.reg";
    // A file that could not be copied stays in use where it is.
    const QString old = oldFilePath();
    return !present(path) && present(old) ? old : path;
}

UserRegistry::OldFile UserRegistry::copyOldFile()
{
    const QString path = settingsFolder() + u"/registry.reg";
    // One that cannot be read stays where it is: in use while it is the only one, and told so.
    const FileBytes old = readFileBytes(oldFilePath());
    if (old.state != FileBytes::State::Read)
        return OldFile::None;
    const FileBytes own = readFileBytes(path);
    if (own.state == FileBytes::State::Unreadable ||
        (own.state == FileBytes::State::Read &&
         (!later(old.modified, own.modified) || old.bytes == own.bytes)))
        return OldFile::None;
    const auto lock = lockFile(path);
    if (!lock)
        return OldFile::NotCopied;
    // Ours is kept beside, not lost: it may hold what the person set last with this version.
    const bool replacing = own.state == FileBytes::State::Read;
    if (replacing && ::rename(QFile::encodeName(path).constData(),
                              QFile::encodeName(replacedFilePath()).constData()) != 0)
        return OldFile::NotCopied;
    if (!replaceFile(path, old.bytes, old.mode))
        return OldFile::NotCopied;
    return replacing ? OldFile::TookNewer : OldFile::Copied;
}

UserRegistry::Fault UserRegistry::fault() const
{
    Snapshot snapshot = readSnapshot(m_filePath);
    return {snapshot.file.readError, std::move(snapshot.document.wrongLines)};
}

UserRegistry::UserRegistry(QString filePath)
    : m_filePath(std::move(filePath))
{
}

bool UserRegistry::keyExists(const QString& keyPath) const
{
    const auto path = keyPathText(keyPath);
    if (!path)
        return false;
    const Snapshot snapshot = readSnapshot(m_filePath);
    if (snapshot.file.state == FileBytes::State::Missing)
        return false;
    // The key may be on a line that cannot be read.
    if (!snapshot.writable())
        return true;
    return keyIn(snapshot.document, foldCase(*path));
}

bool UserRegistry::createKey(const QString& keyPath)
{
    const auto path = keyPathText(keyPath);
    if (!path)
        return false;
    const Snapshot snapshot = readSnapshot(m_filePath);
    if (!snapshot.writable())
        return false;
    const QByteArray key = foldCase(*path);
    if (keyIn(snapshot.document, key))
        return true;
    return editFile(m_filePath, [&](Document& document) {
        if (keyIn(document, key))
            return Edit::Unchanged;
        appendSection(document, *path);
        return Edit::Changed;
    });
}

UserRegistry::Query UserRegistry::queryValue(const QString& keyPath, const QString& name,
                                             std::uint32_t bufferSize) const
{
    Query query;
    query.status = QueryStatus::NotFound;
    const auto path = keyPathText(keyPath);
    const auto valueName = valueNameText(name);
    if (!path || !valueName)
        return query;
    const Snapshot snapshot = readSnapshot(m_filePath);
    if (snapshot.file.state == FileBytes::State::Unreadable) {
        query.status = QueryStatus::Failed;
        return query;
    }
    const Entry* entry = findValue(snapshot.document, foldCase(*path), foldCase(*valueName));
    if (!entry)
        return query;
    if (entry->unreadable) {
        query.status = QueryStatus::Unreadable;
        return query;
    }
    query.type = entry->value.type;
    query.size = static_cast<std::uint32_t>(entry->value.data.size());
    if (bufferSize == 0) {
        query.status = QueryStatus::Success;
    } else if (query.size > bufferSize) {
        query.status = QueryStatus::MoreData;
    } else {
        query.status = QueryStatus::Success;
        query.data = entry->value.data;
    }
    return query;
}

bool UserRegistry::setValue(const QString& keyPath, const QString& name, const RegistryValue& value)
{
    const auto path = keyPathText(keyPath);
    const auto valueName = valueNameText(name);
    if (!path || !valueName)
        return false;
    const QByteArray key = foldCase(*path);
    const QByteArray folded = foldCase(*valueName);
    return editFile(m_filePath, [&](Document& document) {
        const Entry* existing = findValue(document, key, folded);
        if (existing && existing->value == value)
            return Edit::Unchanged;
        writeValue(document, *path, *valueName, value);
        return Edit::Changed;
    });
}

} // namespace tolvane::platform
