#include "app/PlanValues.h"

#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"

#include <cmath>

namespace gs {

bool YearPlan::empty() const
{
    for (const MonthPlan& m : months)
        if (!m.empty())
            return false;
    return true;
}

double PlanAmount(double amount)
{
    const double cents = MoneyValue(amount);
    return cents == 0 ? 0.0 : cents;
}

namespace {

// The plan to the cent; a value that is no finite number is no plan (never a made-up 0).
MonthPlan Rounded(const MonthPlan& plan)
{
    MonthPlan r;
    if (plan.net && std::isfinite(*plan.net))
        r.net = PlanAmount(*plan.net);
    if (plan.profit && std::isfinite(*plan.profit))
        r.profit = PlanAmount(*plan.profit);
    return r;
}

} // namespace

MonthPlan PlanBook::At(YearMonth month) const
{
    const auto it = months_.find(month);
    return it == months_.end() ? MonthPlan{} : it->second;
}

void PlanBook::SetMonth(YearMonth month, const MonthPlan& plan)
{
    const MonthPlan rounded = Rounded(plan);
    if (rounded.empty())
        months_.erase(month);
    else
        months_[month] = rounded;
    changed_.insert(month);
}

void PlanBook::Load(YearMonth month, const MonthPlan& plan)
{
    const MonthPlan rounded = Rounded(plan);
    if (!rounded.empty())
        months_[month] = rounded;
}

YearPlan PlanBook::PlanOf(const YearSpan& year) const
{
    YearPlan plan;
    plan.year = year;
    for (int i = 0; i < 12; ++i)
        plan.months[static_cast<size_t>(i)] = At(year.Month(i));
    return plan;
}

void PlanBook::SetYear(const YearPlan& plan)
{
    for (int i = 0; i < 12; ++i)
        SetMonth(plan.year.Month(i), plan.months[static_cast<size_t>(i)]);
}

double AddPercent(double amount, double percent)
{
    if (!std::isfinite(percent) || percent < -100)
        throw Error("Der Prozentsatz " + FormatFloat("0.##", percent) + " % ist nicht möglich (mindestens -100 %).");
    const double base = PlanAmount(amount);
    if (!std::isfinite(base) || std::fabs(base) >= 1e13 || percent > 1e6)
        return PlanAmount(base * (1 + percent / 100)); // beyond any plan: no exact path needed
    // In cents and hundredths of a percent the product is exact; only the final division rounds.
    const long long cents = std::llround(base * 100.0);
    const long long basisPoints = std::llround(percent * 100.0);
    const __int128 scaled = static_cast<__int128>(cents) * (10000 + basisPoints);
    const __int128 magnitude = scaled < 0 ? -scaled : scaled;
    __int128 rounded = (magnitude + 5000) / 10000; // halves away from zero
    if (scaled < 0)
        rounded = -rounded;
    const double result = static_cast<double>(static_cast<long long>(rounded)) / 100.0;
    return result == 0 ? 0.0 : result;
}

YearPlan PlanFromPreviousYear(const YearSpan& year, const YearMonthSums& previousYear, double percent)
{
    AddPercent(0, percent); // the percentage is checked even when no month has documents
    YearPlan plan;
    plan.year = year;
    for (size_t i = 0; i < 12; ++i) {
        const MonthSums& actual = previousYear[i];
        if (actual.documents == 0)
            continue;
        plan.months[i].net = AddPercent(actual.net, percent);
        plan.months[i].profit = AddPercent(actual.profit, percent);
    }
    return plan;
}

} // namespace gs
