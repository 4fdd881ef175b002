#include "tests/support/TempConfig.h"

#include <QDir>
#include <QFile>

namespace tolvane::test {

TempConfig::TempConfig()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    , m_previousData(qgetenv("XDG_DATA_HOME"))
    , m_hadPreviousData(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
}

TempConfig::~TempConfig()
{
    const auto restore = [](const char* name, const QByteArray& value, bool had) {
        if (had)
            qputenv(name, value);
        else
            qunsetenv(name);
    };
    restore("XDG_CONFIG_HOME", m_previous, m_hadPrevious);
    restore("XDG_DATA_HOME", m_previousData, m_hadPreviousData);
}

QString TempConfig::registryFile() const
{
    return m_dir.path() + QStringLiteral("/tolvane/registry.reg");
}

QByteArray TempConfig::readRegistryFile() const
{
    QFile file(registryFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TempConfig::writeRegistryFile(const QByteArray& contents) const
{
    QDir().mkpath(m_dir.path() + QStringLiteral("/tolvane"));
    QFile file(registryFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

} // namespace tolvane::test
