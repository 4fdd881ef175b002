#pragma once

namespace tolvane {

// When a practice timer ticks next. A tick reads the clock only through the time displays, so a
// tick that leaves no work for the next one is followed by nothing until a display turns to
// another second: the timer sleeps until a period before that moment, as the clock moves on while
// a tick ends and the timer counts from then, and steps onto the turn, where a timer that never
// slept would have brought the change. A tick that leaves work (a phase to change, a cue to sound,
// the end) is followed one period later, as by that timer.
struct TickPace {
    int nextTickMs = 0;
    // The paint has gone cold in the quiet before this tick: paint the displays as they stand,
    // then ask again how long it is until the turn, as the paint takes time.
    bool warmUp = false;
    // A cue comes with the turn: have the sound output ready for it.
    bool readySound = false;
    // A cue comes with a turn within a second: keep the sound output if it is open.
    bool keepSound = false;
};

struct TickOutlook {
    bool workLeft = false;  // the next tick has work however little time passes
    int msUntilTurn = 0;    // until a display turns; 0 when one has turned since the tick read it
    bool cueAtTurn = false; // the phase ends, or the practice, when its display turns next
    int sleptMs = 0;        // how long the timer slept before this tick
};

inline constexpr int tickPeriodMs = 1;
// Paints after a quiet of more than this are slow, so the timer wakes this long before a turn
// that follows such a quiet and paints first.
inline constexpr int warmUpLeadMs = 10;

TickPace paceAfter(const TickOutlook& outlook);

// The wait after a warm-up: a period short of the turn.
int stepBeforeTurn(int msUntilTurn);

} // namespace tolvane
