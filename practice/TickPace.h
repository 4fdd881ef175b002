#pragma once

namespace tolvane {

// When a practice timer ticks next. A tick reads the clock only through the time displays, so a
// tick that leaves no work for the next one is followed by nothing until a display turns to
// another second: the timer sleeps until that very millisecond, where a timer that never slept
// would have brought the change. A tick that leaves work (a phase to change, a cue to sound, the
// end) is followed one period later, as by that timer.
struct TickPace {
    int nextTickMs = 0;
    // A cue comes with the turn the timer sleeps until: have the sound output ready for it.
    bool readySound = false;
};

struct TickOutlook {
    bool workLeft = false;  // the next tick has work however little time passes
    int msUntilTurn = 0;    // until a display turns; 0 when one has turned since the tick read it
    bool cueAtTurn = false; // the phase ends, or the practice, when its display turns next
};

inline constexpr int tickPeriodMs = 1;

TickPace paceAfter(const TickOutlook& outlook);

} // namespace tolvane
