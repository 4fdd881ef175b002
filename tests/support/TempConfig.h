#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tolvane::test {

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh folder for the lifetime of the object, so
// each test has its own registry file and practice log; restores the previous values afterwards.
class TempConfig {
public:
    TempConfig();
    ~TempConfig();
    TempConfig(const TempConfig&) = delete;
    TempConfig& operator=(const TempConfig&) = delete;

    QString configHome() const { return m_dir.path(); }
    QString registryFile() const;
    QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }

    QByteArray readRegistryFile() const;
    void writeRegistryFile(const QByteArray& contents) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
    QByteArray m_previousData;
    bool m_hadPreviousData;
};

} // namespace tolvane::test
