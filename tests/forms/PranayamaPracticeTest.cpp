#include "forms/Unit6.h"
#include "platform/Registry.h"
#include "settings/RegistryAccessor.h"
#include "settings/SettingsStore.h"
#include "tests/forms/PracticeRunner.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tolvane;

namespace {

class PranayamaPracticeTest : public test::PracticeFixture {
protected:
    void start() { startPranayama(); }
};

TEST_F(PranayamaPracticeTest, DefaultPracticeRunsTwentyRoundsAndEndsAtSevenHundredSeconds)
{
    window->FormCreate();
    start();
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:11:40"));
    EXPECT_EQ(panel(0), QStringLiteral("Pranayama"));

    const auto events = runFor(800'000);

    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0].status, QStringLiteral("Puraka"));
    EXPECT_EQ(events[0].round, QStringLiteral("1"));
    EXPECT_EQ(events[0].cue, QStringLiteral("Inhale.wav"));
    EXPECT_LE(events[0].ms, 2);
    // The first Puraka lasts 6 s, the hold 20 s, the exhalation 10 s.
    EXPECT_EQ(events[1].status, QStringLiteral("Abhyantara Kumbhaka"));
    EXPECT_EQ(events[1].cue, QStringLiteral("Check.wav"));
    EXPECT_NEAR(events[1].ms, 6000, 5);
    EXPECT_EQ(events[2].status, QStringLiteral("Rechaka"));
    EXPECT_EQ(events[2].cue, QStringLiteral("Exhale.wav"));
    EXPECT_NEAR(events[2].ms, 26000, 5);

    int rounds = 0;
    for (const test::PracticeEvent& event : events) {
        if (event.status != u"Puraka")
            continue;
        ++rounds;
        EXPECT_EQ(event.round, QString::number(rounds));
        EXPECT_EQ(event.cue, QStringLiteral("Inhale.wav"));
        if (rounds > 1) {
            // Round k begins at 35 × (k − 1) + 1 s; each phase change lags a tick or two.
            const long long ideal = 35'000LL * (rounds - 1) + 1000;
            EXPECT_GE(event.ms, ideal) << "round " << rounds;
            EXPECT_LE(event.ms, ideal + 2 * 3 * rounds) << "round " << rounds;
        }
    }
    EXPECT_EQ(rounds, 20);

