#pragma once

#include "platform/Errors.h"

#include <cstdint>
#include <functional>

class QComboBox;

namespace tolvane {

// Text in a box that OK cannot take. OK then keeps its dialog open on the box to mend.
class EInputRefused : public TolvaneError {
public:
    EInputRefused(QComboBox* boxToMend, const QString& message);
    QComboBox* boxToMend() const { return m_boxToMend; }

private:
    QComboBox* m_boxToMend;
};

// The whole number typed in a box; text that is not one is refused at boxToMend.
std::int32_t boxNumber(const QComboBox* box, QComboBox* boxToMend);

// Runs a dialog's OK handler through the dispatch point. A failure, a box refused or the settings
// not saved, is shown and leaves the dialog open with everything the person entered; a refused
// box gets the focus with its text selected.
void dispatchKeepingInput(const std::function<void()>& okClick);

} // namespace tolvane
