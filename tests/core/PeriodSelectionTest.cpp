#include "base/Dates.h"
#include "base/Error.h"
#include "app/PeriodSelection.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(PeriodSelection, RangesFilterTextAndMonthRows)
{
    struct Case {
        const char* year;
        int index;
        const char* range;
        size_t months;
        const char* firstMonth;
    };
    const Case cases[] = {
        {"2006", 0, "01.01.2006-31.12.2006", 12, "01.01.2006"},
        {"2006", 2, "01.04.2006-30.06.2006", 3, "01.04.2006"},
        {"2006", 3, "01.07.2006-30.09.2006", 3, "01.07.2006"},
        {"2006", 4, "01.10.2006-31.12.2006", 3, "01.10.2006"},
        {"2024", 6, "01.02.2024-29.02.2024", 1, "01.02.2024"},
        {"2023", 6, "01.02.2023-28.02.2023", 1, "01.02.2023"},
        {"2023", 16, "01.12.2023-31.12.2023", 1, "01.12.2023"},
        // The ends of the calendar the dates hold.
        {"9999", 0, "01.01.9999-31.12.9999", 12, "01.01.9999"},
        {"9999", 4, "01.10.9999-31.12.9999", 3, "01.10.9999"},
        {"9999", 16, "01.12.9999-31.12.9999", 1, "01.12.9999"},
        {"0001", 0, "01.01.0001-31.12.0001", 12, "01.01.0001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.year) + "/" + PeriodItems[c.index]);
        const PeriodRange r = BuildPeriodFilter(c.year, c.index);
        EXPECT_EQ(r.rangeText, std::string("Bereich: ") + c.range);
        ASSERT_EQ(r.monthStarts.size(), c.months);
        EXPECT_EQ(DateToText(r.monthStarts.front()), c.firstMonth);
        for (size_t i = 1; i < r.monthStarts.size(); ++i)
            EXPECT_LT(r.monthStarts[i - 1], r.monthStarts[i]);
    }
    EXPECT_EQ(BuildPeriodFilter("2006", 2).filterPart, " AND ((DATE<=\"30.06.2006\") and (DATE>=\"01.04.2006\"))");
}

TEST(PeriodSelection, YearTextThatIsNoIntegerRaises)
{
    EXPECT_THROW(BuildPeriodFilter("", 0), ConvertError);
    EXPECT_THROW(BuildPeriodFilter("20x6", 0), ConvertError);
    EXPECT_THROW(BuildPeriodFilter("0", 0), ConvertError); // no year 0 in the calendar
}

TEST(PeriodSelection, BoxRules)
{
    EXPECT_EQ(YearItems(1999).size(), 0u);
    const auto years = YearItems(2026);
    ASSERT_EQ(years.size(), 27u);
    EXPECT_EQ(years.front(), "2000");
    EXPECT_EQ(years.back(), "2026");
    EXPECT_FALSE(PeriodBoxEnabled(0));
    EXPECT_TRUE(PeriodBoxEnabled(1));
    EXPECT_EQ(PeriodIndexFromText("März"), 7);
    EXPECT_EQ(PeriodIndexFromText("16"), 16);
    EXPECT_EQ(PeriodIndexFromText("17"), -1);
    EXPECT_EQ(PeriodIndexFromText("märz"), -1);
}

TEST(PeriodSelection, FiscalYearsQuartersAndMonths)
{
    struct Case {
        const char* year;
        int index;
        int fiscalStart;
        const char* range;
        size_t months;
    };
    const Case cases[] = {
        {"2024/25", 0, 4, "Bereich: 01.04.2024-31.03.2025", 12},
        {"2024", 0, 4, "Bereich: 01.04.2024-31.03.2025", 12}, // the report's --year 2024
        {"2024/25", 1, 4, "Bereich: 01.04.2024-30.06.2024", 3},
        {"2024/25", 4, 4, "Bereich: 01.01.2025-31.03.2025", 3},
        {"2024/25", 3, 11, "Bereich: 01.05.2025-31.07.2025", 3},
        {"2024/25", 4, 11, "Bereich: 01.08.2025-31.10.2025", 3},
        {"2024/25", 4, 12, "Bereich: 01.09.2025-30.11.2025", 3},
        {"2023/24", 2, 10, "Bereich: 01.01.2024-31.03.2024", 3},
        // Months stay calendar months: those of the fiscal year's own calendar years.
        {"2024/25", 5, 4, "Bereich: 01.01.2025-31.01.2025", 1},  // Januar
        {"2024/25", 8, 4, "Bereich: 01.04.2024-30.04.2024", 1},  // April
        {"2024/25", 16, 4, "Bereich: 01.12.2024-31.12.2024", 1}, // Dezember
        {"2024", 2, 1, "Bereich: 01.04.2024-30.06.2024", 3},     // January: as ever
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.year) + " " + std::to_string(c.index) + " from " + std::to_string(c.fiscalStart));
        const PeriodRange r = BuildPeriodFilter(c.year, c.index, c.fiscalStart);
        EXPECT_EQ(r.rangeText, c.range);
        EXPECT_EQ(r.monthStarts.size(), c.months);
    }
    EXPECT_EQ(YearItemText(2024, 4), "2024/25");
    EXPECT_EQ(YearItemText(2099, 7), "2099/00");
    EXPECT_EQ(YearItemText(2024, 1), "2024");
    // In February 2026 with the year beginning in April the newest fiscal year is 2025/26.
    const auto items = YearItems(2026, 4, 2);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front(), "2000/01");
    EXPECT_EQ(items.back(), "2025/26");
    EXPECT_EQ(YearItems(2026, 4, 4).back(), "2026/27");
    EXPECT_EQ(YearItems(2026).back(), "2026");
}

