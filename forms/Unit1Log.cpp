// The practice log of the main window: each practice recorded as it ends, and the log window.
#include "forms/PracticeLogWindow.h"
#include "forms/Unit1.h"
#include "platform/ErrorDispatch.h"
#include "practice/PracticeTotal.h"
#include "settings/SettingsRecord.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace tolvane {

using namespace practicelog;

namespace {

Holds holdsOf(const SettingsRecord& record)
{
    // A hold after exhaling without the one after inhaling enters no hold at all.
    if (!record.blCheckOne)
        return Holds::None;
    return record.blCheckTwo ? Holds::Two : Holds::One;
}

int clampedToInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

} // namespace

void TPranayama::PracticeLog1Click()
{
    PracticeLogWindow::showFor(this, m_practiceLog.logPath())->showWaiting(m_practiceLog.waiting());
}

// The values the start has just loaded; the ticks change some of them in the record later.
void TPranayama::logPracticeStart(Exercise exercise)
{
    PracticeEntry entry;
    entry.started = LocalStamp::of(QDateTime::currentDateTime());
    entry.exercise = exercise;
    if (exercise == Exercise::Pranayama) {
        entry.type = holdsOf(settings);
        entry.ratio = ratioOf(settings.blModeOne, settings.blModeTwo).value_or(Ratio::Free);
        entry.puraka = settings.intPrInhale;
        entry.abhyantara = settings.intCheckOne;
        entry.rechaka = settings.intPrExhale;
        entry.bahya = settings.intCheckTwo;
        entry.roundsPlanned = settings.intPrTotalTime;
        entry.delay = settings.blDelay;
        entry.plannedSeconds = settings.tTotalTime * platform::secondsPerDay;
    } else {
        const KevaliPlan plan =
            kevaliPlan(settings.intKevTotalTime, settings.intKevStartBreath, settings.blKevDelay);
        entry.kevaliMinutes = settings.intKevTotalTime;
        entry.kevaliStartBreath = settings.intKevStartBreath;
        entry.roundsPlanned = clampedToInt(plan.rounds);
        entry.delay = settings.blKevDelay;
        entry.plannedSeconds = m_kevali.tKevTotalTime * platform::secondsPerDay;
    }
    m_practiceLog.begin(std::move(entry));
}

// What the practice clock shows as it ends; the line is written after the handler that ended it,
// except when the program ends, after its last handler.
void TPranayama::logPracticeEnd(Ended how, bool ratingFollows)
{
    const double elapsed = (m_clock.now() - m_practice.tPracticeStart) * platform::secondsPerDay;
    m_practiceLog.end(how, elapsed, m_practice.intRound, ratingFollows);
    if (how == Ended::Close)
        writePracticeLog();
    else if (!ratingFollows)
        QTimer::singleShot(0, this, &TPranayama::writePracticeLog);
}

// The rating that the dialog applied, with the round it leaves; none when none was applied.
void TPranayama::logRating(std::optional<Rating> rating)
{
    std::optional<int> round;
    if (rating)
        round = clampedToInt(roundSeconds(pranayamaDurations(settings)));
    m_practiceLog.rate(rating, round);
    QTimer::singleShot(0, this, &TPranayama::writePracticeLog);
}

void TPranayama::writePracticeLog()
{
    const auto failure = m_practiceLog.writeEnded();
    if (PracticeLogWindow* log = PracticeLogWindow::openFor(this)) {
        log->showWaiting(m_practiceLog.waiting());
        log->reload();
    }
    // An ending session waits for nobody: the failure goes untold then.
    if (failure && !m_sessionEnding)
        platform::reportError(*failure);
}

// The display is gone and the process ends: the practice is written, and nothing is shown.
void TPranayama::recordPracticeAtExit()
{
    const double elapsed = (m_clock.now() - m_practice.tPracticeStart) * platform::secondsPerDay;
    m_practiceLog.end(Ended::Close, elapsed, m_practice.intRound, false);
    m_practiceLog.writeEnded();
}

} // namespace tolvane
