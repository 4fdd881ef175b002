// The Pranayama practice of the main window: start, tick, end and Stop.
#include "forms/TimeFormat.h"
#include "forms/Unit1.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"
#include "widgets/MediaPlayer.h"

#include <QTimer>

#include <algorithm>

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

bool isPuraka(const PracticeClock& practice)
{
    return !practice.blPhaseOne && !practice.blPhaseTwo;
}

} // namespace

void TPranayama::Beginbreathing1Click()
{
    store::loadPranayamaSettings();
    setStatusPanel(0, QStringLiteral("Pranayama"));
    setRunningCommands(Practice::Pranayama);
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    m_practice.blPhaseOne = false;
    m_practice.blPhaseTwo = false;
    m_practice.blPhaseCue = true;
    m_cueFailureReported = false;
    setDisplay(ui->LMDLEDLabel2, formatClockTime(settings.tTotalTime));
    Timer1->start();
}

std::int32_t TPranayama::pranayamaPhaseLength() const
{
    return settings.blDelay ? 30 : settings.*phaseOf(m_practice).length;
}

void TPranayama::Timer1Timer()
{
    if (ui->LMDLEDLabel2->text() == u"0:00:00") {
        endPranayama();
        return;
    }

    m_practice.intPhaseLength = pranayamaPhaseLength();

    if (m_practice.blPhaseCue) {
        beginPranayamaPhase();
        m_practice.blPhaseCue = false;
    }

    if (phaseSecondsShown(ui->LMDLEDLabel1->text()) > m_practice.intPhaseLength) {
        if (settings.blDelay)
            settings.blDelay = false; // the first Puraka follows the delay
        else
            advancePranayamaPhase();
        m_practice.tPhaseStart = m_clock.now() - platform::oneSecond;
        m_practice.blPhaseCue = true;
    }

    setDisplay(ui->LMDLEDLabel1, formatPhaseTime(m_clock.now() - m_practice.tPhaseStart));
    setDisplay(ui->LMDLEDLabel3, formatClockTime(m_clock.now() - m_practice.tPracticeStart));
    // Clamped at zero: a tick held up past the end still reads "0:00:00" and ends the practice.
    const double remaining = settings.tTotalTime - (m_clock.now() - m_practice.tPracticeStart) +
                             platform::oneSecond;
    setDisplay(ui->LMDLEDLabel2, formatClockTime(std::max(remaining, 0.0)));
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
    if (isPuraka(m_practice)) {
        ++m_practice.intRound;
        setDisplay(ui->LMDLEDLabel4, QString::number(m_practice.intRound));
    }
    setStatusPanel(1, phase.status.toString());
    PlayCue(phase.cue.toString());
}

// Moves the phase code along the cycle of the chosen Pranayama type; holds that the type leaves
// out are never entered.
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
        if (settings.blCheckTwo)
            one = true;
        else
            two = false;
    } else { // Bahya Kumbhaka
        one = false;
        two = false;
    }
}

void TPranayama::endPranayama()
{
    Timer1->stop();
    m_practice.blPhaseCue = false;
    PlayCue(QStringLiteral("Exit.wav"));
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    setDisplay(ui->LMDLEDLabel1, formatPhaseTime(m_practice.tPhaseStart - m_clock.now()));
    setStatusPanel(1, QStringLiteral("The end"));
    m_practice.intRound = 0;
    setDisplay(ui->LMDLEDLabel4, QStringLiteral("000"));
    setIdleCommands();
}

void TPranayama::Stop1Click()
{
    setDisplay(ui->LMDLEDLabel1, QStringLiteral("0:00"));
    setDisplay(ui->LMDLEDLabel2, QStringLiteral("0:00:00"));
    setDisplay(ui->LMDLEDLabel3, QStringLiteral("0:00:00"));
    setDisplay(ui->LMDLEDLabel4, QStringLiteral("000"));
    setStatusPanel(0, QStringLiteral("Program stopped"));
    setStatusPanel(1, QString());
    Timer1->stop();
    m_practice.intRound = 0;
    setIdleCommands();
    // Only disabled: a cue that is sounding plays on to its end.
    MediaPlayer1->setEnabled(false);
    m_practice.blPhaseOne = false;
    m_practice.blPhaseTwo = false;
}

} // namespace tolvane
