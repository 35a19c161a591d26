#pragma once
// The months a plan and a forecast speak of: a calendar month (YearMonth), the twelve months of a
// year as the year box shows it (YearSpan: a calendar year, or a fiscal year that begins in another
// month and ends in the next calendar year, "2024/25"), and a month's sums of a statistics run
// (MonthSums, taken from KMC's exact sums).
//
// Pure values; nothing here raises except YearSpanFromText (ConvertError for a year text that is no
// year, as BuildPeriodFilter raises it).
#include "app/ResultTables.h"
#include "base/Dates.h"

#include <array>
#include <compare>
#include <optional>
#include <string>
#include <vector>

namespace gs {

// A calendar month; ordered by time.
struct YearMonth {
    int year = 0;
    int month = 0; // 1-12
    auto operator<=>(const YearMonth&) const = default;
};

// "2026-03".
std::string IsoMonthText(YearMonth month);
// The month a day lies in.
YearMonth YearMonthOf(TDateTime day);
// The month count months after (or before) month.
YearMonth AddMonthsTo(YearMonth month, int count);
TDateTime FirstDayOf(YearMonth month);
TDateTime LastDayOf(YearMonth month);

// The twelve months of a year as the year box shows it: the calendar year startYear
// (fiscalStartMonth 1), or the fiscal year that begins on the first of fiscalStartMonth in
// startYear, named "2024/25" in the year box. Index 0 is the first month of the year, 11 the last.
struct YearSpan {
    int startYear = 0;
    int fiscalStartMonth = 1; // 1-12

    YearMonth Month(int index) const;                     // index 0-11
    std::optional<int> IndexOf(YearMonth month) const;    // none for a month outside the year
    YearSpan Previous() const { return {startYear - 1, fiscalStartMonth}; }
    TDateTime FirstDay() const;
    TDateTime LastDay() const;
    // The year box's text: "2026", or "2025/26".
    std::string Text() const;
    bool operator==(const YearSpan&) const = default;
};

// The year of the year box's text ("2026", "2025/26": the number before the slash counts) for a
// fiscal year beginning in fiscalStartMonth (1 for calendar years; values outside 1-12 count as 1).
// Raises ConvertError when the text is no year.
YearSpan YearSpanFromText(const std::string& yearText, int fiscalStartMonth);
// The year (calendar or fiscal) a day lies in.
YearSpan YearSpanContaining(TDateTime day, int fiscalStartMonth);

// A month's figures of a run, exact (KMC's documents, net and profit, not the whole-euro sums).
struct MonthSums {
    int documents = 0; // 0: the month has no documents ("no data")
    double net = 0;
    double profit = 0;
};
using YearMonthSums = std::array<MonthSums, 12>; // by the year's month index

// The year's twelve months from a run's month rows (KMC of a run over the year, or over any range:
// rows of months outside the year and rows without a date are left out; a month without a row has
// no documents).
YearMonthSums MonthSumsOf(const std::vector<KmcRow>& months, const YearSpan& year);

} // namespace gs
