// The Hochrechnung "vorjahr-saison" over a table of years: the expected months and year end are
// computed here from the table by the documented rule, and a few are checked by hand.
#include "app/Forecast.h"
#include "base/DateLibrary.h"
#include "base/Numbers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace gs;

namespace {

// Month figures from a rule: month index i (0-11) -> sums.
YearMonthSums Months(const std::function<MonthSums(int)>& rule)
{
    YearMonthSums s{};
    for (int i = 0; i < 12; ++i)
        s[static_cast<size_t>(i)] = rule(i);
    return s;
}

// To the cent as the money format rounds: halves away from zero in the decimal a person reads.
double Cents(double value) { return MoneyValue(value); }

struct Case {
    const char* name;
    YearSpan year;
    TDateTime today;
    int counted;          // complete months expected
    const char* through;  // the last day counted
    YearMonthSums thisYear;
    YearMonthSums previousYear;
};

// The documented rule, written out plainly for one value (net or profit).
struct Expectation {
    std::vector<double> months;
    std::vector<ForecastBasis> basis;
    double yearEnd = 0;
};

Expectation Expect(const Case& c, double MonthSums::*value)
{
    const int k = c.counted;
    double ytd = 0, scaledThis = 0, scaledLast = 0;
    for (int i = 0; i < k; ++i) {
        ytd += c.thisYear[i].*value;
        if (c.previousYear[i].documents > 0) {
            scaledThis += c.thisYear[i].*value;
            scaledLast += c.previousYear[i].*value;
        }
    }
    ytd = Cents(ytd);
    const bool factor = scaledLast > 0.005;
    Expectation e;
    e.yearEnd = ytd;
    for (int i = k; i < 12; ++i) {
        const bool seasonal = factor && c.previousYear[i].documents > 0;
        const double month = Cents(seasonal ? c.previousYear[i].*value * (scaledThis / scaledLast) : ytd / k);
        e.months.push_back(month);
        e.basis.push_back(seasonal ? ForecastBasis::PreviousYear : ForecastBasis::AverageMonth);
        e.yearEnd += month;
    }
    e.yearEnd = Cents(e.yearEnd);
    return e;
}

// A growing business: net 1000 (i + 1) + cents, profit a fifth of it less a little.
MonthSums LastYear(int i) { return {5, 1000.0 * (i + 1) + 0.37 * i, 200.0 * (i + 1) - 3.11 * i}; }
MonthSums ThisYear(int i) { return {6, 1100.0 * (i + 1) + 12.49 * i, 210.0 * (i + 1) + 0.07 * i}; }

std::vector<Case> Cases()
{
    const auto noDocuments = [](int) { return MonthSums{}; };
    return {
        {"a year with a full previous year", {2026, 1}, EncodeDate(2026, 12, 11), 11, "30.11.2026", Months(ThisYear),
         Months(LastYear)},
        {"early in the year", {2026, 1}, EncodeDate(2026, 2, 1), 1, "31.01.2026", Months(ThisYear), Months(LastYear)},
        {"a year without a previous year", {2026, 1}, EncodeDate(2026, 4, 15), 3, "31.03.2026", Months(ThisYear),
         Months(noDocuments)},
        {"a month with no documents last year", {2026, 1}, EncodeDate(2026, 6, 2), 5, "31.05.2026", Months(ThisYear),
         Months([](int i) { return i == 7 || i == 9 ? MonthSums{} : LastYear(i); })},
        {"last year began in March", {2026, 1}, EncodeDate(2026, 5, 10), 4, "30.04.2026", Months(ThisYear),
         Months([](int i) { return i < 2 ? MonthSums{} : LastYear(i); })},
        {"a month of this year without documents counts as 0", {2026, 1}, EncodeDate(2026, 7, 1), 6, "30.06.2026",
         Months([](int i) { return i == 2 ? MonthSums{} : ThisYear(i); }), Months(LastYear)},
        {"last year's profit was a loss: the profit falls back", {2026, 1}, EncodeDate(2026, 9, 30), 8, "31.08.2026",
         Months(ThisYear), Months([](int i) { return MonthSums{4, 900.0 * (i + 1), -50.0 - i}; })},
        {"a fiscal year from April", {2025, 4}, EncodeDate(2026, 1, 15), 9, "31.12.2025", Months(ThisYear),
         Months(LastYear)},
        {"29 February: the day after it counts February", {2024, 1}, EncodeDate(2024, 3, 1), 2, "29.02.2024",
         Months(ThisYear), Months(LastYear)},
        {"29 February itself: February is running", {2024, 1}, EncodeDate(2024, 2, 29), 1, "31.01.2024",
         Months(ThisYear), Months(LastYear)},
        {"a fiscal year ending in a leap February", {2023, 3}, EncodeDate(2024, 2, 29), 11, "31.01.2024",
         Months(ThisYear), Months(LastYear)},
        {"a fiscal year beginning in a leap February", {2024, 2}, EncodeDate(2024, 3, 1), 1, "29.02.2024",
         Months(ThisYear), Months(LastYear)},
    };
}

} // namespace

