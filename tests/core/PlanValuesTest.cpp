// Plan values by calendar month: the year box's year (calendar or fiscal) is a view of twelve of
// them; "Aus Vorjahr übernehmen" scales last year's months exactly to the cent.
#include "app/PlanValues.h"
#include "base/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gs;

TEST(PlanValues, AFiscalYearAndTheCalendarYearShareTheirMonths)
{
    PlanBook book;
    YearPlan fiscal;
    fiscal.year = {2025, 4}; // April 2025 to March 2026
    for (size_t i = 0; i < 12; ++i)
        fiscal.months[i] = {1000.0 * (i + 1), 100.0 * (i + 1)};
    book.SetYear(fiscal);
    EXPECT_EQ(book.PlanOf({2025, 4}), fiscal);

    const YearPlan calendar = book.PlanOf({2026, 1});
    EXPECT_EQ(calendar.months[0], (MonthPlan{10000.0, 1000.0})); // January 2026: the fiscal year's tenth month
    EXPECT_EQ(calendar.months[2], (MonthPlan{12000.0, 1200.0}));
    EXPECT_TRUE(calendar.months[3].empty());                     // April 2026 belongs to 2026/27
    EXPECT_EQ(book.At({2025, 4}), (MonthPlan{1000.0, 100.0}));
    EXPECT_EQ(book.Changed().size(), 12u);
}

TEST(PlanValues, SettingAMonthRoundsToTheCentAndAnEmptyPlanRemovesIt)
{
    test::TestRuntime rt;
    PlanBook book;
    book.SetMonth({2026, 3}, {1234.565, std::nullopt});
    EXPECT_EQ(book.At({2026, 3}), (MonthPlan{1234.57, std::nullopt})); // halves away from zero
    book.SetMonth({2026, 3}, {-0.001, std::nullopt});
    EXPECT_EQ(book.At({2026, 3}).net, 0.0);
    EXPECT_FALSE(std::signbit(*book.At({2026, 3}).net));
    book.SetMonth({2026, 3}, {std::nan(""), INFINITY});
    EXPECT_TRUE(book.At({2026, 3}).empty()); // no number is no plan, not a plan of 0
    book.SetMonth({2026, 3}, {});
    EXPECT_TRUE(book.empty());
    EXPECT_EQ(book.Changed().count({2026, 3}), 1u); // the removal is a change to save
    book.Load({2026, 4}, {5.0, 6.0});
    EXPECT_EQ(book.Changed().count({2026, 4}), 0u); // read from the file: nothing to save
}

TEST(PlanValues, AddPercentIsExactToTheCent)
{
    test::TestRuntime rt;
    struct Case {
        double amount, percent, expected;
    };
    const Case cases[] = {
        {100.10, 5, 105.11},         // 105,105: the half goes up
        {-100.10, 5, -105.11},       // and away from zero below it
        {1000, 0, 1000},
        {1000, -100, 0},
        {1000, 2.5, 1025},
        {33.33, 3.33, 34.44},        // 34,439889
        {0.01, 50, 0.02},            // 0,015
        {0.01, 49.99, 0.01},
        {19.99, 10, 21.99},          // 21,989
        {123456789.01, 7.77, 133049381.52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.amount << " + " << c.percent << " %");
        EXPECT_EQ(AddPercent(c.amount, c.percent), c.expected);
    }
    EXPECT_THROW(AddPercent(100, -100.01), Error);
    EXPECT_THROW(AddPercent(100, std::nan("")), Error);
}

TEST(PlanValues, PlanFromPreviousYearScalesTheMonthsWithDocuments)
{
    test::TestRuntime rt;
    YearMonthSums previous{};
    previous[0] = {3, 10000.00, 2000.10};
    previous[1] = {0, 0, 0};               // no documents: no plan
    previous[2] = {1, 0, -150.00};         // a document with nothing: a plan of 0
    previous[11] = {2, 8000.50, -333.33};
    const YearPlan plan = PlanFromPreviousYear({2026, 1}, previous, 10);
    EXPECT_EQ(plan.year, (YearSpan{2026, 1}));
    EXPECT_EQ(plan.months[0], (MonthPlan{11000.00, 2200.11}));
    EXPECT_TRUE(plan.months[1].empty());
    EXPECT_EQ(plan.months[2], (MonthPlan{0.0, -165.00}));
    EXPECT_EQ(plan.months[11], (MonthPlan{8800.55, -366.66})); // -366,663
    for (int i = 3; i < 11; ++i)
        EXPECT_TRUE(plan.months[static_cast<size_t>(i)].empty());
    EXPECT_THROW(PlanFromPreviousYear({2026, 1}, YearMonthSums{}, -101), Error);
}
