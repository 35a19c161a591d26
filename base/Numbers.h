#pragma once
// Money formats, the tolerant number reader and the conversions into and out of the second
// currency. Amounts are doubles throughout.
#include "base/FormatFloat.h"
#include "base/NumberFormats.h"

#include <string>
#include <string_view>

namespace gs {

// Reads a decimal number written with the process decimal separator (or the one given): optional
// blanks, an optional sign, digits with at most one decimal separator (at least one digit), an
// optional exponent "E" or "e" with optional sign and digits, optional blanks. Any other text
// (empty, letters, a thousands separator, the other decimal separator, an overflow) gives 0;
// never raises.
double ParseNumber(std::string_view text);
// Rounds to the nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2,
// -0.5 -> 0, -1.5 -> -2), as the host rounds to whole numbers.
double RoundHalfEven(double value);
double ParseNumber(std::string_view text, char decimalSeparator);

// "#############0.00": two decimals, no grouping.
std::string MoneyFormat();
// "#############0.000" when ThreeDecimals is 1, otherwise MoneyFormat().
std::string PriceFormat();
// The currency text the money formats append, as format text (" €"; in franc mode for example
// " SFr\".\"" whose quoted full stop prints literally).
std::string MoneySuffix();
// "," + MoneyFormat() + MoneySuffix(): grouped thousands, two decimals, the currency text behind.
std::string MoneyDisplayFormat();
// An amount in the money display format: 1234.5 -> "1.234,50 €".
std::string FormatMoney(double amount);
// The amount as the money format shows it, read back: ParseNumber(FormatFloat(MoneyFormat(),
// amount)), to the bit, without the texts where the cents are plain (2.675 -> 2.68).
double MoneyValue(double amount);

// amount / rate of the second currency; the amount unchanged when that fails (rate 0, overflow).
double FromSecondCurrency(double amount);
// amount * rate; the amount unchanged on an arithmetic error.
double ToSecondCurrency(double amount);
// ApplyFiveHundredthsRounding of ToSecondCurrency(amount).
double ToSecondCurrencyRounded(bool skip, double amount);
// ApplyFiveHundredthsRounding of value + value / 100 * percent.
double AddPercentRounded(bool skip, double value, double percent);
// Rounds to a multiple of 0.05 (halves away from zero) in franc mode, or when skip is false and
// the second currency asks for it; otherwise, and on an arithmetic error, leaves it unchanged.
void ApplyFiveHundredthsRounding(double& amount, bool skip);
// The rounding itself: trunc(a * 20 + 0.5) / 20 for a >= 0, trunc(a * 20 - 0.5) / 20 below.
double RoundedToFiveHundredths(double amount);

} // namespace gs
