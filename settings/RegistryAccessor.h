#pragma once

#include "platform/Registry.h"

#include <QString>

#include <cstdint>

namespace tolvane {

// Typed access to one key of the user's registry at a time, with the failures the settings
// store reports: reads check the stored type and size, every failure raises ERegistryException.
class RegistryAccessor {
public:
    explicit RegistryAccessor(platform::UserRegistry registry = platform::UserRegistry());

    // A path with a leading backslash is taken from the root. True when the key is open. A file
    // with lines that cannot be read opens for reading only: writes to it fail.
    bool openKey(const QString& key, bool canCreate);
    bool readOnly() const { return m_readOnly; }
    void closeKey();
    bool keyExists(const QString& key) const;
    // Raises "Failed to create key %s" when the key cannot be created.
    void createKey(const QString& key);
    bool valueExists(const QString& name) const;
    // The value exists and its line can be read.
    bool valueReadable(const QString& name) const;

    std::int32_t readInteger(const QString& name) const;
    bool readBool(const QString& name) const; // any number but 0 is true
    double readDateTime(const QString& name) const;
    QString readString(const QString& name) const; // a REG_SZ text of at most 1 KiB

    void writeInteger(const QString& name, std::int32_t value);
    void writeBool(const QString& name, bool value); // stored as 1 or 0
    void writeDateTime(const QString& name, double value);
    void writeString(const QString& name, const QString& value);

private:
    // Raises "Failed to get data for '%s'" unless the value exists and fits the buffer.
    platform::UserRegistry::Query query(const QString& name, std::uint32_t bufferSize) const;
    void writeData(const QString& name, std::uint32_t type, const QByteArray& data);

    platform::UserRegistry m_registry;
    QString m_currentKey; // empty while no key is open
    bool m_readOnly = false;
};

} // namespace tolvane
