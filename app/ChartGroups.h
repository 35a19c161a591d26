#pragma once
// The chart's bar groups for a range: one per calendar month, or one per calendar quarter when the
// range spans more than 24 months. A group the range covers only in part is labelled with the days
// it covers ("10.-29.02.2024", "10.02.-31.03.2024"), a whole one as the month axis names months
// ("02.2024") or as its quarter ("Q1 2024").
#include "app/PeriodSelection.h"
#include "app/ResultTables.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

inline constexpr int MonthsBeforeQuarters = 24;

struct ChartGroups {
    std::vector<KmcRow> rows;        // DATE: the group's first month; sums of its months
    std::vector<std::string> labels; // one a row
};

// The label of a group of days (a month or a quarter, groupStart to groupEnd) that the range first to
// last covers only in part: the days it covers, "10.-29.02.2024" or "10.02.-31.03.2024"; nullopt
// when the range covers the whole group (or none of it).
std::optional<std::string> PartLabel(TDateTime groupStart, TDateTime groupEnd, TDateTime first, TDateTime last);
// The same for the month that begins on monthStart; nullopt also where the range is unknown (0).
std::optional<std::string> MonthPartLabel(TDateTime monthStart, TDateTime first, TDateTime last);

// months: the month rows of a run over the days start to end, ascending.
ChartGroups GroupForChart(const std::vector<KmcRow>& months, TDateTime start, TDateTime end);

// The groups of a run's month rows over the period chosen (or, with previousYear, over the same
// period a year earlier); a period that cannot be built gives one group a month.
ChartGroups ChartGroupsOf(const std::vector<KmcRow>& months, const PeriodChoice& choice, bool previousYear);

} // namespace gs