TEST(PeriodSelection, FreeRanges)
{
    struct Case {
        TDateTime first, last;
        const char* range;
        std::vector<const char*> months;
    };
    const Case cases[] = {
        {EncodeDate(2024, 2, 10), EncodeDate(2024, 5, 20), "Bereich: 10.02.2024-20.05.2024",
         {"01.02.2024", "01.03.2024", "01.04.2024", "01.05.2024"}},
        {EncodeDate(2024, 3, 7), EncodeDate(2024, 3, 7), "Bereich: 07.03.2024-07.03.2024", {"01.03.2024"}},
        {EncodeDate(2024, 3, 1), EncodeDate(2024, 3, 1), "Bereich: 01.03.2024-01.03.2024", {"01.03.2024"}},
        {EncodeDate(2024, 12, 20), EncodeDate(2025, 1, 1), "Bereich: 20.12.2024-01.01.2025", {"01.12.2024", "01.01.2025"}},
        {EncodeDateTime(2024, 12, 20, 15, 0, 0, 0), EncodeDate(2024, 12, 31), "Bereich: 20.12.2024-31.12.2024",
         {"01.12.2024"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        const PeriodRange r = BuildDayRange(c.first, c.last);
        EXPECT_EQ(r.rangeText, c.range);
        EXPECT_FALSE(r.wholeMonths);
        std::vector<std::string> months;
        for (TDateTime m : r.monthStarts)
            months.push_back(DateToText(m));
        EXPECT_EQ(months, std::vector<std::string>(c.months.begin(), c.months.end()));
    }
    EXPECT_EQ(BuildDayRange(EncodeDate(2021, 1, 15), EncodeDate(2024, 2, 3)).monthStarts.size(), 38u);
    EXPECT_THROW(BuildDayRange(EncodeDate(2024, 3, 2), EncodeDate(2024, 3, 1)), ConvertError);
    PeriodChoice choice;
    choice.periodIndex = PeriodFreeRange;
    choice.first = EncodeDate(2024, 2, 10);
    choice.last = EncodeDate(2024, 5, 20);
    EXPECT_EQ(BuildChoiceRange(choice).rangeText, "Bereich: 10.02.2024-20.05.2024");
}

TEST(PeriodSelection, PreviousYearRanges)
{
    struct Case {
        PeriodRange current;
        const char* previous;
    };
    const Case cases[] = {
        {BuildPeriodFilter("2025", 0), "Bereich: 01.01.2024-31.12.2024"},
        {BuildPeriodFilter("2025", 2), "Bereich: 01.04.2024-30.06.2024"},
        {BuildPeriodFilter("2025", 6), "Bereich: 01.02.2024-29.02.2024"}, // all of February
        {BuildPeriodFilter("2024", 6), "Bereich: 01.02.2023-28.02.2023"},
        {BuildPeriodFilter("2024/25", 0, 4), "Bereich: 01.04.2023-31.03.2024"},
        {BuildPeriodFilter("2024/25", 4, 4), "Bereich: 01.01.2024-31.03.2024"},
        {BuildDayRange(EncodeDate(2024, 2, 29), EncodeDate(2024, 2, 29)), "Bereich: 28.02.2023-28.02.2023"},
        {BuildDayRange(EncodeDate(2024, 2, 10), EncodeDate(2024, 5, 20)), "Bereich: 10.02.2023-20.05.2023"},
        {BuildDayRange(EncodeDate(2025, 2, 1), EncodeDate(2025, 2, 28)), "Bereich: 01.02.2024-28.02.2024"}, // days, not months
        {BuildDayRange(EncodeDate(2024, 12, 20), EncodeDate(2025, 1, 10)), "Bereich: 20.12.2023-10.01.2024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current.rangeText);
        const PeriodRange p = PreviousYearRange(c.current);
        EXPECT_EQ(p.rangeText, c.previous);
        EXPECT_EQ(p.wholeMonths, c.current.wholeMonths);
        EXPECT_EQ(p.monthStarts.size(), c.current.monthStarts.size());
    }
    EXPECT_THROW(PreviousYearRange(BuildPeriodFilter("0001", 0)), ConvertError);
}
