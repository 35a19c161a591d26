// Format texts and number texts from arbitrary bytes: the engine and the reader never crash, the
// reader answers a finite number, and a money text reads back to a value within half a cent.
#include "base/FormatFloat.h"
#include "base/Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const std::string text(reinterpret_cast<const char*>(data + sizeof value), size - sizeof value);
    gs::NumberFormats euro;
    (void)gs::FormatFloat(text, value, euro);
    const double parsed = gs::ParseNumber(text, ',');
    if (!std::isfinite(parsed))
        std::abort();
    (void)gs::FloatToText(value, ',');
    if (std::isfinite(value) && std::fabs(value) < 1e12) {
        const double back = gs::ParseNumber(gs::FormatFloat("#############0.00", value, euro), ',');
        if (std::fabs(back - value) > 0.005 + std::fabs(value) * 1e-15)
            std::abort();
    }
    return 0;
}
