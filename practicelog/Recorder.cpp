#include "practicelog/Recorder.h"

#include "practicelog/LogFile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tolvane::practicelog {

namespace {

// A practice that ran its time has practised what was planned, and the moment its timer noticed:
// never the hours of a machine that slept through its end.
constexpr double noticedWithin = 1.0;

} // namespace

Recorder::Recorder(QString logPath)
    : m_logPath(std::move(logPath))
{
}

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
        if (how == Ended::End)
            elapsedSeconds =
                std::min(elapsedSeconds, std::max(m_current->plannedSeconds, 0.0) + noticedWithin);
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
    if (m_ended.empty())
        return std::nullopt;
    const QString& path = m_logPath;
    const auto failure = appendEntries(path, m_ended);
    if (!failure) {
        m_ended.clear();
        return std::nullopt;
    }
    if (m_ended.size() == 1)
        return QCoreApplication::translate(
                   "PracticeLog",
                   "This practice could not be added to the practice log \"%1\": %2. "
                   "It is kept, and written with the next practice or when Tolvane "
                   "closes.")
            .arg(path, *failure);
    return QCoreApplication::translate(
               "PracticeLog",
               "%1 practices could not be added to the practice log \"%2\": %3. They "
               "are kept, and written with the next practice or when Tolvane closes.")
        .arg(m_ended.size())
        .arg(path, *failure);
}

} // namespace tolvane::practicelog
