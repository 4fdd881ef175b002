// The Pranayama practice of the main window: start, tick and end.
#include "forms/Unit1.h"
#include "forms/Unit6.h"
#include "platform/Errors.h"
#include "practice/Phases.h"
#include "practice/TimeFormat.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"

#include <QTimer>

namespace tolvane {

void TPranayama::Beginbreathing1Click()
{
    // Settings that could not be read may leave no time to practise: that is said, not ended.
    if (!store::loadPranayamaSettings() && formatClockTime(settings.tTotalTime) == u"0:00:00")
        throw TolvaneError(
            tr("The Pranayama practice has no length: %1").arg(store::unreadSettingsReason()));
    m_delaySetting = settings.blDelay;
    setStatusPanel(0, tr("Pranayama"));
    setRunningCommands(QColor(0, 255, 0));
    m_practice.tPhaseStart = m_clock.now();
    m_practice.tPracticeStart = m_clock.now();
    setPranayamaPhase(Phase::Puraka, m_practice.blPhaseOne, m_practice.blPhaseTwo);
    m_practice.blPhaseCue = true;
    m_cueFailureReported = false;
    ui->LMDLEDLabel2->setText(formatClockTime(settings.tTotalTime));
    startPracticeTimer(Timer1);
    prepareCuesSoon();
    logPracticeStart(practicelog::Exercise::Pranayama);
}

void TPranayama::Timer1Timer()
{
    practiceTick({settings.blDelay, settings.tTotalTime, nullptr, &TPranayama::pranayamaPhaseLength,
                  &TPranayama::pranayamaPhase, &TPranayama::advancePranayamaPhase,
                  &TPranayama::endPranayama, false});
}

Phase TPranayama::pranayamaPhase() const
{
    return tolvane::pranayamaPhase(m_practice.blPhaseOne, m_practice.blPhaseTwo);
}

std::int32_t TPranayama::pranayamaPhaseLength() const
{
    switch (pranayamaPhase()) {
    case Phase::Puraka:
        return settings.intPrInhale;
    case Phase::AbhyantaraKumbhaka:
        return settings.intCheckOne;
    case Phase::Rechaka:
        return settings.intPrExhale;
    case Phase::BahyaKumbhaka:
        break;
    }
    return settings.intCheckTwo;
}

void TPranayama::advancePranayamaPhase()
{
    setPranayamaPhase(
        nextPranayamaPhase(pranayamaPhase(), settings.blCheckOne, settings.blCheckTwo),
        m_practice.blPhaseOne, m_practice.blPhaseTwo);
}

void TPranayama::endPranayama()
{
    const bool rated = bool(incrementOf(settings.blAuto, settings.blAutoTwo));
    logPracticeEnd(practicelog::Ended::End, rated);
    Timer1->stop();
    m_practice.blPhaseCue = false;
    showPracticeEnd();
    m_practice.intRound = 0;
    ui->LMDLEDLabel4->setText(QStringLiteral("000"));
    // The record's flag meant a delay still to come; the rating's total needs the setting again,
    // also when its reload fails.
    settings.blDelay = m_delaySetting;
    // The rating comes before the commands return to idle; the next start reloads its result.
    if (rated) {
        TState rating(this);
        rating.exec();
        logRating(rating.appliedRating());
    }
    setIdleCommands();
}

} // namespace tolvane