TEST(Forecast, TableOfYears)
{
    test::TestRuntime rt;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const Forecast f = ForecastYear(c.year, c.thisYear, c.previousYear, c.today);
        ASSERT_EQ(f.status, ForecastStatus::Made);
        EXPECT_EQ(f.monthsCounted, c.counted);
        EXPECT_EQ(DateToText(f.through), c.through);
        const Expectation net = Expect(c, &MonthSums::net);
        const Expectation profit = Expect(c, &MonthSums::profit);
        ASSERT_EQ(f.months.size(), static_cast<size_t>(12 - c.counted));
        for (size_t j = 0; j < f.months.size(); ++j) {
            SCOPED_TRACE(j);
            EXPECT_EQ(f.months[j].month, c.year.Month(c.counted + static_cast<int>(j)));
            EXPECT_NEAR(f.months[j].net, net.months[j], 1e-6);
            EXPECT_NEAR(f.months[j].profit, profit.months[j], 1e-6);
            EXPECT_EQ(f.months[j].netBasis, net.basis[j]);
            EXPECT_EQ(f.months[j].profitBasis, profit.basis[j]);
        }
        EXPECT_NEAR(f.yearNet, net.yearEnd, 1e-6);
        EXPECT_NEAR(f.yearProfit, profit.yearEnd, 1e-6);
        // Only the counted months of this year are read: the running month's documents so far change nothing.
        YearMonthSums later = c.thisYear;
        for (int i = c.counted; i < 12; ++i)
            later[static_cast<size_t>(i)] = {99, 1e9, -1e9};
        const Forecast again = ForecastYear(c.year, later, c.previousYear, c.today);
        EXPECT_EQ(again.yearNet, f.yearNet);
        EXPECT_EQ(again.yearProfit, f.yearProfit);
    }
}

TEST(Forecast, FiguresCheckedByHand)
{
    test::TestRuntime rt;
    // Last year 1000 a month; this year 1100 a month through November: December 1100.
    const YearMonthSums last = Months([](int) { return MonthSums{1, 1000, 100}; });
    const YearMonthSums now = Months([](int) { return MonthSums{1, 1100, 90}; });
    const Forecast f = ForecastYear({2026, 1}, now, last, EncodeDateTime(2026, 12, 11, 9, 30, 0, 0));
    ASSERT_TRUE(f.made());
    EXPECT_EQ(DateToIso(f.through), "2026-11-30");
    EXPECT_DOUBLE_EQ(*f.netFactor, 1.1);
    EXPECT_EQ(f.months.size(), 1u);
    EXPECT_DOUBLE_EQ(f.months[0].net, 1100);
    EXPECT_DOUBLE_EQ(f.yearNet, 13200);
    EXPECT_DOUBLE_EQ(f.yearProfit, 1080);
    EXPECT_EQ(f.yearToDate.documents, 11);
    EXPECT_EQ(ForecastText(f), "Hochrechnung zum Jahresende: Gewinn 1.080,00 €");

    // Without a previous year, the average month: 3 months of 1000, 2000 and 3000 give 2000 a month.
    const YearMonthSums growing = Months([](int i) { return MonthSums{1, 1000.0 * (i + 1), 1.0 / 3}; });
    const Forecast avg = ForecastYear({2026, 1}, growing, YearMonthSums{}, EncodeDate(2026, 4, 1));
    EXPECT_FALSE(avg.netFactor);
    EXPECT_DOUBLE_EQ(avg.yearNet, 6000 + 9 * 2000);
    EXPECT_DOUBLE_EQ(avg.yearProfit, 1.0 + 9 * 0.33); // the counted months to the cent, each expected month too
}

TEST(Forecast, NoForecastBeforeTheFirstCompleteMonthOrAfterTheYear)
{
    test::TestRuntime rt;
    const YearMonthSums months = Months(ThisYear);
    struct Case {
        YearSpan year;
        TDateTime today;
        ForecastStatus status;
        int counted;
    };
    const Case cases[] = {
        {{2026, 1}, EncodeDate(2025, 6, 1), ForecastStatus::NotBegun, 0},
        {{2026, 1}, EncodeDate(2026, 1, 1) + 0.9, ForecastStatus::NotBegun, 0},
        {{2026, 1}, EncodeDate(2026, 1, 31), ForecastStatus::NoCompleteMonth, 0},
        {{2026, 1}, EncodeDate(2026, 12, 31), ForecastStatus::Made, 11},
        {{2026, 1}, EncodeDate(2027, 1, 1), ForecastStatus::YearOver, 12},
        {{2025, 10}, EncodeDate(2026, 10, 1), ForecastStatus::YearOver, 12},
        {{2025, 10}, EncodeDate(2026, 9, 30), ForecastStatus::Made, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateToText(c.today));
        const Forecast f = ForecastYear(c.year, months, months, c.today);
        EXPECT_EQ(f.status, c.status);
        EXPECT_EQ(f.monthsCounted, c.counted);
        EXPECT_EQ(f.months.empty(), !f.made());
        if (!f.made()) {
            EXPECT_EQ(ForecastText(f), "");
        }
    }
}
