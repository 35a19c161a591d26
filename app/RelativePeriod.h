#pragma once
// Periods named relative to a day, for timers and month-end scripts: "Vormonat", "Vorquartal",
// "Vorjahr", "laufender Monat", "laufendes Quartal", "laufendes Jahr". Each resolves to a year and
// an item of the period box (0 the whole year, 1-4 the quarters, 5-16 the months), so the run is
// the same as for the period chosen by hand. The month before January is December of the year
// before, the quarter before the first is the fourth of the year before.
#include <optional>
#include <string>

namespace gs {

enum class RelativePeriod { PreviousMonth, PreviousQuarter, PreviousYear, CurrentMonth, CurrentQuarter, CurrentYear };

// The period for its name (without regard to case), or nullopt.
std::optional<RelativePeriod> RelativePeriodFromText(const std::string& text);
const char* RelativePeriodText(RelativePeriod period);

struct ResolvedPeriod {
    int year = 0;
    int periodIndex = 0;
};

// The period relative to a day given by its year and month (1-12).
ResolvedPeriod ResolveRelativePeriod(RelativePeriod period, int year, int month);

// "YYYY-MM-DD" as year, month and day; nullopt for anything else or a day the calendar lacks.
struct CalendarDay {
    int year = 0, month = 0, day = 0;
};
std::optional<CalendarDay> ParseIsoDay(const std::string& text);

} // namespace gs
