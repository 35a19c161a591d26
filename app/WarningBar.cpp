#include "app/WarningBar.h"

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
        // In whole numbers, so that a half is exactly a half; halves go to the even neighbour.
        const long long scaled = std::llabs(p) * w;
        long long q = scaled / n;
        const long long twiceRest = 2 * (scaled % n);
        if (twiceRest > n || (twiceRest == n && q % 2 != 0))
            ++q;
        bar.length = q >= w ? w : static_cast<int>(q);
    } else {
        bar.length = w;
    }
    return bar;
}

} // namespace gs
