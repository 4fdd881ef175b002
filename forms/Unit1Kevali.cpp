// The Kevali practice of the main window: start, tick and end.
#include "forms/Unit1.h"
#include "practice/Phases.h"
#include "practice/PracticeTotal.h"
#include "practice/TimeFormat.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"

#include <QTimer>

namespace tolvane {

void TPranayama::Kevali1Click()
{
    store::loadKevaliSettings();
    m_kevali.intKevSeconds = 0;
    setStatusPanel(0, tr("Kevali"));
    setRunningCommands(QColor(255, 255, 0));
    m_practice.blPhaseOne = true;
    m_practice.blPhaseCue = true;
    m_practice.intRound = 0;
    m_kevali.intKevBlockRound = 0;
    m_kevali.intKevDelay = settings.blKevDelay ? delaySeconds : 0;
    m_cueFailureReported = false;

    const KevaliPlan plan =
        kevaliPlan(settings.intKevTotalTime, settings.intKevStartBreath, settings.blKevDelay);
    m_kevali.intKevSeconds = plan.seconds - m_kevali.intKevDelay;
    m_kevali.intKevBreath = plan.lastBreath + 1;
    // The plain number of seconds, so a total of an hour or more shows and runs right.
    m_kevali.tKevTotalTime = static_cast<double>(plan.seconds) * platform::oneSecond;
    ui->LMDLEDLabel2->setText(formatClockTime(m_kevali.tKevTotalTime));

    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    Timer1->stop();
    startPracticeTimer(Timer2);
    prepareCuesSoon();
    logPracticeStart(practicelog::Exercise::Kevali);
}

void TPranayama::Timer2Timer()
{
    practiceTick({settings.blKevDelay, m_kevali.tKevTotalTime, &TPranayama::lengthenKevaliBreath,
                  &TPranayama::kevaliBreath, &TPranayama::kevaliPhase,
                  &TPranayama::advanceKevaliPhase, &TPranayama::endKevali, true});
}

// A round begun past the end of a block begins the next one, a second longer.
void TPranayama::lengthenKevaliBreath()
{
    if (kevaliBlockPassed(m_kevali.intKevBlockRound)) {
        m_kevali.intKevBlockRound = 1;
        ++settings.intKevStartBreath;
    }
}

std::int32_t TPranayama::kevaliBreath() const
{
    return settings.intKevStartBreath;
}

Phase TPranayama::kevaliPhase() const
{
    return m_practice.blPhaseOne ? Phase::Puraka : Phase::Rechaka;
}

void TPranayama::advanceKevaliPhase()
{
    m_practice.blPhaseOne = nextKevaliPhase(kevaliPhase()) == Phase::Puraka;
}

void TPranayama::endKevali()
{
    logPracticeEnd(practicelog::Ended::End);
    m_practice.blPhaseCue = false;
    showPracticeEnd();
    Timer2->stop();
    m_practice.intRound = 0;
    m_kevali.intKevBlockRound = 0;
    ui->LMDLEDLabel4->setText(QStringLiteral("000"));
    setIdleCommands();
}

} // namespace tolvane
