#pragma once
// The second currency the host can keep documents in (the old national currency): whether it is
// in use, its rate, its symbol, the rounding to 0.05 and a second-currency copy of the document
// texts. Owned by the settings object and filled when the settings are loaded.
#include <array>
#include <string>

namespace gs {

class TAdsTable;

// Captions of the totals block of a document: [type 1..13 - 1][slot 1..8 - 1].
using TDocumentTexts = std::array<std::array<std::string, 8>, 13>;
// Document header captions 1 to 5.
using THeaderCaptions = std::array<std::string, 5>;

class TAlterCurrencyInfo {
public:
    bool RoundToFiveHundredths = false; // item 200030
    unsigned char SecondFlag = 0;       // item 200031
    double Rate = 0;                    // item 20010: units of the second currency per unit of the normal one
    std::string Symbol;                 // item 200011
    TDocumentTexts DocumentTexts{};     // items 20004 ... 20009
    THeaderCaptions HeaderCaptions{};   // items 31009 ... 31012; the fifth has no item
    bool Enabled = false;               // item 20012
};

// Rate when the second currency is enabled, otherwise 1.5.
double SecondCurrencyRate(const TAlterCurrencyInfo& info);
// Symbol when enabled, otherwise " 2.W.".
std::string SecondCurrencySymbol(const TAlterCurrencyInfo& info);

inline constexpr double DefaultSecondCurrencyRate = 1.5;
inline constexpr const char* DefaultSecondCurrencySymbol = " 2.W.";

// A usable rate: 0.01 to 100; anything else (0, negative, too large, not a number) gives 1.5.
double ValidSecondCurrencyRate(double rate);

// Fills the second currency from the prepared settings table after the primary document texts
// and captions have been read. Each item is read under its own guard; a missing or unreadable item
// leaves what the steps before made of the field.
void LoadSecondCurrency(TAlterCurrencyInfo& info, const TDocumentTexts& primaryTexts,
                        const THeaderCaptions& primaryCaptions, TAdsTable& table);

} // namespace gs
