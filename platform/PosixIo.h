#pragma once

#include <QByteArrayView>
#include <QString>

namespace tolvane::platform {

// Writes all of bytes to the file descriptor, going on after interrupted and partial writes.
// Returns how many bytes were written; when that is short of the whole, errno says why (ENOSPC
// when the system took nothing and gave no reason).
qsizetype writeAll(int fd, QByteArrayView bytes);

// Makes the folder's entries durable, so that a file just created or renamed there survives a
// crash under its new name; the data of the file itself is synced by its writer.
void syncFolder(const QString& folder);

} // namespace tolvane::platform
