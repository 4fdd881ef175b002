// A practice log that cannot be written: the practices run and end as they would without it, each
// failure is told after its practice, naming the file, and the practices wait for room.
#include "forms/PracticeLogWindow.h"
#include "tests/forms/PracticeRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>

using namespace tolvane;

namespace {

class PracticeLogFaultTest : public test::PracticeFixture {
protected:
    // What was told of the log; the cues are not beside the tests, which is told as well.
    QStringList logErrors() const { return errors.filter(QStringLiteral("practice log")); }
};

TEST_F(PracticeLogFaultTest, PracticesWaitWhileTheLogCannotBeWrittenAndNoneIsLost)
{
    const QString log = logPath();
    ASSERT_TRUE(QDir().mkpath(log));
    // Rounds of Puraka 1 s and Rechaka 2 s, 0:00:06 in all.
    writeSettings("\"intPrTotalTime\"=dword:00000002\n\"intPrInhale\"=dword:00000001\n"
                  "\"intPrExhale\"=dword:00000002\n\"blCheckOne\"=dword:00000000\n"
                  "\"tTotalTime\"=hex:df,bc,9a,78,56,34,12,3f\n");
    window->FormCreate();

    startPranayama();
    const auto events = runFor(20'000);
    ASSERT_FALSE(running());
    EXPECT_EQ(events.back().status, QStringLiteral("The end"));
    EXPECT_EQ(events.back().cue, QStringLiteral("Exit.wav"));
    EXPECT_NEAR(msSinceStart(), 6'000, 10);
    EXPECT_TRUE(logErrors().isEmpty()) << "told before the practice's own work was done";
    QCoreApplication::processEvents();
    ASSERT_EQ(logErrors().size(), 1);
    EXPECT_EQ(logErrors()[0], QStringLiteral("This practice could not be added to the practice log "
                                             "\"%1\": is a directory. It is kept, and written with "
                                             "the next practice or when Tolvane closes.")
                                  .arg(log));

    startKevali();
    runFor(1'500);
    window->Stop1Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel(0), QStringLiteral("Program stopped"));
    ASSERT_EQ(logErrors().size(), 2);
    EXPECT_TRUE(logErrors()[1].startsWith(u"2 practices could not be added"));
    EXPECT_TRUE(QDir(log).isEmpty());

    // The log window counts them, and shows them with the log.
    window->PracticeLog1Click();
    auto* logWindow = PracticeLogWindow::openFor(window.get());
    QSignalSpy shown(logWindow, &PracticeLogWindow::shown);
    ASSERT_TRUE(shown.wait(10'000));
    const QString summary = logWindow->findChild<QLabel*>(QStringLiteral("Summary"))->text();
    EXPECT_TRUE(summary.startsWith(u"This week: 2 practices") &&
                summary.contains(u"\n2 practices are waiting to be written to the log."))
        << summary.toStdString();

    // Room again: the next practice takes the two that waited with it, in their order.
    ASSERT_TRUE(QDir(log).removeRecursively());
    startKevali();
    runFor(1'500);
    window->Stop1Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(logErrors().size(), 2);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].contains(",Pranayama,none,1:(4):2:(2),1,20,2,0,2,,,0,6000,6"));
    EXPECT_TRUE(lines[2].contains(",Kevali,") && lines[3].contains(",Kevali,"));
}

} // namespace
