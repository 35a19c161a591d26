#include "app/Margin.h"

#include "base/FormatFloat.h"

#include <cmath>

namespace gs {

std::optional<double> MarginPercent(double profit, double net)
{
    if (!std::isfinite(net) || !std::isfinite(profit) || std::fabs(net) < 0.005)
        return std::nullopt;
    return profit / net * 100.0;
}

std::string MarginText(const std::optional<double>& margin)
{
    if (!margin)
        return {};
    return FormatFloat(",0.0", *margin) + " %";
}

} // namespace gs
