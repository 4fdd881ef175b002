// What both practices of the main window share: the pace of their ticks, the phase-change rule,
// the displays, the end and Stop.
#include "forms/Unit1.h"
#include "platform/Audio.h"
#include "platform/ErrorDispatch.h"
#include "platform/PreciseWake.h"
#include "practice/Phases.h"
#include "practice/PracticeTotal.h"
#include "practice/TickPace.h"
#include "practice/TimeFormat.h"
#include "settings/SettingsRecord.h"
#include "ui_Unit1.h"
#include "widgets/MediaPlayer.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>

namespace tolvane {

// One tick of either practice. The phase time is read back from the display as the last tick left
// it; the practice ends when the remaining time reads none.
void TPranayama::practiceTick(const PracticeRules& rules)
{
    if (ui->LMDLEDLabel2->text() == u"0:00:00") {
        (this->*rules.end)();
        return;
    }
    if (rules.lengthen)
        (this->*rules.lengthen)();
    m_practice.intPhaseLength = rules.delay ? delaySeconds : (this->*rules.phaseLength)();
    if (m_practice.blPhaseCue) {
        beginPhase(rules);
        m_practice.blPhaseCue = false;
    }
    if (phaseTimeExceeded()) {
        if (rules.delay)
            rules.delay = false; // the first Puraka follows the delay
        else
            (this->*rules.advance)();
        restartPhase();
    }
    showPhaseTimes(rules.totalTime);
}

// Shows the status text of the phase that has just begun and sounds its cue; a Puraka begins a
// round.
void TPranayama::beginPhase(const PracticeRules& rules)
{
    if (rules.delay) {
        setStatusPanel(1, tr("30 sec. Delay"));
        PlayCue(cueFileName(Cue::Delay));
        return;
    }
    const Phase phase = (this->*rules.phase)();
    if (phase == Phase::Puraka) {
        ++m_practice.intRound;
        if (rules.countsBlocks)
            ++m_kevali.intKevBlockRound;
        ui->LMDLEDLabel4->setText(QString::number(m_practice.intRound));
    }
    setStatusPanel(1, phaseName(phase));
    PlayCue(cueFileName(cueOf(phase)));
}

QString TPranayama::phaseName(Phase phase)
{
    switch (phase) {
    case Phase::Puraka:
        return tr("Puraka");
    case Phase::AbhyantaraKumbhaka:
        return tr("Abhyantara Kumbhaka");
    case Phase::Rechaka:
        return tr("Rechaka");
    case Phase::BahyaKumbhaka:
        break;
    }
    return tr("Bahya Kumbhaka");
}

// A practice runs for up to an hour on laptops, so the timer sleeps through the ticks that would
// find nothing to do and wakes once for each turn of a display (paceAfter). Where the phase ends, a
// precise wake-up on the system clock brings each tick at its very millisecond, so that the cue
// sounds on time; the timer, restarted there, only ticks where the wake-up cannot. Other turns
// change digits alone and come on the timer, which brings them a millisecond or two late and so
// often together with a neighbouring turn: one wake-up less.
void TPranayama::connectPracticeTimer(QTimer* timer, void (TPranayama::*tick)())
{
    auto* wake = new platform::PreciseWake(timer, [timer] {
        if (!timer->isActive())
            return;
        QTimerEvent due(timer->timerId());
        QCoreApplication::sendEvent(timer, &due);
    });
    connect(timer, &QTimer::timeout, this, [this, timer, tick, wake] {
        const auto tickStart = platform::PreciseWake::bootTimeNow();
        platform::dispatch([this, tick] { (this->*tick)(); });
        if (!timer->isActive()) { // the practice ended or stopped
            wake->cancel();
            return;
        }
        const double now = m_clock.now();
        const int msUntilTurn = msUntilDisplayTurns(now, totalTimeOf(timer));
        const bool workLeft = tickLeftWork(timer);
        const TickPace pace = paceAfter({workLeft, msUntilTurn, cueAtNextTurn()});
        if (pace.readySound)
            platform::prepareAudioOutput(std::chrono::milliseconds(msUntilTurn),
                                         std::chrono::seconds(shortestPhaseSeconds(timer)));
        // Work follows at the next millisecond after the tick began, as on a timer that never
        // sleeps, however long the tick took; the turn that ends a phase comes at its own.
        auto due = workLeft || pace.readySound
                       ? m_clock.bootTimeAt(now + pace.nextTickMs * platform::oneSecond / 1000)
                       : std::nullopt;
        if (due && workLeft)
            due = std::chrono::floor<std::chrono::milliseconds>(tickStart) +
                  std::chrono::milliseconds(tickPeriodMs);
        if (due && wake->wakeAt(*due)) {
            timer->start(pace.nextTickMs);
            return;
        }
        wake->cancel();
        // A running timer keeps its own pace; restarting it would add the tick's length.
        if (timer->interval() != pace.nextTickMs)
            timer->start(pace.nextTickMs);
    });
}

// The total of the practice the timer paces, as its tick shows it: the settings' for Pranayama, the
// plan's for Kevali, which each start sets.
double TPranayama::totalTimeOf(const QTimer* timer) const
{
    return timer == Timer2 ? m_kevali.tKevTotalTime : settings.tTotalTime;
}

// No cue follows another sooner than the practice's shortest phase: Kevali's breath only
// lengthens, and Pranayama's holds count where its type has them.
std::int32_t TPranayama::shortestPhaseSeconds(const QTimer* timer) const
{
    if (timer == Timer2)
        return kevaliBreath();
    std::int32_t shortest = std::min(settings.intPrInhale, settings.intPrExhale);
    if (settings.blCheckOne)
        shortest = std::min(shortest, settings.intCheckOne);
    if (settings.blCheckTwo)
        shortest = std::min(shortest, settings.intCheckTwo);
    return shortest;
}

// The next tick changes something however little time passes: it ends the practice, sounds a
// cue, changes the phase or, in Kevali, lengthens the breath.
bool TPranayama::tickLeftWork(const QTimer* timer) const
{
    return ui->LMDLEDLabel2->text() == u"0:00:00" || m_practice.blPhaseCue || phaseTimeExceeded() ||
           (timer == Timer2 && kevaliBlockPassed(m_kevali.intKevBlockRound));
}

// The phase display's next turn shows more than the phase's length, or the remaining time's
// next turn shows none left: a cue follows that turn by a tick or two.
bool TPranayama::cueAtNextTurn() const
{
    return phaseSecondsShown(ui->LMDLEDLabel1->text()) >= m_practice.intPhaseLength ||
           ui->LMDLEDLabel2->text() == u"0:00:01";
}

void TPranayama::startPracticeTimer(QTimer* timer)
{
    timer->start(tickPeriodMs);
}

int TPranayama::msUntilDisplayTurns(double now, double totalTime) const
{
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
    PlayCue(cueFileName(Cue::Exit));
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    ui->LMDLEDLabel1->setText(formatPhaseTime(m_practice.tPhaseStart - m_clock.now()));
    setStatusPanel(1, tr("The end"));
}

void TPranayama::Stop1Click()
{
    logPracticeEnd(practicelog::Ended::Stop);
    ui->LMDLEDLabel1->setText(QStringLiteral("0:00"));
    ui->LMDLEDLabel2->setText(QStringLiteral("0:00:00"));
    ui->LMDLEDLabel3->setText(QStringLiteral("0:00:00"));
    ui->LMDLEDLabel4->setText(QStringLiteral("000"));
    setStatusPanel(0, tr("Program stopped"));
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
