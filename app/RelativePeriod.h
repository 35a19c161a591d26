#pragma once
// Periods named relative to a day, for timers and month-end scripts: "Vormonat", "Vorquartal",
// "Vorjahr", "laufender Monat", "laufendes Quartal", "laufendes Jahr". Each resolves to a year and
// an item of the period box (0 the whole year, 1-4 the quarters, 5-16 the months), so the run is
// the same as for the period chosen by hand.
//
// Quarters and years follow the fiscal year as the period box does: with a fiscal year beginning
// in July, on 11.12.2026 "laufendes Quartal" is the second quarter of the fiscal year 2026/27
// (October to December 2026), "Vorquartal" its first (July to September), "Vorjahr" the fiscal year
// 2025/26. Months stay calendar months; the month before the fiscal year's first is the last month
// of the fiscal year before. With a calendar year (fiscal start 1) the month before January is
// December of the year before, the quarter before the first the fourth of the year before.
#include "base/Dates.h"

#include <optional>
#include <string>

namespace gs {

enum class RelativePeriod { PreviousMonth, PreviousQuarter, PreviousYear, CurrentMonth, CurrentQuarter, CurrentYear };

// The period for its name (without regard to case), or nullopt.
std::optional<RelativePeriod> RelativePeriodFromText(const std::string& text);
const char* RelativePeriodText(RelativePeriod period);

struct ResolvedPeriod {
    int year = 0;        // the year the (fiscal) year of the period begins in
    int periodIndex = 0; // item of the period box
};

// The year the fiscal year holding a calendar month begins in (the calendar year with fiscal start 1).
int FiscalYearOf(int year, int month, int fiscalStartMonth);

// The period relative to a day in the given month (1-12) of the fiscal year that begins in
// fiscalYear (with fiscal start 1: the calendar year and month of the day).
ResolvedPeriod ResolveRelativePeriod(RelativePeriod period, int fiscalYear, int month, int fiscalStartMonth = 1);

// "YYYY-MM-DD" as year, month and day; nullopt for anything else or a day the calendar lacks.
struct CalendarDay {
    int year = 0, month = 0, day = 0;
};
std::optional<CalendarDay> ParseIsoDay(const std::string& text);

} // namespace gs
