#include "practice/TickPace.h"

#include <algorithm>

namespace tolvane {

TickPace paceAfter(const TickOutlook& outlook)
{
    if (outlook.workLeft)
        return {tickPeriodMs, outlook.cueAtTurn};
    return {std::max(tickPeriodMs, outlook.msUntilTurn), outlook.cueAtTurn};
}

} // namespace tolvane
