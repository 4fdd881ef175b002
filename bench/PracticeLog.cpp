// What the practice log costs: the log window opened on a log of 10 000 practices until its chart
// is drawn, against an empty log; the window on a log of 100 MB, of which only the end is read;
// and one practice added to the log, against a plain write and sync of the same line.
#include "bench/BenchSupport.h"
#include "forms/PracticeLogWindow.h"
#include "forms/Unit1.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "practicelog/LogCsv.h"
#include "practicelog/LogFile.h"

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace tolvane;
using namespace tolvane::bench;
using namespace tolvane::practicelog;
using Ms = std::chrono::duration<double, std::milli>;
using std::chrono::steady_clock;

namespace {

constexpr int opens = 7;
constexpr int appends = 200;

// A practice a day, now and then two: Pranayama rated mostly easy, its round growing by a
// second every seventh easy practice, and every fifth practice a Kevali one.
std::vector<PracticeEntry> practices(int count)
{
    std::vector<PracticeEntry> entries;
    QDateTime day = QDateTime::currentDateTime().addDays(-count * 9 / 10);
    int puraka = 5;
    int easy = 0;
    for (int i = 0; i < count; ++i) {
        day = day.addSecs(i % 9 == 0 ? 3600 : 86'400);
        PracticeEntry entry;
        entry.started = LocalStamp::of(day);
        entry.ended = i % 11 == 0 ? Ended::Stop : Ended::End;
        if (i % 5 == 4) {
            entry.exercise = Exercise::Kevali;
            entry.kevaliMinutes = 10;
            entry.kevaliStartBreath = 5;
            entry.roundsPlanned = 50;
            entry.plannedSeconds = entry.elapsedSeconds = 700;
        } else {
            entry.type = Holds::One;
            entry.ratio = Ratio::Free;
            entry.puraka = puraka;
            entry.abhyantara = 4 * puraka;
            entry.rechaka = 2 * puraka;
            entry.bahya = 0;
            entry.roundsPlanned = 20;
            entry.plannedSeconds = entry.elapsedSeconds = 20.0 * 7 * puraka;
            if (entry.ended == Ended::End) {
                entry.rating = i % 13 == 0 ? Rating::SlightlyDifficult : Rating::Easy;
                if (entry.rating == Rating::Easy && ++easy % 7 == 0 && puraka < 12)
                    ++puraka;
                entry.roundSecondsAfter = 7 * puraka;
            }
        }
        entry.elapsedSeconds += 0.004;
        entries.push_back(entry);
    }
    return entries;
}

void writeLog(const QString& path, const std::vector<PracticeEntry>& entries, qint64 atLeastBytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray lines;
    for (const PracticeEntry& entry : entries)
        lines += csvLine(entry);
    file.write(csvHeader());
    qint64 written = 0;
    do {
        written += file.write(lines);
    } while (written < atLeastBytes);
}

// From the menu command until the window shows the log and its round chart has been painted.
std::vector<double> openTimes(TPranayama& window)
{
    std::vector<double> times;
    for (int i = 0; i < opens; ++i) {
        const auto start = steady_clock::now();
        window.PracticeLog1Click();
        PracticeLogWindow* log = PracticeLogWindow::openFor(&window);
        QEventLoop shown;
        QObject::connect(log, &PracticeLogWindow::shown, &shown, &QEventLoop::quit);
        shown.exec();
        // The chart, or for a log without practices the text that says so.
        const bool practices =
            log->findChild<QStackedWidget*>(QStringLiteral("Pages"))->currentIndex() == 1;
        QWidget* drawn = practices
                             ? log->findChild<QChartView*>(QStringLiteral("RoundChart"))->viewport()
                             : log->findChild<QWidget*>(QStringLiteral("EmptyText"));
        bool painted = false;
        struct PaintSpy : QObject {
            bool* painted;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    *painted = true;
                return false;
            }
        } spy;
        spy.painted = &painted;
        drawn->installEventFilter(&spy);
        while (!painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The paint event has been handled once the events of this round are.
        QCoreApplication::processEvents();
        times.push_back(Ms(steady_clock::now() - start).count());
        drawn->removeEventFilter(&spy);
        log->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return times;
}

QString medianAndMax(const std::vector<double>& times, int decimals)
{
    return QStringLiteral("%1 ms (%2 ms)")
        .arg(fixed(quantile(times, 0.5), decimals), fixed(quantile(times, 1.0), decimals));
}

std::vector<double> appendTimes(const QString& path, const PracticeEntry& entry)
{
    std::vector<double> times;
    for (int i = 0; i < appends; ++i) {
        const auto start = steady_clock::now();
        if (appendEntries(path, {entry}))
            qFatal("cannot add to %s", qPrintable(path));
        times.push_back(Ms(steady_clock::now() - start).count());
    }
    return times;
}

std::vector<double> plainWriteTimes(const QString& path, const QByteArray& line)
{
    std::vector<double> times;
    for (int i = 0; i < appends; ++i) {
        const auto start = steady_clock::now();
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::write(fd, line.constData(), size_t(line.size())) != line.size() ||
            ::fdatasync(fd) != 0)
            qFatal("cannot write %s", qPrintable(path));
        ::close(fd);
        times.push_back(Ms(steady_clock::now() - start).count());
    }
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Tolvane"));
    platform::registerFormFont();
    const ScratchSettings settings(dwordValue("blAuto", 1) + dwordValue("blAutoTwo", 0) +
                                   dwordValue("intDays", 4) + dwordValue("intIncrementDays", 7));
    QTemporaryDir data;
    const QString path = data.path() + QStringLiteral("/practice-log.csv");

    TPranayama window(platform::systemClock(), path);
    window.show();
    const std::vector<PracticeEntry> entries = practices(10'000);
    const QString item = QStringLiteral("6 Practice log");

    writeLog(path, {}, 0);
    const std::vector<double> empty = openTimes(window);
    writeLog(path, entries, 0);
    const std::vector<double> full = openTimes(window);
    const QString emptyBaseline = QStringLiteral("empty log: ") + medianAndMax(empty, 1);
    printRow(item,
             QStringLiteral("10 000 practices: menu command to the chart drawn, median (max) of %1")
                 .arg(opens),
             medianAndMax(full, 1), emptyBaseline, QStringLiteral("< 300 ms"),
             verdict(quantile(full, 0.5) < 300));

    constexpr qint64 hundredMegabytes = 100LL * 1000 * 1000;
    writeLog(path, entries, hundredMegabytes);
    const std::vector<double> huge = openTimes(window);
    printRow(item,
             QStringLiteral("100 MB log (its last %1 read): the same, median (max) of %2")
                 .arg(QLocale().formattedDataSize(PracticeLogWindow::readBound))
                 .arg(opens),
             medianAndMax(huge, 1), emptyBaseline, QStringLiteral("—"), QStringLiteral("info"));
    QFile::remove(path);

    const std::vector<double> added = appendTimes(path, entries.back());
    const std::vector<double> plain =
        plainWriteTimes(data.filePath(QStringLiteral("plain.csv")), csvLine(entries.back()));
    printRow(item,
             QStringLiteral("one practice added (locked, synced), median / p99 of %1").arg(appends),
             QStringLiteral("%1 / %2 ms")
                 .arg(fixed(quantile(added, 0.5), 2), fixed(quantile(added, 0.99), 2)),
             QStringLiteral("open, write, fdatasync: %1 / %2 ms")
                 .arg(fixed(quantile(plain, 0.5), 2), fixed(quantile(plain, 0.99), 2)),
             QStringLiteral("—"), QStringLiteral("info"));
    return 0;
}
