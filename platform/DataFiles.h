#pragma once

#include <QString>
#include <QStringList>

namespace tolvane::platform {

// The folders a data file named without a directory is looked for in, in order: the working
// directory, the folder of the executable and the installed data folder.
QStringList dataFileDirectories();

// The path of the first file of that name in those folders, or the name unchanged when none has
// it, so that a failure to open it names the file the user knows.
QString locateDataFile(const QString& bareName);

} // namespace tolvane::platform
