#include "app/PlanComparison.h"

#include "base/FormatFloat.h"
#include "base/Numbers.h"

#include <cmath>

namespace gs {

namespace {

// The attainment where the plan is more than half a cent.
std::optional<double> Ratio(double actual, double plan, bool anyCounted)
{
    if (!anyCounted || !std::isfinite(plan) || plan < 0.005)
        return std::nullopt;
    return actual / plan * 100.0;
}

} // namespace

double PercentToTwoDecimals(double percent)
{
    NumberFormats plain;
    plain.decimalSeparator = '.';
    return ParseNumber(FormatFloat("0.00", percent, plain), '.');
}

PlanComparison ComparePlan(const std::vector<KmcRow>& months, const PlanBook& plan, std::optional<TDateTime> today)
{
    PlanComparison c;
    bool netCounted = false, profitCounted = false;
    for (const KmcRow& row : months) {
        if (!row.DATE)
            continue;
        PlanMonthComparison m;
        m.month = YearMonthOf(*row.DATE);
        m.plan = plan.At(m.month);
        m.actualNet = row.net;
        m.actualProfit = row.profit;
        m.counted = !today || LastDayOf(m.month) < std::floor(*today);
        if (m.plan.net) {
            c.periodPlan.net += *m.plan.net;
            m.netDifference = PlanAmount(m.actualNet - *m.plan.net);
            if (m.counted) {
                c.plan.net += *m.plan.net;
                c.actual.net += m.actualNet;
                netCounted = true;
            }
        }
        if (m.plan.profit) {
            c.periodPlan.profit += *m.plan.profit;
            m.profitDifference = PlanAmount(m.actualProfit - *m.plan.profit);
            if (m.counted) {
                c.plan.profit += *m.plan.profit;
                c.actual.profit += m.actualProfit;
                profitCounted = true;
            }
        }
        c.hasPlan = c.hasPlan || !m.plan.empty();
        c.months.push_back(m);
    }
    c.plan = {PlanAmount(c.plan.net), PlanAmount(c.plan.profit)};
    c.actual = {PlanAmount(c.actual.net), PlanAmount(c.actual.profit)};
    c.periodPlan = {PlanAmount(c.periodPlan.net), PlanAmount(c.periodPlan.profit)};
    c.netRatio = Ratio(c.actual.net, c.plan.net, netCounted);
    c.profitRatio = Ratio(c.actual.profit, c.plan.profit, profitCounted);
    if (c.netRatio)
        c.netPercent = PercentToTwoDecimals(*c.netRatio);
    if (c.profitRatio)
        c.profitPercent = PercentToTwoDecimals(*c.profitRatio);
    return c;
}

std::string PlanAttainmentText(const PlanComparison& comparison)
{
    if (!comparison.profitRatio)
        return {};
    return "Plan: " + FormatFloat(",0.0", *comparison.profitRatio) + " % erreicht";
}

} // namespace gs
