#pragma once
// Reading an amount that a person typed or a spreadsheet wrote, strictly: unlike ParseNumber, which
// answers 0 for every text it cannot read, this says why a text is no amount, so that an import or
// an entry field can name the cause and nothing is read as 0 by mistake.
//
// Accepted: blanks around; an optional sign ("-" or "+"); digits, grouped by the format's thousands
// separator in groups of three ("1.234.567,89" in euro mode, "1'234'567.89" in franc mode) or not
// grouped at all ("1234567,89"); the format's decimal separator followed by at most maxDecimals
// digits; a currency text behind ("€", "EUR", or the format's money suffix, with or without a blank
// before it). At most twelve digits before the decimal separator: every amount up to
// 999.999.999.999,99 is exact to the cent in a double. A thousands separator of '\0' accepts no
// grouping. The value is the double nearest to the decimal written (never a negative zero).
#include "base/NumberFormats.h"

#include <optional>
#include <string>
#include <string_view>

namespace gs {

struct AmountReading {
    std::optional<double> value; // the amount; none when the text is no amount (or empty)
    bool empty = false;          // the text holds nothing but blanks
    // Why the text is no amount, as the end of a German sentence that begins with the text:
    // "ist keine Zahl", "hat mehr als 2 Nachkommastellen", ... Empty when a value was read.
    std::string cause;
};

inline constexpr int AmountMaxIntegerDigits = 12;

AmountReading ReadAmount(std::string_view text, const NumberFormats& formats, int maxDecimals = 2);

} // namespace gs
