// The log window as people who practise for years see it, in their languages: a new log, six
// months of daily practice, a practice given up months ago, three years of ten thousand
// practices, and Kevali alone. No chart label is elided, the round ticks are whole seconds, and
// the summary and the table say what the log holds. With TOLVANE_SCREENSHOTS set the windows are
// saved there as practice-log-<log>.png, or -2x.png at twice the scale.
#include "forms/PracticeLogWindow.h"
#include "practicelog/LogFile.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QChartView>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>

#include <tuple>

using namespace tolvane;
using namespace tolvane::practicelog;

namespace {

const QDate today(2026, 12, 9); // a Wednesday

// Pranayama of the given round (one hold, 1:4:2 by the Puraka), or Kevali for a round of 0.
PracticeEntry practice(QDate day, int hour, int round, std::optional<Rating> rating)
{
    PracticeEntry entry;
    entry.started = {day, hour * 3600 + 1234, 3600};
    if (round == 0) {
        std::tie(entry.exercise, entry.kevaliMinutes, entry.kevaliStartBreath,
                 entry.roundsPlanned) = std::tuple(Exercise::Kevali, 10, 5, 50);
        entry.plannedSeconds = entry.elapsedSeconds = 700;
        return entry;
    }
    const int puraka = round / 7;
    std::tie(entry.type, entry.ratio, entry.puraka, entry.abhyantara, entry.rechaka, entry.bahya) =
        std::tuple(Holds::One, Ratio::Free, puraka, 4 * puraka, round - 5 * puraka, 0);
    entry.roundsPlanned = entry.roundsDone = 10;
    entry.plannedSeconds = 10.0 * round;
    entry.elapsedSeconds = entry.plannedSeconds + 0.004;
    entry.rating = rating;
    if (rating)
        entry.roundSecondsAfter = round;
    return entry;
}

// practicesPerDay from first to last: every fifth Kevali, the others Pranayama rated mostly
// easy; the day's first practice adds a second every seventh time it is easy, and takes one back
// when it is difficult.
std::vector<PracticeEntry> dailyPractice(QDate first, QDate last, int practicesPerDay)
{
    std::vector<PracticeEntry> entries;
    int round = 21;
    int easy = 0;
    int n = 0;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        for (int i = 0; i < practicesPerDay; ++i, ++n) {
            const int hour = 6 + i * 16 / practicesPerDay;
            std::optional<Rating> rating = n % 23 == 0   ? Rating::Difficult
                                           : n % 11 == 0 ? Rating::SlightlyDifficult
                                                         : Rating::Easy;
            if (n % 17 == 0 && rating == Rating::Easy)
                rating.reset();
            if (i == 0 && rating == Rating::Difficult)
                round = std::max(21, round - 1);
            else if (i == 0 && rating == Rating::Easy && ++easy % 7 == 0)
                ++round;
            entries.push_back(practice(day, hour, n % 5 == 4 ? 0 : round, rating));
        }
    }
    return entries;
}

