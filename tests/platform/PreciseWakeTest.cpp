#include "platform/PreciseWake.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace tolvane::platform {
namespace {

using namespace std::chrono_literals;

// The wake-up lets the practice sleep right up to a phase's end: it must never call back before
// the moment, not long after it, and only for the last moment asked for.
TEST(PreciseWakeTest, CallsBackOnceForTheLastMomentAskedForAndNeverBeforeIt)
{
    std::vector<std::chrono::nanoseconds> calls;
    PreciseWake wake(nullptr, [&] { calls.push_back(PreciseWake::bootTimeNow()); });
    const auto runFor = [](std::chrono::milliseconds span) {
        QEventLoop loop;
        QTimer::singleShot(span, &loop, &QEventLoop::quit);
        loop.exec();
    };

    const auto start = PreciseWake::bootTimeNow();
    ASSERT_TRUE(wake.wakeAt(start + 30ms));
    ASSERT_TRUE(wake.wakeAt(start + 80ms));
    runFor(250ms);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_GE(calls[0], start + 80ms);
    // Far more than it takes; a unit mixed up would be off by seconds.
    EXPECT_LT(calls[0], start + 160ms);

    calls.clear();
    ASSERT_TRUE(wake.wakeAt(start)); // long gone: at once
    runFor(40ms);
    EXPECT_EQ(calls.size(), 1u) << "a moment that has passed";

    calls.clear();
    ASSERT_TRUE(wake.wakeAt(PreciseWake::bootTimeNow() + 30ms));
    wake.cancel();
    runFor(100ms);
    EXPECT_TRUE(calls.empty()) << "called back after cancel";
}

} // namespace
} // namespace tolvane::platform
