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
#include <array>

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
// tick the timer sleeps until shortly before that moment, warms up the paint, and meets the
// change one period at a time, as if it had ticked all along. A tick that changed something may
// have left work for the next one (a phase change, a cue, a round to count, the end; a chain of
// phases of no length takes a tick each), so the next tick comes one period later, however many
// of them change something: the practice keeps the timetable of a timer that never sleeps.
void TPranayama::connectPracticeTimer(QTimer* timer, void (TPranayama::*tick)(),
                                      const double& totalTime)
{
    connect(timer, &QTimer::timeout, this, [this, timer, tick, &totalTime] {
        const TickState before = tickState();
        platform::dispatch([this, tick] { (this->*tick)(); });
        if (!timer->isActive()) // the practice ended or stopped
            return;
        int next = tickPeriodMs;
        if (tickState() != before) {
            m_paintWarm = true; // it painted, so the caches are warm
        } else if (const int untilTurn = msUntilDisplayTurns(totalTime); untilTurn > warmUpLeadMs) {
            m_paintWarm = false;
            next = untilTurn - warmUpLeadMs;
        } else {
            if (!m_paintWarm)
                warmUpDisplays();
            m_paintWarm = true;
            // Asked again, as the warm-up takes time; two periods early, so that the last
            // steps keep to the timer's short period.
            next = std::max(tickPeriodMs, msUntilDisplayTurns(totalTime) - 2 * tickPeriodMs);
        }
        // A running timer keeps its own pace; restarting it would add the tick's length.
        if (timer->interval() != next)
            timer->start(next);
    });
}

void TPranayama::startPracticeTimer(QTimer* timer)
{
    m_paintWarm = false;
    timer->start(tickPeriodMs);
}

int TPranayama::msUntilDisplayTurns(double totalTime) const
{
    const double now = m_clock.now();
    const double phaseTime = now - m_practice.tPhaseStart;
    const double elapsed = now - m_practice.tPracticeStart;
    const double remaining = totalTime - elapsed + platform::oneSecond;
    // The clock may have passed a change since the tick read it: then the change is due now.
    if (formatPhaseTime(phaseTime) != ui->LMDLEDLabel1->text() ||
        formatClockTime(elapsed) != ui->LMDLEDLabel3->text() ||
        formatClockTime(std::max(remaining, 0.0)) != ui->LMDLEDLabel2->text())
        return 0;
    std::int64_t wait = 1000;
    for (const std::int64_t untilChange :
         {msUntilShownSecondChanges(phaseTime, false), msUntilShownSecondChanges(elapsed, false),
          msUntilShownSecondChanges(remaining, true)}) {
        if (untilChange > 0)
            wait = std::min(wait, untilChange);
    }
    return int(wait);
}

// After a second of quiet the first paint is slow: on a laptop or a shared machine the caches
// have gone cold, and painting a display then takes milliseconds instead of a tenth of one. The
// timer wakes a little before a display turns, and everything a tick may paint is painted once
// as it stands (nothing on screen changes), so the paints at the change itself are quick.
void TPranayama::warmUpDisplays()
{
    for (QWidget* shown :
         std::array<QWidget*, 5>{ui->LMDLEDLabel1, ui->LMDLEDLabel2, ui->LMDLEDLabel3,
                                 ui->LMDLEDLabel4, ui->StatusPanel1})
        shown->repaint();
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
    logPracticeEnd(practicelog::Ended::Stop);
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
