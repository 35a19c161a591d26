#pragma once
// The process-wide number and currency format state, fixed once at start-up from ALTEURO.INI and
// never re-read from the operating system afterwards.
#include <string>

namespace gs {

struct NumberFormats {
    char decimalSeparator = ',';
    char thousandSeparator = '.';
    char dateSeparator = '.';
    std::string moneySuffix = " \xE2\x82\xAC";   // " €" (UTF-8 inside the program)
    bool swissMode = false;
    int threeDecimals = 0;                       // 1: prices with three decimals

    // Currency settings of the run-time library (only its own currency conversions use them).
    std::string currencyText = " \xE2\x82\xAC";  // " €"
    int currencyFormat = 1;                      // amount followed by the currency text
    int negCurrencyFormat = 5;                   // minus sign, amount, currency text
    int currencyDecimals = 2;
};

// What the conversions into and out of the second currency need to know of it. The settings fill
// it; before they are loaded (or without them) the second currency counts as disabled.
struct SecondCurrencyTerms {
    double rate = 1.5;
    bool roundToFiveHundredths = false;
};

} // namespace gs
