#include "tests/support/TempConfig.h"

#include <QDir>
#include <QFile>

namespace tolvane::test {

TempConfig::TempConfig()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

TempConfig::~TempConfig()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
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
