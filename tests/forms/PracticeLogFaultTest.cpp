// A practice log that cannot be written: the practices run and end as they would without it, and
// the failure is told once in a run, after the practice, naming the file.
#include "tests/forms/PracticeRunner.h"

#include <QDir>
#include <QFileInfo>

using namespace tolvane;

namespace {

class PracticeLogFaultTest : public test::PracticeFixture {
protected:
    // What was told of the log; the cues are not beside the tests, which is told as well.
    QStringList logErrors() const { return errors.filter(QStringLiteral("practice log")); }
};

TEST_F(PracticeLogFaultTest, AFolderInPlaceOfTheLogIsToldOnceAndDisturbsNoPractice)
{
    const QString log = config.dataHome() + QStringLiteral("/tolvane/practice-log.csv");
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
                                             "\"%1\": is a directory.")
                                  .arg(log));

    startKevali();
    runFor(1'500);
    window->Stop1Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel(0), QStringLiteral("Program stopped"));
    EXPECT_EQ(logErrors().size(), 1);
    EXPECT_TRUE(QFileInfo(log).isDir());
    EXPECT_TRUE(QDir(log).isEmpty());
}

} // namespace
