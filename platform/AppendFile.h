#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tolvane::platform {

// Adds bytes to the end of a file that other writers share, creating the file and its folder when
// missing. Everything goes out in one write, under an exclusive lock on the file, and is synced to
// disk before the lock is released; the bytes already there are never touched, and a write that
// fails part way is taken back. When the file is empty, header comes first in the same write;
// when its last byte ends no line, a line break does, so the bytes start a line of their own.
// Returns why the bytes could not be added, or nothing when they were.
std::optional<QString> appendToFile(const QString& path, const QByteArray& header,
                                    const QByteArray& bytes);

} // namespace tolvane::platform
