// Plan against actual: the differences per month and the attainment of the counted months, against
// sums the test adds up itself.
#include "app/PlanComparison.h"
#include "base/DateLibrary.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace gs;

namespace {

// A year's month rows as a run fills them: month i has documents unless noted, net 10000 + 137.31 i,
// profit 2000 - 411.07 i.
std::vector<KmcRow> YearRows(int year)
{
    std::vector<KmcRow> rows;
    for (int m = 1; m <= 12; ++m) {
        KmcRow row;
        row.DATE = EncodeDate(year, m, 1);
        row.documents = 3;
        row.net = 10000 + 137.31 * m;
        row.profit = 2000 - 411.07 * m;
        rows.push_back(row);
    }
    return rows;
}

double Cents(double value) { return std::round(value * 100) / 100; }

} // namespace

TEST(PlanComparison, AttainmentOfTheMonthsWithAPlan)
{
    test::TestRuntime rt;
    const std::vector<KmcRow> rows = YearRows(2026);
    PlanBook plan;
    for (int m = 1; m <= 12; ++m) {
        MonthPlan p;
        if (m != 5)
            p.net = 10500.25 * m / 4;
        if (m % 3 != 0)
            p.profit = 1200.0 + 10 * m;
        plan.SetMonth({2026, m}, p);
    }
    plan.SetMonth({2025, 12}, {1.0, 1.0}); // outside the run: not compared

    struct Case {
        const char* name;
        std::optional<TDateTime> today;
        int counted; // months counted from January
    };
    const Case cases[] = {
        {"a whole year", std::nullopt, 12},
        {"the year that is over", EncodeDate(2027, 1, 1), 12},
        {"on 11 December: through November", EncodeDate(2026, 12, 11), 11},
        {"on the last day of a month it is not yet complete", EncodeDate(2026, 3, 31), 2},
        {"on the first of April, March counts", EncodeDate(2026, 4, 1) + 0.75, 3},
        {"before the year nothing counts", EncodeDate(2026, 1, 20), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlanComparison cmp = ComparePlan(rows, plan, c.today);
        ASSERT_EQ(cmp.months.size(), 12u);
        EXPECT_TRUE(cmp.hasPlan);
        double planNet = 0, planProfit = 0, actualNet = 0, actualProfit = 0, yearPlanProfit = 0;
        for (int m = 1; m <= 12; ++m) {
            const PlanMonthComparison& month = cmp.months[static_cast<size_t>(m - 1)];
            const KmcRow& row = rows[static_cast<size_t>(m - 1)];
            EXPECT_EQ(month.month, (YearMonth{2026, m}));
            EXPECT_EQ(month.counted, m <= c.counted);
            EXPECT_EQ(month.netDifference.has_value(), m != 5);
            EXPECT_EQ(month.profitDifference.has_value(), m % 3 != 0);
            if (month.netDifference) {
                EXPECT_NEAR(*month.netDifference, Cents(row.net - Cents(10500.25 * m / 4)), 1e-6);
            }
            if (month.profitDifference) {
                EXPECT_NEAR(*month.profitDifference, Cents(row.profit - (1200.0 + 10 * m)), 1e-6);
            }
            if (m % 3 != 0)
                yearPlanProfit += 1200.0 + 10 * m;
            if (m > c.counted)
                continue;
            if (m != 5) {
                planNet += Cents(10500.25 * m / 4);
                actualNet += row.net;
            }
            if (m % 3 != 0) {
                planProfit += 1200.0 + 10 * m;
                actualProfit += row.profit;
            }
        }
        EXPECT_NEAR(cmp.plan.net, planNet, 1e-6);
        EXPECT_NEAR(cmp.periodPlan.profit, yearPlanProfit, 1e-6); // counted or not
        EXPECT_NEAR(cmp.actual.profit, Cents(actualProfit), 1e-6);
        if (c.counted == 0) {
            EXPECT_FALSE(cmp.netPercent);
            EXPECT_FALSE(cmp.profitPercent);
            EXPECT_EQ(PlanAttainmentText(cmp), "");
            continue;
        }
        const double netPercent = Cents(actualNet) / planNet * 100;
        const double profitPercent = Cents(actualProfit) / planProfit * 100;
        ASSERT_TRUE(cmp.netPercent && cmp.profitPercent);
        EXPECT_NEAR(*cmp.netPercent, std::round(netPercent * 100) / 100, 1e-9);
        EXPECT_NEAR(*cmp.profitPercent, std::round(profitPercent * 100) / 100, 1e-9);
        char text[64];
        std::snprintf(text, sizeof text, "Plan: %.1f %% erreicht", profitPercent);
        std::string expected = text;
        std::replace(expected.begin(), expected.end(), '.', ',');
        EXPECT_EQ(PlanAttainmentText(cmp), expected);
    }
}

TEST(PlanComparison, NoPlanZeroPlanAndPlannedLoss)
{
    test::TestRuntime rt;
    const std::vector<KmcRow> rows = YearRows(2026);
    const PlanComparison none = ComparePlan(rows, PlanBook{});
    EXPECT_FALSE(none.hasPlan);
    EXPECT_FALSE(none.netPercent);
    EXPECT_EQ(PlanAttainmentText(none), "");

    PlanBook zero;
    zero.SetMonth({2026, 2}, {0.0, 0.0});
    const PlanComparison z = ComparePlan(rows, zero);
    EXPECT_TRUE(z.hasPlan);
    EXPECT_FALSE(z.netPercent);                // a plan of 0 has no attainment
    EXPECT_NEAR(*z.months[1].netDifference, Cents(rows[1].net), 1e-9);

    PlanBook loss;
    loss.SetMonth({2026, 12}, {std::nullopt, -1000.0});
    EXPECT_FALSE(ComparePlan(rows, loss).profitPercent); // a planned loss: no percentage that reads backwards
}

TEST(PlanComparison, PercentsRoundToTwoDecimalsHalvesAwayFromZero)
{
    EXPECT_EQ(PercentToTwoDecimals(96.4449), 96.44);
    EXPECT_EQ(PercentToTwoDecimals(96.445), 96.45);
    EXPECT_EQ(PercentToTwoDecimals(-3.005), -3.01);
    EXPECT_EQ(PercentToTwoDecimals(100), 100);

    test::TestRuntime rt;
    std::vector<KmcRow> rows(1);
    rows[0].DATE = EncodeDate(2026, 3, 1);
    rows[0].profit = 964;
    PlanBook plan;
    plan.SetMonth({2026, 3}, {std::nullopt, 1000.0});
    EXPECT_EQ(PlanAttainmentText(ComparePlan(rows, plan)), "Plan: 96,4 % erreicht");
    rows[0].profit = 12345.6;
    EXPECT_EQ(PlanAttainmentText(ComparePlan(rows, plan)), "Plan: 1.234,6 % erreicht");
}
