#include "app/Forecast.h"

#include "app/PlanValues.h"
#include "base/Numbers.h"

#include <cmath>

namespace gs {

namespace {

// this / last over the counted months in which last year has data; none where last year's sum is
// not above half a cent.
std::optional<double> Factor(const YearMonthSums& thisYear, const YearMonthSums& previousYear, int counted,
                             double MonthSums::*value)
{
    double current = 0, last = 0;
    for (int i = 0; i < counted; ++i) {
        const size_t m = static_cast<size_t>(i);
        if (previousYear[m].documents == 0)
            continue;
        current += thisYear[m].*value;
        last += previousYear[m].*value;
    }
    if (!std::isfinite(last) || last <= 0.005)
        return std::nullopt;
    return current / last;
}

// One expected value: last year's month scaled, or the average month of the year so far.
double Expected(const MonthSums& lastYearMonth, double MonthSums::*value, const std::optional<double>& factor,
                double average, ForecastBasis& basis)
{
    if (factor && lastYearMonth.documents > 0) {
        basis = ForecastBasis::PreviousYear;
        return PlanAmount(lastYearMonth.*value * *factor);
    }
    basis = ForecastBasis::AverageMonth;
    return PlanAmount(average);
}

} // namespace

int CompleteMonths(const YearSpan& year, TDateTime today)
{
    const TDateTime day = std::floor(today);
    int complete = 0;
    while (complete < 12 && LastDayOf(year.Month(complete)) < day)
        ++complete;
    return complete;
}

Forecast ForecastYear(const YearSpan& year, const YearMonthSums& thisYear, const YearMonthSums& previousYear,
                      TDateTime today)
{
    Forecast f;
    f.year = year;
    const int k = CompleteMonths(year, today);
    f.monthsCounted = k;
    if (k > 0)
        f.through = LastDayOf(year.Month(k - 1));
    if (std::floor(today) <= year.FirstDay())
        f.status = ForecastStatus::NotBegun;
    else if (k == 0)
        f.status = ForecastStatus::NoCompleteMonth;
    else if (k == 12)
        f.status = ForecastStatus::YearOver;
    else
        f.status = ForecastStatus::Made;
    for (int i = 0; i < k; ++i) {
        const MonthSums& m = thisYear[static_cast<size_t>(i)];
        f.yearToDate.documents += m.documents;
        f.yearToDate.net += m.net;
        f.yearToDate.profit += m.profit;
    }
    f.yearToDate.net = PlanAmount(f.yearToDate.net);
    f.yearToDate.profit = PlanAmount(f.yearToDate.profit);
    if (!f.made())
        return f;

    f.netFactor = Factor(thisYear, previousYear, k, &MonthSums::net);
    f.profitFactor = Factor(thisYear, previousYear, k, &MonthSums::profit);
    const double averageNet = f.yearToDate.net / k;
    const double averageProfit = f.yearToDate.profit / k;
    double net = f.yearToDate.net, profit = f.yearToDate.profit;
    for (int i = k; i < 12; ++i) {
        const MonthSums& last = previousYear[static_cast<size_t>(i)];
        ForecastMonth m;
        m.month = year.Month(i);
        m.net = Expected(last, &MonthSums::net, f.netFactor, averageNet, m.netBasis);
        m.profit = Expected(last, &MonthSums::profit, f.profitFactor, averageProfit, m.profitBasis);
        net += m.net;
        profit += m.profit;
        f.months.push_back(m);
    }
    f.yearNet = PlanAmount(net);
    f.yearProfit = PlanAmount(profit);
    return f;
}

std::string ForecastText(const Forecast& forecast)
{
    if (!forecast.made())
        return {};
    return "Hochrechnung zum Jahresende: Gewinn " + FormatMoney(forecast.yearProfit);
}

} // namespace gs
