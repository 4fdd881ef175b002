#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace tolvane::platform {

// What goes before the bytes added to a file, given the end of the file as it stands under the
// lock: its last bytes, up to 64 KiB of them, or nothing when it is empty.
using AppendLead = std::function<QByteArray(QByteArrayView end)>;

// Adds bytes to the end of a file that other writers share, creating the file and its folder when
// missing. Everything goes out in one write, under an exclusive lock on the file, and is synced to
// disk before the lock is released; the bytes already there are never touched, and a write that
// fails part way is taken back. What lead gives for the end of the file comes first in the same
// write. Returns why the bytes could not be added, or nothing when they were.
std::optional<QString> appendToFile(const QString& path, const QByteArray& bytes,
                                    const AppendLead& lead);

} // namespace tolvane::platform
