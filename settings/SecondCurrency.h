#pragma once
// The second currency the host can keep documents in (the old national currency): whether it is
// in use, its rate, its symbol, the rounding to 0.05 and a second-currency copy of the document
// texts. Owned by the settings object and filled when the settings are loaded.
#include <array>
#include <string>

namespace gs {

class TAlterCurrencyInfo {
public:
    bool RoundToFiveHundredths = false;
    unsigned char SecondFlag = 0;
    double Rate = 0;            // units of the second currency per unit of the normal currency
    std::string Symbol;
    std::array<std::array<std::string, 8>, 13> DocumentTexts{}; // [type 1..13 - 1][slot 1..8 - 1]
    std::array<std::string, 5> HeaderCaptions{};
    bool Enabled = false;
};

// Rate when the second currency is enabled, otherwise 1.5.
double SecondCurrencyRate(const TAlterCurrencyInfo& info);
// Symbol when enabled, otherwise " 2.W.".
std::string SecondCurrencySymbol(const TAlterCurrencyInfo& info);

} // namespace gs
