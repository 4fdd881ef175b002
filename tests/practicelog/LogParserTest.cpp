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

const QByteArray header = "date,time,utc_offset_minutes,exercise,type,ratio,puraka,abhyantara,"
                          "rechaka,bahya,rounds_planned,kevali_minutes,kevali_start_breath,delay,"
                          "planned_ms,elapsed_ms,rounds_done,ended,rating,round_seconds_after\r\n";
const QByteArray pranayamaLine = "2026-12-08,07:15:04,60,Pranayama,one,free,5,20,10,0,20,,,0,"
                                 "700000,700004,20,end,easy,36\r\n";
const QByteArray kevaliLine =
    "2026-12-09,18:02:00,-330,Kevali,,,,,,,50,10,5,1,730000,12500,2,stop,,\r\n";
// The same practices as the first version wrote them.
const QByteArray firstHeader = "started,exercise,type,ratio,puraka,abhyantara,rechaka,bahya,"
                               "rounds_planned,kevali_minutes,kevali_start_breath,delay,"
                               "planned_seconds,elapsed_seconds,rounds_done,ended,rating,"
                               "round_seconds_after\r\n";
const QByteArray firstPranayamaLine =
    "2026-12-08T07:15:04+01:00,Pranayama,one,free,5,20,10,0,20,,,0,700,700.004,20,end,easy,36\r\n";
const QByteArray firstKevaliLine =
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

TEST(LogCsv, WritesWholeNumbersAndTheDateAndTimeAsSpreadsheetsReadThem)
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
    QDate latest = {};
};

// A line of today's columns with one field replaced.
QByteArray pranayamaWith(int field, const QByteArray& value)
{
    QList<QByteArray> fields = pranayamaLine.chopped(2).split(',');
    fields[field] = value;
    return fields.join(',') + "\r\n";
}

TEST(LogCsv, ReadsWhatSpreadsheetsEarlierVersionsAndDamageLeave)
{
    const QByteArray noteHeader = "note," + header;
    PracticeEntry onTheNinth = pranayama();
    onTheNinth.started.date = QDate(2026, 12, 9);
    PracticeEntry practisedLonger = pranayama();
    practisedLonger.elapsedSeconds = 1460;
    const ParseCase cases[] = {
        {"today's lines", header + pranayamaLine + kevaliLine, {pranayama(), kevali()}, 0},
        {"no header", pranayamaLine, {pranayama()}, 0},
        {"the first version's lines",
         firstHeader + firstPranayamaLine + firstKevaliLine,
         {pranayama(), kevali()},
         0},
        {"the first version's line without a header", firstKevaliLine, {kevali()}, 0},
        {"the first version's ratio names",
         QByteArray(firstPranayamaLine).replace("free", "1:4:2:2"),
         {[] {
             PracticeEntry entry = pranayama();
             entry.ratio = Ratio::OneFourTwoTwo;
             return entry;
         }()},
         0},
        {"a log of the first version continued in today's columns",
         firstHeader + firstPranayamaLine + header + kevaliLine,
         {pranayama(), kevali()},
         0},
        {"the end of such a log read under the first version's header",
         firstHeader + kevaliLine,
         {kevali()},
         0},
        {"LF line breaks and none at the end",
         QByteArray(header + pranayamaLine + kevaliLine).replace("\r\n", "\n").chopped(1),
         {pranayama(), kevali()},
         0},
        {"every field quoted",
         quotedEveryField(header) + quotedEveryField(pranayamaLine),
         {pranayama()},
         0},
        {"columns moved and a note added, holding a comma, quotes and a line break",
         "note,exercise,time,date,utc_offset_minutes,type,ratio,puraka,abhyantara,rechaka,bahya,"
         "rounds_planned,kevali_minutes,kevali_start_breath,delay,planned_ms,elapsed_ms,"
         "rounds_done,ended,rating,round_seconds_after\r\n"
         "\"felt "
         "\"\"light\"\",\r\nslow\",Pranayama,07:15:04,2026-12-08,60,one,free,5,20,10,0,20,,,0,"
         "700000,700004,20,end,easy,36\r\n",
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
        {"two stray quotes stay on their lines",
         header + '"' + pranayamaLine + kevaliLine + kevaliLine + "x\"" + kevaliLine +
             pranayamaLine,
         {kevali(), kevali(), pranayama()},
         2},
        {"a note's quote that is never closed stays on its line",
         noteHeader + "\"dizzy," + pranayamaLine + "," + kevaliLine + "\"ok\"," + pranayamaLine,
         {kevali(), pranayama()},
         1},
        {"values no practice can have",
         header + pranayamaWith(15, "700004000") + pranayamaWith(15, "-1") +
             pranayamaWith(0, "2026-12-10") + pranayamaWith(2, "1440") +
             pranayamaWith(1, "24:00:00") + pranayamaWith(0, "2026-12-8") +
             pranayamaWith(14, "700.000") + pranayamaWith(15, "1000000000000001") +
             pranayamaWith(0, "2026-12-09") + pranayamaWith(15, "1460000"),
         {onTheNinth, practisedLonger},
         8,
         QDate(2026, 12, 9)},
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
         "\"2026-12-09T18:02:00-05:30,Kevali,,,,,,,50,10,5,1,730,12.5,2,stop,,\r\n" +
             pranayamaWith(5, "1:4:2:2") + pranayamaWith(14, "700,5"),
         {},
         13},
        {"a header without a column keeps the order before it",
         header.left(header.lastIndexOf(',')) + "\r\n" + pranayamaLine,
         {pranayama()},
         1},
    };
    for (const ParseCase& c : cases) {
        const ParsedLog log = parseLog(c.text, {}, c.latest);
        EXPECT_EQ(log.entries, c.entries) << c.name;
        EXPECT_EQ(log.unreadableLines, c.unreadable) << c.name;
    }
}

} // namespace
