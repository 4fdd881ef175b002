// What both practices of the main window share: the pace of their ticks, the phase-change rule,
// the displays, the end and Stop.
#include "forms/TimeFormat.h"
#include "forms/Unit1.h"
#include "platform/ErrorDispatch.h"
#include "settings/SettingsRecord.h"
#include "ui_Unit1.h"
#include "widgets/MediaPlayer.h"

#include <QTimer>

#include <algorithm>

namespace tolvane {

// Everything a tick reads or writes besides the clock.
struct TPranayama::TickState {
    PracticeClock practice;
    KevaliState kevali;
    bool blDelay;
    bool blKevDelay;
    std::int32_t intKevStartBreath;
    QString displays[4];
    QString panels[2];

    bool operator==(const TickState&) const = default;
};

TPranayama::TickState TPranayama::tickState() const
{
    return {m_practice,
            m_kevali,
            settings.blDelay,
            settings.blKevDelay,
            settings.intKevStartBreath,
            {ui->LMDLEDLabel1->text(), ui->LMDLEDLabel2->text(), ui->LMDLEDLabel3->text(),
             ui->LMDLEDLabel4->text()},
            {ui->StatusPanel0->text(), ui->StatusPanel1->text()}};
}

// A practice runs for up to an hour on laptops, so ticks that would find nothing to do are not
// run. A tick depends on the clock only through the three time displays: one that changes
// nothing would change nothing again until a display turns to another second. So after such a
// tick the timer waits until just before that moment and meets it one period at a time, as if it
// had ticked all along; after a tick that changed something the next one comes a period later.
void TPranayama::connectPracticeTimer(QTimer* timer, void (TPranayama::*tick)(),
                                      const double& totalTime)
{
    connect(timer, &QTimer::timeout, this, [this, timer, tick, &totalTime] {
        const TickState before = tickState();
        platform::dispatch([this, tick] { (this->*tick)(); });
        if (!timer->isActive()) // the practice ended or stopped
            return;
        // A running timer keeps its own pace; restarting it would add the tick's length.
        const int next = msUntilNextTick(tickState() != before, totalTime);
        if (timer->interval() != next)
            timer->start(next);
    });
}

int TPranayama::msUntilNextTick(bool tickChangedSomething, double totalTime) const
{
    if (tickChangedSomething)
        return tickPeriodMs;
    const double now = m_clock.now();
    const double phaseTime = now - m_practice.tPhaseStart;
    const double elapsed = now - m_practice.tPracticeStart;
    const double remaining = totalTime - elapsed + platform::oneSecond;
    // The clock may have passed a change since the tick read it: then the change is due now.
    if (formatPhaseTime(phaseTime) != ui->LMDLEDLabel1->text() ||
        formatClockTime(elapsed) != ui->LMDLEDLabel3->text() ||
        formatClockTime(std::max(remaining, 0.0)) != ui->LMDLEDLabel2->text())
        return tickPeriodMs;
    std::int64_t wait = 1000;
    for (const std::int64_t untilChange :
         {msUntilShownSecondChanges(phaseTime, false), msUntilShownSecondChanges(elapsed, false),
          msUntilShownSecondChanges(remaining, true)}) {
        if (untilChange > 0)
            wait = std::min(wait, untilChange);
    }
    // Waking two periods early keeps the last steps on the timer's own short period.
    return int(std::max<std::int64_t>(tickPeriodMs, wait - 2 * tickPeriodMs));
}

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
