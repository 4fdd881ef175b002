#pragma once

#include <cstdint>

namespace tolvane {

// The running state that both practices share. Times are clock readings in days.
struct PracticeClock {
    double tPhaseStart = 0;          // when the current phase counts as begun
    double tPracticeStart = 0;       // when the practice began
    bool blPhaseCue = false;         // a phase has begun: its status text and cue are due next tick
    std::int32_t intPhaseLength = 0; // seconds, chosen afresh every tick
    std::int32_t intRound = 0;       // 0 whenever no practice runs
    // The phase code. Pranayama: Puraka (false, false), Abhyantara Kumbhaka (true, false),
    // Rechaka (false, true), Bahya Kumbhaka (true, true). Kevali uses blPhaseOne alone: true is
    // Puraka, false is Rechaka.
    bool blPhaseOne = false;
    bool blPhaseTwo = false;

    bool operator==(const PracticeClock&) const = default;
};

// What the Kevali practice keeps besides the shared clock.
struct KevaliState {
    std::int32_t intKevBlockRound = 0; // rounds begun at the current breath length, 1 … 10 (11)
    std::int64_t intKevSeconds = 0;    // at the start: seconds of the whole blocks counted so far
    std::int64_t intKevBreath = 0;     // at the start: breath length of the next block counted
    std::int32_t intKevDelay = 0;      // at the start: 30 with the delay, else 0
    double tKevTotalTime = 0;          // length of the practice, days

    bool operator==(const KevaliState&) const = default;
};

} // namespace tolvane
