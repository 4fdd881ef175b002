#pragma once

#include "practice/Progression.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class TState;
}

namespace tolvane {

// The rating after a Pranayama practice under an automatic increment: an easy practice counts
// towards the next second added to the round, a difficult one restarts the count and shortens
// the round. OK adjusts the durations, recomputes the total time and stores them.
class TState : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TState)

public:
    explicit TState(QWidget* owner = nullptr);
    ~TState() override;

    void FormCreate();
    void RadioGroup1Click();
    void BitBtn1Click();

    // The rating that OK applied to the settings; none while none was.
    std::optional<Rating> appliedRating() const { return m_appliedRating; }

    // There is no way out but a rating, unless the settings could not be read on opening:
    // then Esc leaves without one.
    void reject() override;

private:
    std::unique_ptr<Ui::TState> ui;
    bool m_mayLeave = false;
    std::optional<Rating> m_appliedRating;
};

} // namespace tolvane
