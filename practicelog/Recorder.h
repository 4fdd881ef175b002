#pragma once

#include "practicelog/PracticeEntry.h"

#include <QString>

#include <optional>
#include <vector>

namespace tolvane::practicelog {

// Records the practices of one run of the program. The practice under way is kept until it ends,
// or until its rating when one follows; then it waits to be written, which its owner does once
// the practice's own work is done, so that writing never holds up a practice. The first failure
// to write in a run is handed out to be told, later ones are not.
class Recorder {
public:
    void begin(PracticeEntry entry);

    // The practice under way ended. A practice that has ended and waits for its rating is taken
    // as it is.
    void end(Ended how, double elapsedSeconds, int roundsDone, bool ratingFollows);

    // The rating of the practice that waits for it (empty when none was given), with the round it
    // left.
    void rate(std::optional<Rating> rating, std::optional<int> roundSecondsAfter);

    // Adds the practices that have ended to the log. Returns the message to tell, the first time
    // in this run that one could not be added.
    std::optional<QString> writeEnded();

private:
    std::optional<PracticeEntry> m_current;
    bool m_awaitingRating = false;
    std::vector<PracticeEntry> m_ended;
    bool m_failureTold = false;
};

} // namespace tolvane::practicelog
