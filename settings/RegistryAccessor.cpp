#include "settings/RegistryAccessor.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QtEndian>

namespace tolvane {

namespace {

QString relativePath(const QString& key)
{
    return key.startsWith(u'\\') ? key.mid(1) : key;
}

} // namespace

RegistryAccessor::RegistryAccessor(platform::UserRegistry registry)
    : m_registry(std::move(registry))
{
}

bool RegistryAccessor::openKey(const QString& key, bool canCreate)
{
    const QString path = relativePath(key);
    bool opened = canCreate ? m_registry.createKey(path) : m_registry.keyExists(path);
    m_readOnly = false;
    if (!opened && canCreate) {
        const platform::UserRegistry::Fault fault = m_registry.fault();
        m_readOnly = fault.readError.isEmpty() && !fault.wrongLines.empty();
        opened = m_readOnly;
    }
    m_currentKey = opened ? path : QString();
    return opened;
}

void RegistryAccessor::closeKey()
{
    m_currentKey.clear();
    m_readOnly = false;
}

bool RegistryAccessor::keyExists(const QString& key) const
{
    return m_registry.keyExists(relativePath(key));
}

void RegistryAccessor::createKey(const QString& key)
{
    if (!m_registry.createKey(relativePath(key)))
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Failed to create key %1").arg(key));
}

bool RegistryAccessor::valueExists(const QString& name) const
{
    using Status = platform::UserRegistry::QueryStatus;
    if (m_currentKey.isEmpty())
        return false;
    const Status status = m_registry.queryValue(m_currentKey, name, 0).status;
    return status == Status::Success || status == Status::Unreadable;
}

bool RegistryAccessor::valueReadable(const QString& name) const
{
    return !m_currentKey.isEmpty() && m_registry.queryValue(m_currentKey, name, 0).status ==
                                          platform::UserRegistry::QueryStatus::Success;
}

platform::UserRegistry::Query RegistryAccessor::query(const QString& name,
                                                      std::uint32_t bufferSize) const
{
    auto result = m_currentKey.isEmpty() ? platform::UserRegistry::Query{}
                                         : m_registry.queryValue(m_currentKey, name, bufferSize);
    if (result.status != platform::UserRegistry::QueryStatus::Success)
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Failed to get data for '%1'").arg(name));
    return result;
}

std::int32_t RegistryAccessor::readInteger(const QString& name) const
{
    auto result = query(name, sizeof(std::int32_t));
    if (result.type != platform::RegDword)
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Invalid data type for '%1'").arg(name));
    result.data.resize(sizeof(std::int32_t), '\0'); // a short DWORD reads as zero-extended
    return qFromLittleEndian<std::int32_t>(result.data.constData());
}

bool RegistryAccessor::readBool(const QString& name) const
{
    return readInteger(name) != 0;
}

double RegistryAccessor::readDateTime(const QString& name) const
{
    const auto result = query(name, sizeof(double));
    if (result.type != platform::RegBinary || result.size != sizeof(double))
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Invalid data type for '%1'").arg(name));
    return qFromLittleEndian<double>(result.data.constData());
}

QString RegistryAccessor::readString(const QString& name) const
{
    constexpr std::uint32_t longest = 1024;
    const auto result = query(name, longest);
    if (result.type != platform::RegSz)
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Invalid data type for '%1'").arg(name));
    const qsizetype end = result.data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? result.data : result.data.first(end));
}

void RegistryAccessor::writeData(const QString& name, std::uint32_t type, const QByteArray& data)
{
    if (m_currentKey.isEmpty() || !m_registry.setValue(m_currentKey, name, {type, data}))
        throw ERegistryException(
            QCoreApplication::translate("Settings", "Failed to set data for '%1'").arg(name));
}

void RegistryAccessor::writeInteger(const QString& name, std::int32_t value)
{
    QByteArray data(sizeof value, Qt::Uninitialized);
    qToLittleEndian(value, data.data());
    writeData(name, platform::RegDword, data);
}

void RegistryAccessor::writeBool(const QString& name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

void RegistryAccessor::writeDateTime(const QString& name, double value)
{
    QByteArray data(sizeof value, Qt::Uninitialized);
    qToLittleEndian(value, data.data());
    writeData(name, platform::RegBinary, data);
}

void RegistryAccessor::writeString(const QString& name, const QString& value)
{
    writeData(name, platform::RegSz, value.toUtf8() + '\0');
}

} // namespace tolvane
