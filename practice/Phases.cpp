#include "practice/Phases.h"

namespace tolvane {

QString cueFileName(Cue cue)
{
    switch (cue) {
    case Cue::Delay:
        return QStringLiteral("Delay.wav");
    case Cue::Inhale:
        return QStringLiteral("Inhale.wav");
    case Cue::Check:
        return QStringLiteral("Check.wav");
    case Cue::Exhale:
        return QStringLiteral("Exhale.wav");
    case Cue::Exit:
        return QStringLiteral("Exit.wav");
    }
    return {};
}

Cue cueOf(Phase phase)
{
    switch (phase) {
    case Phase::Puraka:
        return Cue::Inhale;
    case Phase::Rechaka:
        return Cue::Exhale;
    case Phase::AbhyantaraKumbhaka:
    case Phase::BahyaKumbhaka:
        break;
    }
    return Cue::Check;
}

Phase pranayamaPhase(bool phaseOne, bool phaseTwo)
{
    if (phaseTwo)
        return phaseOne ? Phase::BahyaKumbhaka : Phase::Rechaka;
    return phaseOne ? Phase::AbhyantaraKumbhaka : Phase::Puraka;
}

void setPranayamaPhase(Phase phase, bool& phaseOne, bool& phaseTwo)
{
    phaseOne = phase == Phase::AbhyantaraKumbhaka || phase == Phase::BahyaKumbhaka;
    phaseTwo = phase == Phase::Rechaka || phase == Phase::BahyaKumbhaka;
}

Phase nextPranayamaPhase(Phase phase, bool holdAfterInhaling, bool holdAfterExhaling)
{
    switch (phase) {
    case Phase::Puraka:
        if (holdAfterInhaling)
            return Phase::AbhyantaraKumbhaka;
        return holdAfterExhaling ? Phase::Puraka : Phase::Rechaka;
    case Phase::AbhyantaraKumbhaka:
        return Phase::Rechaka;
    case Phase::Rechaka:
        return holdAfterExhaling ? Phase::BahyaKumbhaka : Phase::Puraka;
    case Phase::BahyaKumbhaka:
        break;
    }
    return Phase::Puraka;
}

Phase nextKevaliPhase(Phase phase)
{
    return phase == Phase::Puraka ? Phase::Rechaka : Phase::Puraka;
}

} // namespace tolvane
