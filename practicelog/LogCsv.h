#pragma once

#include "practicelog/PracticeEntry.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace tolvane::practicelog {

// The practice log is CSV as spreadsheets read it (RFC 4180): UTF-8, a header line naming the
// columns, fields separated by commas, lines ended by CR LF, '.' as the decimal mark.

// The header line, with its line break.
QByteArray csvHeader();
// One practice as one line, with its line break.
QByteArray csvLine(const PracticeEntry& entry);

struct ParsedLog {
    std::vector<PracticeEntry> entries; // in the order of the file
    int unreadableLines = 0;            // lines that are not a practice; blank lines not counted
};

// Reads every practice it can. A header line sets the order of the columns for the lines after
// it (a spreadsheet may have moved them); before any header the columns are in the order that
// csvHeader() names, or in that of headerLine, the first line of a log whose end alone is read,
// when it is a header. Quoted fields, a byte order mark and LF line breaks are read as well.
ParsedLog parseLog(QByteArrayView bytes, QByteArrayView headerLine = {});

} // namespace tolvane::practicelog
