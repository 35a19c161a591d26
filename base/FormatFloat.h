#pragma once
// Number texts: the format-text engine (FormatFloat) and the shortest general form (FloatToText).
// Both use the separators of the process formats (or the ones given).
//
// Format texts: "#" optional digit, "0" mandatory digit, the first "." the decimal point, a ","
// anywhere asks for grouped thousands, text in double or single quotes is literal, any other
// character is literal. The value is rounded to as many decimals as there are digit places after
// the point, halves away from zero as a person reads the number: the shortest decimal text that
// reads back as the same double is rounded, not its binary expansion (2.675 gives 2.68, 1.005 gives
// 1.01). Integer digits beyond the format's places are all written. A value that rounds to zero
// is written without a minus sign. NaN is written "NAN", infinities "INF" and "-INF".
#include "base/NumberFormats.h"

#include <string>
#include <string_view>

namespace gs {

std::string FormatFloat(std::string_view format, double value);
std::string FormatFloat(std::string_view format, double value, const NumberFormats& formats);

// The shortest general form with at most 15 significant digits and the decimal separator:
// 1234.5 -> "1234,5", 0.1 + 0.2 -> "0,3", 1/3 -> "0,333333333333333". Values with more than 15
// integer digits or below 0.0001 use the exponent form "1E20", "1,5E-7". NaN "NAN", "INF", "-INF".
std::string FloatToText(double value);
std::string FloatToText(double value, char decimalSeparator);

// The process formats: those of the current runtime, or the start-up defaults when none exists.
const NumberFormats& CurrentFormats();

} // namespace gs
