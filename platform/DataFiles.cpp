#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tolvane::platform {

QStringList dataFileDirectories()
{
    QStringList directories{QDir::currentPath()};
    // Without an application object there is no reliable executable folder to offer.
    if (QCoreApplication::instance()) {
        const QDir executableDir(QCoreApplication::applicationDirPath());
        directories << executableDir.absolutePath();
        // An installation moved elsewhere as a whole keeps its data beside its binary folder.
        directories << QDir::cleanPath(executableDir.filePath(QStringLiteral("../share/tolvane")));
    }
    directories << QStringLiteral(TOLVANE_DATA_DIR);
    directories.removeDuplicates();
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
