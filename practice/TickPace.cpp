#include "practice/TickPace.h"

#include <algorithm>

namespace tolvane {

TickPace paceAfter(const TickOutlook& outlook)
{
    if (outlook.workLeft || outlook.msUntilTurn <= tickPeriodMs)
        return {tickPeriodMs, false, false, outlook.cueAtTurn};
    if (outlook.msUntilTurn > warmUpLeadMs)
        return {outlook.msUntilTurn - warmUpLeadMs, false, false, outlook.cueAtTurn};
    return {stepBeforeTurn(outlook.msUntilTurn), outlook.sleptMs > warmUpLeadMs, outlook.cueAtTurn,
            outlook.cueAtTurn};
}

int stepBeforeTurn(int msUntilTurn)
{
    return std::max(tickPeriodMs, msUntilTurn - tickPeriodMs);
}

} // namespace tolvane
