#include "practicelog/Recorder.h"

#include "practicelog/LogFile.h"

#include <cmath>

namespace tolvane::practicelog {

void Recorder::begin(PracticeEntry entry)
{
    if (m_current)
        m_ended.push_back(std::move(*m_current));
    m_current = std::move(entry);
    m_awaitingRating = false;
}

void Recorder::end(Ended how, double elapsedSeconds, int roundsDone, bool ratingFollows)
{
    if (!m_current)
        return;
    if (!m_awaitingRating) {
        m_current->ended = how;
        // The clock counts whole milliseconds.
        m_current->elapsedSeconds = std::round(elapsedSeconds * 1000) / 1000;
        m_current->roundsDone = roundsDone;
        if (ratingFollows) {
            m_awaitingRating = true;
            return;
        }
    }
    m_ended.push_back(std::move(*m_current));
    m_current.reset();
    m_awaitingRating = false;
}

void Recorder::rate(std::optional<Rating> rating, std::optional<int> roundSecondsAfter)
{
    if (!m_current || !m_awaitingRating)
        return;
    m_current->rating = rating;
    m_current->roundSecondsAfter = roundSecondsAfter;
    end(m_current->ended, m_current->elapsedSeconds, m_current->roundsDone, false);
}

std::optional<QString> Recorder::writeEnded()
{
    std::optional<QString> failure;
    for (const PracticeEntry& entry : m_ended) {
        if (auto failed = appendEntry(defaultLogPath(), entry); failed && !failure)
            failure = std::move(failed);
    }
    m_ended.clear();
    if (!failure || m_failureTold)
        return std::nullopt;
    m_failureTold = true;
    return failure;
}

} // namespace tolvane::practicelog
