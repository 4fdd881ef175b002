#include "reminder/ReminderPlan.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RequireTool.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

using namespace tolvane;
using namespace tolvane::reminder;

namespace {

constexpr int monToFri = 0x1F;
constexpr int monWed = 0x05;
const QDate monday(2026, 12, 7);

struct Row {
    const char* name;
    bool on;
    const char* times; // as typed in the dialog
    int days;
    QDate today;
    std::vector<QDate> practised;
    const char*
        calendar;        // the timer's OnCalendar lines, apart by '|'; empty when times are refused
    const char* elapses; // systemd's reading of them: the first two per line after Sunday night
    Skip skip;
};

// clang-format off
const Row rows[]{
    {"every day at seven", true, "7:00", everyDay, monday, {}, "*-*-* 07:00:00",
     "Mon 2026-12-07 07:00:00|Tue 2026-12-08 07:00:00", Skip::None},
    {"two times typed out of order on two days", true, " 18:30,7:05 18:30", monWed,
     monday.addDays(2), {monday}, "Mon,Wed *-*-* 07:05:00|Mon,Wed *-*-* 18:30:00",
     "Mon 2026-12-07 07:05:00|Wed 2026-12-09 07:05:00|Mon 2026-12-07 18:30:00|Wed 2026-12-09 18:30:00",
     Skip::None},
    {"practised today", true, "23:59", monToFri, monday.addDays(1), {monday, monday.addDays(1)},
     "Mon,Tue,Wed,Thu,Fri *-*-* 23:59:00", "Mon 2026-12-07 23:59:00|Tue 2026-12-08 23:59:00",
     Skip::PractisedToday},
    {"a Saturday put off from Friday night", true, "0:00", monToFri, monday.addDays(5), {},
     "Mon,Tue,Wed,Thu,Fri *-*-* 00:00:00", "Mon 2026-12-07 00:00:00|Tue 2026-12-08 00:00:00",
     Skip::DayNotChosen},
    {"switched off", false, "7:00", everyDay, monday, {}, "*-*-* 07:00:00",
     "Mon 2026-12-07 07:00:00|Tue 2026-12-08 07:00:00", Skip::Off},
    {"an hour past the day", true, "7:00 24:00", everyDay, monday, {}, "", "", Skip::Off},
    {"minutes of one digit", true, "7:5", everyDay, monday, {}, "", "", Skip::Off},
    {"no time at all", true, " , ", everyDay, monday, {}, "", "", Skip::Off},
};
// clang-format on

QStringList list(const char* items)
{
    return QString::fromUtf8(items).split(u'|', Qt::SkipEmptyParts);
}

// When systemd's own calendar parser says the expressions elapse, from Sunday 23:59 on, in UTC.
QStringList systemdElapses(const QStringList& calendar)
{
    QProcess analyze;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    analyze.setProcessEnvironment(environment);
    analyze.start(QStringLiteral("systemd-analyze"),
                  QStringList{QStringLiteral("calendar"), QStringLiteral("--iterations=2"),
                              QStringLiteral("--base-time=2026-12-06 23:59:30")} +
                      calendar);
    EXPECT_TRUE(analyze.waitForFinished());
    EXPECT_EQ(analyze.exitCode(), 0) << analyze.readAllStandardError().toStdString();
    QStringList elapses;
    for (const QString& line : QString::fromUtf8(analyze.readAllStandardOutput()).split(u'\n')) {
        if (line.contains(QStringLiteral("Next elapse:")) || line.contains(QStringLiteral("Iter.")))
            elapses << line.section(u':', 1).trimmed().chopped(4); // without " UTC"
    }
    return elapses;
}

TEST(ReminderPlanTest, CalendarAndSkipRules)
{
    const bool haveSystemd =
        !QStandardPaths::findExecutable(QStringLiteral("systemd-analyze")).isEmpty();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReminderPlan plan;
        plan.on = row.on;
        const auto times = parseTimes(QString::fromUtf8(row.times));
        plan.times = times.value_or(QList<QTime>{});
        plan.days = row.days;
        EXPECT_EQ(onCalendar(plan), list(row.calendar));
        if (times) { // the text the dialog stores reads back as the same times
            EXPECT_EQ(parseTimes(timesText(*times)), times);
        }

        std::vector<practicelog::PracticeEntry> practices;
        for (const QDate& day : row.practised) {
            practicelog::PracticeEntry practice;
            practice.started.date = day;
            practices.push_back(practice);
        }
        EXPECT_EQ(skipReason(plan, row.today, practices), row.skip);

        if (!*row.calendar)
            continue;
        TOLVANE_REQUIRE(haveSystemd, "systemd");
        QStringList elapses = systemdElapses(list(row.calendar));
        QStringList expected = list(row.elapses);
        // "Mon 2026-12-07 …": sorted by the date and time after the day's name.
        const auto byMoment = [](const QString& a, const QString& b) {
            return a.mid(4) < b.mid(4);
        };
        std::sort(elapses.begin(), elapses.end(), byMoment);
        std::sort(expected.begin(), expected.end(), byMoment);
        EXPECT_EQ(elapses, expected);
    }
}

} // namespace
