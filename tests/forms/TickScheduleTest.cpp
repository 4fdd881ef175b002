// The practice timers skip the ticks that would change nothing. A practice driven by its timer
// must look and sound, within a tick period, like one ticked every millisecond, whatever its
// settings.
#include "practice/TimeFormat.h"
#include "settings/RegistryAccessor.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsValues.h"
#include "tests/forms/MainWindowFixture.h"

#include <QTimerEvent>
#include <QWindow>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

using namespace tolvane;

namespace {

// What the user sees and hears after a tick.
struct Scene {
    long long ms; // since the start command
    QStringList shown;
};

void PrintTo(const Scene& scene, std::ostream* os)
{
    *os << scene.ms << " ms: " << scene.shown.join(u" | ").toStdString();
}

struct Practice {
    const char* name;
    std::function<void(RegistryAccessor&)> values;
    bool kevali;
    int creepUs = 0; // how far the clock moves at every reading while a tick runs
};

void PrintTo(const Practice& practice, std::ostream* os)
{
    *os << practice.name;
}

class TickScheduleTest : public test::MainWindowFixture,
                         public testing::WithParamInterface<Practice> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        store::withSettingsKey([](RegistryAccessor& key) {
            key.writeBool(values::blAuto.name.toString(), false);
            key.writeBool(values::blAutoTwo.name.toString(), false);
            GetParam().values(key);
        });
        window->FormCreate();
        clock.creepPerRead(GetParam().creepUs);
    }

    QTimer* practiceTimer() const
    {
        return window->findChild<QTimer*>(GetParam().kevali ? QStringLiteral("Timer2")
                                                            : QStringLiteral("Timer1"));
    }

    void start()
    {
        // Every practice starts at the same point of a millisecond, so that a creeping clock is
        // read alike in every run.
        clock.advanceUs(1800 - clock.elapsedUs() % 1000);
        m_tickUs = clock.elapsedUs();
        m_startMs = clock.elapsedMs();
        m_ticks = 0;
        if (GetParam().kevali)
            window->Kevali1Click();
        else
            window->Beginbreathing1Click();
    }

    // Records the scene after a tick when it differs from the last one recorded.
    void noteScene(std::vector<Scene>& scenes)
    {
        ++m_ticks;
        Scene scene{clock.elapsedMs() - m_startMs,
                    {text("LMDLEDLabel1"), text("LMDLEDLabel2"), text("LMDLEDLabel3"),
                     text("LMDLEDLabel4"), panel(0), panel(1), lastCue()}};
        if (scenes.empty() || scenes.back().shown != scene.shown)
            scenes.push_back(scene);
    }

    // Moves the clock to the next tick, a period after the one before: the ticks keep to a grid
    // of whole milliseconds from the start command, however far the clock crept during a tick.
    void waitForTick(int periodMs)
    {
        m_tickUs += 1000LL * periodMs;
        clock.advanceUs(std::max(0LL, m_tickUs - clock.elapsedUs()));
    }

    // The pace the practice was designed for: the handler every millisecond until it ends.
    std::vector<Scene> tickEveryMillisecond()
    {
        std::vector<Scene> scenes;
        start();
        while (practiceTimer()->isActive()) {
            waitForTick(1);
            if (GetParam().kevali)
                window->Timer2Timer();
            else
                window->Timer1Timer();
            noteScene(scenes);
        }
        return scenes;
    }

    // The timer's own pace: each tick comes when the timer asks for it, through its timeout. The
    // machine sleeps for fifteen minutes before the first tick from sleepFromMs on.
    std::vector<Scene> tickWhenTheTimerAsks(long long sleepFromMs = -1)
    {
        std::vector<Scene> scenes;
        start();
        QTimer* timer = practiceTimer();
        while (timer->isActive()) {
            if (timer->interval() < TPranayama::tickPeriodMs) {
                ADD_FAILURE() << "the practice timer spins";
                break;
            }
            const long long dueMs = (m_tickUs / 1000 - m_startMs) + timer->interval();
            if (sleepFromMs >= 0 && dueMs >= sleepFromMs) {
                m_tickUs += 15LL * 60 * 1000 * 1000;
                sleepFromMs = -1;
            }
            waitForTick(timer->interval());
            QTimerEvent due(timer->timerId());
            QCoreApplication::sendEvent(timer, &due);
            noteScene(scenes);
        }
        return scenes;
    }

    long long practiceMs() const { return clock.elapsedMs() - m_startMs; }

    long long m_startMs = 0;
    long long m_tickUs = 0;
    long long m_ticks = 0;
};

