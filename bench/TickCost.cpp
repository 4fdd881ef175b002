// What one practice tick costs: a million ticks that change no display, and ticks that change
// one, against one read of the monotonic clock.
#include "bench/BenchSupport.h"
#include "forms/Unit1.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QTimerEvent>

#include <chrono>
#include <vector>

using namespace tolvane;
using namespace tolvane::bench;
using Ns = std::chrono::duration<double, std::nano>;
using std::chrono::steady_clock;

namespace {

// Moves only when told, in whole milliseconds like the real clock.
class SteppedClock final : public platform::Clock {
public:
    double now() const override { return double(m_ms) / (platform::secondsPerDay * 1000.0); }
    void advanceMs(long long ms) { m_ms += ms; }

private:
    long long m_ms = 3'600'000;
};

constexpr int unchangedTicks = 1'000'000;
constexpr int changingTicks = 5'000;

double clockReadNs()
{
    constexpr int reads = 10'000'000;
    const platform::Clock& clock = platform::systemClock();
    double sink = 0;
    const auto start = steady_clock::now();
    for (int i = 0; i < reads; ++i)
        sink += clock.now();
    const Ns elapsed = steady_clock::now() - start;
    // Keeps the reads from being optimised away.
    if (sink < 0)
        std::puts("");
    return elapsed.count() / reads;
}

struct TickCosts {
    double unchangedNs = 0;
    double unchangedThroughTimerNs = 0;  // the handler with the check and the rescheduling
    std::vector<double> displayChangeNs; // a second passed: the time displays repaint
    std::vector<double> phaseChangeNs;   // a phase began: status text and cue as well
};

TickCosts measureTicks(TPranayama& window, SteppedClock& clock, void (TPranayama::*tick)(),
                       QTimer* timer)
{
    const auto* status = window.findChild<QLabel*>(QStringLiteral("StatusPanel1"));
    TickCosts costs;
    clock.advanceMs(1);
    (window.*tick)(); // the first tick sounds the first cue
    clock.advanceMs(500);
    for (int i = 0; i < 10'000; ++i) // warm-up
        (window.*tick)();

    // The clock stands still mid-second, so every tick computes the displays and finds them
    // unchanged, as the ticks just before a display changes do.
    auto start = steady_clock::now();
    for (int i = 0; i < unchangedTicks; ++i)
        (window.*tick)();
    costs.unchangedNs = Ns(steady_clock::now() - start).count() / unchangedTicks;

    // The same ticks as the timer delivers them: the timer event, the handler, the check whether
    // the tick changed anything and the timer's restart for the next one.
    start = steady_clock::now();
    for (int i = 0; i < unchangedTicks; ++i) {
        QTimerEvent due(timer->timerId());
        QCoreApplication::sendEvent(timer, &due);
    }
    costs.unchangedThroughTimerNs = Ns(steady_clock::now() - start).count() / unchangedTicks;

    for (int i = 0; i < changingTicks; ++i) {
        clock.advanceMs(1000);
        const QString before = status->text();
        start = steady_clock::now();
        (window.*tick)();
        const double ns = Ns(steady_clock::now() - start).count();
        (status->text() == before ? costs.displayChangeNs : costs.phaseChangeNs).push_back(ns);
    }
    window.Stop1Click();
    return costs;
}

void report(const QString& handler, const TickCosts& costs, double floorNs)
{
    const QString item = QStringLiteral("1 Tick cost");
    const QString floor = QStringLiteral("clock read %1 ns").arg(fixed(floorNs, 1));
    printRow(item, handler + QStringLiteral(", no display changes (mean of 10⁶)"),
             QStringLiteral("%1 ns").arg(fixed(costs.unchangedNs, 0)), floor,
             QStringLiteral("< 1000 ns"), verdict(costs.unchangedNs < 1000));
    printRow(item, handler + QStringLiteral(" through its timer, no display changes (mean of 10⁶)"),
             QStringLiteral("%1 ns").arg(fixed(costs.unchangedThroughTimerNs, 0)), floor,
             QStringLiteral("< 1000 ns"), verdict(costs.unchangedThroughTimerNs < 1000));
    printRow(
        item,
        handler +
            QStringLiteral(", displays change (median of %1)").arg(costs.displayChangeNs.size()),
        QStringLiteral("%1 µs").arg(fixed(quantile(costs.displayChangeNs, 0.5) / 1000, 1)), floor,
        QStringLiteral("—"), QStringLiteral("info"));
    printRow(item,
             handler + QStringLiteral(", phase begins with its cue (median of %1)")
                           .arg(costs.phaseChangeNs.size()),
             QStringLiteral("%1 µs").arg(fixed(quantile(costs.phaseChangeNs, 0.5) / 1000, 1)),
             floor, QStringLiteral("—"), QStringLiteral("info"));
}

void showAndSettle(QWidget& window)
{
    window.show();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
}

} // namespace

int main(int argc, char** argv)
{
    platform::sendRepaintsInTheRequests();
    QApplication app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Tolvane"));
    platform::registerFormFont();

    // Long phases and a three-hour practice, so that no end and few phase changes come.
    const ScratchSettings settings(
        dwordValue("intPrTotalTime", 10) + dwordValue("intPrInhale", 500) +
        dwordValue("intCheckOne", 0) + dwordValue("intPrExhale", 500) +
        dwordValue("intCheckTwo", 0) + dwordValue("blCheckOne", 0) + dwordValue("blCheckTwo", 0) +
        dwordValue("blDelay", 0) + dwordValue("blAuto", 0) + dwordValue("blAutoTwo", 0) +
        dateTimeValue("tTotalTime", 3 * 3600) + dwordValue("intKevTotalTime", 180) +
        dwordValue("intKevStartBreath", 300) + dwordValue("blKevDelay", 0));
    store::startupLoad(); // the defaults of the other values

    const double floorNs = clockReadNs();
    SteppedClock clock;
    TPranayama window(clock);
    showAndSettle(window);

    window.Beginbreathing1Click();
    report(QStringLiteral("Timer1Timer"),
           measureTicks(window, clock, &TPranayama::Timer1Timer,
                        window.findChild<QTimer*>(QStringLiteral("Timer1"))),
           floorNs);
    window.Kevali1Click();
    report(QStringLiteral("Timer2Timer"),
           measureTicks(window, clock, &TPranayama::Timer2Timer,
                        window.findChild<QTimer*>(QStringLiteral("Timer2"))),
           floorNs);
    return 0;
}
