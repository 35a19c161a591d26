#include "app/WarningBar.h"

#include "base/Numbers.h"

#include <algorithm>
#include <cstdlib>

namespace gs {

WarningBarGeometry ComputeWarningBar(std::optional<int> profit, std::optional<int> net, int width)
{
    const long long p = profit.value_or(0);
    const long long n = net.value_or(0);
    const int w = std::max(0, width);
    WarningBarGeometry bar;
    bar.color = p < 0 ? WarningBarLossColor : p > 0 ? WarningBarProfitColor : WarningBarNoProfitColor;
    if (p != 0 && n > 0) {
        // An exact half of the quotient stays exact in a double; halves go to the even neighbour.
        const double length = RoundHalfEven(static_cast<double>(std::llabs(p)) * w / static_cast<double>(n));
        bar.length = length >= w ? w : static_cast<int>(length);
    } else {
        bar.length = w;
    }
    return bar;
}

} // namespace gs
