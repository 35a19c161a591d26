// The backtest of the Hochrechnung: which years are tested, the mean absolute percentage error per
// month against figures the test works out, and the German table.
#include "app/Forecast.h"
#include "app/ForecastBacktest.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gs;

namespace {

YearOfMonths Year(int startYear, double netPerMonth, double profitPerMonth, int emptyMonth = -1)
{
    YearOfMonths y;
    y.startYear = startYear;
    for (int i = 0; i < 12; ++i)
        y.months[static_cast<size_t>(i)] =
            i == emptyMonth ? MonthSums{} : MonthSums{2, netPerMonth * (1 + 0.1 * i), profitPerMonth};
    return y;
}

} // namespace

TEST(ForecastBacktest, AYearThatGrowsLikeTheYearBeforeHasNoError)
{
    test::TestRuntime rt;
    // 2021 has no year before it; 2023 is 10 % above 2022 in every month, so every forecast is right.
    const Backtest b = BacktestForecast({Year(2021, 1000, 100), Year(2022, 1000, 100), Year(2023, 1100, 110)}, 1);
    EXPECT_EQ(b.yearsTested, (std::vector<int>{2022, 2023}));
    for (const BacktestRow& row : b.rows) {
        SCOPED_TRACE(row.monthsCounted);
        EXPECT_EQ(row.netYears, 2);
        EXPECT_EQ(row.profitYears, 2);
        EXPECT_NEAR(*row.netMape, 0, 1e-9);
        EXPECT_NEAR(*row.profitMape, 0, 1e-9);
    }
}

TEST(ForecastBacktest, MeanOfTheYearsErrorsPerMonth)
{
    test::TestRuntime rt;
    // 2025: a year that turned in July (net and profit twice as high from then on) after a flat 2024.
    YearOfMonths turned = Year(2025, 1000, 100);
    for (size_t i = 6; i < 12; ++i) {
        turned.months[i].net *= 2;
        turned.months[i].profit *= 2;
    }
    YearOfMonths zeroProfit = Year(2026, 1000, 0); // its profit ends at 0: no error for it
    const Backtest b = BacktestForecast({Year(2024, 1000, 100), turned, zeroProfit}, 1);
    EXPECT_EQ(b.yearsTested, (std::vector<int>{2025, 2026}));
    const YearMonthSums previous = Year(2024, 1000, 100).months;
    double actualNet = 0, actualProfit = 0;
    for (const MonthSums& m : turned.months) {
        actualNet += m.net;
        actualProfit += m.profit;
    }
    double actualNet2026 = 0;
    for (const MonthSums& m : zeroProfit.months)
        actualNet2026 += m.net;
    for (int k = 1; k <= 11; ++k) {
        SCOPED_TRACE(k);
        // The forecast after k months: the counted months plus last year's months scaled by the counted ones.
        double countedNet = 0, lastCounted = 0, restLast = 0, countedProfit = 0;
        for (int i = 0; i < 12; ++i) {
            if (i < k) {
                countedNet += turned.months[i].net;
                countedProfit += turned.months[i].profit;
                lastCounted += previous[i].net;
            } else {
                restLast += previous[i].net;
            }
        }
        const double expectedNet = countedNet + restLast * countedNet / lastCounted;
        const double expectedProfit = countedProfit * 12 / k; // last year's profit was flat
        const double apeNet2025 = std::fabs(expectedNet - actualNet) / actualNet * 100;
        const double apeProfit2025 = std::fabs(expectedProfit - actualProfit) / actualProfit * 100;
        // 2026 follows 2025's shape in no way: its forecast scales 2025's months by its own pace.
        const Forecast f2026 = ForecastYear({2026, 1}, zeroProfit.months, turned.months, FirstDayOf({2026, k + 1}));
        const double apeNet2026 = std::fabs(f2026.yearNet - actualNet2026) / actualNet2026 * 100;
        const BacktestRow& row = b.rows[static_cast<size_t>(k - 1)];
        EXPECT_EQ(row.monthsCounted, k);
        EXPECT_EQ(row.netYears, 2);
        EXPECT_EQ(row.profitYears, 1);
        // Each expected month is rounded to the cent: a few cents on a year of some 10 000.
        EXPECT_NEAR(*row.netMape, (apeNet2025 + apeNet2026) / 2, 0.005);
        EXPECT_NEAR(*row.profitMape, apeProfit2025, 0.005);
    }
    EXPECT_NEAR(*b.rows[5].profitMape, 100.0 / 3, 1e-9); // after June: 1200 expected against 1800
}

TEST(ForecastBacktest, OnlyYearsWithAPreviousYearThatHasDocuments)
{
    test::TestRuntime rt;
    YearOfMonths empty = Year(2019, 0, 0);
    for (MonthSums& m : empty.months)
        m = {};
    const Backtest b = BacktestForecast({Year(2023, 1, 1), empty, Year(2020, 1000, 100), Year(2021, 1000, 100)}, 1);
    EXPECT_EQ(b.yearsTested, (std::vector<int>{2021})); // 2020's year before has no documents, 2023's is missing
    EXPECT_TRUE(BacktestForecast({}, 1).yearsTested.empty());
    EXPECT_EQ(BacktestText(BacktestForecast({Year(2020, 1, 1)}, 1)),
              "Keine Prüfung der Hochrechnung möglich: kein Jahr mit vollständigem Vorjahr in der Datenbank.\n");
}

TEST(ForecastBacktest, TheGermanTable)
{
    test::TestRuntime rt;
    YearOfMonths turned = Year(2025, 1000, 100);
    for (size_t i = 6; i < 12; ++i)
        turned.months[i].profit *= 2;
    const std::string text = BacktestText(BacktestForecast({Year(2024, 1000, 100), turned}, 1));
    EXPECT_EQ(text.substr(0, text.find("Ende Februar")),
              "Prüfung der Hochrechnung (vorjahr-saison) an 1 Jahr: 2025\n"
              "Mittlere absolute Abweichung vom tatsächlichen Jahresende, Hochrechnung am Ende des Monats\n"
              "\n"
              "Stand               Netto     Gewinn   Jahre\n"
              "Ende Januar         0,0 %     33,3 %       1\n");
    EXPECT_NE(text.find("Ende Juni           0,0 %     33,3 %       1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Ende November       0,0 %      3,0 %       1\n"), std::string::npos) << text;

    // A fiscal year names its months from its first one; a year without profit error shows a dash.
    const std::string fiscal =
        BacktestText(BacktestForecast({Year(2023, 1000, 0), Year(2024, 1000, 0), Year(2025, 1000, 0)}, 7));
    EXPECT_NE(fiscal.find("an 2 Jahren: 2024/25, 2025/26\n"), std::string::npos) << fiscal;
    EXPECT_NE(fiscal.find("Ende Juli           0,0 %          – 2 (Gewinn: 0)\n"), std::string::npos) << fiscal;
    EXPECT_NE(fiscal.find("Ende Mai"), std::string::npos);
    EXPECT_EQ(fiscal.find("Ende Juni"), std::string::npos); // the year's last month has no forecast
}
