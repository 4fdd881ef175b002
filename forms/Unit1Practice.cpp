// What both practices of the main window share: the phase-change rule, the displays, the end
// and Stop.
#include "forms/TimeFormat.h"
#include "forms/Unit1.h"
#include "ui_Unit1.h"
#include "widgets/MediaPlayer.h"

#include <QTimer>

#include <algorithm>

namespace tolvane {

bool TPranayama::phaseTimeExceeded() const
{
    // The phase time as the previous tick showed it.
    return phaseSecondsShown(ui->LMDLEDLabel1->text()) > m_practice.intPhaseLength;
}

void TPranayama::restartPhase()
{
    // The new phase counts as begun a second ago, so its display restarts at 0:01.
    m_practice.tPhaseStart = m_clock.now() - platform::oneSecond;
    m_practice.blPhaseCue = true;
}

void TPranayama::showPhaseTimes(double totalTime)
{
    ui->LMDLEDLabel1->setText(formatPhaseTime(m_clock.now() - m_practice.tPhaseStart));
    ui->LMDLEDLabel3->setText(formatClockTime(m_clock.now() - m_practice.tPracticeStart));
    // Clamped at zero: a tick held up past the end still reads "0:00:00" and ends the practice.
    const double remaining =
        totalTime - (m_clock.now() - m_practice.tPracticeStart) + platform::oneSecond;
    ui->LMDLEDLabel2->setText(formatClockTime(std::max(remaining, 0.0)));
}

void TPranayama::showPracticeEnd()
{
    PlayCue(QStringLiteral("Exit.wav"));
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    ui->LMDLEDLabel1->setText(formatPhaseTime(m_practice.tPhaseStart - m_clock.now()));
    setStatusPanel(1, QStringLiteral("The end"));
}

void TPranayama::Stop1Click()
{
    ui->LMDLEDLabel1->setText(QStringLiteral("0:00"));
    ui->LMDLEDLabel2->setText(QStringLiteral("0:00:00"));
    ui->LMDLEDLabel3->setText(QStringLiteral("0:00:00"));
    ui->LMDLEDLabel4->setText(QStringLiteral("000"));
    setStatusPanel(0, QStringLiteral("Program stopped"));
    setStatusPanel(1, QString());
    Timer1->stop();
    Timer2->stop();
    m_practice.intRound = 0;
    setIdleCommands();
    // Only disabled: a cue that is sounding plays on to its end.
    MediaPlayer1->setEnabled(false);
    m_practice.blPhaseOne = false;
    m_practice.blPhaseTwo = false;
}

} // namespace tolvane
