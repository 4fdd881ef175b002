#pragma once

#include <QFlags>

#include <cstdint>
#include <optional>

namespace tolvane {

// The proportions of a Pranayama round, stored as the flag pair blModeOne, blModeTwo.
enum class Ratio { OneFourTwoTwo, OneOneOneOne, Free };
// The pair (false, true) is no ratio the settings dialog offers: it selects none.
std::optional<Ratio> ratioOf(bool modeOne, bool modeTwo);

// The automatic increment, stored as the flag pair blAuto, blAutoTwo: towards which proportions
// an easy practice lengthens the round. Both flags at once lengthen twice.
enum class Lengthening { TowardsOneFourTwoTwo = 1, TowardsEqual = 2 };
Q_DECLARE_FLAGS(Increment, Lengthening)
Increment incrementOf(bool autoOne, bool autoTwo);

// The answers of the rating after a practice, in the order the dialog offers them.
enum class Rating { Easy, SlightlyDifficult, Difficult };

// The phase durations of a Pranayama round, seconds.
struct Durations {
    std::int32_t inhale = 0;   // Puraka
    std::int32_t checkOne = 0; // Abhyantara Kumbhaka
    std::int32_t exhale = 0;   // Rechaka
    std::int32_t checkTwo = 0; // Bahya Kumbhaka

    bool operator==(const Durations&) const = default;
};
// Counted in 64 bits, so that no stored durations overflow the sum.
std::int64_t roundSeconds(const Durations& durations);

// What a rating changes and what decides how.
struct Progression {
    Durations durations;
    bool holdAfterInhaling = false;
    bool holdAfterExhaling = false;
    std::int32_t easyCount = 0; // practices rated easy since the count began (intDays)
    std::int32_t period = 0;    // easy practices for one lengthening (intIncrementDays)
    Increment increment;
};

// An easy practice counts towards the next second added to the round, which goes to the phase
// furthest behind its proportion; a difficult one restarts the count and shortens the round, the
// holds first and neither breath below four seconds.
void applyRating(Progression& progression, Rating rating);

} // namespace tolvane

Q_DECLARE_OPERATORS_FOR_FLAGS(tolvane::Increment)
