#pragma once
// Reading a month of a year as people and spreadsheets write it, for the plan's CSV import. A
// spreadsheet that opened the export often writes the month back in a form of its own ("Mrz 26",
// "01.03.2026"), so every plain form of a month is read:
//   "2026-03", "2026-03-01"            ISO month or day
//   "03.2026", "3.2026", "03/2026"      month and year
//   "01.03.2026", "1.3.26"              a day (its month counts)
//   "März 2026", "Mrz 26", "Mär. 2026", "Maerz-2026"   a German month name or its abbreviation, a year
//   "März", "3", "03"                   a month alone: that month of the year given
// Two-digit years are 2000 to 2099. A month alone is unambiguous because every calendar month
// occurs once in any year of twelve months, fiscal or not.
#include "app/YearMonths.h"

#include <string>
#include <string_view>

namespace gs {

struct MonthReading {
    std::optional<YearMonth> month;
    std::string cause; // why the text is no month (German), when month is none
};

// The month the text names; a month without a year is taken from year. A named month outside year
// is read as written (the caller says it does not belong there).
MonthReading ReadMonthText(std::string_view text, const YearSpan& year);

} // namespace gs
