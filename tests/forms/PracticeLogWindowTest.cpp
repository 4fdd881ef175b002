// The practice log window as people who practise for years see it, in their languages: a new
// user, six months of daily practice, a practice given up months ago, and three years of ten
// thousand practices. Every chart label is whole (no elided text), the round ticks are whole
// seconds, and the summary says what the log holds. With TOLVANE_SCREENSHOTS set the windows are
// saved there as practice-log-<log>.png, or -2x.png at twice the scale.
#include "forms/Unit7.h"
#include "practicelog/LogCsv.h"
#include "practicelog/LogFile.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QTableView>

#include <functional>

using namespace tolvane;
using namespace tolvane::practicelog;

namespace {

// A Wednesday.
const QDate today(2026, 12, 9);

// A practice a person would have: Pranayama of the given round (one hold, 1:4:2 by the Puraka)
// or Kevali when round is 0.
PracticeEntry practice(QDate day, int hour, int round, std::optional<Rating> rating)
{
    PracticeEntry entry;
    entry.started = {day, hour * 3600 + 1234, 3600};
    entry.delay = false;
    if (round == 0) {
        entry.exercise = Exercise::Kevali;
        entry.kevaliMinutes = 10;
        entry.kevaliStartBreath = 5;
        entry.roundsPlanned = 50;
        entry.plannedSeconds = entry.elapsedSeconds = 700;
        return entry;
    }
    entry.type = Holds::One;
    entry.ratio = Ratio::Free;
    entry.puraka = round / 7;
    entry.abhyantara = round / 7 * 4;
    entry.rechaka = round - entry.puraka.value() * 5;
    entry.bahya = 0;
    entry.roundsPlanned = 10;
    entry.plannedSeconds = 10.0 * round;
    entry.elapsedSeconds = entry.plannedSeconds + 0.004;
    entry.roundsDone = 10;
    entry.rating = rating;
    if (rating)
        entry.roundSecondsAfter = round;
    return entry;
}

// Daily practice from first to last, every practicesPerDay a day: mostly Pranayama rated easy,
// its round a second longer every seventh easy practice, a difficult one now and then taking a
// second back, and every fifth practice Kevali.
std::vector<PracticeEntry> dailyPractice(QDate first, QDate last, int practicesPerDay)
{
    std::vector<PracticeEntry> entries;
    int round = 21;
    int easy = 0;
    int n = 0;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        for (int i = 0; i < practicesPerDay; ++i, ++n) {
            const int hour = 6 + i * 16 / practicesPerDay;
            if (n % 5 == 4) {
                entries.push_back(practice(day, hour, 0, std::nullopt));
                continue;
            }
            std::optional<Rating> rating = Rating::Easy;
            if (n % 23 == 0)
                rating = Rating::Difficult;
            else if (n % 11 == 0)
                rating = Rating::SlightlyDifficult;
            else if (n % 17 == 0)
                rating.reset();
            // The first practice of the day moves the round on.
            if (i == 0 && rating == Rating::Difficult)
                round = std::max(21, round - 1);
            else if (i == 0 && rating == Rating::Easy && ++easy % 7 == 0)
                ++round;
            entries.push_back(practice(day, hour, round, rating));
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
    if (kind == "kevali") { // written by a clock set back: newest first
        std::vector<PracticeEntry> entries;
        for (int day = 0; day < 10; ++day)
            entries.push_back(practice(today.addDays(-day), 7, 0, std::nullopt));
        return entries;
    }
    // Three years of ten thousand practices.
    auto entries = dailyPractice(today.addDays(-1111), today, 9);
    entries.erase(entries.begin(), entries.end() - 10'000);
    return entries;
}

struct WindowCase {
    const char* name;
    const char* log;
    const char* locale;
    QString summary;    // how the summary starts
    QString roundTitle; // how the round chart's title starts
    QString started;    // the newest practice's start in the table
};

// Every text the chart draws: title, axis labels, legend.
QStringList chartTexts(QChartView* view)
{
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
            texts << text->toPlainText();
    }
    return texts;
}

// The labels of the round chart's seconds axis, from the bottom up: the whole numbers drawn left
// of the plot.
std::vector<int> secondLabels(QChartView* view)
{
    std::vector<std::pair<qreal, int>> labels;
    const qreal plotLeft = view->chart()->plotArea().left();
    for (QGraphicsItem* item : view->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        bool whole = false;
        const int value = text ? text->toPlainText().toInt(&whole) : 0;
        if (text && text->isVisible() && whole && text->sceneBoundingRect().right() <= plotLeft)
            labels.emplace_back(-text->sceneBoundingRect().center().y(), value);
    }
    std::sort(labels.begin(), labels.end());
    std::vector<int> values;
    for (const auto& label : labels)
        values.push_back(label.second);
    return values;
}

TEST(PracticeLogWindow, LogsOfEveryKindReadInFull)
{
    const WindowCase cases[] = {
        {"a new log", "new", "en_US", QStringLiteral("This week: 3 practices"),
         QStringLiteral("Round length per Pranayama practice"),
         QStringLiteral("12/9/2026 7:20:34 AM")},
        {"six months of practice", "regular", "en_US", QStringLiteral("This week: 4 practices"),
         QStringLiteral("Round length of each week's"), QStringLiteral("12/9/2026 6:20:34 AM")},
        {"a log given up four months ago", "lapsed", "en_US",
         QStringLiteral("This week: no practice yet, the last on Sunday, August 9, 2026"),
         QStringLiteral("Round length of each week's"), QStringLiteral("8/9/2026 6:20:34 AM")},
        {"three years of ten thousand practices", "heavy", "en_US",
         QStringLiteral("This week: 36 practices"), QStringLiteral("Round length of each month's"),
         QStringLiteral("12/9/2026 8:20:34 PM")},
        {"Kevali alone, the newest first in the file", "kevali", "en_US",
         QStringLiteral("This week: 4 practices"),
         QStringLiteral("The round chart is for Pranayama"),
         QStringLiteral("12/9/2026 7:20:34 AM")},
        {"six months in German", "regular", "de_DE", QStringLiteral("This week: 3 practices"),
         QStringLiteral("Round length of each week's"), QStringLiteral("09.12.2026 06:20:34")},
        {"three years in Russian", "heavy", "ru_RU", QStringLiteral("This week: 27 practices"),
         QStringLiteral("Round length of each month's"), QStringLiteral("09.12.2026 20:20:34")},
    };
    const QString screenshots = qEnvironmentVariable("TOLVANE_SCREENSHOTS");
    const bool doubled = qEnvironmentVariable("QT_SCALE_FACTOR") == u"2";
    TPracticeLog::setToday([] { return today; });
    for (const WindowCase& c : cases) {
        const test::TempConfig dirs;
        dirs.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                               "\"blAuto\"=dword:00000001\n\"intDays\"=dword:00000004\n"
                               "\"intIncrementDays\"=dword:00000007\n");
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        const std::vector<PracticeEntry> entries = logOf(c.log);
        QByteArray bytes = csvHeader();
        for (const PracticeEntry& entry : entries)
            bytes += csvLine(entry);
        QDir().mkpath(QFileInfo(defaultLogPath()).absolutePath());
        QFile file(defaultLogPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        QWidget owner;
        auto* window = new TPracticeLog(&owner);
        QSignalSpy shown(window, &TPracticeLog::shown);
        window->show();
        ASSERT_TRUE(shown.wait(20'000)) << c.name;
        QCoreApplication::processEvents();

        const QString summary = window->findChild<QLabel*>(QStringLiteral("Summary"))->text();
        EXPECT_TRUE(summary.startsWith(c.summary)) << c.name << ": " << summary.toStdString();
        EXPECT_FALSE(summary.contains(u"could not be read")) << c.name;
        auto* round = window->findChild<QChartView*>(QStringLiteral("RoundChart"));
        auto* week = window->findChild<QChartView*>(QStringLiteral("WeekChart"));
        EXPECT_TRUE(round->chart()->title().startsWith(c.roundTitle))
            << c.name << ": " << round->chart()->title().toStdString();
        for (QChartView* chart : {round, week}) {
            for (const QString& text : chartTexts(chart)) {
                EXPECT_FALSE(text.contains(u'…') || text.contains(u"..."))
                    << c.name << ": \"" << text.toStdString() << '"';
            }
        }
        auto* table = window->findChild<QTableView*>(QStringLiteral("PracticeTable"));
        EXPECT_EQ(table->model()->rowCount(), int(entries.size())) << c.name;
        EXPECT_EQ(table->model()->index(0, 0).data().toString(), c.started) << c.name;
        if (!screenshots.isEmpty() && QString::fromLatin1(c.locale) == u"en_US" &&
            std::string(c.log) != "kevali")
            window->grab().save(QStringLiteral("%1/practice-log-%2%3.png")
                                    .arg(screenshots, QString::fromLatin1(c.log),
                                         doubled ? QStringLiteral("-2x") : QString()));
        if (std::string(c.log) == "kevali")
            continue;
        // Whole seconds, evenly apart, at least three of them.
        const std::vector<int> seconds = secondLabels(round);
        ASSERT_GE(seconds.size(), 3U) << c.name;
        for (std::size_t i = 2; i < seconds.size(); ++i)
            EXPECT_EQ(seconds[i] - seconds[i - 1], seconds[1] - seconds[0]) << c.name;
        EXPECT_GT(seconds[1], seconds[0]) << c.name;
    }
    QLocale::setDefault(QLocale::c());
    TPracticeLog::setToday(&QDate::currentDate);
}

} // namespace
