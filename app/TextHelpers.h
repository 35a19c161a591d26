#pragma once
// Small text helpers many subsystems share: quoting, sorting lists of texts, timestamps in the
// compact form "YYYYMMDD HHMMSSmmm", replacing every occurrence of a text.
#include "app/Dates.h"

#include <string>
#include <string_view>
#include <vector>

namespace gs {

// More than two characters and a leading double quote: without the first and the last character
// (whatever the last is); exactly two double quotes: empty; otherwise unchanged.
std::string Unquote(std::string_view text);
// Double quote + text + double quote.
std::string Quote(std::string_view text);

// Sorts list[first..last] in place, ascending, letters a to z compared without regard to case;
// quicksort with the middle element as pivot, so texts equal but for case keep the order the host
// gives them. Indexes outside the list are clipped.
void SortTextList(std::vector<std::string>& list, int first, int last);

// Reads "YYYYMMDD?HHMMSSmmm" by position (year 1-4, month 5-6, day 7-8, any separator at 9, hour
// 10-11, minute 12-13, second 14-15, milliseconds 16-18); missing or non-numeric pieces count as
// 0; an invalid date or time gives 0.
TDateTime ParseTimestamp(std::string_view text);
// DateTimeToText of ParseTimestamp(text), or the fallback when that is 0.
std::string TimestampText(std::string_view text, std::string_view fallback);

// Replaces every occurrence of pattern (letters a to z without regard to case), scanning left to
// right without overlap; nothing happens when the text or the pattern is empty.
void ReplaceAllText(std::string& text, std::string_view pattern, std::string_view replacement);

} // namespace gs