    // The time runs out in the 20th exhalation.
    ASSERT_GE(events.size(), 2u);
    const test::PracticeEvent& last = events[events.size() - 2];
    EXPECT_EQ(last.status, QStringLiteral("Rechaka"));
    EXPECT_EQ(last.round, QStringLiteral("20"));
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_GE(msSinceStart(), 700'000);
    EXPECT_LE(msSinceStart(), 700'003);

    EXPECT_EQ(events.back().status, QStringLiteral("The end"));
    EXPECT_EQ(lastCue(), QStringLiteral("Exit.wav"));
    EXPECT_EQ(text("LMDLEDLabel1"), QStringLiteral("0:00"));
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:00:00"));
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("0:11:40"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    EXPECT_EQ(panel(0), QStringLiteral("Pranayama"));
    EXPECT_TRUE(enabled("PranStart"));
    EXPECT_TRUE(enabled("BeginBreathing1"));
    EXPECT_FALSE(enabled("StopProg"));
    EXPECT_FALSE(enabled("Stop1"));
}

TEST_F(PranayamaPracticeTest, DisplaysCountOncePerSecondDuringAPhase)
{
    window->FormCreate();
    start();
    runFor(2500);
    EXPECT_EQ(text("LMDLEDLabel1"), QStringLiteral("0:02"));
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("0:00:02"));
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:11:38"));
    EXPECT_FALSE(enabled("PranStart"));
    EXPECT_FALSE(enabled("BeginBreathing1"));
    EXPECT_TRUE(enabled("StopProg"));
    EXPECT_TRUE(enabled("Stop1"));
    EXPECT_EQ(stopCaption(), QColor(0, 255, 0));
}

TEST_F(PranayamaPracticeTest, DelayComesFirstForThirtyOneSecondsThenRoundOne)
{
    writeSettings("\"blDelay\"=dword:00000001\n"
                  "\"tTotalTime\"=hex:dc,14,a3,86,bf,4d,81,3f\n"); // 730 s
    window->FormCreate();
    start();
    const auto events = runFor(40'000);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].status, QStringLiteral("30 sec. Delay"));
    EXPECT_EQ(events[0].cue, QStringLiteral("Delay.wav"));
    EXPECT_EQ(events[0].round, QStringLiteral("000"));
    EXPECT_EQ(events[1].status, QStringLiteral("Puraka"));
    EXPECT_EQ(events[1].round, QStringLiteral("1"));
    EXPECT_EQ(events[1].cue, QStringLiteral("Inhale.wav"));
    EXPECT_NEAR(events[1].ms, 31'000, 5);
    EXPECT_FALSE(settings.blDelay); // cleared in the record only
}

TEST_F(PranayamaPracticeTest, TheRatingKeepsTheDelayInTheTotalWhenItsReloadFails)
{
    writeSettings("\"blDelay\"=dword:00000001\n\"blAuto\"=dword:00000001\n"
                  "\"blModeOne\"=dword:00000000\n\"intPrTotalTime\"=dword:00000001\n"
                  "\"tTotalTime\"=hex:6e,8a,51,c3,df,a6,48,3f\n"); // 30 + 35 s
    window->FormCreate();
    start();
    runFor(40'000); // past the delay, which the practice then clears in the record
    platform::UserRegistry().setValue(QStringLiteral("SOFTWARE\\Tolvane"),
                                      QStringLiteral("intPrTotalTime"), {platform::RegSz, "x"});
    QTimer::singleShot(0, [] {
        auto* rating = qobject_cast<TState*>(QApplication::activeModalWidget());
        ASSERT_NE(rating, nullptr);
        rating->findChild<TRadioGroup*>(QStringLiteral("RadioGroup1"))->setItemIndex(1);
        rating->BitBtn1Click();
    });
    runFor(30'000);
    EXPECT_TRUE(errors.contains(QStringLiteral("Invalid data type for 'intPrTotalTime'")));
    // A second less of Abhyantara Kumbhaka: 30 + 34 s.
    EXPECT_TRUE(config.readRegistryFile().contains("\"tTotalTime\"=hex:29,51,ce,a0,c8,45,48,3f"));
}

// The log keeps the answer of each rating and the round it leaves.
TEST_F(PranayamaPracticeTest, TheLogRecordsADifficultRatingAndTheRoundItLeaves)
{
    writeSettings("\"blAuto\"=dword:00000001\n\"blModeOne\"=dword:00000000\n"
                  "\"intPrTotalTime\"=dword:00000001\n");
    store::withSettingsKey([](RegistryAccessor& key) {
        key.writeDateTime(values::tTotalTime.name.toString(), 35 / 86400.0);
    });
    window->FormCreate();
    for (const int answer : {1, 2}) {
        start();
        runFor(30'000);
        QTimer::singleShot(0, [answer] {
            auto* rating = qobject_cast<TState*>(QApplication::activeModalWidget());
            ASSERT_NE(rating, nullptr);
            rating->findChild<TRadioGroup*>(QStringLiteral("RadioGroup1"))->setItemIndex(answer);
            rating->BitBtn1Click();
        });
        runFor(10'000);
        QCoreApplication::processEvents();
    }
    QFile log(config.dataHome() + QStringLiteral("/tolvane/practice-log.csv"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].trimmed().endsWith(",end,slightly difficult,34")) << lines[1].data();
    EXPECT_TRUE(lines[2].trimmed().endsWith(",end,difficult,31")) << lines[2].data();
}

TEST_F(PranayamaPracticeTest, TotalBelowOneSecondEndsAtTheFirstTick)
{
    writeSettings("\"tTotalTime\"=hex:00,00,00,00,00,00,00,00\n");
    window->FormCreate();
    start();
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:00:00"));
    const auto events = runFor(1000);
    EXPECT_EQ(msSinceStart(), 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, QStringLiteral("The end"));
    EXPECT_EQ(events[0].cue, QStringLiteral("Exit.wav"));
}

TEST_F(PranayamaPracticeTest, NewPracticeRightAfterAnEndDoesNotEndAtOnce)
{
    writeSettings("\"tTotalTime\"=hex:00,00,00,00,00,00,00,00\n");
    window->FormCreate();
    start();
    runFor(10);
    store::withSettingsKey([](RegistryAccessor& key) {
        key.writeDateTime(values::tTotalTime.name.toString(), 700 / 86400.0);
    });
    start();
    const auto events = runFor(100);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, QStringLiteral("Puraka"));
    EXPECT_TRUE(timer1()->isActive());
}

TEST_F(PranayamaPracticeTest, StopDuringTheDelayReturnsEveryDisplayToIdle)
{
    writeSettings("\"blDelay\"=dword:00000001\n");
    window->FormCreate();
    start();
    runFor(5000);
    window->Stop1Click();
    EXPECT_EQ(text("LMDLEDLabel1"), QStringLiteral("0:00"));
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:00:00"));
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("0:00:00"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    EXPECT_EQ(panel(0), QStringLiteral("Program stopped"));
    EXPECT_EQ(panel(1), QString());
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_EQ(lastCue(), QStringLiteral("Delay.wav")); // Stop plays nothing of its own
    EXPECT_TRUE(enabled("PranStart"));
    EXPECT_FALSE(enabled("StopProg"));

    // The stored delay is back for the next practice.
    start();
    const auto events = runFor(10);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, QStringLiteral("30 sec. Delay"));
}

TEST_F(PranayamaPracticeTest, CyclesFollowThePranayamaType)
{
    const struct {
        const char* flags;
        std::vector<const char*> statuses;
    } types[] = {
        {"\"blCheckOne\"=dword:00000000\n\"blCheckTwo\"=dword:00000000\n",
         {"Puraka", "Rechaka", "Puraka", "Rechaka"}},
        {"\"blCheckOne\"=dword:00000001\n\"blCheckTwo\"=dword:00000001\n"
         "\"intCheckTwo\"=dword:00000003\n",
         {"Puraka", "Abhyantara Kumbhaka", "Rechaka", "Bahya Kumbhaka", "Puraka"}},
        {"\"blCheckOne\"=dword:00000000\n\"blCheckTwo\"=dword:00000001\n",
         {"Puraka", "Puraka", "Puraka"}},
    };
    for (const auto& type : types) {
        settings = {};
        writeSettings(type.flags);
        window->FormCreate();
        start();
        const auto events = runFor(80'000);
        ASSERT_GE(events.size(), type.statuses.size()) << type.flags;
        for (size_t i = 0; i < type.statuses.size(); ++i)
            EXPECT_EQ(events[i].status, QString::fromLatin1(type.statuses[i]))
                << type.flags << " phase " << i;
        if (QString::fromLatin1(type.statuses[1]) == u"Puraka") {
            // Puraka after Puraka: every one is a new round with its own cue.
            EXPECT_EQ(events[1].round, QStringLiteral("2"));
            EXPECT_EQ(events[1].cue, QStringLiteral("Inhale.wav"));
        }
        window->Stop1Click();
    }
}

TEST_F(PranayamaPracticeTest, HoldOfLengthZeroStandsForOneTick)
{
    writeSettings("\"intCheckOne\"=dword:00000000\n");
    window->FormCreate();
    start();
    const auto events = runFor(20'000);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[1].status, QStringLiteral("Abhyantara Kumbhaka"));
    EXPECT_EQ(events[2].status, QStringLiteral("Rechaka"));
    EXPECT_LE(events[2].ms - events[1].ms, 2);
}

TEST_F(PranayamaPracticeTest, TickHeldUpPastTheEndStillEndsThePractice)
{
    window->FormCreate();
    start();
    runFor(690'000, 10);
    clock.advanceSeconds(15); // the machine slept through the end
    runFor(10);
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
}

TEST_F(PranayamaPracticeTest, MissingCueIsReportedOncePerPracticeAndThePracticeGoesOn)
{
    QTemporaryDir empty;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(empty.path());
    writeSettings("\"tTotalTime\"=hex:74,e5,01,c9,3a,57,3e,3f\n"); // 40 s
    window->FormCreate();
    start();
    runFor(60'000);
    QCoreApplication::processEvents();
    QDir::setCurrent(previous);
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Inhale.wav"))) << errors[0].toStdString();
}

} // namespace
