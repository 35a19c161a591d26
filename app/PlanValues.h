#pragma once
// Plan values: per calendar month a planned net and a planned profit, in euros to the cent (doubles,
// as the module keeps money, always rounded to the cent). Either value of a month may be missing:
// that month has no plan for it, and comparisons leave it out.
//
// The plan book holds the months of every year the user planned, by calendar month, so that a month
// has one plan whatever year box shows it: the plan of the fiscal year 2025/26 and that of the
// calendar year 2026 share January to March 2026. The year box's year is a view of twelve of them
// (PlanOf, SetYear). The book remembers which months changed since it was read, so that saving
// writes only those (app/PlanFile.h) and leaves the rest of the file, and what another program
// changed meanwhile, as it is.
//
// "Aus Vorjahr übernehmen": the previous year's actual months times (1 + p %), to the cent.
//
// Nothing here raises, except PlanFromPreviousYear and AddPercent for a percentage that is no
// finite number or below -100 (gs::Error naming it).
#include "app/YearMonths.h"

#include <array>
#include <map>
#include <optional>
#include <set>

namespace gs {

struct MonthPlan {
    std::optional<double> net;    // planned net; none: no net plan for the month
    std::optional<double> profit; // planned profit (after commission); none: no profit plan
    bool empty() const { return !net && !profit; }
    bool operator==(const MonthPlan&) const = default;
};

// The plan of the twelve months of one year as the year box shows it.
struct YearPlan {
    YearSpan year;
    std::array<MonthPlan, 12> months{}; // by the year's month index
    bool empty() const;
    bool operator==(const YearPlan&) const = default;
};

// An amount as the plan keeps it: rounded to the cent, halves away from zero, as the money format
// rounds (MoneyValue); never a negative zero.
double PlanAmount(double amount);

class PlanBook {
public:
    // The plan of a month; empty when there is none.
    MonthPlan At(YearMonth month) const;
    // Sets a month's plan (values rounded to the cent, a value that is no finite number left out);
    // an empty plan removes the month.
    void SetMonth(YearMonth month, const MonthPlan& plan);
    // The twelve months of a year.
    YearPlan PlanOf(const YearSpan& year) const;
    // Sets all twelve months of the year from plan (empty months remove theirs).
    void SetYear(const YearPlan& plan);
    bool empty() const { return months_.empty(); }
    // Every planned month, in time order.
    const std::map<YearMonth, MonthPlan>& Months() const { return months_; }

    // The months set (or removed) since the book was read or last saved.
    const std::set<YearMonth>& Changed() const { return changed_; }
    void MarkSaved() { changed_.clear(); }
    // Takes a month as read from the file: not marked as changed.
    void Load(YearMonth month, const MonthPlan& plan);

private:
    std::map<YearMonth, MonthPlan> months_;
    std::set<YearMonth> changed_;
};

// amount x (1 + percent / 100), to the cent, halves away from zero, computed exactly in cents and
// hundredths of a percent (the percentage counts to two decimals): 100,10 € and 5 % give 105,11 €.
// Raises gs::Error for a percentage below -100 or no finite number.
double AddPercent(double amount, double percent);

// "Aus Vorjahr übernehmen": the plan of year from the previous year's actual months (the run's
// months of year.Previous()), each net and profit times (1 + percent / 100) to the cent. A month
// without documents in the previous year gets no plan. Raises as AddPercent.
YearPlan PlanFromPreviousYear(const YearSpan& year, const YearMonthSums& previousYear, double percent);

} // namespace gs
