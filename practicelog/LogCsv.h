#pragma once

#include "practicelog/PracticeEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>

#include <vector>

namespace tolvane::practicelog {

// The practice log is CSV as spreadsheets read it (RFC 4180): UTF-8, a header line naming the
// columns, fields separated by commas, lines ended by CR LF. No field holds a decimal fraction,
// so every locale reads the numbers alike; the date, the time of day and the UTC offset stand in
// fields of their own, in the forms that spreadsheets read as a date and a time.

// The header line, with its line break.
QByteArray csvHeader();
// One practice as one line, with its line break.
QByteArray csvLine(const PracticeEntry& entry);
// Whether a line of the log (without its line break) ends lines written in today's columns, in
// their order: the header, or a practice as csvLine() writes it.
bool endsCurrentLines(QByteArrayView line);

struct ParsedLog {
    std::vector<PracticeEntry> entries; // in the order of the file
    int unreadableLines = 0;            // lines that are not a practice; blank lines not counted
};

// Reads every practice it can. A header line sets the columns for the lines after it (a
// spreadsheet may have moved them, or the log may hold the columns of an earlier version); before
// any header the columns are those a line of its length was written with, or those of headerLine,
// the first line of a log whose end alone is read, when it is a header. Quoted fields, a byte
// order mark and LF line breaks are read as well; a quoted field holds line breaks only in a column
// added to the log's own (a note) of a line that reads, and elsewhere ends at its line, so damage
// stays on its line. A value no practice can have makes its line unreadable: a practised time far
// beyond the planned one, or a date after latestDate when one is given.
ParsedLog parseLog(QByteArrayView bytes, QByteArrayView headerLine = {}, QDate latestDate = {});

} // namespace tolvane::practicelog
