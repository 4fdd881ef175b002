#pragma once

#include "tests/forms/MainWindowFixture.h"
#include "widgets/LedLabel.h"

#include <functional>
#include <vector>

namespace tolvane::test {

// What the user sees change during a practice: a new status text or round number, with the cue
// that came with it.
struct PracticeEvent {
    long long ms; // since the start command
    QString status;
    QString round;
    QString cue;
};

// Drives a practice tick by tick on the fake clock through the real handlers.
class PracticeFixture : public MainWindowFixture {
protected:
    void startPranayama()
    {
        m_startMs = clock.elapsedMs();
        m_tick = [this] { window->Timer1Timer(); };
        m_timer = timer1();
        window->Beginbreathing1Click();
    }

    void startKevali()
    {
        m_startMs = clock.elapsedMs();
        m_tick = [this] { window->Timer2Timer(); };
        m_timer = window->findChild<QTimer*>(QStringLiteral("Timer2"));
        window->Kevali1Click();
    }

    // Ticks every stepMs milliseconds until the practice ends or the time is up.
    std::vector<PracticeEvent> runFor(long long ms, int stepMs = 1)
    {
        // Looked up once: the loop runs up to millions of ticks.
        const auto* statusPanel = window->findChild<QLabel*>(QStringLiteral("StatusPanel1"));
        const auto* roundDisplay = window->findChild<TLMDLEDLabel*>(QStringLiteral("LMDLEDLabel4"));
        std::vector<PracticeEvent> events;
        QString status = statusPanel->text();
        QString round = roundDisplay->text();
        const long long until = clock.elapsedMs() + ms;
        while (m_timer->isActive() && clock.elapsedMs() < until) {
            clock.advanceMs(stepMs);
            m_tick();
            if (statusPanel->text() != status || roundDisplay->text() != round) {
                status = statusPanel->text();
                round = roundDisplay->text();
                events.push_back({clock.elapsedMs() - m_startMs, status, round, lastCue()});
            }
        }
        return events;
    }

    long long msSinceStart() const { return clock.elapsedMs() - m_startMs; }
    bool running() const { return m_timer->isActive(); }

private:
    long long m_startMs = 0;
    std::function<void()> m_tick;
    QTimer* m_timer = nullptr;
};

} // namespace tolvane::test
