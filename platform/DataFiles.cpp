#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tolvane::platform {

QStringList dataFileDirectories()
{
    QStringList directories{QDir::currentPath()};
    // Without an application object there is no reliable executable folder to offer.
    if (QCoreApplication::instance())
        directories << QCoreApplication::applicationDirPath();
    directories << QStringLiteral(TOLVANE_DATA_DIR);
    return directories;
}

QString locateDataFile(const QString& bareName)
{
    if (bareName.isEmpty() || QDir::isAbsolutePath(bareName))
        return bareName;
    const QStringList directories = dataFileDirectories();
    for (const QString& directory : directories) {
        const QString path = QDir(directory).filePath(bareName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return bareName;
}

} // namespace tolvane::platform
