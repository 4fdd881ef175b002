#pragma once

#include <QString>

#include <array>

namespace tolvane {

// The phases of a round. Kevali knows Puraka and Rechaka alone.
enum class Phase { Puraka, AbhyantaraKumbhaka, Rechaka, BahyaKumbhaka };

// The sound that marks the start of a phase, of the delay and of the end.
enum class Cue { Delay, Inhale, Check, Exhale, Exit };
inline constexpr std::array<Cue, 5> allCues{Cue::Delay, Cue::Inhale, Cue::Check, Cue::Exhale,
                                            Cue::Exit};

// The file that holds the cue, opened by its bare name.
QString cueFileName(Cue cue);
Cue cueOf(Phase phase);

// The Pranayama phase code as the practice clock keeps it: Puraka (false, false), Abhyantara
// Kumbhaka (true, false), Rechaka (false, true), Bahya Kumbhaka (true, true).
Phase pranayamaPhase(bool phaseOne, bool phaseTwo);
void setPranayamaPhase(Phase phase, bool& phaseOne, bool& phaseTwo);

// The phase after this one in the cycle of the chosen Pranayama type: a hold that the type
// leaves out is never entered. A hold after exhaling without the one after inhaling is no type
// the settings offer; such a round stays in Puraka, as stored settings of old have it.
Phase nextPranayamaPhase(Phase phase, bool holdAfterInhaling, bool holdAfterExhaling);

// Kevali breathes in and out in turn.
Phase nextKevaliPhase(Phase phase);

} // namespace tolvane
