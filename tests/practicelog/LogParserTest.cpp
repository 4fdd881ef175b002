// The practice log as spreadsheets read and write it: the columns as written, and what reading
// keeps of lines that spreadsheets, editors and damage leave behind.
#include "practicelog/LogCsv.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tolvane::practicelog;

namespace tolvane::practicelog {
// A failing comparison shows the practices as the log would hold them.
void PrintTo(const PracticeEntry& entry, std::ostream* out)
{
    *out << csvLine(entry).trimmed().toStdString();
}
} // namespace tolvane::practicelog

namespace {

const QByteArray header = "started,exercise,type,ratio,puraka,abhyantara,rechaka,bahya,"
                          "rounds_planned,kevali_minutes,kevali_start_breath,delay,"
                          "planned_seconds,elapsed_seconds,rounds_done,ended,rating,"
                          "round_seconds_after\r\n";
const QByteArray pranayamaLine =
    "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,700.004,20,end,easy,36\r\n";
const QByteArray kevaliLine =
    "2026-12-09T18:02:00-05:30,Kevali,,,,,,,50,10,5,1,730,12.5,2,stop,,\r\n";

PracticeEntry pranayama()
{
    PracticeEntry entry;
    entry.started = {QDate(2026, 12, 8), 7 * 3600 + 15 * 60 + 4, 3600};
    entry.type = Holds::One;
    entry.ratio = Ratio::Free;
    entry.puraka = 5;
    entry.abhyantara = 20;
    entry.rechaka = 10;
    entry.bahya = 0;
    entry.roundsPlanned = 20;
    entry.plannedSeconds = 700;
    entry.elapsedSeconds = 700.004;
    entry.roundsDone = 20;
    entry.rating = Rating::Easy;
    entry.roundSecondsAfter = 36;
    return entry;
}

PracticeEntry kevali()
{
    PracticeEntry entry;
    entry.started = {QDate(2026, 12, 9), 18 * 3600 + 2 * 60, -(5 * 3600 + 30 * 60)};
    entry.exercise = Exercise::Kevali;
    entry.roundsPlanned = 50;
    entry.kevaliMinutes = 10;
    entry.kevaliStartBreath = 5;
    entry.delay = true;
    entry.plannedSeconds = 730;
    entry.elapsedSeconds = 12.5;
    entry.roundsDone = 2;
    entry.ended = Ended::Stop;
    return entry;
}

QByteArray quotedEveryField(QByteArray line)
{
    line.chop(2);
    return '"' + line.replace(",", "\",\"") + "\"\r\n";
}

TEST(LogCsv, WritesTheColumnsAsSpreadsheetsReadThem)
{
    EXPECT_EQ(csvHeader(), header);
    EXPECT_EQ(csvLine(pranayama()), pranayamaLine);
    EXPECT_EQ(csvLine(kevali()), kevaliLine);
}

struct ParseCase {
    const char* name;
    QByteArray text;
    std::vector<PracticeEntry> entries;
    int unreadable;
};

TEST(LogCsv, ReadsWhatSpreadsheetsAndDamageLeave)
{
    const ParseCase cases[] = {
        {"our own lines", header + pranayamaLine + kevaliLine, {pranayama(), kevali()}, 0},
        {"no header", pranayamaLine, {pranayama()}, 0},
        {"LF line breaks and none at the end",
         QByteArray(header + pranayamaLine + kevaliLine).replace("\r\n", "\n").chopped(1),
         {pranayama(), kevali()},
         0},
        {"every field quoted",
         quotedEveryField(header) + quotedEveryField(pranayamaLine),
         {pranayama()},
         0},
        {"columns moved and one added, holding a comma, quotes and a line break",
         "note,exercise,started,type,ratio,puraka,abhyantara,rechaka,bahya,rounds_planned,"
         "kevali_minutes,kevali_start_breath,delay,planned_seconds,elapsed_seconds,rounds_done,"
         "ended,rating,round_seconds_after\r\n"
         "\"felt \"\"light\"\",\r\nslow\",Pranayama,2026-12-08T07:15:04+01:00,one,free,5,20,10,0,"
         "20,,,0,700,700.004,20,end,easy,36\r\n",
         {pranayama()},
         0},
        {"a byte order mark before the header",
         "\xEF\xBB\xBF" + header + kevaliLine,
         {kevali()},
         0},
        {"blank lines", "\r\n" + header + "\r\n\r\n" + kevaliLine + "\r\n", {kevali()}, 0},
        {"garbage between practices",
         header + "garbage\r\n" + pranayamaLine + QByteArray("\0\xff\xfe\r\n", 5) + kevaliLine,
         {pranayama(), kevali()},
         2},
        {"fields that do not read",
         "2026-12-08T07:15:04+01:00,Yoga,one,free,5,20,10,0,20,,,0,700,700,20,end,,\r\n"
         "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,700,20,end,hard,\r\n"
         "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,2,700,700,20,end,,\r\n"
         "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,1e3,20,end,,\r\n"
         "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,\"700,004\",20,end,,"
         "\r\n"
         "2026-12-08T07:15:04,Pranayama,one,free,5,20,10,0,20,,,0,700,700,20,end,,\r\n"
         "2026-02-30T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,700,20,end,,\r\n"
         "2026-12-08T07:15:04+01:00,Pranayama,one,free,,20,10,0,20,,,0,700,700,20,end,,\r\n"
         "2026-12-09T18:02:00-05:30,Kevali,,,,,,,50,,5,1,730,12.5,2,stop,,\r\n"
         "2026-12-09T18:02:00-05:30,Kevali,,,,,,,50,10,5,1,730,12.5,2,stop\r\n"
         "\"2026-12-09T18:02:00-05:30,Kevali,,,,,,,50,10,5,1,730,12.5,2,stop,,\r\n",
         {},
         11},
        {"a header without a column keeps the order before it",
         header.left(header.lastIndexOf(',')) + "\r\n" + pranayamaLine,
         {pranayama()},
         1},
    };
    for (const ParseCase& c : cases) {
        const ParsedLog log = parseLog(c.text);
        EXPECT_EQ(log.entries, c.entries) << c.name;
        EXPECT_EQ(log.unreadableLines, c.unreadable) << c.name;
    }
}

} // namespace
