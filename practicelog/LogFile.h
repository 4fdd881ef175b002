#pragma once

#include "practicelog/LogCsv.h"

#include <QString>

#include <optional>
#include <vector>

namespace tolvane::practicelog {

// $XDG_DATA_HOME/tolvane/practice-log.csv, or ~/.local/share/tolvane/practice-log.csv when that
// is unset or relative.
QString defaultLogPath();

// Adds the practices to the log, one line each, in one write: all of them or none. A new log, or
// one whose last line is not in today's columns (an earlier version's, a spreadsheet's order, a
// damaged line), gets the header first. Returns why they could not be added.
std::optional<QString> appendEntries(const QString& path,
                                     const std::vector<PracticeEntry>& entries);

struct LogRead {
    ParsedLog log;
    qint64 bytesNotRead = 0; // the start of a log larger than the bound
    QString failure;         // why the log cannot be read at all; empty when it was read
};

// Reads the practices in the last maxBytes of the log's lines, in whole lines; a header at the
// start of the log still sets the columns. A line far longer than any practice (junk) is skipped
// unread, and counted as unreadable, whatever its length. A missing log is read as an empty one.
// Practices dated after latestDate are unreadable (see parseLog()).
LogRead readLog(const QString& path, qint64 maxBytes, QDate latestDate = {});

} // namespace tolvane::practicelog
