// The twelve months of a calendar or fiscal year, the year box's text, and a run's month rows
// placed into them.
#include "app/YearMonths.h"
#include "base/Error.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(YearMonths, CalendarAndFiscalYears)
{
    const YearSpan calendar{2026, 1};
    const YearSpan fiscal{2025, 4};
    EXPECT_EQ(calendar.Month(0), (YearMonth{2026, 1}));
    EXPECT_EQ(calendar.Month(11), (YearMonth{2026, 12}));
    EXPECT_EQ(fiscal.Month(8), (YearMonth{2025, 12}));
    EXPECT_EQ(fiscal.Month(9), (YearMonth{2026, 1}));
    EXPECT_EQ(fiscal.IndexOf({2026, 3}), 11);
    EXPECT_EQ(fiscal.IndexOf({2026, 4}), std::nullopt);
    EXPECT_EQ(fiscal.IndexOf({2025, 3}), std::nullopt);
    EXPECT_EQ(DateToText(fiscal.FirstDay()), "01.04.2025");
    EXPECT_EQ(DateToText(fiscal.LastDay()), "31.03.2026");
    EXPECT_EQ(DateToText(YearSpan{2023, 3}.LastDay()), "29.02.2024");
    EXPECT_EQ(fiscal.Text(), "2025/26");
    EXPECT_EQ(calendar.Text(), "2026");
    EXPECT_EQ(fiscal.Previous(), (YearSpan{2024, 4}));
    EXPECT_EQ(AddMonthsTo({2026, 1}, -1), (YearMonth{2025, 12}));
    EXPECT_EQ(AddMonthsTo({2026, 1}, -25), (YearMonth{2023, 12}));
    EXPECT_EQ(AddMonthsTo({2025, 11}, 14), (YearMonth{2027, 1}));
    EXPECT_EQ(IsoMonthText({987, 3}), "0987-03");

    EXPECT_EQ(YearSpanFromText("2025/26", 4), fiscal);
    EXPECT_EQ(YearSpanFromText("2026", 0), calendar); // an impossible first month counts as January
    EXPECT_THROW(YearSpanFromText("", 1), ConvertError);
    EXPECT_THROW(YearSpanFromText("0x7E8", 1), ConvertError);
    EXPECT_THROW(YearSpanFromText("-2026", 1), ConvertError);
    EXPECT_EQ(YearSpanContaining(EncodeDate(2026, 3, 31), 4), fiscal);
    EXPECT_EQ(YearSpanContaining(EncodeDate(2026, 4, 1), 4), (YearSpan{2026, 4}));
    EXPECT_EQ(YearSpanContaining(EncodeDate(2026, 4, 1), 1), calendar);
}

TEST(YearMonths, MonthSumsOfARunsRows)
{
    std::vector<KmcRow> rows;
    for (int m = 1; m <= 12; ++m) { // a calendar year's run seen from a fiscal year beginning in July
        KmcRow row;
        row.DATE = EncodeDate(2026, m, 1);
        row.documents = m;
        row.net = 100.0 * m;
        row.profit = -1.5 * m;
        rows.push_back(row);
    }
    rows.push_back(KmcRow{}); // a row without a date
    rows[2].documents = 0;    // March without documents
    rows[2].net = rows[2].profit = 0;
    const YearMonthSums sums = MonthSumsOf(rows, {2025, 7});
    for (int i = 0; i < 6; ++i) // July to December 2025: not in the rows
        EXPECT_EQ(sums[static_cast<size_t>(i)].documents, 0);
    EXPECT_EQ(sums[6].documents, 1); // January 2026
    EXPECT_EQ(sums[6].net, 100.0);
    EXPECT_EQ(sums[8].documents, 0); // March
    EXPECT_EQ(sums[11].documents, 6);
    EXPECT_EQ(sums[11].profit, -9.0);
}
