#pragma once
// Date arithmetic of the period selection. Dates are day numbers with the time of day as the
// fraction (base/Dates.h, which also has IsLeapYear and DaysInMonth). Impossible dates raise
// ConvertError.
#include "base/Dates.h"

namespace gs {

int YearOfDate(TDateTime date);
TDateTime YearStart(int year);                 // 1 January
TDateTime YearEnd(int year);                   // 31 December
TDateTime QuarterStart(int quarter, int year); // first day of the quarter's first month
TDateTime QuarterEnd(int quarter, int year);   // 31.03., 30.06., 30.09. or 31.12.; quarters outside 1..4 raise
// Day 1 / the last day of the date's month, with the date's time of day.
TDateTime StartOfMonth(TDateTime date);
TDateTime EndOfMonth(TDateTime date);
// Moves the date by the whole months of count (the day clipped to the length of the new month),
// then by the fraction of count times 30 days; the time of day is kept. 31.01. + 1 gives the end of
// February, 15.03.2006 + 1.5 gives 30.04.2006, 15.01.2006 - 1 gives 15.12.2005.
TDateTime AddMonths(TDateTime date, double count);
TDateTime AddDays(TDateTime date, double count); // date + count

} // namespace gs