TEST_P(TickScheduleTest, TimerPacedPracticeMatchesOneTickedEveryMillisecond)
{
    const std::vector<Scene> everyMs = tickEveryMillisecond();
    ASSERT_FALSE(everyMs.empty());

    // Run twice: a second practice must begin on the short period again.
    for (int run = 1; run <= 2; ++run) {
        const std::vector<Scene> paced = tickWhenTheTimerAsks();
        for (std::size_t i = 0; i < std::min(paced.size(), everyMs.size()); ++i) {
            ASSERT_EQ(paced[i].shown, everyMs[i].shown)
                << "run " << run << ", " << testing::PrintToString(everyMs[i]);
            ASSERT_LE(std::abs(paced[i].ms - everyMs[i].ms), TPranayama::tickPeriodMs)
                << "run " << run << ", " << testing::PrintToString(everyMs[i]);
        }
        ASSERT_EQ(paced.size(), everyMs.size()) << "run " << run;
        // A few ticks for each change the user sees, not one every millisecond in between.
        EXPECT_LE(m_ticks, 6 * qsizetype(paced.size())) << m_ticks << " ticks";
    }
    EXPECT_EQ(everyMs.back().shown.mid(5), (QStringList{u"The end"_qs, u"Exit.wav"_qs}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// A practice held up while the machine sleeps ends once its time is used up: the first tick
// after waking shows the time that has passed, and the next one ends the practice.
TEST_P(TickScheduleTest, FifteenMinutesAsleepEndThePracticeAtTheFirstTicksAfterWaking)
{
    const std::vector<Scene> scenes = tickWhenTheTimerAsks(2000);
    ASSERT_GE(scenes.size(), 2u);
    const Scene& woken = scenes[scenes.size() - 2];
    EXPECT_EQ(woken.shown.mid(1, 2), (QStringList{u"0:00:00"_qs, u"0:15:02"_qs}));
    EXPECT_EQ(scenes.back().ms - woken.ms, TPranayama::tickPeriodMs);
    EXPECT_EQ(scenes.back().shown.mid(1, 3),
              (QStringList{u"0:00:00"_qs, u"0:15:02"_qs, u"000"_qs}));
    EXPECT_EQ(scenes.back().shown.mid(5), (QStringList{u"The end"_qs, u"Exit.wav"_qs}));
}

// The clock moves on while a tick runs, so the millisecond may turn over between the tick's
// reading and the timer's start, and a wait aimed at the millisecond of a change may end in the
// next one. The displays must still never wait longer than that: whenever the timer waits longer
// than a period, they read a period before it fires exactly as they read now.
TEST_P(TickScheduleTest, DisplaysNeverWaitAPeriodPastTheirChangeWhileTheClockMovesDuringATick)
{
    clock.creepPerRead(300);
    start();
    QTimer* timer = practiceTimer();
    const auto displays = [this] {
        return QStringList{text("LMDLEDLabel1"), text("LMDLEDLabel2"), text("LMDLEDLabel3")};
    };
    long long waits = 0;
    long long probedMs = 0;
    while (timer->isActive()) {
        clock.advanceMs(timer->interval() - probedMs);
        probedMs = 0;
        QTimerEvent due(timer->timerId());
        QCoreApplication::sendEvent(timer, &due);
        if (!timer->isActive() || timer->interval() <= TPranayama::tickPeriodMs)
            continue;
        ++waits;
        // A tick of its own a period before the last millisecond of the wait, on a clock that
        // stands still, finds the displays as they are.
        const QStringList shown = displays();
        probedMs = timer->interval() - 1 - TPranayama::tickPeriodMs;
        clock.creepPerRead(0);
        clock.advanceMs(probedMs);
        if (GetParam().kevali)
            window->Timer2Timer();
        else
            window->Timer1Timer();
        clock.creepPerRead(300);
        ASSERT_EQ(displays(), shown)
            << "waiting " << timer->interval() << " ms from " << practiceMs() - probedMs << " ms";
    }
    EXPECT_GT(waits, 20);
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
}

// Counts what a display paints, and when on the practice's clock.
class PaintLog : public QObject {
public:
    PaintLog(QWidget* display, const test::FakeClock& clock)
        : m_clock(clock)
    {
        display->installEventFilter(this);
    }

    bool eventFilter(QObject* display, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back({m_clock.elapsedMs(), display->property("text").toString()});
        return false;
    }

    std::vector<std::pair<long long, QString>> paints;

private:
    const test::FakeClock& m_clock;
};

// The timer wakes for a change and nothing else, so a display is painted once for each text it
// shows, in the millisecond it first shows it, and a phase's name with its cue.
TEST_P(TickScheduleTest, DisplaysArePaintedOnceForEachChangeWithinItsTick)
{
    clock.creepPerRead(0); // paints are timed to the millisecond
    window->show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->windowHandle()->isExposed());
    const std::array<QString, 2> watched{u"LMDLEDLabel3"_qs, u"StatusPanel1"_qs};
    const PaintLog elapsed(window->findChild<QWidget*>(watched[0]), clock);
    const PaintLog phaseNames(window->findChild<QWidget*>(watched[1]), clock);
    const QStringList before{text("LMDLEDLabel3"), panel(1)};
    // No events are handled between the ticks, so only what a tick paints itself is seen.
    const std::vector<Scene> scenes = tickWhenTheTimerAsks();
    ASSERT_FALSE(scenes.empty());

    for (const auto& [log, column] : {std::pair{&elapsed, 2}, std::pair{&phaseNames, 5}}) {
        const QString& unchanged = before[column == 2 ? 0 : 1];
        std::vector<std::pair<long long, QString>> shown;
        for (const Scene& scene : scenes) {
            if (shown.empty() ? scene.shown[column] != unchanged
                              : shown.back().second != scene.shown[column])
                shown.emplace_back(scene.ms, scene.shown[column]);
        }
        std::vector<std::pair<long long, QString>> painted;
        for (const auto& [ms, text] : log->paints)
            painted.emplace_back(ms - m_startMs, text);
        EXPECT_EQ(painted, shown) << watched[column == 2 ? 0 : 1].toStdString();
    }
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
}

void integer(RegistryAccessor& key, const SettingsValue& value, std::int32_t number)
{
    key.writeInteger(value.name.toString(), number);
}

void flag(RegistryAccessor& key, const SettingsValue& value, bool on)
{
    key.writeBool(value.name.toString(), on);
}

void seconds(RegistryAccessor& key, const SettingsValue& value, double length)
{
    key.writeDateTime(value.name.toString(), length / 86400.0);
}

// "Two Kumbhakas" with the lengths of Puraka, Abhyantara Kumbhaka, Rechaka and Bahya Kumbhaka.
std::function<void(RegistryAccessor&)> twoKumbhakas(std::array<int, 4> lengths, double total,
                                                    bool delay = false)
{
    return [=](RegistryAccessor& key) {
        flag(key, values::blCheckOne, true);
        flag(key, values::blCheckTwo, true);
        flag(key, values::blDelay, delay);
        integer(key, values::intPrInhale, lengths[0]);
        integer(key, values::intCheckOne, lengths[1]);
        integer(key, values::intPrExhale, lengths[2]);
        integer(key, values::intCheckTwo, lengths[3]);
        seconds(key, values::tTotalTime, total);
    };
}

const Practice practices[] = {
    // Every phase of the cycle, after the delay.
    {"TwoKumbhakasAfterTheDelay",
     [](RegistryAccessor& key) {
         flag(key, values::blCheckOne, true);
         flag(key, values::blCheckTwo, true);
         flag(key, values::blDelay, true);
         integer(key, values::intPrInhale, 2);
         integer(key, values::intCheckOne, 3);
         integer(key, values::intPrExhale, 2);
         integer(key, values::intCheckTwo, 1);
         seconds(key, values::tTotalTime, 64);
     },
     false},
    // A total that is no whole millisecond puts the remaining time's changes between those of
    // the elapsed time.
    {"NoKumbhakaWithAnUnevenTotal",
     [](RegistryAccessor& key) {
         flag(key, values::blCheckOne, false);
         flag(key, values::blCheckTwo, false);
         flag(key, values::blDelay, false);
         integer(key, values::intPrInhale, 1);
         integer(key, values::intPrExhale, 3);
         seconds(key, values::tTotalTime, 21.4567);
     },
     false},
    // The delay and a change of breath length after ten rounds.
    {"KevaliBlocksAfterTheDelay",
     [](RegistryAccessor& key) {
         flag(key, values::blKevDelay, true);
         integer(key, values::intKevTotalTime, 2);
         integer(key, values::intKevStartBreath, 1);
     },
     true},
    // A phase of no length stands for one tick: each one alone, three in a row, all four.
    {"PurakaOfNoLength", twoKumbhakas({0, 2, 2, 1}, 16), false},
    {"AbhyantaraKumbhakaOfNoLength", twoKumbhakas({2, 0, 2, 1}, 16), false},
    {"RechakaOfNoLength", twoKumbhakas({2, 1, 0, 2}, 16), false},
    {"BahyaKumbhakaOfNoLength", twoKumbhakas({2, 1, 2, 0}, 16), false},
    {"ThreeOfNoLengthInARow", twoKumbhakas({0, 0, 3, 0}, 13), false},
    {"AllFourOfNoLengthAfterTheDelay", twoKumbhakas({0, 0, 0, 0}, 31.9, true), false},
    // The clock turns to the next millisecond between the readings of one tick.
    {"ThreeOfNoLengthInARowWhileTheClockMovesDuringATick", twoKumbhakas({0, 0, 3, 0}, 13.4567),
     false, 150},
    {"KevaliFromABreathOfNoLength",
     [](RegistryAccessor& key) {
         flag(key, values::blKevDelay, false);
         integer(key, values::intKevTotalTime, 1);
         integer(key, values::intKevStartBreath, 0);
     },
     true},
};

std::string nameOf(const testing::TestParamInfo<Practice>& practice)
{
    return practice.param.name;
}

INSTANTIATE_TEST_SUITE_P(Practices, TickScheduleTest, testing::ValuesIn(practices), nameOf);

} // namespace