std::vector<PracticeEntry> logOf(const std::string& kind)
{
    if (kind == "new")
        return {practice(today.addDays(-1), 7, 21, Rating::Easy),
                practice(today.addDays(-1), 19, 0, std::nullopt),
                practice(today, 7, 22, std::nullopt)};
    if (kind == "regular") { // six months with three weeks away in the middle
        auto entries = dailyPractice(today.addMonths(-6), today.addMonths(-3), 1);
        const auto later = dailyPractice(today.addMonths(-3).addDays(21), today, 1);
        entries.insert(entries.end(), later.cbegin(), later.cend());
        return entries;
    }
    if (kind == "lapsed")
        return dailyPractice(today.addMonths(-7), today.addMonths(-4), 1);
    std::vector<PracticeEntry> entries;
    if (kind == "kevali") { // written by a clock set back: newest first
        for (int day = 0; day < 10; ++day)
            entries.push_back(practice(today.addDays(-day), 7, 0, std::nullopt));
        return entries;
    }
    entries = dailyPractice(today.addDays(-1111), today, 9);
    entries.erase(entries.begin(), entries.end() - 10'000);
    return entries;
}

// The whole numbers drawn left of a chart's plot, in order; fails on any text of it that is elided.
std::vector<int> axisNumbers(QChartView* view, const char* name)
{
    std::vector<int> values;
    for (QGraphicsItem* item : view->scene()->items()) {
        const auto* label = dynamic_cast<QGraphicsTextItem*>(item);
        const QString text = label && label->isVisible() ? label->toPlainText() : QString();
        EXPECT_FALSE(text.contains(u'…') || text.contains(u"..."))
            << name << ": " << text.toStdString();
        bool whole = false;
        if (const int value = text.toInt(&whole);
            whole && label->sceneBoundingRect().right() <= view->chart()->plotArea().left())
            values.push_back(value);
    }
    std::sort(values.begin(), values.end());
    return values;
}

TEST(PracticeLogWindow, LogsOfEveryKindReadInFull)
{
    const struct {
        const char* name;
        const char* log;
        const char* locale;
        const char16_t* summary;    // how the summary starts
        const char16_t* roundTitle; // how the round chart's title starts
        const char16_t* newest;     // the start of the table's first row
    } cases[] = {
        {"a new log", "new", "en_US", u"This week: 3 practices",
         u"Round length per Pranayama practice", u"12/9/2026 7:20:34 AM"},
        {"six months of practice", "regular", "en_US", u"This week: 4 practices",
         u"Round length of each week's", u"12/9/2026 6:20:34 AM"},
        {"a log given up four months ago", "lapsed", "en_US",
         u"This week: no practice yet, the last on Sunday, August 9, 2026",
         u"Round length of each week's", u"8/9/2026 6:20:34 AM"},
        {"three years of ten thousand practices", "heavy", "en_US", u"This week: 36 practices",
         u"Round length of each month's", u"12/9/2026 8:20:34 PM"},
        {"Kevali alone, the newest first in the file", "kevali", "en_US", u"This week: 4 practices",
         u"The round chart is for Pranayama", u"12/9/2026 7:20:34 AM"},
        {"six months in German", "regular", "de_DE", u"This week: 3 practices",
         u"Round length of each week's", u"09.12.2026 06:20:34"},
        {"three years in Russian", "heavy", "ru_RU", u"This week: 27 practices",
         u"Round length of each month's", u"09.12.2026 20:20:34"},
    };
    const QString screenshots = qEnvironmentVariable("TOLVANE_SCREENSHOTS");
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR") == u"2" ? u"-2x"_qs : QString();
    PracticeLogWindow::setToday([] { return today; });
    for (const auto& c : cases) {
        const test::TempConfig dirs;
        // The increment towards equal phases counts its easy practices as the other one does.
        const bool equal = std::string(c.log) == "kevali";
        dirs.writeRegistryFile(QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n") +
                               (equal ? "\"blAuto\"=dword:00000000\n\"blAutoTwo\"=dword:00000001\n"
                                      : "\"blAuto\"=dword:00000001\n") +
                               "\"intDays\"=dword:00000004\n\"intIncrementDays\"=dword:00000007\n");
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        const std::vector<PracticeEntry> entries = logOf(c.log);
        const QString log = dirs.dataHome() + u"/practice-log.csv"_qs;
        ASSERT_EQ(appendEntries(log, entries), std::nullopt) << c.name;

        QWidget owner;
        auto* window = new PracticeLogWindow(&owner, log);
        QSignalSpy shown(window, &PracticeLogWindow::shown);
        window->show();
        ASSERT_TRUE(shown.wait(20'000)) << c.name;
        QCoreApplication::processEvents();
        const QString summary = window->findChild<QLabel*>(u"Summary"_qs)->text();
        EXPECT_TRUE(summary.startsWith(QStringView(c.summary)))
            << c.name << ": " << summary.toStdString();
        EXPECT_FALSE(summary.contains(u"could not be read")) << c.name;
        EXPECT_TRUE(summary.endsWith(u"Next lengthening: after 3 more easy practices")) << c.name;
        auto* round = window->findChild<QChartView*>(u"RoundChart"_qs);
        EXPECT_TRUE(round->chart()->title().startsWith(QStringView(c.roundTitle))) << c.name;
        const auto* table = window->findChild<QTableView*>(u"PracticeTable"_qs)->model();
        EXPECT_EQ(table->rowCount(), int(entries.size())) << c.name;
        EXPECT_EQ(table->index(0, 0).data().toString(), QStringView(c.newest)) << c.name;
        axisNumbers(window->findChild<QChartView*>(u"WeekChart"_qs), c.name);
        const std::vector<int> seconds = axisNumbers(round, c.name);
        if (std::string(c.log) == "kevali")
            continue;
        // Whole seconds, evenly apart, at least three of them.
        ASSERT_GE(seconds.size(), 3U) << c.name;
        for (std::size_t i = 1; i < seconds.size(); ++i)
            EXPECT_EQ(seconds[i] - seconds[i - 1], seconds[1] - seconds[0]) << c.name;
        EXPECT_GT(seconds[1], seconds[0]) << c.name;
        if (!screenshots.isEmpty() && std::string(c.locale) == "en_US")
            window->grab().save(
                u"%1/practice-log-%2%3.png"_qs.arg(screenshots, QString::fromLatin1(c.log), scale));
    }
    QLocale::setDefault(QLocale::c());
    PracticeLogWindow::setToday(&QDate::currentDate);
}

} // namespace
