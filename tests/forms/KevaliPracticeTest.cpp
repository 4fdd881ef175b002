#include "tests/forms/PracticeRunner.h"

#include <QApplication>

#include <map>

using namespace tolvane;

namespace {

using KevaliPracticeTest = test::PracticeFixture;

TEST_F(KevaliPracticeTest, TotalIsWholeBlocksOfTenRoundsBeyondTheTimeOfPractice)
{
    const struct {
        const char* values;
        const char* total;
    } cases[] = {
        {"", "0:11:40"},
        {"\"blKevDelay\"=dword:00000001\n", "0:12:10"},
        {"\"intKevTotalTime\"=dword:00000005\n\"intKevStartBreath\"=dword:0000001e\n", "0:10:00"},
        {"\"intKevTotalTime\"=dword:00000006\n", "0:08:40"},
        {"\"intKevTotalTime\"=dword:00000028\n\"intKevStartBreath\"=dword:00000002\n"
         "\"blKevDelay\"=dword:00000001\n",
         "0:40:10"},
        {"\"intKevTotalTime\"=dword:00000046\n", "1:13:40"}, // 70 minutes: past the hour
    };
    for (const auto& [values, total] : cases) {
        settings = {};
        writeSettings(values);
        window->FormCreate();
        startKevali();
        EXPECT_EQ(text("LMDLEDLabel2"), QString::fromLatin1(total)) << values;
        EXPECT_EQ(panel(0), QStringLiteral("Kevali"));
        window->Stop1Click();
    }
}

TEST_F(KevaliPracticeTest, DefaultPracticeHasFiftyRoundsWhoseBreathGrowsEveryTenRounds)
{
    window->FormCreate();
    startKevali();
    EXPECT_FALSE(enabled("KevaliStart"));
    EXPECT_FALSE(enabled("Settings1"));
    EXPECT_TRUE(enabled("StopProg"));
    EXPECT_EQ(stopCaption(), QColor(255, 255, 0));

    const auto events = runFor(800'000);
    std::map<int, long long> roundStart;
    for (const auto& event : events) {
        if (event.status == u"Puraka") {
            EXPECT_EQ(event.cue, QStringLiteral("Inhale.wav"));
            roundStart[event.round.toInt()] = event.ms;
        } else if (event.status == u"Rechaka") {
            EXPECT_EQ(event.cue, QStringLiteral("Exhale.wav"));
        }
    }
    ASSERT_EQ(roundStart.size(), 50u);
    EXPECT_EQ(roundStart.rbegin()->first, 50);
    // Round r lasts twice the breath of its block; the first Puraka one second more.
    for (int round = 2; round <= 50; ++round) {
        const int breath = 5 + (round - 2) / 10;
        const long long length = roundStart[round] - roundStart[round - 1];
        const long long expected = 2000LL * breath + (round == 2 ? 1000 : 0);
        EXPECT_NEAR(length, expected, 4) << "round " << round - 1;
    }
    EXPECT_FALSE(running());
    EXPECT_NEAR(msSinceStart(), 700'000, 3);
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    EXPECT_EQ(panel(0), QStringLiteral("Kevali"));
    EXPECT_EQ(lastCue(), QStringLiteral("Exit.wav"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("0:11:40"));
    EXPECT_TRUE(enabled("KevaliStart"));
    EXPECT_TRUE(enabled("Settings1"));
    EXPECT_FALSE(enabled("StopProg"));
    EXPECT_EQ(stopCaption(), QColor(255, 255, 0)); // kept after the end
}

TEST_F(KevaliPracticeTest, DelayComesFirstThenRoundOne)
{
    writeSettings("\"blKevDelay\"=dword:00000001\n");
    window->FormCreate();
    startKevali();
    const auto events = runFor(35'000);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].status, QStringLiteral("30 sec. Delay"));
    EXPECT_EQ(events[0].cue, QStringLiteral("Delay.wav"));
    EXPECT_EQ(events[1].status, QStringLiteral("Puraka"));
    EXPECT_EQ(events[1].round, QStringLiteral("1"));
    EXPECT_NEAR(events[1].ms, 31'000, 5);
}

TEST_F(KevaliPracticeTest, EndShowsNoRatingEvenWithAnIncrementAndPranayamaFollowsCleanly)
{
    writeSettings("\"blAuto\"=dword:00000001\n\"intKevTotalTime\"=dword:00000001\n"
                  "\"intKevStartBreath\"=dword:00000001\n");
    window->FormCreate();
    startKevali();
    runFor(200'000);
    EXPECT_FALSE(running());
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    startPranayama();
    const auto events = runFor(10);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, QStringLiteral("Puraka"));
    EXPECT_EQ(events[0].round, QStringLiteral("1"));
    EXPECT_EQ(stopCaption(), QColor(0, 255, 0));
}

TEST_F(KevaliPracticeTest, SeventyMinuteTotalRunsToItsEnd)
{
    writeSettings("\"intKevTotalTime\"=dword:00000046\n");
    window->FormCreate();
    startKevali();
    runFor(4'430'000, 20);
    EXPECT_FALSE(running());
    EXPECT_NEAR(msSinceStart(), 4'420'000, 40);
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("1:13:40"));
}

TEST_F(KevaliPracticeTest, StopReturnsToIdleAndKeepsTheCaptionColour)
{
    window->FormCreate();
    startKevali();
    runFor(3000);
    window->Stop1Click();
    EXPECT_FALSE(running());
    EXPECT_EQ(panel(0), QStringLiteral("Program stopped"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    EXPECT_EQ(stopCaption(), QColor(255, 255, 0));
    EXPECT_TRUE(enabled("KevaliStart"));
}

} // namespace
