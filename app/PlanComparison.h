#pragma once
// Plan against actual: a run's months beside their plan, the difference of each month, and the
// attainment of the period: the actual profit of the months that have a profit plan against that
// plan, in percent (the net likewise, over the months with a net plan).
//
// Which months count: with a day given (today, or the report's --today), only the months complete
// before that day, as the forecast counts them (app/Forecast.h): a running month would compare part
// of its documents with its whole plan. Without a day every month of the run counts. A month that
// does not count still shows its plan and difference.
//
// The run must cover whole months (a year, a quarter or a month; PeriodRange::wholeMonths): the
// first and last month of a free range of days are partial, so such a run has no comparison.
//
// Values to the cent (differences of exact month sums and plans), percents to two decimals (halves
// away from zero); no percent where the plan is 0 or below (a percentage of a planned loss reads
// backwards: a smaller loss would show as less than 100 %). Nothing here raises.
#include "app/PlanValues.h"
#include "app/ResultTables.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

struct PlanMonthComparison {
    YearMonth month;
    MonthPlan plan;                          // the month's plan; either value may be missing
    double actualNet = 0;                    // the run's exact month sums
    double actualProfit = 0;
    std::optional<double> netDifference;     // actual - plan (above plan: positive); none without a net plan
    std::optional<double> profitDifference;  // likewise for the profit
    bool counted = true;                     // counts in the totals and the attainment
};

struct PlanTotals {
    double net = 0;
    double profit = 0;
};

struct PlanComparison {
    std::vector<PlanMonthComparison> months; // one per month row of the run, in its order
    // The plan of the counted months (net over those with a net plan, profit over those with a
    // profit plan) and the actual of the same months.
    PlanTotals plan;
    PlanTotals actual;
    // The plan of every month of the run, counted or not (the year's plan beside its forecast).
    PlanTotals periodPlan;
    // actual / plan x 100 to two decimals; none where the plan is 0 or below, or no month counts.
    std::optional<double> netPercent;
    std::optional<double> profitPercent;
    // The same, unrounded (for texts with fewer decimals, so that no value is rounded twice).
    std::optional<double> netRatio;
    std::optional<double> profitRatio;
    // True when any month of the run has a plan: without one, the views show nothing of it.
    bool hasPlan = false;
};

// Compares a run's month rows (KMC) with the plan book. With today, only the months whose last day
// is before today count.
PlanComparison ComparePlan(const std::vector<KmcRow>& months, const PlanBook& plan,
                           std::optional<TDateTime> today = std::nullopt);

// A percentage to two decimals, halves away from zero (96.4449 -> 96.44, 96.445 -> 96.45).
double PercentToTwoDecimals(double percent);

// "Plan: 96,4 % erreicht" for the totals line: the profit's attainment with one decimal in the
// process's number format; empty without one.
std::string PlanAttainmentText(const PlanComparison& comparison);

} // namespace gs
