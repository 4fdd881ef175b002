// Long practices on the fake clock, run through the real tick handlers to their end: the round
// count is right and memory does not grow. A step of 10 ms instead of the 1 ms timer period keeps
// each hour under a minute of test time; every phase then ends up to 10 ms late, far too little
// to change a count of rounds or the end of the practice.
#include "practice/PracticeTotal.h"
#include "settings/RegistryAccessor.h"
#include "settings/SettingsStore.h"
#include "tests/forms/PracticeRunner.h"

#include <QFile>

#include <algorithm>
#include <unistd.h>

using namespace tolvane;

namespace {

constexpr int stepMs = 10;

// Resident memory in bytes, as the kernel counts it.
long long residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : -1;
}

class SoakTest : public test::PracticeFixture {
protected:
    static void storeValue(const SettingsValue& value, double number)
    {
        store::withSettingsKey([&](RegistryAccessor& key) {
            if (value.name.startsWith(u't'))
                key.writeDateTime(value.name.toString(), number);
            else
                key.writeInteger(value.name.toString(), static_cast<std::int32_t>(number));
        });
    }

    static int highestRound(const std::vector<test::PracticeEvent>& events)
    {
        int highest = 0;
        for (const auto& event : events)
            highest = std::max(highest, event.round.toInt());
        return highest;
    }

    // Growth of resident memory over a run, after a short run of the same practice has brought
    // every cache and buffer to its size.
    template <typename Run> long long growthOver(Run run)
    {
        const long long before = residentBytes();
        run();
        return residentBytes() - before;
    }

    void expectNoGrowth(long long growth)
    {
#if defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer keeps freed memory in quarantine, so resident memory grows by design
        // there; its leak checker watches this run instead.
        static_cast<void>(growth);
#else
        EXPECT_LT(growth, 6 * 1024 * 1024) << "resident memory grew by " << growth << " bytes";
#endif
    }
};

TEST_F(SoakTest, HourLongKevaliRunsItsHundredAndSixtyRoundsToTheEnd)
{
    storeValue(values::intKevTotalTime, 60);
    window->FormCreate();
    startKevali();
    runFor(120'000, stepMs);
    window->Stop1Click();

    std::vector<test::PracticeEvent> events;
    const long long growth = growthOver([&] {
        startKevali();
        // Sixteen blocks of ten rounds, breaths of 5 to 20 s: 4000 s, the first above the hour.
        EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("1:06:40"));
        events = runFor(4'100'000, stepMs);
    });
    EXPECT_FALSE(running());
    EXPECT_NEAR(msSinceStart(), 4'000'000, 2 * stepMs);
    EXPECT_EQ(highestRound(events), 160);
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    EXPECT_EQ(lastCue(), QStringLiteral("Exit.wav"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    expectNoGrowth(growth);
}

TEST_F(SoakTest, HundredRoundPranayamaRunsEveryRoundToTheEnd)
{
    storeValue(values::intPrTotalTime, 100);
    storeValue(values::tTotalTime, secondsAsDays(100 * 35));
    window->FormCreate();
    startPranayama();
    runFor(120'000, stepMs);
    window->Stop1Click();

    std::vector<test::PracticeEvent> events;
    const long long growth = growthOver([&] {
        startPranayama();
        EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:58:20"));
        events = runFor(3'600'000, stepMs);
    });
    EXPECT_FALSE(running());
    EXPECT_NEAR(msSinceStart(), 3'500'000, 2 * stepMs);
    EXPECT_EQ(highestRound(events), 100);
    const auto purakas = std::count_if(events.begin(), events.end(),
                                       [](const auto& event) { return event.status == u"Puraka"; });
    EXPECT_EQ(purakas, 100);
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    EXPECT_EQ(lastCue(), QStringLiteral("Exit.wav"));
    expectNoGrowth(growth);
}

} // namespace
