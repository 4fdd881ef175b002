#pragma once

#include "practicelog/LogCsv.h"

#include <QString>

#include <optional>

namespace tolvane::practicelog {

// $XDG_DATA_HOME/tolvane/practice-log.csv, or ~/.local/share/tolvane/practice-log.csv when that
// is unset or relative.
QString defaultLogPath();

// Adds the practice to the log as one line (a new log gets its header first). Returns the
// message for the user, naming the file, when it cannot.
std::optional<QString> appendEntry(const QString& path, const PracticeEntry& entry);

struct LogRead {
    ParsedLog log;
    qint64 bytesNotRead = 0; // the start of a log larger than the bound
    QString failure;         // why the log cannot be read at all; empty when it was read
};

// Reads the practices in the last maxBytes of the log, in whole lines; a header at the start of
// the log still sets the columns. A missing log is read as an empty one.
LogRead readLog(const QString& path, qint64 maxBytes);

} // namespace tolvane::practicelog
