#pragma once

#include <cstdint>

namespace tolvane {

// The running state that both practices share. Times are clock readings in days.
struct PracticeClock {
    double tPhaseStart = 0;    // when the current phase counts as begun
    double tPracticeStart = 0; // when the practice began
    bool blPhaseCue = false;   // a phase has begun: its status text and cue are due next tick
    std::int32_t intPhaseLength = 0; // seconds, chosen afresh every tick
    std::int32_t intRound = 0;       // 0 whenever no practice runs
    // The phase code: Puraka (false, false), Abhyantara Kumbhaka (true, false),
    // Rechaka (false, true), Bahya Kumbhaka (true, true).
    bool blPhaseOne = false;
    bool blPhaseTwo = false;
};

} // namespace tolvane
