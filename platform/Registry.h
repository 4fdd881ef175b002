#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tolvane::platform {

// Registry value types, numbered as Windows numbers them.
enum RegistryType : std::uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegDwordBigEndian = 5,
    RegLink = 6,
    RegMultiSz = 7,
};

struct RegistryValue {
    std::uint32_t type = RegNone;
    QByteArray data; // the stored bytes; a text carries its terminating zero

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// A line of the file that cannot be read.
struct WrongLine {
    qsizetype number = 0; // counted from 1; 0 when the text as a whole cannot be decoded
    QByteArray text;      // the line in UTF-8, without its line end
};

// HKEY_CURRENT_USER of this user, kept in one file in the text format that regedit exports.
// Key paths are relative to HKEY_CURRENT_USER ("SOFTWARE\\Tolvane"); key paths and value names
// compare case-insensitively. Every write re-reads the file, changes it and replaces it
// atomically while holding an advisory lock, so two processes never lose each other's values and
// a crash never leaves a half-written file. A file with lines that cannot be read is read without
// them and never written; a file that cannot be read at all counts as a key that is there but
// cannot be opened.
class UserRegistry {
public:
    // Why the file cannot be used in full; either way it is not written.
    struct Fault {
        QString readError;                 // why it cannot be read at all; empty when it can
        std::vector<WrongLine> wrongLines; // the lines that cannot be read, in order
    };

    // $XDG_CONFIG_HOME/tolvane, or ~/.config/tolvane when unset.
    static QString settingsFolder();
    // registry.reg in the settings folder; the file of earlier versions while it is the only one.
    static QString defaultFilePath();
    // Where earlier versions kept the file: the folder "Tolvane" beside the settings folder.
    static QString oldFilePath();
    // Where ours goes when the file of earlier versions is copied over it.
    static QString replacedFilePath();

    enum class OldFile {
        None,      // nothing to copy: no file of earlier versions, or ours is as new
        Copied,    // it was the only one and is copied into the settings folder
        TookNewer, // it changed after ours: copied over ours, which is kept as replacedFilePath()
        NotCopied, // it could not be copied; defaultFilePath() tells which file is in use
    };
    // Brings the settings of earlier versions over, bytes and all, leaving their file where they
    // read it: when it is the only one, or when it has changed since ours.
    static OldFile copyOldFile();

    explicit UserRegistry(QString filePath = defaultFilePath());

    const QString& filePath() const { return m_filePath; }

    // Why the file cannot be used in full; nothing to tell when it can, or is missing.
    Fault fault() const;

    // RegOpenKeyEx for query: true when the key is present, or may be on a line that cannot be
    // read, or the file cannot be read at all.
    bool keyExists(const QString& keyPath) const;

    // RegCreateKeyEx: true when the key is open for reading and writing afterwards; creates the
    // key, its folder and the file when missing. False when the file has a fault or cannot be
    // written.
    bool createKey(const QString& keyPath);

    enum class QueryStatus {
        Success,    // type, data and size are set
        NotFound,   // no such key or value
        MoreData,   // the value is larger than the buffer; type and size are set, data is empty
        Unreadable, // the value's line is in the file, but its data cannot be read
        Failed,     // the file cannot be read
    };
    struct Query {
        QueryStatus status = QueryStatus::Failed;
        std::uint32_t type = RegNone;
        QByteArray data;        // at most bufferSize bytes
        std::uint32_t size = 0; // the stored length in bytes
    };

    // RegQueryValueEx into a buffer of bufferSize bytes; a bufferSize of 0 asks for type and
    // size only (the status is then Success for any existing value).
    Query queryValue(const QString& keyPath, const QString& name, std::uint32_t bufferSize) const;

    // RegSetValueEx: creates the key when missing. False when the file has a fault or cannot be
    // locked or replaced; the old file is then left as it was.
    bool setValue(const QString& keyPath, const QString& name, const RegistryValue& value);

private:
    QString m_filePath;
};

} // namespace tolvane::platform
