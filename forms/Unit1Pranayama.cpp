// The Pranayama practice of the main window: start, tick and end.
#include "forms/TimeFormat.h"
#include "forms/Unit1.h"
#include "forms/Unit6.h"
#include "platform/Errors.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"

#include <QTimer>

namespace tolvane {

namespace {

struct PhaseInfo {
    std::int32_t SettingsRecord::*length;
    QStringView status;
    QStringView cue;
};

// Indexed by the phase code (blPhaseOne + 2 × blPhaseTwo).
const PhaseInfo phases[] = {
    {&SettingsRecord::intPrInhale, u"Puraka", u"Inhale.wav"},
    {&SettingsRecord::intCheckOne, u"Abhyantara Kumbhaka", u"Check.wav"},
    {&SettingsRecord::intPrExhale, u"Rechaka", u"Exhale.wav"},
    {&SettingsRecord::intCheckTwo, u"Bahya Kumbhaka", u"Check.wav"},
};

const PhaseInfo& phaseOf(const PracticeClock& practice)
{
    return phases[(practice.blPhaseOne ? 1 : 0) + (practice.blPhaseTwo ? 2 : 0)];
}

} // namespace

void TPranayama::Beginbreathing1Click()
{
    // Settings that could not be read may leave no time to practise: that is said, not ended.
    if (!store::loadPranayamaSettings() && formatClockTime(settings.tTotalTime) == u"0:00:00")
        throw TolvaneError(QStringLiteral("The Pranayama practice has no length: %1")
                               .arg(store::unreadSettingsReason()));
    m_delaySetting = settings.blDelay;
    setStatusPanel(0, QStringLiteral("Pranayama"));
    setRunningCommands(QColor(0, 255, 0));
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    m_practice.blPhaseOne = false;
    m_practice.blPhaseTwo = false;
    m_practice.blPhaseCue = true;
    m_cueFailureReported = false;
    ui->LMDLEDLabel2->setText(formatClockTime(settings.tTotalTime));
    startPracticeTimer(Timer1);
    prepareCuesSoon();
    logPracticeStart(practicelog::Exercise::Pranayama);
}

void TPranayama::Timer1Timer()
{
    if (ui->LMDLEDLabel2->text() == u"0:00:00") {
        endPranayama();
        return;
    }
    m_practice.intPhaseLength = settings.blDelay ? 30 : settings.*phaseOf(m_practice).length;
    if (m_practice.blPhaseCue) {
        beginPranayamaPhase();
        m_practice.blPhaseCue = false;
    }
    if (phaseTimeExceeded()) {
        if (settings.blDelay)
            settings.blDelay = false; // the first Puraka follows the delay
        else
            advancePranayamaPhase();
        restartPhase();
    }
    showPhaseTimes(settings.tTotalTime);
}

// Shows the status text of the phase that has just begun and sounds its cue.
void TPranayama::beginPranayamaPhase()
{
    if (settings.blDelay) {
        setStatusPanel(1, QStringLiteral("30 sec. Delay"));
        PlayCue(QStringLiteral("Delay.wav"));
        return;
    }
    const PhaseInfo& phase = phaseOf(m_practice);
    if (!m_practice.blPhaseOne && !m_practice.blPhaseTwo) { // Puraka: a new round
        ++m_practice.intRound;
        ui->LMDLEDLabel4->setText(QString::number(m_practice.intRound));
    }
    setStatusPanel(1, phase.status.toString());
    PlayCue(phase.cue.toString());
}

// Moves the phase code along the cycle of the chosen Pranayama type; a hold that the type
// leaves out is never entered.
void TPranayama::advancePranayamaPhase()
{
    bool& one = m_practice.blPhaseOne;
    bool& two = m_practice.blPhaseTwo;
    if (!one && !two) { // Puraka
        if (settings.blCheckOne)
            one = true;
        else if (!settings.blCheckTwo)
            two = true;
    } else if (one && !two) { // Abhyantara Kumbhaka
        one = false;
        two = true;
    } else if (!one && two) { // Rechaka
        one = settings.blCheckTwo;
        two = settings.blCheckTwo;
    } else { // Bahya Kumbhaka
        one = false;
        two = false;
    }
}

void TPranayama::endPranayama()
{
    logPracticeEnd(practicelog::Ended::End, settings.blAuto || settings.blAutoTwo);
    Timer1->stop();
    m_practice.blPhaseCue = false;
    showPracticeEnd();
    m_practice.intRound = 0;
    ui->LMDLEDLabel4->setText(QStringLiteral("000"));
    // The record's flag meant a delay still to come; the rating's total needs the setting again,
    // also when its reload fails.
    settings.blDelay = m_delaySetting;
    // The rating comes before the commands return to idle; the next start reloads its result.
    if (settings.blAuto || settings.blAutoTwo) {
        TState rating(this);
        rating.exec();
        logRating(rating.appliedAnswer());
    }
    setIdleCommands();
}

} // namespace tolvane
