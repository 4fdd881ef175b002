#pragma once

#include "practicelog/PracticeEntry.h"

#include <QString>

#include <optional>
#include <vector>

namespace tolvane::practicelog {

// Records the practices of one run of the program. The practice under way is kept until it ends,
// or until its rating when one follows; then it waits to be written, which its owner does once
// the practice's own work is done, so that writing never holds up a practice. A practice that
// could not be written goes on waiting, and is written with the next one or when the program
// ends; every failure is handed out to be told.
class Recorder {
public:
    explicit Recorder(QString logPath);

    // The file the practices are added to.
    const QString& logPath() const { return m_logPath; }

    void begin(PracticeEntry entry);

    // The practice under way ended. A practice that has ended and waits for its rating is taken
    // as it is, without a rating.
    void end(Ended how, double elapsedSeconds, int roundsDone, bool ratingFollows);

    // The rating of the practice that waits for it (empty when none was given), with the round it
    // left.
    void rate(std::optional<Rating> rating, std::optional<int> roundSecondsAfter);

    // Adds the practices that have ended to the log, those that waited first. Returns the message
    // to tell when they could not be added: they wait then.
    std::optional<QString> writeEnded();

    // The practices that have ended and are not in the log yet, oldest first.
    const std::vector<PracticeEntry>& waiting() const { return m_ended; }

private:
    QString m_logPath;
    std::optional<PracticeEntry> m_current;
    bool m_awaitingRating = false;
    std::vector<PracticeEntry> m_ended;
};

} // namespace tolvane::practicelog
