#include "app/ResultTables.h"

namespace gs {

const char* ProfitZoneText(ProfitZone zone)
{
    switch (zone) {
    case ProfitZone::Loss: return "Verlustzone";
    case ProfitZone::Profit: return "Gewinnzone";
    case ProfitZone::None: break;
    }
    return "kein Gewinn";
}

ProfitZone ProfitZoneOf(int wholeProfit)
{
    if (wholeProfit < 0)
        return ProfitZone::Loss;
    if (wholeProfit > 0)
        return ProfitZone::Profit;
    return ProfitZone::None;
}

} // namespace gs
