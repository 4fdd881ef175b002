// The Kevali practice of the main window: start, tick and end.
#include "forms/PracticeTotal.h"
#include "forms/TimeFormat.h"
#include "forms/Unit1.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"

#include <QTimer>

namespace tolvane {

void TPranayama::Kevali1Click()
{
    store::loadKevaliSettings();
    m_kevali.intKevSeconds = 0;
    setStatusPanel(0, QStringLiteral("Kevali"));
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
    if (ui->LMDLEDLabel2->text() == u"0:00:00") {
        endKevali();
        return;
    }
    if (m_kevali.intKevBlockRound > 10) {
        m_kevali.intKevBlockRound = 1;
        ++settings.intKevStartBreath;
    }
    m_practice.intPhaseLength = settings.blKevDelay ? 30 : settings.intKevStartBreath;
    if (m_practice.blPhaseCue) {
        beginKevaliPhase();
        m_practice.blPhaseCue = false;
    }
    if (phaseTimeExceeded()) {
        if (settings.blKevDelay)
            settings.blKevDelay = false; // the first Puraka follows the delay
        else
            m_practice.blPhaseOne = !m_practice.blPhaseOne;
        restartPhase();
    }
    showPhaseTimes(m_kevali.tKevTotalTime);
}

void TPranayama::beginKevaliPhase()
{
    if (settings.blKevDelay) {
        setStatusPanel(1, QStringLiteral("30 sec. Delay"));
        PlayCue(QStringLiteral("Delay.wav"));
    } else if (m_practice.blPhaseOne) {
        ++m_practice.intRound;
        ++m_kevali.intKevBlockRound;
        ui->LMDLEDLabel4->setText(QString::number(m_practice.intRound));
        setStatusPanel(1, QStringLiteral("Puraka"));
        PlayCue(QStringLiteral("Inhale.wav"));
    } else {
        setStatusPanel(1, QStringLiteral("Rechaka"));
        PlayCue(QStringLiteral("Exhale.wav"));
    }
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
